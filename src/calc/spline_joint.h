// The involute spline joint calculation: module or diametral pitch, input checks, the
// addendum modification of shaft and hub from the way it was given, tool factors, diameters
// and clearances, one run of the gear pair engine, and the conformity checks.
#pragma once

#include <cstdint>

// The whole calculation on ToothingData and SplineInputData.
void CalcSplineJoint();
// ResetErrors, then the input checks.
void CheckSplineInput();
// CheckSplineInput, then the spline's fixed geometry (angles, hub teeth, d, db).
void PrepareSplineGeometry();
// Sets x[part] by InputKind[part].
void ShiftFromInput(int part);
long double ShiftFromToothThickness(int part);
long double ShiftFromSpaceWidth(int part);
// x from the dimension over (between) balls MdRIn[part].
long double ShiftFromBallDimension(int part);
// x from the span WIn[part] over k[part] teeth.
long double ShiftFromSpan(int part);
// Ball dimension, teeth spanned, span, standard values, sn and en of the part at its x.
void CompleteMeasurements(int part);
// Engine set-up and one run of CalcGearPair.
void RunGearEngine();
// Conformity checks of the finished joint.
void CheckSplineStandard();

// What the program itself takes for the part's ball, or the shaft's number of teeth spanned,
// when the field is 0: the calculation is run on the current data with that field cleared and
// everything (data, messages, flags) is restored after; 0 when that calculation fails.
long double ProposedBall(int part);
int32_t ProposedSpanTeeth();
