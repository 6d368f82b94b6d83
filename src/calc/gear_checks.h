// Gear pair engine, last stage: warnings and errors about the computed pair, and the
// diameters that the tooth drawings use.
#pragma once

#include "calc/toothing_data.h"

// Posts warnings and errors about the pair; sets no flag.
void CheckGearPair();
// True for a spline joint: the hub's number of teeth is the shaft's, negated, so both parts
// turn about one axis and no centre distance other than 0 exists between them.
bool CoaxialPair();
// Mean generating profile shifts (preset as the pictures' involute and tooth-shape shifts),
// drawing centre distance and tooth angle, then the drawing diameters at the mean finishing
// profile shift.
void CalcDrawingDiameters();
// snGen, dfGen, daGen and dwGen of ToothGraphicsSettings for the profile shifts x at the
// centre distance aDraw (ignored for a coaxial pair); sets CalcFatalFlag when that centre
// distance cannot be reached.
void CalcGearDiameters(PartReal x);
