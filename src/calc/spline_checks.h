// Checks of the spline joint that judge what the listing will show: the span's caliper
// contact, the root form diameter, the top land, the backlash, and the inputs that leave the
// teeth no contact.
#pragma once

#include <cstdint>

// Diameter at which the caliper of a span W touches an external involute of base diameter db.
long double SpanContactDiameter(long double db, long double W);

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

// After the diameters are settled: the hub's tip must lie inside the shaft's tip, or the teeth
// never touch. Posts the fatal message naming the clearance (or the diameters) that leaves no
// contact and returns false.
bool CheckToothOverlap();
