// Plane geometry for arcs, fillets and line intersections of the curves and CAD primitives.
#include "common/plane_geometry.h"

#include <cmath>

#include "common/formatting.h"
#include "common/guarded_math.h"
#include "common/message_list.h"

namespace {

// A sine this small counts as zero: the long double image of a multiple of pi never gives
// exactly 0, and dividing by the remainder would give an arc of absurd size.
constexpr long double kZeroSine = 1e-15L;

}  // namespace

long double Det2(long double a, long double b, long double c, long double d) {
  return a * d - b * c;
}

bool SolveLinear2(long double& x, long double& y, long double a1, long double b1, long double c1,
                  long double a2, long double b2, long double c2) {
  long double det = Det2(a1, b1, a2, b2);
  if (det == 0.0L) {
    x = 0.0L;
    y = 0.0L;
    return false;
  }
  x = Det2(c1, b1, c2, b2) / det;
  y = Det2(a1, c1, a2, c2) / det;
  return true;
}

bool IntersectLines(long double& x, long double& y, long double x1, long double y1, long double x2,
                    long double y2, long double x3, long double y3, long double x4,
                    long double y4) {
  // Each line as (dy) x - (dx) y = (dy) xp - (dx) yp.
  long double dx1 = x2 - x1;
  long double dy1 = y2 - y1;
  long double dx2 = x4 - x3;
  long double dy2 = y4 - y3;
  bool ok = SolveLinear2(x, y, dy1, -dx1, dy1 * x1 - dx1 * y1, dy2, -dx2, dy2 * x3 - dx2 * y3);
  if (!ok) {
    x = x1;
    y = y1;
  }
  return ok;
}

void RotateAboutPoint(long double& x, long double& y, long double px, long double py,
                      long double cx, long double cy, long double angle) {
  long double xr = 0.0L;
  long double yr = 0.0L;
  RotatePoint(xr, yr, px - cx, py - cy, angle);
  x = xr + cx;
  y = yr + cy;
}

long double AngleFromSides(long double a, long double b, long double c) {
  if (a == 0.0L || b == 0.0L) return 0.0L;
  return SafeArcCos((a * a + b * b - c * c) / (2.0L * a * b));
}

void GetArcCenter(long double& xc, long double& yc, long double& a1, long double x1, long double y1,
                  long double x2, long double y2, long double dphi, long double& a2,
                  long double& r) {
  long double halfSine = std::sin(dphi / 2.0L);
  if (std::fabs(halfSine) < kZeroSine) {
    AddError("Fehler in GetArcCenter (dphi = " + RealStr(dphi) + " ! ");
    return;
  }
  long double l = Hypot(x2 - x1, y2 - y1);
  long double mx = (x1 + x2) / 2.0L;
  long double my = (y1 + y2) / 2.0L;
  long double h = std::fabs(std::sin(dphi)) < kZeroSine ? 0.0L : (l / 2.0L) / std::tan(dphi / 2.0L);
  r = std::fabs((l / 2.0L) / halfSine);
  if (l == 0.0L) {
    AddError("GetArcCenter l12=0");
    xc = mx;
    yc = my;
  } else {
    xc = mx - (y2 - y1) * h / l;
    yc = my + (x2 - x1) * h / l;
  }
  long double start = ArcTan2(x1 - xc, y1 - yc);
  long double end = ArcTan2(x2 - xc, y2 - yc);
  if (dphi >= 0.0L) {
    a1 = start;
    a2 = end;
  } else {
    a1 = end;
    a2 = start;
  }
}

void IntersectRays(long double& x, long double& y, long double x1, long double y1, long double a1,
                   long double x2, long double y2, long double a2) {
  constexpr long double kReach = 100.0L;
  x = 0.0L;
  y = 0.0L;
  IntersectLines(x, y, x1, y1, x1 + kReach * std::cos(a1), y1 + kReach * std::sin(a1), x2, y2,
                 x2 + kReach * std::cos(a2), y2 + kReach * std::sin(a2));
}

void FilletCorner(long double& xc, long double& yc, long double& xt1, long double x1,
                  long double y1, long double a1, long double x2, long double y2, long double a2,
                  long double r, long double& yt1, long double& xt2, long double& yt2,
                  long double& dphi) {
  constexpr long double kHalfPi = kPi / 2.0L;
  long double sx = 0.0L;
  long double sy = 0.0L;
  IntersectRays(sx, sy, x1, y1, a1, x2, y2, a2);

  // The fillet centre lies on the side of each line where the other line's point is.
  long double o1 = NormAngle(ArcTan2(sx - x1, sy - y1)) <= NormAngle(ArcTan2(x2 - x1, y2 - y1))
                       ? kHalfPi
                       : -kHalfPi;
  long double o2 = NormAngle(ArcTan2(sx - x2, sy - y2)) <= NormAngle(ArcTan2(x1 - x2, y1 - y2))
                       ? kHalfPi
                       : -kHalfPi;
  long double n1x = std::cos(a1 + o1);
  long double n1y = std::sin(a1 + o1);
  long double n2x = std::cos(a2 + o2);
  long double n2y = std::sin(a2 + o2);

  // P1 + t (S - P1) + r N1 = P2 + s (S - P2) + r N2
  long double t = 0.0L;
  long double s = 0.0L;
  bool ok = SolveLinear2(t, s, sx - x1, -(sx - x2), x2 - x1 + r * (n2x - n1x), sy - y1, -(sy - y2),
                         y2 - y1 + r * (n2y - n1y));
  if (!ok) {
    xc = yc = xt1 = yt1 = xt2 = yt2 = dphi = 0.0L;
    return;
  }
  xt1 = x1 + t * (sx - x1);
  yt1 = y1 + t * (sy - y1);
  xt2 = x2 + s * (sx - x2);
  yt2 = y2 + s * (sy - y2);
  xc = xt1 + r * n1x;
  yc = yt1 + r * n1y;
  dphi = ArcTan2(xt2 - xc, yt2 - yc) - ArcTan2(xt1 - xc, yt1 - yc);
}

long double TurnHalf(long double a) {
  long double b = a + kPi;
  if (b > 2.0L * kPi) b -= 2.0L * kPi;
  return b;
}

void FilletFromAngle(long double& xc, long double& yc, long double& xt1, long double& yt1,
                     long double& xt2, long double& yt2, long double& dphi, long double r,
                     long double a2, long double a1, long double cornerY, long double cornerX) {
  long double back = TurnHalf(a2);
  FilletCorner(xc, yc, xt1, cornerX + std::cos(a1), cornerY + std::sin(a1), a1,
               cornerX + std::cos(back), cornerY + std::sin(back), a2, r, yt1, xt2, yt2, dphi);
  if (dphi < 0.0L) dphi += 2.0L * kPi;
}
