// Whole wheels, the ring gear with the shaft rolled inside, and planet sets, all built from
// block inserts.
#include "drawings/whole_wheel.h"

#include <cmath>
#include <cstdlib>

#include "calc/toothing_data.h"
#include "common/formatting.h"
#include "common/guarded_math.h"
#include "common/program_state.h"
#include "graphics/cad_blocks.h"

namespace {

constexpr int kDefaultImagingCount = 200;
constexpr int kDefaultPlanets = 3;

bool Usable(long double v) {
  return std::isfinite(v) && v != 0;
}

}  // namespace

void DrawGearWheel(int part, bool withToothShapes) {
  if (AbortFlag) return;
  const int z = ToothingData.z[part];
  if (z == 0) return;
  const long double t = 360.0L / z;
  const std::string outline = "EVOLV" + IntStr(part);
  const std::string shape = "ZAHN" + IntStr(part);
  long double s = 0;
  for (int i = 0; i < std::abs(z); ++i) {
    const long double q = 360 - s;
    CadColour(0);
    CadInsertBlock(outline, 0, 0, q + t / 2, 1, 1);
    if (withToothShapes) CadInsertBlock(shape, 0, 0, q, 1, 1);
    s += t;
  }
}

void DrawRingGearImaging() {
  if (AbortFlag) return;
  const TToothingData& td = ToothingData;
  TToothGraphicsSettings& g = ToothGraphicsSettings;
  // A count below one would never finish the turn.
  if (g.WheelImagingCount <= 0) g.WheelImagingCount = kDefaultImagingCount;
  const int z2 = td.z[2];
  if (z2 == 0) return;
  const long double t = 360.0L / z2;
  long double q = 90;
  for (int i = 0; i < std::abs(z2); ++i) {
    CadColour(0);
    CadInsertBlock("EVOLV2", 0, 0, q, 1, 1);
    q += t;
  }
  const long double dw1 = g.dwGen[1];
  const long double dw2 = g.dwGen[2];
  CadColour(1);
  CadCircle(0, 0, std::fabs(dw2) / 2);
  if (!Usable(dw1) || !std::isfinite(dw2)) return;
  const long double r = -(dw1 + dw2) / 2;
  const int count = g.WheelImagingCount;
  const long double step = 2 * kPi / count;
  // Counted positions, so rounding of the summed steps never adds one.
  for (int k = 0; k < count; ++k) {
    const long double p = k * step;
    const long double w = -p * (dw2 / dw1 + 1);
    CadInsertBlock("RAD1", r * std::cos(p), r * std::sin(p), -RadToDeg(w + kPi / 2), 1, 1);
  }
}

void DrawPlanetWheels(int planets, int selector, long double rotationDeg) {
  if (AbortFlag) return;
  const TToothingData& td = ToothingData;
  const TToothGraphicsSettings& g = ToothGraphicsSettings;
  const int n = planets <= 0 ? kDefaultPlanets : planets;
  const int p = selector == 2 ? 2 : 1;
  const int s = 3 - p;
  const long double base = selector == 2 ? 180 : 0;
  const int zP = td.z[p];
  const int zS = td.z[s];
  const long double dwP = g.dwGen[p];
  const long double dwS = g.dwGen[s];
  if (zP == 0 || zS == 0 || !Usable(dwP) || !Usable(dwS)) return;
  const long double c = -rotationDeg * zP / zS;
  CadColour(0);
  const long double step = 2 * kPi / n;
  long double o = 0;
  if (IsEven(zP)) o = 180.0L / zP * dwP / dwS;
  if (IsEven(zS)) o += 180.0L / zS;
  CadInsertBlock("RAD" + IntStr(s), 0, 0, base + o + c, 1, 1);
  const long double m = (dwS + dwP) / 2;
  for (int k = 0; k < n; ++k) {
    const long double a = k * step;
    const long double u = RadToDeg((dwS / dwP + 1) * a) + 180 - 180.0L / zP;
    CadInsertBlock("RAD" + IntStr(p), -std::cos(a + kPi / 2) * m, -std::sin(a + kPi / 2) * m,
                   base + u + rotationDeg, 1, 1);
  }
}
