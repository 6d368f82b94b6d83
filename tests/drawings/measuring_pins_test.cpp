// The measuring pin against the drawn flanks: placed in the gap next to the drawn tooth, the
// pin drawn from the textbook dimension over (between) pins touches both flanks. The
// reference dimension: inv(alpha_M) = inv(alpha) + Dm / db -/+ ... (over pins, DIN 3960),
// M = dM + Dm for even z, dM cos(90 / z) + Dm for odd z; between pins dM - Dm, negative.
#include "drawings/measuring_pins.h"

#include <gtest/gtest.h>

#include <string>

#include "drawings/tooth_outline.h"
#include "tooth_test_support.h"

namespace {

using namespace tooth_test;
using Kind = TCadPrimitive::Kind;

// Dimension over (n = 1) or between (n = 2, negative) pins of diameter dm, from the tooth
// thickness at the reference circle.
Real TextbookPinDimension(int n, Real dm) {
  const TToothingData& t = ToothingData;
  const int z = std::abs(t.z[n]);
  const Real d = std::fabs(t.d[n]), db = std::fabs(t.db[n]);
  const Real s = ToothGraphicsSettings.snGen[n];  // tooth thickness of the part
  Real invM;
  if (n == 1) {
    invM = InvL(t.alphaRad) + dm / db + s / d - kPiL / z;
  } else {
    const Real e = kPiL * t.mn - s;  // space width of the hub
    invM = InvL(t.alphaRad) + e / d - dm / db;
  }
  const Real dM = db / std::cos(ArcInvL(invM));
  const Real centres = z % 2 == 0 ? dM : dM * std::cos(kPiL / (2 * z));
  return n == 1 ? centres + dm : -(centres - dm);
}

struct TPinCase {
  std::string name;
  bool example;
  TSplineCase spline;
  Real dm1, dm2;
};

class MeasuringPins : public ToothTest, public ::testing::WithParamInterface<TPinCase> {};

TEST_P(MeasuringPins, PinTouchesBothFlanksOfTheGap) {
  const TPinCase& c = GetParam();
  if (c.example) {
    SetExampleJoint();
    ASSERT_FALSE(CalcFatalFlag);
  } else {
    SetSplineCase(c.spline);
  }
  TToothingData& t = ToothingData;
  t.Dm[1] = c.dm1;
  t.Dm[2] = c.dm2;
  for (int n = 1; n <= 2; ++n) {
    const Real m = TextbookPinDimension(n, t.Dm[n]);
    t.MFinMin[n] = m - 0.01L;
    t.MFinMax[n] = m + 0.01L;  // the pin stands at the mean
    if (c.example) {
      // The calculation's own dimension agrees with the textbook one.
      EXPECT_NEAR(ToothingData.M[n], m, 1e-6L) << "part " << n;
    }

    Open();
    DrawToothOutline(n, false);
    DrawMeasuringPins(n);
    Close();
    const auto circles = rec_.OfKind(Kind::Circle);
    ASSERT_EQ(circles.size(), 1u);
    const TCadPrimitive& pin = circles[0];
    EXPECT_EQ(pin.colour, 4);
    EXPECT_NEAR(pin.r, t.Dm[n] / 2, 1e-12L);
    EXPECT_EQ(pin.x[0], 0);

    // The flanks of the drawn tooth, as involutes through their vertices.
    const auto v = ChainVertices(Chains(Pieces(rec_, 5)).back());
    const TFlanks f = SplitFlanks(v, n == 2 ? TRootForm::Hub : TRootForm::RootArc, 20);
    ASSERT_EQ(v.size(), f.expectedVertices);
    const Real rb = t.db[n] / 2;
    const TInvoluteFit right = FitInvolute(f.right, rb, +1);
    const TInvoluteFit left = FitInvolute(f.left, rb, -1);
    // The gap beside the tooth is half a pitch away: turn the pin there instead.
    const Real turn = kPiL / t.z[n];
    const TPoint beyondRight = Rotated({pin.x[0], pin.y[0]}, -std::fabs(turn) * (n == 1 ? 1 : -1));
    const TPoint beyondLeft = Rotated({pin.x[0], pin.y[0]}, std::fabs(turn) * (n == 1 ? 1 : -1));
    const Real r1 = std::fabs(rb) * 1.000001L;
    const Real r2 = std::fabs(ToothGraphicsSettings.daGen[n] - ToothGraphicsSettings.dfGen[n]) +
                    std::fabs(ToothGraphicsSettings.dfGen[n]) / 2;
    Real at = 0;
    EXPECT_NEAR(DistanceToInvolute(right, rb, +1, beyondRight, r1, r2, &at), pin.r, 1e-3L)
        << "part " << n;
    // Contact on the drawn flank, between tip and root.
    const Real rTip = std::fabs(ToothGraphicsSettings.daGen[n]) / 2;
    const Real rRoot = std::fabs(ToothGraphicsSettings.dfGen[n]) / 2;
    EXPECT_GT(at, std::min(rTip, rRoot));
    EXPECT_LT(at, std::max(rTip, rRoot));
    EXPECT_NEAR(DistanceToInvolute(left, rb, -1, beyondLeft, r1, r2), pin.r, 1e-3L) << "part " << n;
  }
}

std::vector<TPinCase> PinCases() {
  TSplineCase odd = Din5480W45x2x21();
  odd.z = 13;
  odd.x1 = 0.3L;
  odd.x2 = 0.1L;
  TSplineCase even = Din5480W45x2x21();
  even.z = 30;
  return {
      {"ExampleJointZ8", true, {}, 16, 12},
      {"Din5480W45x2x21", false, Din5480W45x2x21(), 3.5L, 3.5L},
      {"OddZ13", false, odd, 3.5L, 3.5L},
      {"EvenZ30", false, even, 3.5L, 3.0L},
  };
}

INSTANTIATE_TEST_SUITE_P(Cases, MeasuringPins, ::testing::ValuesIn(PinCases()),
                         [](const auto& info) { return info.param.name; });

TEST_F(ToothTest, HelicalPinIsSeenAsAnEllipseInTheTransverseSection) {
  SetSplineCase(Din5480W45x2x21());
  ToothingData.beta = 20;
  ToothingData.betaRad = 20 * kPiL / 180;
  ToothingData.Dm[1] = 3.5L;
  ToothingData.MFinMin[1] = ToothingData.MFinMax[1] = 48;
  Open();
  DrawMeasuringPins(1);
  Close();
  EXPECT_EQ(rec_.Count(Kind::Circle), 0u);
  // Straight pieces, widest across x: Dm / cos(beta) wide, Dm high.
  const auto lines = rec_.OfKind(Kind::Line);
  ASSERT_FALSE(lines.empty());
  Real xMax = -1e9, xMin = 1e9, yMax = -1e9, yMin = 1e9;
  for (const TCadPrimitive& p : lines) {
    for (int i = 0; i < 2; ++i) {
      xMax = std::max(xMax, p.x[i]), xMin = std::min(xMin, p.x[i]);
      yMax = std::max(yMax, p.y[i]), yMin = std::min(yMin, p.y[i]);
    }
  }
  EXPECT_NEAR(xMax - xMin, 3.5L / std::cos(20 * kPiL / 180), 1e-3L);
  EXPECT_NEAR(yMax - yMin, 3.5L, 1e-3L);
  // Odd z = 21: the centre sits (M - Dm) / 2 / cos(90 / 21 degrees) up.
  EXPECT_NEAR((yMax + yMin) / 2, (48 - 3.5L) / 2 / std::cos(kPiL / 42), 1e-3L);
}

}  // namespace
