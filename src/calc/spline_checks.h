// Checks of the spline joint that judge what the listing will show: the span's caliper
// contact, the root form diameter, the top land, the backlash, and the inputs that leave the
// teeth no contact.
#pragma once

#include <cstdint>

// Diameter at which the caliper of a span W touches an external involute of base diameter db.
long double SpanContactDiameter(long double db, long double W);

// True when the caliper of the shaft's span W over its k teeth (at least 1, as the calculation
// leaves it) touches its flank; needs the engine's diameters.
bool SpanContactOnFlank();

// Number of teeth spanned of the shaft whose caliper contact lies nearest the middle of its
// flank (root form or base circle up to the tip form diameter) at the final shift; needs the
// engine's diameters.
int32_t SpanTeethMidFlank();

// After the engine: where the standard number of teeth spanned puts the shaft's caliper contact
// off its flank, the standard becomes the mid-flank number; a number the program chose in this
// calculation follows it (with the spans), a number the user gave or a measured span keeps its own.
void SettleSpanTeeth(bool chosenByProgram);

// A backlash closer to zero than half a micrometre is zero: the rest of a rounded measurement.
long double SnapBacklash(long double cp);

// Signed diameter at which the two involute flanks bounding a gap of width e on the reference
// circle meet: inside the reference circle for an external toothing (z > 0; 0 when they would
// meet only inside the base circle), outside it for an internal one (z < 0, negative).
long double GapFlankMeetingDiameter(int32_t z, long double mn, long double alpha, long double e);

// Signed diameter at which the part's gap closes before it reaches the root circle (the shaft's
// flanks meet outside df1, the hub's inside df2); 0 when the gap reaches its root. Needs the
// engine's values.
long double GapClosingDiameter(int part);

// True when an Error of the finished joint leaves the part's listed root form diameter without
// meaning (the formula has no form circle), so that the listing shows its mark instead.
bool RootFormMeaningless(int part);

// After the diameters are settled: the hub's tip must lie inside the shaft's tip, or the teeth
// never touch, and the shaft's tip outside its base circle, or it has no flank to touch with.
// Posts the fatal message naming the clearance, the shift or the diameters that leave no contact
// and returns false.
bool CheckToothOverlap();
