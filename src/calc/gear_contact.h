// Gear pair engine, contact stage: tooth depths, tooth thicknesses and space widths, tip and
// root form diameters, active tip diameters limited by interference, contact ratios and active
// root diameters; and the height of the protuberance flank of each tool.
#pragma once

// Stage 5; ends the engine (CalcFatalFlag) when a tip diameter is 0 or the contact ratio is
// not positive.
void CalcGearContact();
// Depth below the reference circle where a protuberance flank meets the main flank (hprP0);
// 0 for a tool without protuberance.
void CalcProfilePoints();
