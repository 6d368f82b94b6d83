// The tooth outline of shaft and hub.
#include "drawings/tooth_outline.h"

#include <cmath>

#include "calc/toothing_data.h"
#include "common/guarded_math.h"
#include "common/plane_geometry.h"
#include "common/program_state.h"
#include "drawings/involute_curve.h"
#include "drawings/root_fillet.h"
#include "graphics/cad_blocks.h"

bool AlwaysFalseQuery(int /*n*/) {
  return false;
}

void DrawToothOutline(int n, bool withPremach) {
  if (AbortFlag) return;
  const TToothingData& t = ToothingData;
  const TToothGraphicsSettings& g = ToothGraphicsSettings;
  const int z = t.z[n];
  const long double df = g.dfGen[n];
  const long double da = g.daGen[n];
  const long double rho = t.rhoaP0[n];
  const long double alpha = t.alphaRad;
  const bool external = z >= 0;
  const bool reachesBase = FilletReachesBaseCircle(n);

  // Fillet curves of a generated root.
  bool filletsDrawn = false;
  long double fx = 0, fy = 0;
  if (external && g.drawRootCurve && reachesBase) {
    const long double h = (da - df) / 2;
    if (g.auxDiameterOption == 2) {
      CadColour(1);
      CadLine(0, da / 2 + 0.2L * h, 0, df / 2 - 0.2L * h);
    }
    CadColour(5);
    long double x1, y1;
    RootFilletPoints(n, 1, x1, y1);
    RootFilletPoints(n, 2, fx, fy);
    filletsDrawn = true;
  }

  // Flank range.
  const int count = InvolutePointCount();
  const long double dStart = df + 2 * rho * (1 - std::sin(alpha));
  long double dy = 0, step = 0;
  if (external) {
    dy = reachesBase ? t.db[n] : dStart;
    step = (da - dy) / (count - 1);
  }

  CadColour(5);
  CadPolylineBegin(0);

  const long double gHalf = z == 0 ? 0 : kPi / z;
  long double x, y, psi;
  long double rx = 0, ry = 0, t1x = 0, t1y = 0, t2x = 0, t2y = 0, theta = 0;
  long double cx = 0, cy = 0, a0 = 0, e = 0, px = 0, py = 0;
  int first = 1;
  if (!external) {
    rx = -(df / 2) * std::cos(-kPi / 2 - gHalf);
    ry = -(df / 2) * std::sin(-kPi / 2 - gHalf);
    const auto flank = [n](long double d, long double& fx, long double& fy) {
      long double unused;
      InvolutePoint(n, fx, fy, unused, d);
    };
    const THubRootFillet f = HubRootFillet(flank, da, df, 0.9999999L, rx, ry, rho);
    rx = f.rx;
    ry = f.ry;
    t1x = f.t1x;
    t1y = f.t1y;
    t2x = f.t2x;
    t2y = f.t2y;
    theta = -f.turn;
    CadPolylineVertex(rx, ry, 0);
    CadPolylineVertex(t1x, t1y, -theta);
    CadPolylineVertex(t2x, t2y, 0);
    dy = -2 * Hypot(t2x, t2y);
    step = (da - dy) / (count - 1);
    dy += step;  // T2 already stands for the first flank point
    first = 2;
  } else if (!reachesBase) {
    InvolutePoint(n, px, py, psi, dStart);
    rx = (std::fabs(df) / 2) * std::sin(gHalf);
    ry = (std::fabs(df) / 2) * std::cos(gHalf);
    a0 = std::atan(px / py);
    e = AngleFromSides(df / 2 + rho, Hypot(px, py), rho);
    cx = (df / 2) * std::sin(a0 + e);
    cy = (df / 2) * std::cos(a0 + e);
    theta = AngleFromSides(rho, rho, Hypot(px - cx, py - cy));
    CadPolylineVertex(rx, ry, gHalf - a0 - e);
    CadPolylineVertex(cx, cy, -theta);
    CadPolylineVertex(px, py, 0);
  }

  // Right flank upward.
  for (int i = first; i <= count - 1; ++i) {
    if (i == first && filletsDrawn) {
      CadPolylineVertex(-fx, fy, 0);
    } else {
      InvolutePoint(n, x, y, psi, dy);
      CadPolylineVertex(x, y, 0);
    }
    dy += step;
  }
  // Tip arc over the tooth.
  InvolutePoint(n, x, y, psi, dy);
  CadPolylineVertex(x, y, 2 * psi);
  CadPolylineVertex(-x, y, 0);
  dy -= step;
  // Left flank downward.
  for (int i = 2; i <= count - 1; ++i) {
    InvolutePoint(n, x, y, psi, dy);
    CadPolylineVertex(-x, y, 0);
    dy -= step;
  }
  // Root side of the left gap.
  if (!external) {
    CadPolylineVertex(-t2x, t2y, -theta);
    CadPolylineVertex(-t1x, t1y, 0);
    CadPolylineVertex(-rx, ry, 0);
  } else if (!reachesBase) {
    InvolutePoint(n, x, y, psi, dy);
    CadPolylineVertex(-x, y, -theta);
    CadPolylineVertex(-cx, cy, gHalf - a0 - e);
    CadPolylineVertex(-rx, ry, 0);
  } else {
    InvolutePoint(n, x, y, psi, dy);
    if (filletsDrawn) {
      CadPolylineVertex(fx, fy, 0);
    } else {
      CadPolylineVertex(-x, y, 0);
    }
  }
  CadPolylineEnd();

  if (withPremach && z < 0 && t.q[n] > 0) DrawPremachContour(n);
}
