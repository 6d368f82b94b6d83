// The involute spline joint calculation on top of the gear pair engine.
#include "calc/spline_joint.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "calc/gear_pair.h"
#include "calc/measurement.h"
#include "calc/spline_checks.h"
#include "calc/spline_input_checks.h"
#include "calc/toothing_data.h"
#include "common/formatting.h"
#include "common/guarded_math.h"
#include "common/message_list.h"
#include "common/program_state.h"

namespace {

TToothingData& T() {
  return ToothingData;
}
TSplineInputData& S() {
  return SplineInputData;
}

void PostFatal(const std::string& text) {
  AddError(text);
  CalcFatalFlag = true;
}

// The searches for x stop when the measurement matches its target this closely, so that a
// second calculation from the measurement it leaves behind finds the same x again.
bool Matches(long double target, long double value) {
  return std::fabs(target - value) <= 1e-12L * std::fmax(1.0L, std::fabs(target));
}

constexpr int kMaxBisections = 250;
constexpr long double kShiftLimit = 1.5L;
constexpr long double kGridStep = 0.02L;
constexpr int kGridPoints = 151;  // -1.5 .. 1.5

long double BallDimensionAt(int part, long double x) {
  return CalcBallDimension(T().z[part], T().mn, T().alphaRad, T().betaRad, x, T().Dm[part]);
}

long double SpanAt(int part, long double x) {
  return CalcSpanMeasurement(T().z[part], T().k[part], T().mn, T().alphaRad, T().betaRad, x);
}

// Bisection of an increasing measurement f on [xLow, xHigh] for the target. Returns false
// when it does not converge; x then holds the last estimate.
template <typename F>
bool Bisect(F f, long double target, long double xLow, long double xHigh, long double& x) {
  for (int i = 0; i < kMaxBisections; ++i) {
    const long double xm = (xLow + xHigh) / 2;
    const long double fm = f(xm);
    x = xm;
    if (target > fm) {
      xLow = xm;
    } else {
      xHigh = xm;
    }
    if (Matches(target, fm)) return true;
  }
  return false;
}

long double IterationFailure(int part, long double xm) {
  AddError("Error  :  Iteration (xe=" + RealStr(xm) + ")");
  T().x[part] = xm;
  CalcFatalFlag = true;
  return xm;
}

// True when the part's shift is found from its own measurement of this input kind (2 tooth
// thickness or space width, 3 over balls, 4 span).
bool GivenByMeasurement(int part, int kind) {
  const TSplineInputData& s = S();
  const bool open = part == 1 ? s.ShiftGivenFor != 2 : s.ShiftGivenFor != 1;
  return open && s.InputKind[part] == kind;
}

// Keeps the message list and the fatal flag as they were while a search probes values that
// may lie outside the valid range.
class QuietProbe {
 public:
  QuietProbe() : saved_(ErrorList), fatal_(CalcFatalFlag) {}
  ~QuietProbe() {
    ErrorList = saved_;
    CalcFatalFlag = fatal_;
  }
  QuietProbe(const QuietProbe&) = delete;
  QuietProbe& operator=(const QuietProbe&) = delete;

 private:
  TErrorList saved_;
  bool fatal_;
};

// The program's ball for the part at shift x. Where the gap at x has no room for a standard ball
// (teeth that overlap) the ball of the unshifted gap is taken, so that the joint is still listed
// with what is wrong with it; a ball the formula gives as 0 or less does not exist.
long double StandardBall(int part, long double x) {
  const TToothingData& t = T();
  long double ball = 0;
  {
    QuietProbe quiet;
    ball = CalcBallDiameter(t.z[part], t.betaRad, t.alphaRad, x, t.mn);
    if (CalcFatalFlag) ball = 0;
  }
  if (!(ball > 0)) ball = CalcBallDiameter(t.z[part], t.betaRad, t.alphaRad, 0, t.mn);
  if (!CalcFatalFlag && !(ball > 0)) PostFatal("Fatal  : Diametr.Dim.o.balls DmMess !");
  return ball > 0 ? ball : 0;
}

// The standard number of teeth spanned at shift x, or at x = 0 where the rule has no answer at
// x (its angle does not exist, as for a hub shifted towards its centre).
int32_t StandardTeeth(int part, long double x) {
  const TToothingData& t = T();
  {
    QuietProbe quiet;
    const int before = ErrorList.count;
    const int32_t k = CalcSpanTeeth(t.z[part], t.betaRad, t.alphaRad, x, t.mn);
    if (ErrorList.count == before && !CalcFatalFlag) return k;
  }
  return CalcSpanTeeth(t.z[part], t.betaRad, t.alphaRad, 0, t.mn);
}

// A standard that only serves as a comparison: 0 where it cannot be had, and no message.
long double ComparisonBall(int part, long double x) {
  const TToothingData& t = T();
  QuietProbe quiet;
  const long double ball = CalcBallDiameter(t.z[part], t.betaRad, t.alphaRad, x, t.mn);
  return CalcFatalFlag || !(ball > 0) ? 0 : ball;
}

// Major-diameter side: shaft tip and hub root.
void MajorDiameters() {
  TToothingData& t = T();
  TSplineInputData& s = S();
  const long double z = t.z[1];
  const long double mn = t.mn;
  auto shaftTip = [&] { s.daIn[1] = (2 * t.hfP0mn[1] + z + 2 * t.x[1]) * mn; };
  auto hubRoot = [&] { s.dfIn[2] = (2 * t.haP0mn[2] + z - 2 * t.x[2]) * mn; };
  auto shaftFactor = [&] { t.hfP0mn[1] = s.daIn[1] / 2 / mn - z / 2 - t.x[1]; };
  auto hubFactor = [&] { t.haP0mn[2] = s.dfIn[2] / 2 / mn - z / 2 + t.x[2]; };
  auto clearance = [&] { s.cemn = (s.dfIn[2] - s.daIn[1]) / mn / 2; };
  const int given = s.ShiftGivenFor;
  const int mode = s.ShaftDiamMode;
  if (mode == 0 || mode == 1) {
    if (given == 1) {
      // The given part's diameter is settled first so that the mate follows the final value.
      if (mode == 0) shaftTip();
      s.dfIn[2] = 2 * s.cemn * mn + s.daIn[1];
      if (mode == 1) shaftFactor();
      hubFactor();
    } else if (given == 2) {
      if (mode == 0) hubRoot();
      s.daIn[1] = s.dfIn[2] - 2 * s.cemn * mn;
      shaftFactor();
      if (mode == 1) hubFactor();
    } else if (mode == 0) {
      shaftTip();
      hubRoot();
      clearance();
    } else {
      shaftFactor();
      hubFactor();
      clearance();
    }
  }
  s.ce = s.cemn * mn;
}

// Minor-diameter side: hub tip and shaft root.
void MinorDiameters() {
  TToothingData& t = T();
  TSplineInputData& s = S();
  const long double z = t.z[1];
  const long double mn = t.mn;
  auto shaftRoot = [&] { s.dfIn[1] = (z - 2 * t.haP0mn[1] + 2 * t.x[1]) * mn; };
  auto hubTip = [&] { s.daIn[2] = (z - 2 * t.hfP0mn[2] - 2 * t.x[2]) * mn; };
  auto shaftFactor = [&] { t.haP0mn[1] = -s.dfIn[1] / 2 / mn + z / 2 + t.x[1]; };
  auto hubFactor = [&] { t.hfP0mn[2] = -s.daIn[2] / 2 / mn + z / 2 - t.x[2]; };
  auto clearance = [&] { s.cimn = (s.daIn[2] - s.dfIn[1]) / mn / 2; };
  const int given = s.ShiftGivenFor;
  const int mode = s.HubDiamMode;
  if (mode == 0 || mode == 1) {
    if (given == 1) {
      if (mode == 0) shaftRoot();
      s.daIn[2] = 2 * s.cimn * mn + s.dfIn[1];
      if (mode == 1) shaftFactor();
      hubFactor();
    } else if (given == 2) {
      if (mode == 0) hubTip();
      s.dfIn[1] = s.daIn[2] - 2 * s.cimn * mn;
      shaftFactor();
      if (mode == 1) hubFactor();
    } else if (mode == 0) {
      shaftRoot();
      hubTip();
      clearance();
    } else {
      shaftFactor();
      hubFactor();
      clearance();
    }
  }
  s.ci = s.cimn * mn;
}

bool IsFatalText(const std::string& text) {
  return text.rfind("Fatal", 0) == 0;
}

// A finding about the measuring balls or the number of teeth spanned: what a user measures must
// not lose it. The ball's seat and the span's contact are judged again on the final joint
// (CheckSplineStandard), so the engine's verdicts on them would only stand beside those,
// possibly in other words.
bool IsMeasurementText(const std::string& text) {
  for (const char* topic : {"DmMess", "kmess"}) {
    if (text.find(topic) != std::string::npos) return true;
  }
  return false;
}

// Texts now in the list that the re-check must not wipe: the fatal ones and the findings about
// the measurements.
std::vector<std::string> LastingMessages() {
  std::vector<std::string> texts;
  for (int i = 1; i <= ErrorList.count; ++i) {
    const std::string& text = ErrorList.messages[i];
    if (IsFatalText(text) || IsMeasurementText(text)) texts.push_back(text);
  }
  return texts;
}

// What the standard rule for the number of teeth spanned says about the part at its shift.
std::vector<std::string> SpanRuleFindings(int part) {
  const TToothingData& t = T();
  std::vector<std::string> found;
  QuietProbe quiet;
  ResetErrors();
  CalcSpanTeeth(t.z[part], t.betaRad, t.alphaRad, t.x[part], t.mn);
  for (int i = 1; i <= ErrorList.count; ++i) {
    if (IsMeasurementText(ErrorList.messages[i])) found.push_back(ErrorList.messages[i]);
  }
  return found;
}

}  // namespace

void CheckSplineInput() {
  ResetErrors();
  const TToothingData& t = T();
  if (!InputRangeProblem(TInputRange::PressureAngle, t.alpha).empty())
    PostFatal(kPressureAngleRefusal);
  if (!(t.beta > -0.001L && t.beta < 60)) PostFatal("Fatal  : 0 <= beta < 60 !");
  if (t.Pn == 0) PostFatal("Fatal  : Pn = 0 !");
  for (int part = 1; part <= 2; ++part) {
    if (t.z[part] == 0) PostFatal("Fatal  : z = 0 !");
    if (t.x[part] > kShiftLimit) AddError("Warning: x > 1.5 !");
    if (t.x[part] < -kShiftLimit) AddError("Warning: x < -1.5 !");
  }
}

void PrepareSplineGeometry() {
  CheckSplineInput();
  if (CalcFatalFlag) return;
  TToothingData& t = T();
  t.alphaRad = t.alpha * kPi / 180;
  t.beta = 0;
  t.betaRad = 0;
  t.z[2] = -t.z[1];
  t.alphat = t.alphaRad;
  t.betab = 0;
  for (int part = 1; part <= 2; ++part) {
    t.d[part] = t.mn / std::cos(t.betaRad) * t.z[part];
    t.db[part] = std::cos(t.alphat) * t.d[part];
  }
}

long double ShiftFromToothThickness(int part) {
  return (S().snIn[part] / T().mn - kPi / 2) / (2 * std::tan(T().alphaRad));
}

long double ShiftFromSpaceWidth(int part) {
  return ((kPi * T().mn - S().enIn[part]) / T().mn - kPi / 2) / (2 * std::tan(T().alphaRad));
}

namespace {

// The shift between one where the part's ball does not rest on both flanks and one where it does,
// at which it just does.
long double FitEdge(int part, long double outside, long double inside) {
  const TToothingData& t = T();
  for (int i = 0; i < 64; ++i) {
    const long double middle = (outside + inside) / 2;
    if (BallFitsGap(t.z[part], t.mn, t.alphaRad, t.betaRad, middle, t.Dm[part])) {
      inside = middle;
    } else {
      outside = middle;
    }
  }
  return inside;
}

// The dimension at such an edge; the grid point's value where it has none.
long double EdgeDimension(int part, long double x, long double fallback) {
  QuietProbe quiet;
  const long double m = BallDimensionAt(part, x);
  return std::isfinite(m) ? m : fallback;
}

}  // namespace

long double ShiftFromBallDimension(int part) {
  const long double target = S().MdRIn[part];
  TToothingData& t = T();

  // Probe the whole range: the dimension rises with x only where the ball rests on both
  // flanks, and that stretch need not contain x = 0 (a large ball in a hub).
  std::vector<long double> xs(kGridPoints), ms(kGridPoints);
  std::vector<bool> valid(kGridPoints);
  {
    QuietProbe quiet;
    for (int i = 0; i < kGridPoints; ++i) {
      xs[i] = -kShiftLimit + kGridStep * i;
      valid[i] = BallFitsGap(t.z[part], t.mn, t.alphaRad, t.betaRad, xs[i], t.Dm[part]);
      ms[i] = valid[i] ? BallDimensionAt(part, xs[i]) : 0;
      if (!std::isfinite(ms[i])) valid[i] = false;
    }
  }

  // Rising stretches [first, last] of valid grid points; pick the one holding the target
  // nearest to x = 0.
  bool found = false;
  bool anyStretch = false;
  long double bestDistance = 0, xLow = 0, xHigh = 0;
  long double mdrMin = 0, mdrMax = 0;
  int i = 0;
  while (i < kGridPoints) {
    if (!valid[i]) {
      ++i;
      continue;
    }
    int j = i;
    while (j + 1 < kGridPoints && valid[j + 1] && ms[j + 1] > ms[j]) ++j;
    // A stretch that ends because the ball stops resting on the flanks reaches to where it
    // stops, not only to the last grid point before.
    long double lowX = xs[i], lowM = ms[i], highX = xs[j], highM = ms[j];
    if (i > 0 && !valid[i - 1]) {
      lowX = FitEdge(part, xs[i - 1], xs[i]);
      lowM = EdgeDimension(part, lowX, lowM);
    }
    if (j + 1 < kGridPoints && !valid[j + 1]) {
      highX = FitEdge(part, xs[j + 1], xs[j]);
      highM = EdgeDimension(part, highX, highM);
    }
    if (!anyStretch) {
      mdrMin = lowM;
      mdrMax = highM;
      anyStretch = true;
    } else {
      mdrMin = std::fmin(mdrMin, lowM);
      mdrMax = std::fmax(mdrMax, highM);
    }
    if (target >= lowM && target <= highM) {
      long double distance = 0;
      if (lowX > 0) distance = lowX;
      if (highX < 0) distance = -highX;
      if (!found || distance < bestDistance) {
        found = true;
        bestDistance = distance;
        xLow = lowX;
        xHigh = highX;
      }
    }
    i = j + 1;
  }
  if (!found) {
    // The limits hold for this ball only: name the part and the ball it was measured over.
    const std::string over =
        " (" + std::to_string(part) + ") (Dm " + LengthStr(t.Dm[part]) + LengthUnitStr() + ")";
    if (anyStretch && target < mdrMin) {
      PostFatal("Fatal  : MdR < MdRmin !" + over);
    } else {
      PostFatal("Fatal  : MdR > MdRmax !" + over);
    }
    return 0;
  }
  if (xLow == xHigh) return xLow;
  long double x = 0;
  if (!Bisect([&](long double v) { return BallDimensionAt(part, v); }, target, xLow, xHigh, x)) {
    return IterationFailure(part, x);
  }
  return x;
}

// Whether the part's span can be measured over its k teeth at a shift within +-1.5: the
// span lies between least and most, its values at the ends.
bool SpanWithinRange(int part, long double& least, long double& most) {
  least = SpanAt(part, -kShiftLimit);
  most = SpanAt(part, kShiftLimit);
  return least <= S().WIn[part] && S().WIn[part] <= most;
}

long double ShiftFromSpan(int part) {
  const long double target = S().WIn[part];
  long double least = 0, most = 0;
  if (!SpanWithinRange(part, least, most)) {
    // The range holds for this number of teeth only: name the part, the teeth and the range.
    const std::string range = " (" + std::to_string(part) +
                              ") (k = " + std::to_string(T().k[part]) + ": " +
                              TrimStr(LengthStrN(3, least)) + " to " +
                              TrimStr(LengthStrN(3, most)) + LengthUnitStr() + ")";
    PostFatal((least > target ? "Fatal  : W < Wmin !" : "Fatal  : W > Wmax !") + range);
    return 0;
  }
  long double x = 0;
  if (!Bisect([&](long double v) { return SpanAt(part, v); }, target, -kShiftLimit, kShiftLimit,
              x)) {
    return IterationFailure(part, x);
  }
  return x;
}

void ShiftFromInput(int part) {
  TToothingData& t = T();
  switch (S().InputKind[part]) {
    case 0:
      t.x[part] = 0;
      break;
    case 2:
      t.x[part] = part == 1 ? ShiftFromToothThickness(1) : ShiftFromSpaceWidth(2);
      break;
    case 3:
      t.x[part] = ShiftFromBallDimension(part);
      break;
    case 4:
      t.x[part] = ShiftFromSpan(part);
      break;
    default:
      break;
  }
}

void CompleteMeasurements(int part) {
  TToothingData& t = T();
  TSplineInputData& s = S();
  const long double x = t.x[part];
  if (t.Dm[part] == 0) t.Dm[part] = StandardBall(part, x);
  if (CalcFatalFlag) return;
  // The measurement the shift was found from stays as entered: recomputed from that shift it
  // would only gain the last digits of the search, and a saved file keeps every digit.
  if (!GivenByMeasurement(part, 3)) s.MdRIn[part] = BallDimensionAt(part, x);
  if (CalcFatalFlag) return;
  if (t.k[part] == 0) t.k[part] = StandardTeeth(part, x);
  if (CalcFatalFlag) return;
  if (!GivenByMeasurement(part, 4)) s.WIn[part] = t.k[part] != 0 ? SpanAt(part, x) : 0;
  // The standard ball and number of teeth are those of the joint as found, at its final shift,
  // however that shift was given.
  s.kDIN[part] = StandardTeeth(part, x);
  s.DmDIN[part] = ComparisonBall(part, x);
  t.pn = kPi * t.mn;
  const bool thicknessGiven = GivenByMeasurement(part, 2);
  if (!(thicknessGiven && part == 1))
    s.snIn[part] = (2 * x * std::tan(t.alphaRad) + kPi / 2) * t.mn;
  if (!(thicknessGiven && part == 2)) s.enIn[part] = t.pn - s.snIn[part];
}

void RunGearEngine() {
  AbortFlag = false;
  CalcFatalFlag = false;
  ResetErrors();
  PrepareSplineGeometry();
  if (!CalcFatalFlag) {
    CompleteMeasurements(1);
    CompleteMeasurements(2);
  }
  if (!CalcFatalFlag) {
    TToothingData& t = T();
    for (int part = 1; part <= 2; ++part) {
      t.toleranceSeries[part] = 11;
      t.tipMode[part] = 2;
      t.toolKind[part] = 4;
      t.toolText[part].clear();
      t.hFfP0mn[part] = t.hfP0mn[part];
      t.alphakP0[part] = t.alpha;
      t.Asne[part] = 0;
      t.Asni[part] = 0;
      t.q[part] = 0;
      t.qT[part] = 0;
      t.tipReduction[part] = 0;
      t.prP0mn[part] = 0;
      t.alphaprP0[part] = 0;
      t.rhofP0mn[part] = 0;
      t.bGear[part] = 15 * t.mn;
    }
    t.b = 15 * t.mn;
    t.ballDiameterSwitch = 0;
    t.accuracyStandard = 0;
    CalcGearPair();
  }
  // The re-check starts a fresh message list; the fatal findings of the measurements and the
  // engine must survive it, or a failed run would look like a good one, and so must what they
  // found about the balls and the span, or a listed measurement would come without it.
  std::vector<std::string> lasting = LastingMessages();
  const bool wasFatal = CalcFatalFlag;
  // The engine's full list may have had no room left for its verdict on the standard number of
  // teeth spanned; it is asked again at the final shifts.
  if (!wasFatal) {
    for (int part = 1; part <= 2; ++part) {
      for (const std::string& text : SpanRuleFindings(part)) {
        bool held = false;
        for (const std::string& kept : lasting) held = held || kept == text;
        if (!held) lasting.push_back(text);
      }
    }
  }
  PrepareSplineGeometry();
  bool fatalText = false;
  for (const std::string& text : lasting) fatalText = fatalText || IsFatalText(text);
  // A stage that posts a fatal text without the flag (the engine's geometry stage) has still
  // left results that do not belong together. Nothing is listed then, and what the measurements
  // found after the fatal cause only follows from it.
  const bool fatal = wasFatal || fatalText;
  for (const std::string& text : lasting) {
    if (!fatal || IsFatalText(text)) AddError(text);
  }
  if (fatal) CalcFatalFlag = true;
}

namespace {

void CalcSplineJointOnce() {
  TToothingData& t = T();
  TSplineInputData& s = S();
  AbortFlag = false;
  CalcFatalFlag = false;
  ResetErrors();
  t.alphaRad = t.alpha * kPi / 180;

  if (s.PitchMode == 2) {
    if (t.Pn == 0) {
      PostFatal("Fatal  : pitch = 0 !");
      return;
    }
  } else if (t.mn == 0) {
    PostFatal("Fatal  : mn = 0 !");
    return;
  }
  // Inputs nobody can make or measure end the calculation here, each named, before any of them
  // turns into printed numbers.
  if (!CheckJointInputs()) return;
  if (s.PitchMode == 2) {
    t.mn = 25.4L / t.Pn;
  } else {
    t.Pn = 25.4L / t.mn;
  }

  PrepareSplineGeometry();
  if (CalcFatalFlag) return;

  if (s.ShiftGivenFor == 1 || s.ShiftGivenFor == 2) {
    if (s.ClearanceAsFactor) {
      s.ci = s.cimn * t.mn;
      s.ce = s.cemn * t.mn;
      s.cp = s.cpmn * t.mn;
    } else {
      s.cimn = s.ci / t.mn;
      s.cemn = s.ce / t.mn;
      s.cpmn = s.cp / t.mn;
    }
  }

  // The ball and the number of teeth a shift is searched from are needed before the shift is
  // known; the others are chosen at the final shift (CompleteMeasurements), so that the
  // program's own choice is the standard one for the joint it lists.
  const bool shaftTeethChosen = t.k[1] == 0;
  for (int part = 1; part <= 2; ++part) {
    if (t.Dm[part] == 0 && GivenByMeasurement(part, 3)) t.Dm[part] = StandardBall(part, 0);
    if (CalcFatalFlag) return;
    if (t.k[part] == 0 && GivenByMeasurement(part, 4)) {
      t.k[part] = CalcSpanTeeth(t.z[part], t.betaRad, t.alphaRad, 0, t.mn);
    }
    if (CalcFatalFlag) return;
  }

  if (s.ShiftGivenFor == 2) {
    if (s.InputKind[2] != 1) ShiftFromInput(2);
    if (CalcFatalFlag) return;
    CompleteMeasurements(2);
    if (CalcFatalFlag) return;
    s.snIn[1] = s.enIn[2] - s.cp;
    t.x[1] = ShiftFromToothThickness(1);
  } else if (s.ShiftGivenFor == 1) {
    if (s.InputKind[1] != 1) ShiftFromInput(1);
    if (CalcFatalFlag) return;
    CompleteMeasurements(1);
    if (CalcFatalFlag) return;
    s.enIn[2] = s.snIn[1] + s.cp;
    t.x[2] = ShiftFromSpaceWidth(2);
  } else {
    ShiftFromInput(1);
    if (CalcFatalFlag) return;
    ShiftFromInput(2);
  }
  if (CalcFatalFlag) return;

  MajorDiameters();
  MinorDiameters();
  if (!CheckToothOverlap()) return;

  RunGearEngine();
  if (CalcFatalFlag) return;
  SettleSpanTeeth(shaftTeethChosen);

  if (s.ShiftGivenFor == 0) {
    // What a rounded measurement leaves of a zero backlash is no backlash.
    s.cp = SnapBacklash(t.en[2] - t.sn[1]);
    s.cpmn = s.cp / t.mn;
  }
  CheckSplineStandard();
}

// True when the shaft's shift is searched from a span over a number of teeth the program picks.
bool TeethChosenBeforeTheShift() {
  return T().k[1] == 0 && GivenByMeasurement(1, 4);
}

constexpr int kMaxStandardRounds = 6;

// The program's data set of the joint after a calculation with these fields cleared, the rest of
// the data set and the message list left as they were.
template <typename Clear, typename Read>
auto ProposedBy(Clear clear, Read read) {
  const TToothingData toothing = ToothingData;
  const TSplineInputData input = SplineInputData;
  const TErrorList errors = ErrorList;
  const bool fatal = CalcFatalFlag, abort = AbortFlag;
  clear();
  CalcSplineJoint();
  const auto value = read();
  ToothingData = toothing;
  SplineInputData = input;
  ErrorList = errors;
  CalcFatalFlag = fatal;
  AbortFlag = abort;
  return value;
}

// Where the number of teeth picked at x = 0 cannot have given the span, or the standard never
// settles, the span is taken over a number of teeth it can have been measured over, nearest the
// first pick: one whose caliper touches the flank, else any; the first pick (with its message)
// where none can.
int32_t TeethTheSpanCanHave(int32_t firstTeeth, const std::function<void()>& once) {
  TToothingData& t = T();
  std::vector<int32_t> order;
  for (int32_t k = 1; k <= t.z[1]; ++k) order.push_back(k);
  std::stable_sort(order.begin(), order.end(), [firstTeeth](int32_t a, int32_t b) {
    return std::abs(a - firstTeeth) < std::abs(b - firstTeeth);
  });
  int32_t calculated = 0;
  for (const int32_t k : order) {
    t.k[1] = k;
    long double least = 0, most = 0;
    if (!SpanWithinRange(1, least, most)) continue;
    once();
    if (CalcFatalFlag) continue;
    if (SpanContactOnFlank()) return k;
    if (calculated == 0) calculated = k;
  }
  return calculated != 0 ? calculated : firstTeeth;
}

}  // namespace

void CalcSplineJoint() {
  // The number of teeth a span is measured over, when the program picks it, has to be picked
  // before the shift is known; it is the standard one when it is the standard at the shift found,
  // so the search is repeated with the standard at that shift until they agree.
  const bool chosen = TeethChosenBeforeTheShift();
  TToothingData& t = T();
  // Each try starts from the balls and hub teeth as given: those a try chose belong to its shifts.
  const long double shaftBall = t.Dm[1], hubBall = t.Dm[2];
  const int32_t hubTeeth = t.k[2];
  auto once = [&] {
    t.Dm[1] = shaftBall, t.Dm[2] = hubBall, t.k[2] = hubTeeth;
    CalcSplineJointOnce();
  };
  int32_t firstTeeth = 0;
  for (int round = 0; round < kMaxStandardRounds; ++round) {
    once();
    if (round == 0) firstTeeth = t.k[1];
    if (!chosen) return;
    if (CalcFatalFlag) break;
    const long double standard = S().kDIN[1];
    if (!(standard >= 1) || standard == t.k[1]) return;
    t.k[1] = static_cast<int32_t>(standard);
  }
  t.k[1] = TeethTheSpanCanHave(firstTeeth, once);
  once();
}

long double ProposedBall(int part) {
  return ProposedBy([part] { ToothingData.Dm[part] = 0; },
                    [part] { return CalcFatalFlag ? 0.0L : ToothingData.Dm[part]; });
}

int32_t ProposedSpanTeeth() {
  return ProposedBy([] { ToothingData.k[1] = 0; },
                    [] { return CalcFatalFlag ? int32_t{0} : ToothingData.k[1]; });
}
