// Involute flank points and the hub's premachining contour.
#include "drawings/involute_curve.h"

#include <cmath>

#include "calc/toothing_data.h"
#include "common/guarded_math.h"
#include "common/message_list.h"
#include "common/program_state.h"
#include "drawings/root_fillet.h"
#include "graphics/cad_blocks.h"

namespace {

constexpr int kDefaultInvolutePoints = 20;

// The flank point for a normal tooth thickness sn at the reference circle.
void FlankPoint(int n, long double sn, long double& x, long double& y, long double& psi,
                long double d) {
  const TToothingData& t = ToothingData;
  if (d == 0) {
    x = y = psi = 0;
    AddError("Fatal  : d = 0 !");
    return;
  }
  const long double alphaY = ArcCosMsg("", t.db[n] / d);
  // A part without reference diameter has no thickness term rather than an infinite one.
  const long double thickness = t.d[n] == 0 ? 0 : (sn / std::cos(t.betaRad)) / t.d[n];
  psi = Inv(t.alphat) + thickness - Inv(alphaY);
  x = d / 2 * std::sin(psi);
  y = d / 2 * std::cos(psi);
}

}  // namespace

int InvolutePointCount() {
  int& n = ToothGraphicsSettings.InvolutePoints;
  if (n == 0) n = kDefaultInvolutePoints;
  // Two points are the least a flank from root to tip can be drawn with.
  return n < 2 ? 2 : n;
}

void InvolutePoint(int n, long double& x, long double& y, long double& psi, long double d) {
  FlankPoint(n, ToothGraphicsSettings.snGen[n], x, y, psi, d);
}

void PremachInvolutePoint(int n, long double& x, long double& y, long double& psi, long double d) {
  const TToothingData& t = ToothingData;
  const long double snPre =
      t.mn * ((t.xePreMin[n] + t.xePreMax[n]) * std::tan(t.alphaRad) + kPi / 2);
  FlankPoint(n, snPre, x, y, psi, d);
}

void DrawPremachContour(int n) {
  if (AbortFlag) return;
  const TToothingData& t = ToothingData;
  const TToothGraphicsSettings& g = ToothGraphicsSettings;
  if (t.z[n] >= 0) return;  // the contour is drawn for the hub only
  const long double df = g.dfGen[n];
  const long double da = g.daGen[n];
  const int count = InvolutePointCount();

  CadColour(3);
  CadPolylineBegin(0);

  const long double g2 = kPi / t.z[n];
  long double rx = -(df / 2) * std::cos(-kPi / 2 - g2);
  long double ry = -(df / 2) * std::sin(-kPi / 2 - g2);
  const auto flank = [n, &t](long double d, long double& fx, long double& fy) {
    long double unused;
    PremachInvolutePoint(n, fx, fy, unused, d);
    fx -= t.prP0[n];
  };
  const THubRootFillet f = HubRootFillet(flank, da, df, 0.99999L, rx, ry, t.rhoaP0[n]);
  rx = f.rx;
  ry = f.ry;
  const long double t1x = f.t1x, t1y = f.t1y, t2x = f.t2x, t2y = f.t2y, theta = -f.turn;

  CadPolylineVertex(rx, ry, 0);
  CadPolylineVertex(t1x, t1y, -theta);
  CadPolylineVertex(t2x, t2y, 0);

  long double d0;
  if (t.prP0mn[n] > 0 && t.hprP0[n] > 0) {
    d0 = t.d[n] - 2 * t.hprP0[n];
  } else {
    d0 = -2 * Hypot(t2x, t2y);
  }
  const long double step = (da - d0) / (count - 1);
  long double dy = d0 + step;
  long double x, y, psi;
  for (int i = 2; i <= count - 1; ++i) {
    PremachInvolutePoint(n, x, y, psi, dy);
    CadPolylineVertex(x, y, 0);
    dy += step;
  }
  PremachInvolutePoint(n, x, y, psi, dy);
  CadPolylineVertex(x, y, 2 * psi);
  CadPolylineVertex(-x, y, 0);
  dy -= step;
  for (int i = 2; i <= count - 1; ++i) {
    PremachInvolutePoint(n, x, y, psi, dy);
    CadPolylineVertex(-x, y, 0);
    dy -= step;
  }
  CadPolylineVertex(-t2x, t2y, -theta);
  CadPolylineVertex(-t1x, t1y, 0);
  CadPolylineVertex(-rx, ry, 0);
  CadPolylineEnd();
}
