// Measurement values of the gear pair engine.
#include "calc/gear_measurement.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "calc/measurement.h"
#include "calc/toothing_data.h"
#include "common/formatting.h"
#include "common/guarded_math.h"
#include "common/message_list.h"
#include "common/program_state.h"

namespace {

const char* const kSpanText = "Fatal  : span measure !";

bool IsOdd(int32_t z) {
  return z % 2 != 0;
}

}  // namespace

long double CalcGearSpan(int i, long double xE) {
  TToothingData& t = ToothingData;
  const long double z = t.z[i];
  const long double dx = t.d[i] + 2 * t.x[i] * t.mn;
  const long double betax = std::atan(std::tan(t.betaRad) * dx / t.d[i]);
  const long double alphax = ArcCosMsg(
      kSpanText, (t.d[i] / dx) * std::cos(t.alphaRad) * std::cos(t.betaRad) / std::cos(betax));
  // Only reports a profile shift that the measurement cannot reach.
  ArcCosMsg(kSpanText, std::cos(t.alphat) / (2 * xE / z * std::cos(t.betaRad) + 1));
  const long double zv = z * Inv(t.alphat) / Inv(t.alphaRad);
  const long double s = t.z[i] < 0 ? -1.0L : 1.0L;
  if (t.k[i] == 0) t.k[i] = static_cast<int32_t>(std::trunc(s * zv * alphax / kPi * s + 1));
  return t.mn * std::cos(t.alphaRad) * (kPi * (t.k[i] - s / 2) + z * Inv(t.alphat)) +
         2 * xE * t.mn * std::sin(t.alphaRad);
}

long double CalcGearBallDimension(int i, long double xE) {
  TToothingData& t = ToothingData;
  const long double z = t.z[i];
  const long double eta = (kPi - 4 * xE * std::tan(t.alphaRad)) / 2 / z;
  const long double alphaM = ArcInv(t.Dm[i] / t.db[i] / std::cos(t.betab) - (eta - Inv(t.alphat)));
  if (alphaM < 0) PostBallMisfit(t.z[i] > 0, t.Dm[i], i);  // through a gear's gap, on a ring's tips
  const long double dM = t.db[i] / std::cos(alphaM);
  if (IsOdd(t.z[i])) return dM * std::cos(kPi / 2 / z) + t.Dm[i];
  return dM + t.Dm[i];
}

long double OddToothBallDimension(int i, long double M) {
  const TToothingData& t = ToothingData;
  if (IsOdd(t.z[i]) && t.beta > 0) return t.Dm[i] + (M - t.Dm[i]) / std::cos(kPi / 2 / t.z[i]);
  return M;
}

void CalcGearTolerances() {
  if (CalcFatalFlag) return;
  TToothingData& t = ToothingData;
  for (int i = 1; i <= 2; ++i) {
    if (t.ballDiameterSwitch == 1) {
      t.Dm[i] = CalcBallDiameter(t.z[i], t.betaRad, t.alphaRad, t.xeFinMax[i], t.mn);
      t.k[i] = 0;
    }
    struct Case {
      long double xE;
      long double* W;
      long double* M;
    };
    const Case cases[5] = {{t.xePreMin[i], &t.WPreMin[i], &t.MPreMin[i]},
                           {t.xePreMax[i], &t.WPreMax[i], &t.MPreMax[i]},
                           {t.x[i], &t.W[i], &t.MNominal[i]},
                           {t.xeFinMin[i], &t.WFinMin[i], &t.MFinMin[i]},
                           {t.xeFinMax[i], &t.WFinMax[i], &t.MFinMax[i]}};
    for (const Case& c : cases) {
      *c.W = CalcGearSpan(i, c.xE);
      if (CalcFatalFlag) return;
    }
    for (const Case& c : cases) {
      *c.M = CalcGearBallDimension(i, c.xE);
      if (CalcFatalFlag) return;
    }
    t.M2PreMin[i] = OddToothBallDimension(i, t.MPreMin[i]);
    t.M2PreMax[i] = OddToothBallDimension(i, t.MPreMax[i]);
    t.M[i] = OddToothBallDimension(i, t.MFinMin[i]);
    t.M2FinMax[i] = OddToothBallDimension(i, t.MFinMax[i]);
    t.M2Nominal[i] = OddToothBallDimension(i, t.MNominal[i]);
    // What the ball contact check of the spline calculation reads.
    t.MdRCheck[i] = t.MFinMin[i];
    t.MCheck[i] = t.M2PreMax[i];
  }
  for (int i = 1; i <= 2; ++i)
    if (t.dfLimit[i] <= 0 && t.z[i] > 0) AddError("Invalid Data !");
}
