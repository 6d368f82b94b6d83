// Gear pair engine, geometry stages: allowances, tool data, working pressure angle, backlash,
// generating profile shifts, diameters and pitches; then tip diameter, tip reduction and
// clearance of each gear against the mating root.
#pragma once

// Stage 3: everything that follows from the checked inputs before the tips are fixed.
void CalcGearGeometry();
// Stage 4: da, tipReduction and c per gear by its tip mode (1 clearance, 2 tip reduction,
// 3 tip diameter given).
void CalcTipAndClearance();
