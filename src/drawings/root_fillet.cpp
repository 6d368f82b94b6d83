// Root fillet (trochoid equidistant) of an external part.
#include "drawings/root_fillet.h"

#include <algorithm>
#include <cmath>
#include <limits>

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
  bool endDrawn = false;
  for (long i = 0;; ++i) {
    const long double phi = step * static_cast<long double>(i);
    long double x, y;
    RootFilletCurvePoint(n, phi, x, y);
    RotatePoint(xt, yt, x, y, psi0);
    if (side == 1 && i == 0) {
      // The gap bottom starts at the root point of the gap's other side; both lie on the root
      // circle, and so does the bottom between them: an arc about the centre, not a chord.
      RotatePoint(x, y, -xt, yt, 2 * kPi / zr);
      const long double bottom = std::remainder(std::atan2(yt, xt) - std::atan2(y, x), 2 * kPi);
      // (A bottom of no width stays a straight piece: no arc can be made of it.)
      CadPolylineVertex(x, y, y < t.dNf[n] / 2 && std::fabs(bottom) > 1e-9L ? bottom : 0);
    }
    endDrawn = y < t.dNf[n] / 2;
    if (endDrawn) CadPolylineVertex(side == 1 ? xt : -xt, yt, 0);
    const long double next = step * static_cast<long double>(i + 1);
    if (!(next <= phiEnd && Hypot(x, y) < limit)) break;
  }
  // The flank starts at the last turned point: the fillet must end there too, even when that
  // point lies past the form circle, or the outline is left open between them.
  if (!endDrawn && z >= 0) CadPolylineVertex(side == 1 ? xt : -xt, yt, 0);
  CadPolylineEnd();
  xEnd = xt;
  yEnd = yt;
}

namespace {

// Side of the line from the centre through (lx, ly) on which (px, py) lies.
long double SideOf(long double lx, long double ly, long double px, long double py) {
  return lx * py - ly * px;
}

}  // namespace

THubRootFillet HubRootFillet(
    const std::function<void(long double, long double&, long double&)>& flank, long double da,
    long double df, long double near, long double rx, long double ry, long double rho) {
  THubRootFillet f;
  f.rx = rx;
  f.ry = ry;
  // The tooth lies on this side of the gap's centre line.
  const long double tooth = SideOf(rx, ry, 0, ry < 0 ? -1 : 1);
  long double d = df;
  long double px, py;
  flank(d, px, py);
  const bool closed = SideOf(rx, ry, px, py) * tooth <= 0;
  if (closed) {
    // The flank crosses the centre line inside the root circle: find where, between the tip
    // diameter side (the tooth) and the root.
    long double inner = da, outer = df;
    for (int i = 0; i < 100; ++i) {
      d = (inner + outer) / 2;
      flank(d, px, py);
      if (SideOf(rx, ry, px, py) * tooth > 0) {
        inner = d;
      } else {
        outer = d;
      }
    }
  }
  long double qx, qy;
  flank(near * d, qx, qy);
  const long double a = Hypot(qx - px, qy - py);
  f.t1x = f.t2x = px;
  f.t1y = f.t2y = py;
  if (a == 0 || !(rho > 0)) return f;
  const long double u1x = (qx - px) / a, u1y = (qy - py) / a;  // along the flank
  // Along the root side: to R, or for a closed gap the other flank (mirrored at the centre line).
  long double u2x, u2y, side;
  if (closed) {
    const long double l = Hypot(rx, ry);
    const long double cx = rx / l, cy = ry / l;
    const long double along = u1x * cx + u1y * cy;
    u2x = 2 * along * cx - u1x;
    u2y = 2 * along * cy - u1y;
    side = std::numeric_limits<long double>::infinity();
  } else {
    side = Hypot(rx - px, ry - py);
    if (side == 0) return f;
    u2x = (rx - px) / side;
    u2y = (ry - py) / side;
  }
  // The outline turns by the supplement of the corner's opening, on the side that keeps the
  // arc inside the corner: a signed angle from the root side's run to the flank's.
  const long double opening = std::acos(std::clamp(u1x * u2x + u1y * u2y, -1.0L, 1.0L));
  const long double half = std::tan(opening / 2);
  if (!(half > 0) || !std::isfinite(half)) return f;
  const long double reach = std::min(rho / half, side);
  f.t2x = px + reach * u1x;
  f.t2y = py + reach * u1y;
  f.turn = std::atan2(-u2x * u1y + u2y * u1x, -u2x * u1x - u2y * u1y);
  if (closed) {
    // Half of the fillet belongs to this tooth: from its middle on the centre line to T2.
    const long double r = reach * half;
    const long double toMiddle = r / std::sin(opening / 2) - r;
    const long double l = Hypot(px, py);
    f.t1x = f.rx = px - toMiddle * px / l;
    f.t1y = f.ry = py - toMiddle * py / l;
    f.turn /= 2;
  } else {
    f.t1x = px + reach * u2x;
    f.t1y = py + reach * u2y;
  }
  return f;
}
