// Range checks of the spline joint's inputs.
#include "calc/spline_input_checks.h"

#include <cmath>

#include "calc/gear_pair.h"
#include "calc/toothing_data.h"
#include "common/guarded_math.h"
#include "common/message_list.h"
#include "common/program_state.h"

namespace {

// No part of a spline joint measures 100 m, and no factor of a tool or shift reaches 100
// modules; beyond these a value is a typing slip or garbage, and the formulas would only turn
// it into numbers nobody can make.
constexpr long double kMaxLength = 1e5L;
constexpr long double kMaxFactor = 100.0L;
constexpr long double kMinModule = 0.001L;
constexpr long double kMaxModule = 1000.0L;
constexpr long double kMmPerInch = 25.4L;
constexpr int32_t kMaxTeeth = 3000;

std::string SignProblem(long double value, bool zeroAllowed) {
  if (value < 0) return "< 0";
  if (value == 0 && !zeroAllowed) return "<= 0";
  return "";
}

std::string Within(long double value, long double limit) {
  return std::fabs(value) <= limit ? "" : "out of range";
}

std::string PartText(int part) {
  return " (" + std::to_string(part) + ")";
}

// Posts the refusal of one input; false when it was refused.
bool Accept(const std::string& problem, const std::string& symbol, int part = 0) {
  if (problem.empty()) return true;
  AddError("Fatal  : " + symbol + " " + problem + " !" + (part > 0 ? PartText(part) : ""));
  CalcFatalFlag = true;
  return false;
}

bool Check(TInputRange range, long double value, const std::string& symbol, int part = 0) {
  return Accept(InputRangeProblem(range, value), symbol, part);
}

// Root diameters given as diameters: above 0 and on the root side of the part's tip when that
// is given too (the shaft's root inside its tip, the hub's outside).
bool CheckRootDiameters(const bool open[3]) {
  const TSplineInputData& s = SplineInputData;
  // A value outside the diameter range has been refused by name already.
  auto valid = [](long double d) { return InputRangeProblem(TInputRange::Diameter, d).empty(); };
  bool usable = true;
  if (open[1] && s.HubDiamMode == 1 && valid(s.dfIn[1]) && valid(s.daIn[1])) {
    if (s.dfIn[1] <= 0) {
      usable = Accept("<= 0", "df", 1);
    } else if (s.ShaftDiamMode == 1 && s.dfIn[1] >= s.daIn[1]) {
      usable = Accept("beyond da", "df", 1);
    }
  }
  if (open[2] && s.ShaftDiamMode == 1 && valid(s.dfIn[2]) && valid(s.daIn[2])) {
    if (s.dfIn[2] <= 0) {
      usable = Accept("<= 0", "df", 2) && usable;
    } else if (s.HubDiamMode == 1 && s.dfIn[2] <= s.daIn[2]) {
      usable = Accept("beyond da", "df", 2) && usable;
    }
  }
  return usable;
}

}  // namespace

std::string InputRangeProblem(TInputRange range, long double value) {
  if (!std::isfinite(value)) return "not a number";
  std::string problem;
  switch (range) {
    case TInputRange::PressureAngle:
      // The spline joint leaves out the lower bound; above the upper one the engine cannot go.
      return value > kMinPressureAngle && value <= kMaxPressureAngle ? "" : "out of range";
    case TInputRange::Module:
      if (value == 0) return "= 0";
      problem = SignProblem(value, false);
      if (problem.empty() && (value < kMinModule || value > kMaxModule)) problem = "out of range";
      return problem;
    case TInputRange::Pitch:
      if (value == 0) return "= 0";
      problem = SignProblem(value, false);
      if (problem.empty()) return InputRangeProblem(TInputRange::Module, kMmPerInch / value);
      return problem;
    case TInputRange::Teeth:
      if (value == 0) return "= 0";
      if (value < 0) return "< 0";
      // One tooth leaves no opposite gap to measure over and no mating flank pair.
      if (value < 2) return "< 2";
      return value <= kMaxTeeth ? "" : "out of range";
    case TInputRange::Shift:
    case TInputRange::ToolFactor:
    case TInputRange::BacklashFactor:
      return Within(value, kMaxFactor);
    case TInputRange::Thickness:
      // A width on the reference circle is only a way of giving the shift: at a large pressure
      // angle and shift it is 0, negative or above the pitch for real teeth (those of the mate
      // do not reach that circle). What the teeth it gives cannot do is judged on them.
      return Within(value, kMaxLength);
    case TInputRange::Measurement:
      if (value == 0) return "= 0";
      return Within(value, kMaxLength);
    case TInputRange::Diameter:
    case TInputRange::Clearance:
      problem = SignProblem(value, true);
      return problem.empty() ? Within(value, kMaxLength) : problem;
    case TInputRange::Backlash:
      return Within(value, kMaxLength);
    case TInputRange::RadiusFactor:
    case TInputRange::ClearanceFactor:
      problem = SignProblem(value, true);
      return problem.empty() ? Within(value, kMaxFactor) : problem;
  }
  return "";
}

std::string SpanTeethProblem(int32_t k, int32_t z) {
  if (k < 0) return "< 0";
  if (z > 0 && k > z) return "> z";
  return "";
}

bool CheckJointInputs() {
  const TToothingData& t = ToothingData;
  const TSplineInputData& s = SplineInputData;
  bool usable = true;
  auto check = [&usable](TInputRange range, long double value, const std::string& symbol,
                         int part = 0) { usable = Check(range, value, symbol, part) && usable; };

  if (s.PitchMode == 2) {
    check(TInputRange::Pitch, t.Pn, "Pn");
  } else {
    check(TInputRange::Module, t.mn, "mn");
  }
  // Both parts have the shaft's number of teeth.
  check(TInputRange::Teeth, t.z[1], "z");

  // A part's own data are inputs unless the mating part and the clearances are given.
  const bool open[3] = {false, s.ShiftGivenFor != 2, s.ShiftGivenFor != 1};
  const char* thickness[3] = {"", "sn", "en"};
  const long double module = s.PitchMode == 2 ? kMmPerInch / t.Pn : t.mn;
  for (int part = 1; part <= 2; ++part) {
    if (!open[part]) continue;
    switch (s.InputKind[part]) {
      case 1:
        check(TInputRange::Shift, t.x[part], "x", part);
        break;
      case 2: {
        const long double value = part == 1 ? s.snIn[1] : s.enIn[2];
        if (Check(TInputRange::Thickness, value, thickness[part], part)) {
          if (!InputRangeProblem(TInputRange::PressureAngle, t.alpha).empty()) break;
          // The shift the width stands for must be one a shift may be.
          const long double tooth = part == 1 ? value : kPi * module - value;
          const long double x = (tooth / module - kPi / 2) / (2 * std::tan(t.alpha * kPi / 180));
          usable = Accept(InputRangeProblem(TInputRange::Shift, x), thickness[part], part) && usable;
        } else {
          usable = false;
        }
        break;
      }
      case 3:
        check(TInputRange::Measurement, s.MdRIn[part], "MdR", part);
        break;
      case 4:
        check(TInputRange::Measurement, s.WIn[part], "W", part);
        break;
      default:
        break;
    }
  }

  // Major diameter: shaft tip and hub root; minor diameter: shaft root and hub tip; each by
  // tool factors or by the diameters themselves.
  if (s.ShaftDiamMode == 0) {
    if (open[1]) check(TInputRange::ToolFactor, t.hfP0mn[1], "hfP0/mn", 1);
    if (open[2]) check(TInputRange::ToolFactor, t.haP0mn[2], "haP0/mn", 2);
  } else if (s.ShaftDiamMode == 1) {
    if (open[1]) check(TInputRange::Diameter, s.daIn[1], "da", 1);
    if (open[2]) check(TInputRange::Diameter, s.dfIn[2], "df", 2);
  }
  if (s.HubDiamMode == 0) {
    if (open[1]) check(TInputRange::ToolFactor, t.haP0mn[1], "haP0/mn", 1);
    if (open[2]) check(TInputRange::ToolFactor, t.hfP0mn[2], "hfP0/mn", 2);
  } else if (s.HubDiamMode == 1) {
    if (open[1]) check(TInputRange::Diameter, s.dfIn[1], "df", 1);
    if (open[2]) check(TInputRange::Diameter, s.daIn[2], "da", 2);
  }

  usable = CheckRootDiameters(open) && usable;

  for (int part = 1; part <= 2; ++part) {
    check(TInputRange::RadiusFactor, t.rhoaP0mn[part], "rhoaP0/mn", part);
    check(TInputRange::Diameter, t.Dm[part], "Dm", part);  // 0: the standard ball
  }
  // The teeth spanned are judged against a number of teeth that can be used, or the refusal of
  // z would come with a second one that only follows from it.
  if (InputRangeProblem(TInputRange::Teeth, t.z[1]).empty())
    usable = Accept(SpanTeethProblem(t.k[1], t.z[1]), "k", 1) && usable;
  else
    usable = Accept(SpanTeethProblem(t.k[1], 0), "k", 1) && usable;

  if (s.ShiftGivenFor == 1 || s.ShiftGivenFor == 2) {
    if (s.ClearanceAsFactor) {
      check(TInputRange::ClearanceFactor, s.cemn, "ce/mn");
      check(TInputRange::ClearanceFactor, s.cimn, "ci/mn");
      check(TInputRange::BacklashFactor, s.cpmn, "cp/mn");
    } else {
      check(TInputRange::Clearance, s.ce, "ce");
      check(TInputRange::Clearance, s.ci, "ci");
      check(TInputRange::Backlash, s.cp, "cp");
    }
  }
  return usable;
}
