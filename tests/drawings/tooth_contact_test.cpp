// The tooth contact picture of the example spline measured on what it draws: shaft and hub
// flanks apart by the joint's backlash at any rotation, the frame where the window extents
// put it, and the diameter arcs each setting asks for, their labels clear of each other.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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

class ToothContactTest : public ToothTest {
 protected:
  void SetUp() override {
    ToothTest::SetUp();
    SetExampleJoint();
    ASSERT_FALSE(CalcFatalFlag);
  }
  // Flank gap on one side of the middle shaft tooth, along the base tangent: points of one
  // involute of the base circle share the constant polar - sign inv(arccos(rb / r)); in the
  // sector between this tooth and the next the shaft flank and the facing hub flank give two
  // such constants, and the gap is rb times their difference.
  Real SideGap(int sign, Real phiRad) const {
    const Real rb = ToothingData.db[1] / 2;
    const Real rIn = std::max(std::fabs(ToothGraphicsSettings.daGen[2]) / 2, rb) * 1.001L;
    const Real rOut = ToothGraphicsSettings.daGen[1] / 2 * 0.999L;
    const Real axis = kPiL / 2 + phiRad, pitch = 2 * kPiL / ToothingData.z[1];
    std::vector<Real> values;
    for (const auto& p : rec_.OfKind(Kind::Line)) {
      for (int i = 0; p.colour == 5 && i < 2; ++i) {
        const TPoint q{p.x[i], p.y[i]};
        const Real r = Radius(q), off = (Polar(q) - axis) * sign;
        if (r > rIn && r < rOut && off < 0 && off > -pitch)
          values.push_back(Polar(q) - sign * InvL(std::acos(std::min<Real>(1, rb / r))));
      }
    }
    std::sort(values.begin(), values.end());
    std::vector<Real> constants;
    for (std::size_t i = 1, start = 0; i <= values.size(); ++i) {
      if (i < values.size() && values[i] - values[i - 1] <= 1e-7L) continue;
      if (i - start >= 4) constants.push_back(values[start]);
      start = i;
    }
    return constants.size() == 2 ? rb * (constants[1] - constants[0]) : -1;
  }
  // Pairs of diameter labels whose boxes (length times height times width factor, turned
  // with the text) share ground: a point of one lies inside the other.
  int CoveredLabels() const {
    struct Box {
      Real x, y, ux, uy, length, height;
      bool Holds(Real px, Real py) const {
        const Real s = (px - x) * ux + (py - y) * uy, t = -(px - x) * uy + (py - y) * ux;
        return s > 0 && s < length && t > 0 && t < height;
      }
    };
    std::vector<Box> boxes;
    for (const auto& p : rec_.OfKind(Kind::Text)) {
      if (p.colour == 3) continue;  // the legend box
      const Real a = p.angle * kPiL / 180;
      boxes.push_back({p.x[0], p.y[0], std::cos(a), std::sin(a),
                       p.text.size() * p.height * p.widthFactor, p.height});
    }
    int covered = 0;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      for (std::size_t j = 0; j < boxes.size(); ++j) {
        if (i == j) continue;
        const Box& a = boxes[i];
        bool hit = false;
        for (int u = 1; u < 8 && !hit; ++u) {
          for (int v = 1; v < 4 && !hit; ++v) {
            const Real s = a.length * u / 8, t = a.height * v / 4;
            hit = boxes[j].Holds(a.x + a.ux * s - a.uy * t, a.y + a.uy * s + a.ux * t);
          }
        }
        covered += hit ? 1 : 0;
      }
    }
    return covered;
  }
  std::vector<std::string> Labels() const {
    std::vector<std::string> out;
    for (const auto& p : rec_.OfKind(Kind::Text))
      if (p.colour != 3) out.push_back(p.text);
    return out;
  }
};

}  // namespace

// Backlash cp = 0.3 mm (hub space width minus shaft tooth thickness); along the line of
// action the two flank gaps add up to cp cos alpha (straight spline), half on each side.
TEST_F(ToothContactTest, FlanksApartByTheBacklashAlongTheBaseTangent) {
  const Real expected = SplineInputData.cp * std::cos(ToothingData.alphaRad);
  for (const Real phiDeg : {0.0L, 3.0L, -7.5L}) {
    SCOPED_TRACE(D(phiDeg));
    ToothGraphicsSettings.rotationAngle = phiDeg;
    rec_.Clear();
    ToothGraphics(3, 1, 7, 1, 1);
    const Real right = SideGap(+1, phiDeg * kPiL / 180), left = SideGap(-1, phiDeg * kPiL / 180);
    ASSERT_GT(right, 0);
    ASSERT_GT(left, 0);
    EXPECT_NEAR(D(right + left), D(expected), 1e-3);
    EXPECT_NEAR(D(right), D(left), 1e-3);
  }
}

TEST_F(ToothContactTest, FrameWithTheLegendBoxUnderIt) {
  ToothGraphics(3, 1, 7, 1, 1);
  const Real w = ContactViewHalfWidth(), b = ContactViewBottom(), t = ContactViewTop();
  RangeArray<Real, 0, 3> box{{1e9, 1e9, -1e9, -1e9}};
  for (const auto& p : rec_.OfKind(Kind::Line)) {
    for (int i = 0; p.colour == 3 && i < 2; ++i) {
      box[0] = std::min(box[0], p.x[i]);
      box[1] = std::min(box[1], p.y[i]);
      box[2] = std::max(box[2], p.x[i]);
      box[3] = std::max(box[3], p.y[i]);
    }
  }
  EXPECT_NEAR(D(box[0]), D(-w), 1e-9);
  EXPECT_NEAR(D(box[2]), D(w), 1e-9);
  EXPECT_NEAR(D(box[3]), D(t), 1e-9);
  EXPECT_NEAR(D(box[1]), D(b - 9.5L * w / 22), 1e-9);
  int legend = 0;
  for (const auto& p : rec_.OfKind(Kind::Text)) {
    if (p.colour != 3) continue;
    ++legend;
    EXPECT_TRUE(p.y[0] > box[1] && p.y[0] < b && std::fabs(p.x[0]) < w) << p.text;
  }
  EXPECT_EQ(legend, 18);  // six lines for the joint, six per part
}

TEST_F(ToothContactTest, DiameterArcsBySetting) {
  TToothingData& t = ToothingData;
  struct Case {
    const char* name;
    int option;
    Real dw1Offset;  // modules
    std::vector<std::string> present, absent;
  };
  const Case cases[] = {
      // The spline's working pitch diameters equal the reference diameters.
      {"with gear diameters",
       2,
       0,
       {"db1", "d1", "db2", "df2", "d2", "dNf1", "dNf2"},
       {"dw1", "dw2"}},
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
    const auto labels = Labels();
    auto has = [&](const std::string& l) {
      return std::find(labels.begin(), labels.end(), l) != labels.end();
    };
    for (const auto& l : c.present) EXPECT_TRUE(has(l)) << l;
    for (const auto& l : c.absent) EXPECT_FALSE(has(l)) << l;
    // Labels of neighbouring diameters (d1 and d2 of a spline coincide) stand apart.
    EXPECT_EQ(CoveredLabels(), 0);
  }
  // So do the eight labels of the tooth gap views.
  ToothGraphicsSettings.auxDiameterOption = 2;
  for (int part = 1; part <= 2; ++part) {
    rec_.Clear();
    ToothGraphics(3, static_cast<int16_t>(part), 2, 1, 1);
    EXPECT_EQ(CoveredLabels(), 0) << part;
  }
  // The internal hub's arcs open upwards from the bottom line.
  rec_.Clear();
  ToothGraphics(3, 1, 7, 1, 1);
  for (const auto& p : rec_.OfKind(Kind::Arc)) {
    if (p.colour == 1 && std::fabs(p.r - std::fabs(t.d[2]) / 2) < 1e-9)
      EXPECT_NEAR(D((p.a1 + p.a2) / 2), 90.0, 1e-6);
  }
}
