// Gear pair engine, last stage: warnings and errors about the computed pair, and the
// diameters that the tooth drawings use.
#pragma once

#include "calc/toothing_data.h"

// Posts warnings and errors about the pair; sets no flag.
void CheckGearPair();
// Mean generating profile shifts, drawing centre distance and tooth angle, then the drawing
// diameters at the mean finishing profile shift.
void CalcDrawingDiameters();
// snGen, dfGen, daGen and dwGen of ToothGraphicsSettings for the profile shifts x at the
// centre distance aDraw; sets CalcFatalFlag when that centre distance cannot be reached.
void CalcGearDiameters(PartReal x);
