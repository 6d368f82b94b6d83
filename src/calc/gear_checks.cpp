// Checks of the computed gear pair and the drawing diameters.
#include "calc/gear_checks.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "calc/measurement.h"
#include "common/formatting.h"
#include "common/guarded_math.h"
#include "common/message_list.h"
#include "common/program_state.h"

namespace {

std::string Num(int i) {
  return std::to_string(i);
}

void CheckMeasurement(const TToothingData& t, int i) {
  CheckBallContact(t.z[i], t.MFinMin[i], t.M2PreMax[i], t.dfLimit[i], t.dFaMin[i], t.Dm[i],
                   t.alphaRad, t.rhoaP0[i], i);
  const int32_t standardK = CalcSpanTeeth(t.z[i], t.betaRad, t.alphaRad, t.xeFinMax[i], t.mn);
  if (DeviationPercent(standardK, t.k[i]) > 50) AddError("No. of teeth measured " + Num(i) + " !");
  const long double w = t.WFinMin[i];
  if (GearMaterialData.GearVariant == 0 && t.bGear[i] < w * std::sin(t.betab) + 2 + 0.03L * w &&
      t.beta > 0)
    AddError("Warning: b < b min. (" + Num(i) + ")");
}

}  // namespace

void CheckGearPair() {
  TToothingData& t = ToothingData;
  const bool variantZero = GearMaterialData.GearVariant == 0;
  const bool pair = t.z[1] + t.z[2] != 0;

  for (int i = 1; i <= 2; ++i) {
    if (t.sa[i] <= 0.15L * t.mn || t.san[i] <= 0.15L * t.mn)
      AddError("Warning: point teeth ! (" + Num(i) + ")");
    if (variantZero && t.z[i] > 0 && t.x[i] < t.xmin[i])
      AddError("Warning: undercut ! (" + Num(i) + ")");
    if (t.c[i] < 0) AddError("Error  : clearance sh.add. < 0 ! (" + Num(i) + ")");
  }
  if (std::abs(t.z[2]) < std::abs(t.z[1])) AddError("Warning: z2<z1 !");
  if (t.z[2] < 0 && t.meshingInterference < 0)
    AddError("meshing interference ! (" + RealStr(t.meshingInterference) + ")");
  if (variantZero && t.u == std::trunc(t.u) && pair) AddError("gear ratio !");
  if (t.epsAlpha < 1 && pair) AddError("eps.alpha < 1 !");
  if (t.epsBeta < 1 && t.beta > 0) AddError("eps.beta < 1 !");
  if (t.epsGamma < 1 && pair) AddError("eps.gamma < 1 !");

  for (int i = 1; i <= 2; ++i) {
    if (std::fabs(t.x[i]) > 1.5L) AddError("Warning: x > 1.5   (" + Num(i) + ") !");
    if (t.alpha < t.alphaprP0[i]) AddError("alfa prP0 > alfa !");
    if (t.alphakP0[i] < t.alpha) AddError("alfa kP0 < alfa !");
    CheckMeasurement(t, i);
  }
  if (variantZero) {
    for (long double sliding : t.specificSliding) {
      if (std::fabs(sliding) > 2) {
        AddError("Warning: spec.sliding > 2 !");
        break;
      }
    }
  }
  for (int i = 1; i <= 2; ++i)
    if (t.xePreMax[i] < t.xePreMin[i]) AddError("Error  : xemin>xemax (" + Num(i) + ")");
  for (int i = 1; i <= 2; ++i) {
    if (t.materialFactor1[i] == 0) t.materialFactor1[i] = 1.0L;
    if (t.materialFactor2[i] == 0) t.materialFactor2[i] = 1.0L;
    if (t.materialDensity[i] == 0) t.materialDensity[i] = 7.8L;
  }
  // Signed comparisons: for an internal gear they hold in the mirrored sense.
  for (int i = 1; i <= 2; ++i) {
    if (t.dw[i] < t.dfLimit[i]) AddError("Error  : dw < df ! (" + Num(i) + ")");
    if (t.da[i] < t.dw[i]) AddError("Error  : dw > da ! (" + Num(i) + ")");
    if (t.di[i] != 0 && t.dfLimit[i] < t.di[i]) AddError("Error  : di > df ! (" + Num(i) + ")");
  }
}

bool CoaxialPair() {
  const TToothingData& t = ToothingData;
  return t.z[1] != 0 && t.z[1] + t.z[2] == 0;
}

void CalcDrawingDiameters() {
  const TToothingData& t = ToothingData;
  TToothGraphicsSettings& g = ToothGraphicsSettings;
  g.drawPlanetCount = g.PlanetCount;
  g.toothAngleDw1 = RadToDeg(2 * SafeArcSin(t.sw[1] / (2 * t.dw[1])));
  for (int i = 1; i <= 2; ++i) {
    g.xDrawFin[i] = (t.xeFinMin[i] + t.xeFinMax[i]) / 2;
    g.xDrawPre[i] = (t.xePreMin[i] + t.xePreMax[i]) / 2;
    // Every calculation hands the pictures the part it describes; a shift chosen for a
    // picture lasts until the next calculation.
    g.xeInvolute[i] = g.xDrawFin[i];
    g.xeShape[i] = g.xDrawPre[i];
  }
  g.aDraw = t.a;
  CalcGearDiameters(g.xDrawFin);
}

void CalcGearDiameters(PartReal x) {
  const TToothingData& t = ToothingData;
  TToothGraphicsSettings& g = ToothGraphicsSettings;
  for (int i = 1; i <= 2; ++i) {
    g.snGen[i] = t.mn * (kPi / 2 + 2 * x[i] * std::tan(t.alphaRad));
    // With a premachining allowance the root is cut at the mean premachining shift.
    const long double shift =
        t.q[i] <= 1e-5L ? 2 * x[i] * t.mn : (t.xePreMin[i] + t.xePreMax[i]) * t.mn;
    g.dfGen[i] = t.d[i] - 2 * t.haP0[i] + shift;
    g.daGen[i] = IsEqual(t.tipReduction[i], 0) ? 2 * t.hfP0[i] + t.d[i] + shift : t.da[i];
    long double alphaw = t.alphat;
    // Shaft and hub of a spline share one axis: they roll on their reference circles at any
    // drawing centre distance.
    if (g.aDraw != 0 && !CoaxialPair()) {
      const long double cw = std::cos(t.alphat) * (t.d[1] + t.d[2]) / 2 / g.aDraw;
      // A pair drawn at a centre distance it cannot have would get infinite rolling circles.
      // The message tells the user why the drawing shows the message list instead of a
      // picture.
      if (cw > 1 || cw <= 1e-12L) {
        AddError("Fatal  : a draw not reachable !");
        CalcFatalFlag = true;
        return;
      }
      alphaw = SafeArcCos(cw);
    }
    g.dwGen[i] = t.d[i] * std::cos(t.alphat) / std::cos(alphaw);
  }
}
