// The ranges the inputs of a spline joint must lie in, checked where the calculation starts and
// by the dimension dialog for every value it takes, so that an input nobody can make or measure
// (a negative number of teeth or ball, no number at all, a module of 1e400) is refused with a
// message that names it instead of giving printed numbers.
#pragma once

#include <cstdint>
#include <string>

// What kind of quantity an input is, which fixes its range.
enum class TInputRange {
  PressureAngle,    // degrees, above 5 and up to 45
  Module,           // mm, 0.001 to 1000
  Pitch,            // diametral pitch, 1/in: the module range
  Teeth,            // 2 to 3000
  Shift,            // addendum modification coefficient, |x| <= 100
  Thickness,        // tooth thickness, space width: any length (it stands for a shift)
  Measurement,      // dimension over balls, span: not 0
  Diameter,         // ball, tip and root diameters: not below 0
  Clearance,        // radial clearance: not below 0
  Backlash,         // may be negative (an interference fit)
  ToolFactor,       // tool dedendum and addendum per module, |f| <= 100
  RadiusFactor,     // tool tip radius per module: 0 to 100
  ClearanceFactor,  // radial clearance per module: 0 to 100
  BacklashFactor,   // backlash per module, |f| <= 100
};

// Why a value cannot be taken for an input of this kind: "not a number", "= 0", "< 0", "< 2",
// "<= 0" or "out of range"; empty when it can. Lengths are in mm.
std::string InputRangeProblem(TInputRange range, long double value);

// The same for the number of teeth spanned of the shaft: 0 asks for the standard number; "< 0"
// or "> z" (more teeth than the shaft has) are refused.
std::string SpanTeethProblem(int32_t k, int32_t z);

// The calculation's first step: every input that the chosen modes make an input (module or
// pitch, teeth, each part's shift or measurement, tool factors or diameters, ball, teeth
// spanned, clearances) is checked; a given tooth thickness or space width must stand for a shift
// in the shift range ("Fatal  : sn out of range ! (1)"), a given root diameter above 0 and on the root side of a
// given tip ("Fatal  : df beyond da ! (1)"); each refused one posts "Fatal  : " + its symbol + " "
// + the problem + " !" (a part's input with " (1)" or " (2)" after it) and sets CalcFatalFlag. The
// pressure angle is left to the spline's own input check. Returns true when all can be used.
bool CheckJointInputs();
