// Driver of the gear pair engine, its input checks and the centre distance check.
#include "calc/gear_pair.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "calc/gear_checks.h"
#include "calc/gear_contact.h"
#include "calc/gear_geometry.h"
#include "calc/gear_measurement.h"
#include "calc/toothing_data.h"
#include "common/guarded_math.h"
#include "common/message_list.h"
#include "common/program_state.h"

namespace {

void PostFatal(const std::string& text) {
  AddError(text);
  CalcFatalFlag = true;
}

bool Stopped() {
  return CalcFatalFlag || AbortFlag;
}

}  // namespace

void CalcGearPair() {
  CheckGearInput();
  if (CalcFatalFlag) return;
  CorrectCentreDistance();
  if (CalcFatalFlag) return;
  CalcGearGeometry();
  if (Stopped()) return;
  CalcTipAndClearance();
  if (Stopped()) return;
  CalcGearContact();
  if (Stopped()) return;
  CalcGearTolerances();
  if (Stopped()) return;
  CalcProfilePoints();
  CheckGearPair();
  CalcDrawingDiameters();
}

void CheckGearInput() {
  if (CalcFatalFlag) {
    AddError("Fatal  : Unit0");
    return;
  }
  TToothingData& t = ToothingData;
  if (t.alpha < kMinPressureAngle || t.alpha > kMaxPressureAngle) {
    PostFatal(kPressureAngleRefusal);
    return;
  }
  // A steep helix is reported but still calculated.
  if (std::fabs(t.beta) > 45) AddError("Fatal  : beta > 45!");
  if (t.mn <= 0) {
    PostFatal("Fatal  : mn <= 0!");
    return;
  }
  if (t.b <= 0) {
    PostFatal("Fatal  : b <= 0!");
    return;
  }
  for (int i = 1; i <= 2; ++i) {
    if (std::abs(t.z[i]) < 2) {
      PostFatal("Fatal  : z" + std::to_string(i) + " < 2!");
      return;
    }
  }
  if (std::abs(t.z[2]) < std::abs(t.z[1])) AddError("Error  : z2 < z1 !");
  if (t.z[1] < 0) AddError("Error  : z1 < 0 !");

  for (int i = 1; i <= 2; ++i) {
    if (t.bGear[i] <= 0) t.bGear[i] = t.b;
    if (t.alphakP0[i] == 0) t.alphakP0[i] = t.alpha;
    if (t.alphakP0[i] == t.alpha) {
      t.toolAngleFlag[i] = 0;
      t.hFfP0mn[i] = t.hfP0mn[i];
    } else {
      t.toolAngleFlag[i] = 1;
    }
  }

  t.alphaRad = DegToRad(t.alpha);
  t.betaRad = DegToRad(t.beta);
  t.Pn = 25.4L / t.mn;
  switch (t.gearType) {
    case 1:
      t.gearTypeDerived = t.z[2] < 0 ? 1 : 2;
      break;
    case 2:
      t.gearTypeDerived = t.z[2] < 0 ? 2 : 1;
      break;
    case 3:
      t.gearTypeDerived = 3;
      break;
    default:
      break;
  }

  const long double cosBeta = std::cos(t.betaRad);
  t.mt = t.mn / cosBeta;
  for (int i = 1; i <= 2; ++i) t.d[i] = t.z[i] * t.mt;
  t.alphat = std::atan(std::tan(t.alphaRad) / cosBeta);
  const long double sinAlpha = std::sin(t.alphaRad);
  t.zg = 2 / (sinAlpha * sinAlpha);
  t.zgPractical = t.zg * 5.0L / 6.0L;
  const long double cos3Beta = cosBeta * cosBeta * cosBeta;
  for (int i = 1; i <= 2; ++i) t.xmin[i] = (t.zgPractical - t.z[i] / cos3Beta) / t.zg;
}

void CorrectCentreDistance() {
  if (CalcFatalFlag) return;
  TToothingData& t = ToothingData;
  if (t.a == 0) {
    t.alphawt = 0;
    t.sumX = 0;
    return;
  }
  const long double zSum = static_cast<long double>(t.z[1]) + t.z[2];
  long double cw = std::cos(t.alphat) * (t.d[1] + t.d[2]) / 2 / t.a;
  if (cw > 1 || cw < 0) {
    AddError("Cent.distance corr. !");
    t.ad = t.mn / 2 / std::cos(t.betaRad) * zSum;
    // Only a grossly wrong entry is replaced by the reference centre distance.
    if (DeviationPercent(t.ad, t.a) > 20) t.a = t.ad;
    cw = std::cos(t.alphat) * (t.d[1] + t.d[2]) / 2 / t.a;
  }
  t.alphawt = SafeArcCos(cw);
  t.sumX = (Inv(t.alphawt) - Inv(t.alphat)) * zSum / 2 / std::tan(t.alphaRad);
}
