// Cylindrical involute gear pair engine: the driver that runs the calculation stages in
// order on ToothingData, the input checks and the check of a given centre distance.
#pragma once

// The pressure angles the engine calculates, in degrees, both bounds included.
inline constexpr long double kMinPressureAngle = 5;
inline constexpr long double kMaxPressureAngle = 45;
// The refusal of any other, in the words of the range the spline joint takes (which refuses the
// lower bound as well), so that every refusal of a pressure angle states the same range.
inline constexpr const char* kPressureAngleRefusal = "Fatal  : 5 < alpha <= 45 !";

// Runs every stage on the global data set; stops after the first stage that sets
// CalcFatalFlag (and from the tip stage on, also after one that sets AbortFlag).
void CalcGearPair();
// Validates the inputs and derives module, reference diameters and limiting tooth counts.
void CheckGearInput();
// Working pressure angle and profile shift sum that an entered centre distance needs.
void CorrectCentreDistance();
