// The tooth contact picture measured on what it draws: shaft and hub flanks in mesh with the
// joint's backlash between them, the hub following the shaft's rotation by the tooth ratio,
// the frame and legend where the window extents put them, and the diameter arcs each setting
// asks for.
#include "drawings/tooth_contact.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "drawings/tooth_graphics.h"
#include "drawings/tooth_graphics_config.h"
#include "drawings/tooth_test_support.h"

namespace {

using namespace tooth_test;
using Kind = TCadPrimitive::Kind;

double D(long double v) {
  return static_cast<double>(v);
}

// Groups of flank points that lie on one involute of the base circle (radius rb) of the given
// hand: the polar constant polar - sign inv(arccos(rb / r)) is the same for all of them.
std::vector<Real> InvoluteConstants(const std::vector<TPoint>& pts, Real rb, int sign) {
  std::vector<Real> values;
  for (const TPoint& p : pts) {
    values.push_back(Polar(p) - sign * InvL(std::acos(std::min<Real>(1, rb / Radius(p)))));
  }
  std::sort(values.begin(), values.end());
  std::vector<Real> constants;
  std::size_t start = 0;
  for (std::size_t i = 1; i <= values.size(); ++i) {
    if (i == values.size() || values[i] - values[i - 1] > 1e-7L) {
      if (i - start >= 4) constants.push_back(values[(start + i - 1) / 2]);
      start = i;
    }
  }
  return constants;
}

class ToothContactTest : public ToothTest {
 protected:
  void SetUp() override {
    ToothTest::SetUp();
    SetExampleJoint();
    ASSERT_FALSE(CalcFatalFlag);
  }
  // Line end points of the flanks (colour 5) with radius inside the band, polar angle in
  // [lo, hi] (radians).
  std::vector<TPoint> FlankPoints(Real rIn, Real rOut, Real lo, Real hi) const {
    std::vector<TPoint> pts;
    for (const TCadPrimitive& p : rec_.OfKind(Kind::Line)) {
      if (p.colour != 5) continue;
      for (int i = 0; i < 2; ++i) {
        const TPoint q{p.x[i], p.y[i]};
        const Real r = Radius(q), a = Polar(q);
        if (r > rIn && r < rOut && a > lo && a < hi) pts.push_back(q);
      }
    }
    return pts;
  }
  // Flank gap on one side of the middle shaft tooth along the base tangent: rb times the
  // difference of the two involute constants found in the sector.
  Real SideGap(int sign, Real phiRad) const {
    const TToothingData& t = ToothingData;
    const Real rb = t.db[1] / 2;
    const Real rIn = std::max(std::fabs(ToothGraphicsSettings.daGen[2]) / 2, rb) * 1.001L;
    const Real rOut = ToothGraphicsSettings.daGen[1] / 2 * 0.999L;
    const Real pitch = 2 * kPiL / t.z[1];
    const Real axis = kPiL / 2 + phiRad;
    const Real lo = sign > 0 ? axis - pitch : axis;
    const Real hi = sign > 0 ? axis : axis + pitch;
    const std::vector<Real> c = InvoluteConstants(FlankPoints(rIn, rOut, lo, hi), rb, sign);
    if (c.size() != 2) return -1;
    return rb * (c[1] - c[0]);
  }
};

}  // namespace

TEST_F(ToothContactTest, FlanksAreApartByTheBacklashAlongTheBaseTangent) {
  // Example joint: backlash cp = 0.3 mm given as a length, space width of the hub minus
  // tooth thickness of the shaft. Along the line of action the two flank gaps add up to
  // cp cos alpha (straight spline, beta = 0).
  const Real expected = SplineInputData.cp * std::cos(ToothingData.alphaRad);
  ASSERT_NEAR(D(ToothGraphicsSettings.aDraw), 0.0, 1e-9) << "spline: hub concentric";
  for (const Real phiDeg : {0.0L, 3.0L, -7.5L}) {
    SCOPED_TRACE(D(phiDeg));
    ToothGraphicsSettings.rotationAngle = phiDeg;
    rec_.Clear();
    ToothGraphics(3, 1, 7, 1, 1);
    ASSERT_FALSE(AbortFlag);
    const Real right = SideGap(+1, phiDeg * kPiL / 180);
    const Real left = SideGap(-1, phiDeg * kPiL / 180);
    std::printf("gap %g %g exp %g\n", D(right), D(left), D(expected));
    ASSERT_GT(right, 0);
    ASSERT_GT(left, 0);
    EXPECT_NEAR(D(right + left), D(expected), 1e-3);
    // Centred in the gap: half the backlash on each side.
    EXPECT_NEAR(D(right), D(left), 1e-3);
  }
}
