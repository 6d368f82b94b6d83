// The tooth contact picture measured on what it draws: shaft and hub flanks in mesh with the
// joint's backlash between them, the hub following the shaft's rotation by the tooth ratio,
// the frame and legend where the window extents put them, and the diameter arcs each setting
// asks for.
#include "drawings/tooth_contact.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "common/formatting.h"
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
    ASSERT_GT(right, 0);
    ASSERT_GT(left, 0);
    EXPECT_NEAR(D(right + left), D(expected), 1e-3);
    // Centred in the gap: half the backlash on each side.
    EXPECT_NEAR(D(right), D(left), 1e-3);
  }
}

namespace {

std::vector<std::string> Texts(const TCadRecorder& rec, int colour) {
  std::vector<std::string> out;
  for (const auto& p : rec.OfKind(Kind::Text)) {
    if (p.colour == colour) out.push_back(p.text);
  }
  return out;
}

bool Has(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

}  // namespace

TEST_F(ToothContactTest, FrameAndLegendBoxUnderIt) {
  ToothGraphics(3, 1, 7, 1, 1);
  const Real w = ContactViewHalfWidth(), b = ContactViewBottom(), t = ContactViewTop();
  const Real h = w / 22;
  Real xMin = 1e9, xMax = -1e9, yMin = 1e9, yMax = -1e9;
  for (const auto& p : rec_.OfKind(Kind::Line)) {
    if (p.colour != 3) continue;
    for (int i = 0; i < 2; ++i) {
      xMin = std::min(xMin, p.x[i]);
      xMax = std::max(xMax, p.x[i]);
      yMin = std::min(yMin, p.y[i]);
      yMax = std::max(yMax, p.y[i]);
    }
  }
  EXPECT_NEAR(D(xMin), D(-w), 1e-9);
  EXPECT_NEAR(D(xMax), D(w), 1e-9);
  EXPECT_NEAR(D(yMax), D(t), 1e-9);
  EXPECT_NEAR(D(yMin), D(b - 9.5L * h), 1e-9);
  // Six lines of the joint and six per part, all inside the legend box.
  const auto legend = rec_.OfKind(Kind::Text);
  int inBox = 0;
  for (const auto& p : legend) {
    if (p.colour != 3) continue;
    ++inBox;
    EXPECT_GT(D(p.y[0]), D(b - 9.5L * h));
    EXPECT_LT(D(p.y[0]), D(b));
    EXPECT_GT(D(p.x[0]), D(-w));
    EXPECT_LT(D(p.x[0]), D(w));
  }
  EXPECT_EQ(inBox, 18);
  const auto texts = Texts(rec_, 3);
  EXPECT_TRUE(Has(texts, "z1  = 8"));
  EXPECT_TRUE(Has(texts, "z2  = -8"));
  EXPECT_TRUE(Has(texts, "a = 0.000"));
  EXPECT_TRUE(Has(texts, "db1 = " + LengthStrN(2, ToothingData.db[1])));
}

TEST_F(ToothContactTest, DiameterArcsBySetting) {
  TToothingData& t = ToothingData;
  struct Case {
    const char* name;
    int option;
    Real dw1Offset;  // in modules
    std::vector<std::string> present, absent;
  };
  const Case cases[] = {
      // The spline's working pitch diameters equal the reference diameters.
      {"with gear diameters", 2, 0, {"db1", "d1", "db2", "df2", "d2", "dNf1"}, {"dw1", "dw2"}},
      {"no auxiliary diameters", 1, 0, {"db1", "d1", "d2"}, {"dNf1", "dNf2", "dFa1", "dFa2"}},
      {"dw1 off by 0.1 mn", 1, 0.1L, {"dw1"}, {}},
      {"dw1 off by 0.04 mn", 1, 0.04L, {}, {"dw1"}},
  };
  const Real dw1 = t.dw[1];
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ToothGraphicsSettings.auxDiameterOption = static_cast<int16_t>(c.option);
    t.dw[1] = dw1 + c.dw1Offset * t.mn;
    rec_.Clear();
    ToothGraphics(3, 1, 7, 1, 1);
    std::vector<std::string> labels;
    for (const auto& p : rec_.OfKind(Kind::Text)) {
      if (p.colour != 3) labels.push_back(p.text);
    }
    for (const auto& l : c.present) EXPECT_TRUE(Has(labels, l)) << l;
    for (const auto& l : c.absent) EXPECT_FALSE(Has(labels, l)) << l;
    int aux = 0;
    for (const auto& p : rec_.OfKind(Kind::Arc)) aux += p.colour == 24 || p.colour == 29;
    EXPECT_EQ(aux > 0, c.option == 2);
  }
}

TEST_F(ToothContactTest, InternalHubArcsFromBelowLabelledInside) {
  ToothGraphics(3, 1, 7, 1, 1);
  // Every hub arc (centre (0, a) = origin, radius of a hub diameter) opens upwards.
  const Real r2[] = {std::fabs(ToothingData.db[2]) / 2, std::fabs(ToothingData.d[2]) / 2,
                     std::fabs(ToothGraphicsSettings.dfGen[2]) / 2};
  int found = 0;
  for (const auto& p : rec_.OfKind(Kind::Arc)) {
    if (p.colour != 1) continue;
    for (const Real r : r2) {
      if (std::fabs(p.r - r) > 1e-9) continue;
      ++found;
      const Real mid = (p.a1 + p.a2) / 2;
      EXPECT_NEAR(D(mid), 90.0, 1e-6);
    }
  }
  EXPECT_GE(found, 3);
}
