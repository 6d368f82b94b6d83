// Root fillet (trochoid equidistant) of an external part.
#include "drawings/root_fillet.h"

#include <cmath>

#include "calc/toothing_data.h"
#include "common/guarded_math.h"
#include "common/program_state.h"
#include "graphics/cad_blocks.h"

namespace {

constexpr int kDefaultFilletSteps = 30;

// Distance of the tip radius centre from the rolling line; it follows the tooth-shape
// generating shift in every case.
long double RollingDistance(int n) {
  const TToothingData& t = ToothingData;
  return t.haP0[n] - t.mn * ToothGraphicsSettings.xeShape[n] - t.rhoaP0[n];
}

// Point of the fillet curve at the rolling angle phi, before it is turned to the tooth: the
// point of the tip radius circle on the far side from the rolling point.
void RootFilletCurvePoint(int n, long double phi, long double& x, long double& y) {
  const TToothingData& t = ToothingData;
  const long double r = t.d[n] / 2;
  const long double u = RollingDistance(n);
  const long double rho = t.rhoaP0[n];
  if (u < 0) {
    // The tip radius centre lies outside the rolling line: the trochoid is followed the other
    // way round, so both the angle and the rolled length change sign.
    const long double c = std::cos(-phi), s = std::sin(-phi);
    const long double roll = -r * phi;
    const long double l = std::sqrt(roll * roll + u * u);
    x = (roll * c + u * s) * (1 - rho / l) - r * s;
    y = (roll * s - u * c) * (1 - rho / l) + r * c;
    return;
  }
  const long double c = std::cos(phi), s = std::sin(phi);
  const long double cb = std::cos(t.betaRad);
  const long double l = std::sqrt((r * phi) * (r * phi) + u * u);
  const long double l1 = std::sqrt((r * phi) * (r * phi) + (u / cb) * (u / cb));
  if (l == 0 || l1 == 0) {
    // Centre on the rolling point (u = 0 at the start): the deepest point of the tip circle.
    x = 0;
    y = r - rho;
    return;
  }
  x = (r * phi * c + u * s * cb) * (1 + rho / l1) - r * s;
  y = (r * phi * s - u * c) * (1 + rho / l) + r * c;
}

}  // namespace

int FilletStepCount() {
  int& n = ToothGraphicsSettings.FilletSteps;
  if (n == 0) n = kDefaultFilletSteps;
  return n < 1 ? 1 : n;
}

bool FilletReachesBaseCircle(int n) {
  const TToothingData& t = ToothingData;
  return t.z[n] >= 0 &&
         t.db[n] >= ToothGraphicsSettings.dfGen[n] + 2 * t.rhoaP0[n] * (1 - std::sin(t.alphaRad));
}

void RootFilletPoints(int n, int side, long double& xEnd, long double& yEnd) {
  const TToothingData& t = ToothingData;
  const TToothGraphicsSettings& g = ToothGraphicsSettings;
  const int z = t.z[n];
  const long double xe = t.q[n] > 1e-5L ? g.xeShape[n] : g.xeInvolute[n];
  const int steps = FilletStepCount();
  const long double r = t.d[n] / 2;
  const long double u = RollingDistance(n);
  const long double rho = t.rhoaP0[n];
  const long double alpha = t.alphaRad;
  const long double zr = z == 0 ? 1 : static_cast<long double>(z);
  const long double psi0 = r == 0 ? 0
                                  : (u / r) * std::tan(alpha) + rho / (r * std::cos(alpha)) +
                                        (kPi / 2 + 2 * xe * std::tan(alpha)) / zr;
  long double limit;
  if (z < 0) {
    limit = 0;
  } else if (FilletReachesBaseCircle(n)) {
    limit = t.db[n] / 2;
  } else {
    limit = g.dfGen[n] / 2 + rho * (1 - std::sin(alpha));
  }

  CadPolylineBegin(0);
  const long double step = std::fabs(2 * kPi / (zr * steps));
  const long double phiEnd = 2 * kPi / std::fabs(zr);
  long double xt = 0, yt = 0;
  for (long i = 0;; ++i) {
    const long double phi = step * static_cast<long double>(i);
    long double x, y;
    RootFilletCurvePoint(n, phi, x, y);
    RotatePoint(xt, yt, x, y, psi0);
    if (side == 1 && i == 0) {
      // The chord across the gap bottom starts at the root point of the gap's other side.
      RotatePoint(x, y, -xt, yt, 2 * kPi / zr);
      CadPolylineVertex(x, y, 0);
    }
    if (y < t.dNf[n] / 2) {
      if (side == 1) {
        CadPolylineVertex(xt, yt, 0);
      } else {
        CadPolylineVertex(-xt, yt, 0);
      }
    }
    const long double next = step * static_cast<long double>(i + 1);
    if (!(next <= phiEnd && Hypot(x, y) < limit)) break;
  }
  CadPolylineEnd();
  xEnd = xt;
  yEnd = yt;
}
