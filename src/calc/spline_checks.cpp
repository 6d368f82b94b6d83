// Conformity checks of the finished spline joint and the checks that keep the listing from
// showing a value a user cannot use.
#include "calc/spline_checks.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "calc/measurement.h"
#include "calc/spline_joint.h"
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

std::string PartSuffix(int part) {
  return " (" + std::to_string(part) + ")";
}

void PostFatal(const std::string& text) {
  AddError(text);
  CalcFatalFlag = true;
}

constexpr long double kHalfMicron = 0.0005L;
constexpr long double kShiftLimit = 1.5L;

// The shaft's flank runs from its root form diameter (not below the base circle, where the
// involute begins) to its tip form diameter.
long double FlankLow() {
  return std::max(T().dFf[1], T().db[1]);
}
long double FlankHigh() {
  return T().dFa[1];
}

// The shaft's span over k teeth at the shift xE (the engine's formula, without its messages
// about the standard number of teeth, which a given k does not need).
long double ShaftSpan(int32_t k, long double xE) {
  const TToothingData& t = T();
  return CalcSpanMeasurement(t.z[1], k, t.mn, t.alphaRad, t.betaRad, xE);
}
long double ShaftSpan(int32_t k) {
  return ShaftSpan(k, T().x[1]);
}

bool ContactOnFlank(int32_t k) {
  const long double contact = SpanContactDiameter(T().db[1], ShaftSpan(k));
  return contact >= FlankLow() && contact <= FlankHigh();
}

// The term of the root form formula that says how far above the base circle the generated
// fillet meets the involute: sin(at) d - 2 (haP0 - x mn - rhoaP0 (1 - sin a)) / sin(at).
// Below zero the tool tip cuts the involute away (undercut): the formula has no form circle.
long double RootFormTerm(int i) {
  const TToothingData& t = T();
  const long double s = std::sin(t.alphat);
  return s * t.d[i] -
         2 * (t.haP0[i] - t.x[i] * t.mn - (1 - std::sin(t.alphaRad)) * t.rhoaP0[i]) / s;
}

void CheckRootForm() {
  const TToothingData& t = T();
  // Shaft: the form circle must come from the formula (the listed number is then no form
  // diameter, though it lies above the base circle) and lie below the tip.
  if (RootFormTerm(1) < 0) {
    AddError("Error  : dFf undercut ! (1)");
  } else if (t.dFf[1] > t.da[1]) {
    AddError("Error  : dFf > da ! (1)");
  }
  // Hub (negative diameters): the root form circle lies outside the tip and the base circle.
  if (std::fabs(t.dFf[2]) < std::fabs(t.db[2])) {
    AddError("Error  : dFf < db ! (2)");
  } else if (std::fabs(t.dFf[2]) <= std::fabs(t.da[2])) {
    AddError("Error  : dFf > da ! (2)");
  }
}

// Each gap that closes before its root circle, with the diameter where its flanks meet: the
// listed root diameter is then not where the gap ends.
void CheckGapClosing() {
  for (int i = 1; i <= 2; ++i) {
    const long double meet = GapClosingDiameter(i);
    if (meet == 0) continue;
    AddError("Error  : gap closes before df at " + TrimStr(LengthStrN(3, std::fabs(meet))) +
             LengthUnitStr() + " !" + PartSuffix(i));
  }
}

// A tip that reaches past the mate's form circle meets its fillet, not its flank.
void CheckInterference() {
  const TToothingData& t = T();
  if (std::fabs(t.da[2]) < FlankLow()) AddError("Error  : hub tip inside dFf1, interference ! (2)");
  if (t.da[1] > std::fabs(t.dFf[2])) AddError("Error  : shaft tip outside dFf2, interference ! (1)");
}

// The backlash that leaves the mate's teeth pointed or beyond the shift range is the cause to
// name, not only those follow-on findings.
void CheckBacklash() {
  const TToothingData& t = T();
  const TSplineInputData& s = S();
  if (s.ShiftGivenFor != 1 && s.ShiftGivenFor != 2) return;
  const int mate = 3 - s.ShiftGivenFor;
  const int given = s.ShiftGivenFor;
  const bool givenSound = t.sa[given] > 0 && std::fabs(t.x[given]) <= kShiftLimit;
  const bool mateSpoilt = t.sa[mate] <= 0 || std::fabs(t.x[mate]) > kShiftLimit;
  if (s.cp > 0 && givenSound && mateSpoilt) AddError("Error  : cp too large !" + PartSuffix(mate));
}

// The engine's own finding for a ball that cannot rest on both flanks went with its message
// list; the final ball at the final shift is judged here again. Where it rests on both, its
// contact must lie on the active flank (signed diameters: a hub's tip form circle is the upper
// end), or the dimension over it measures a tip or a fillet.
void CheckBallSeat(int i) {
  const TToothingData& t = T();
  if (!BallFitsGap(t.z[i], t.mn, t.alphaRad, t.betaRad, t.x[i], t.Dm[i])) {
    CheckBallInGap(t.z[i], t.mn, t.alphaRad, t.betaRad, t.x[i], t.Dm[i], i);
    return;
  }
  const long double contact =
      BallContactDiameter(t.z[i], t.mn, t.alphaRad, t.betaRad, t.x[i], t.Dm[i]);
  if (contact < t.dFf[i]) {
    PostBallFinding(TBallFinding::TooSmall, t.Dm[i], i);
  } else if (contact > t.dFa[i]) {
    PostBallFinding(TBallFinding::TooLarge, t.Dm[i], i);
  } else if (BallReachesRoot(t.z[i], t.MdRCheck[i], t.dfLimit[i], t.Dm[i])) {
    PostBallFinding(TBallFinding::NearRoot, t.Dm[i], i);
  }
}

void CheckSpanContact() {
  if (!SpanContactOnFlank()) {
    AddError("Warning: span W off flank (k = " + std::to_string(T().k[1]) + ") !");
  }
}

}  // namespace

long double GapFlankMeetingDiameter(int32_t z, long double mn, long double alpha, long double e) {
  if (z == 0) return 0;
  const long double d = std::fabs(z * mn);
  const long double db = d * std::cos(alpha);
  // The gap's half angle on a circle of pressure angle a is e / d -+ (inv alpha - inv a); it is 0
  // where inv a = inv alpha -+ e / d.
  const long double y = z > 0 ? Inv(alpha) - e / d : Inv(alpha) + e / d;
  if (!(y > 0) || !(y < Inv(1.57L))) return 0;
  const long double meet = db / std::cos(ArcInv(y));
  return z > 0 ? meet : -meet;
}

long double GapClosingDiameter(int part) {
  const TToothingData& t = T();
  const long double meet = GapFlankMeetingDiameter(t.z[part], t.mn, t.alphaRad, t.en[part]);
  if (meet == 0) return 0;
  if (part == 1) return meet > t.df[1] ? meet : 0;
  return meet > t.df[2] ? meet : 0;  // both negative: inside the hub's root circle
}

bool RootFormMeaningless(int part) {
  return part == 1 && RootFormTerm(1) < 0;
}

bool SpanContactOnFlank() {
  const TToothingData& t = T();
  const long double contact = SpanContactDiameter(t.db[1], t.W[1]);
  return contact >= FlankLow() && contact <= FlankHigh();
}

long double SpanContactDiameter(long double db, long double W) {
  return std::sqrt(db * db + W * W);
}

int32_t SpanTeethMidFlank() {
  const TToothingData& t = T();
  const long double middle = (FlankLow() + FlankHigh()) / 2;
  int32_t best = 0;
  long double bestDistance = 0;
  for (int32_t k = 1; k <= t.z[1]; ++k) {
    const long double distance = std::fabs(SpanContactDiameter(t.db[1], ShaftSpan(k)) - middle);
    if (best == 0 || distance < bestDistance) {
      best = k;
      bestDistance = distance;
    }
  }
  return best;
}

long double SnapBacklash(long double cp) {
  return std::fabs(cp) < kHalfMicron ? 0.0L : cp;
}

bool CheckToothOverlap() {
  const TSplineInputData& s = S();
  // Both tips as magnitudes: the hub's tip must reach inside the shaft's.
  if (s.daIn[2] < s.daIn[1]) {
    // A shaft tip inside its base circle has no involute: nothing of it can touch the hub.
    const TToothingData& t = T();
    if (s.daIn[1] > t.db[1]) return true;
    if (t.x[1] < -kShiftLimit) {
      PostFatal("Fatal  : x < -1.5, da <= db, no contact ! (1)");
    } else {
      PostFatal("Fatal  : da <= db, no contact ! (1)");
    }
    return false;
  }
  switch (s.ShiftGivenFor) {
    case 1:
      PostFatal("Fatal  : ci >= h1, no contact !");
      break;
    case 2:
      PostFatal("Fatal  : ce >= h2, no contact !");
      break;
    default:
      PostFatal("Fatal  : da2 >= da1, no contact !");
      break;
  }
  return false;
}

void SettleSpanTeeth(bool chosenByProgram) {
  TToothingData& t = T();
  TSplineInputData& s = S();
  const bool spanGiven = s.InputKind[1] == 4 && s.ShiftGivenFor != 2;
  // The number the program stands for: the standard rule, or where that one's contact misses
  // the flank, the number whose contact lies nearest the middle of the flank. A span that was
  // measured keeps the number it was measured over, and is compared with the same standard.
  if (FlankLow() >= FlankHigh()) return;
  const int32_t standard = static_cast<int32_t>(s.kDIN[1]);
  if (standard >= 1 && ContactOnFlank(standard)) return;
  const int32_t midFlank = SpanTeethMidFlank();
  s.kDIN[1] = midFlank;
  if (spanGiven || !chosenByProgram || t.k[1] == midFlank) return;
  t.k[1] = midFlank;
  t.WPreMin[1] = ShaftSpan(midFlank, t.xePreMin[1]);
  t.WPreMax[1] = ShaftSpan(midFlank, t.xePreMax[1]);
  t.W[1] = ShaftSpan(midFlank);
  t.WFinMin[1] = ShaftSpan(midFlank, t.xeFinMin[1]);
  t.WFinMax[1] = ShaftSpan(midFlank, t.xeFinMax[1]);
  s.WIn[1] = t.W[1];
}

void CheckSplineStandard() {
  const TToothingData& t = T();
  const TSplineInputData& s = S();
  if (DeviationPercent(t.k[1], s.kDIN[1]) > 20) AddError("Warning: k <> k DIN !");
  CheckSpanContact();
  for (int i = 1; i <= 2; ++i) {
    if (s.DmDIN[i] > 0 && DeviationPercent(t.Dm[i], s.DmDIN[i]) > 20) {
      AddError("Warning: Dm <> Dm DIN !" + PartSuffix(i));
    }
    CheckBallSeat(i);
  }
  for (int i = 1; i <= 2; ++i) {
    // Teeth that come to a point below the tip (or overlap) have no top land at all.
    if (t.sa[i] <= 0 || t.san[i] <= 0) {
      AddError("Error  : sa <= 0, pointed teeth !" + PartSuffix(i));
    } else if (t.sa[i] <= 0.15L * t.mn || t.san[i] <= 0.15L * t.mn) {
      AddError("Warning: sa < 0.15*m !" + PartSuffix(i));
    }
    if (GearMaterialData.GearVariant == 0 && t.z[i] > 0 && t.x[i] < t.xmin[i]) {
      AddError("Warning: undercut" + PartSuffix(i));
    }
  }
  const long double lift = 1 - std::sin(t.alphaRad);
  // A negative clearance is the finding; that it is also below the fillet goes without saying.
  if (s.ce < 0) {
    AddError("Error  : ce < 0 !");
  } else if (s.ce < t.rhoaP0[2] * lift) {
    AddError("Warning: ce < rf2 !");
  }
  if (s.ci < 0) {
    AddError("Error  : ci < 0 !");
  } else if (s.ci < t.rhoaP0[1] * lift) {
    AddError("Warning: ci < rf1 !");
  }
  if (s.cp <= -kHalfMicron) AddError("Error  : cp < 0 !");
  if (t.dFf[1] < t.db[1]) AddError("Warning: db > dFf ! (1)");
  CheckRootForm();
  CheckGapClosing();
  CheckInterference();
  CheckBacklash();
  // The tip of either part must lie on its involute, outside the base circle (the hub's
  // diameters are negative).
  for (int i = 1; i <= 2; ++i) {
    if (std::fabs(t.da[i]) < std::fabs(t.db[i])) AddError("Error  : db > da !" + PartSuffix(i));
  }
  // A shift beyond 1.5 was named by the input check, which judged the final shifts again.
}
