// Measurement formulas against textbook values (ISO 21771 forms) and ball geometry.
#include "calc/measurement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "common/guarded_math.h"
#include "common/message_list.h"
#include "common/program_state.h"

namespace {

constexpr long double kDeg = kPi / 180;

bool Listed(const std::string& text) {
  for (int i = 1; i <= ErrorList.count; ++i) {
    if (ErrorList.messages[i] == text) return true;
  }
  return false;
}

class MeasurementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramStateForTests();
    InitMessageList();
    CalcFatalFlag = false;
  }
};

struct BallCase {
  const char* source;
  int z;
  long double Dm;
  long double expected;
};

class OverBallsTest : public MeasurementTest, public ::testing::WithParamInterface<BallCase> {};

TEST_P(OverBallsTest, MatchesTextbook) {
  const BallCase& c = GetParam();
  const long double M = CalcDimensionOverBalls(c.z, 1.0L, 20 * kDeg, 0, 0, c.Dm);
  EXPECT_NEAR(static_cast<double>(M), static_cast<double>(c.expected), 1e-4) << c.source;
  EXPECT_EQ(ErrorList.count, 0) << c.source;
}

// m 1, alpha 20 deg, x 0, ball 1.7 mm (ISO 21771 dimension over balls).
INSTANTIATE_TEST_SUITE_P(Iso21771, OverBallsTest,
                         ::testing::Values(BallCase{"external, even teeth", 20, 1.7L, 22.2941L},
                                           BallCase{"external, odd teeth", 21, 1.7L, 23.2359L},
                                           BallCase{"internal, between balls (negative)", -40, 1.7L,
                                                    -37.5951L}));

TEST_F(MeasurementTest, SpanMatchesTextbook) {
  // W = m cos(alpha) ((k - 0.5) pi + z inv(alpha)) + 2 x m sin(alpha).
  EXPECT_NEAR(static_cast<double>(CalcSpanMeasurement(20, 2, 1.0L, 20 * kDeg, 0, 0)), 4.7083, 1e-4);
  EXPECT_NEAR(static_cast<double>(CalcSpanMeasurement(20, 3, 2.0L, 20 * kDeg, 0, 0)), 15.3209,
              1e-4);
  // A profile shift moves both flanks out by x m sin(alpha) each.
  const long double shifted = CalcSpanMeasurement(20, 3, 2.0L, 20 * kDeg, 0, 0.5L);
  EXPECT_NEAR(static_cast<double>(shifted - 15.3209L),
              static_cast<double>(2 * 0.5L * 2 * std::sin(20 * kDeg)), 1e-4);
}

TEST_F(MeasurementTest, SpanTeethByTheStandardRule) {
  // Textbook rule for spur gears at x = 0: k = z alpha / 180 deg + 0.5, rounded.
  EXPECT_EQ(CalcSpanTeeth(20, 0, 20 * kDeg, 0, 1), 3);
  EXPECT_EQ(CalcSpanTeeth(40, 0, 20 * kDeg, 0, 1), 5);
  EXPECT_EQ(CalcSpanTeeth(9, 0, 20 * kDeg, 0, 1), 2);
}

TEST_F(MeasurementTest, BallDiameterRuleBeforeRounding) {
  // z 50, mn 8, beta 15, alpha 20, x 0: 13.5142 mm before rounding. Metric rounds to 0.1 mm,
  // imperial to 0.001 in (0.532 in = 13.5128 mm).
  const long double metric = CalcBallDiameter(50, 15 * kDeg, 20 * kDeg, 0, 8);
  EXPECT_NEAR(static_cast<double>(metric), 13.5, 1e-12);
  ConfigVariables.UnitSystem = 1;
  const long double imperial = CalcBallDiameter(50, 15 * kDeg, 20 * kDeg, 0, 8);
  EXPECT_NEAR(static_cast<double>(imperial), 0.532 * 25.4, 1e-9);
  EXPECT_FALSE(CalcFatalFlag);
}

TEST_F(MeasurementTest, BallTouchesTheFlankAtTheShiftedReferenceCircle) {
  // Small module keeps the diameter below 0.5 mm, where it is not rounded. The ball placed in
  // the gap must touch the flank on the circle d + 2 x mn: its contact point lies on the base
  // tangent through the ball centre, D/2 before the centre.
  for (long double x : {-0.3L, 0.0L, 0.4L}) {
    const int z = 50;
    const long double mn = 0.2L, alpha = 20 * kDeg;
    const long double D = CalcBallDiameter(z, 0, alpha, x, mn);
    ASSERT_LT(D, 0.5L);
    const long double rb = z * mn * std::cos(alpha) / 2;
    const long double invM =
        Inv(alpha) + D / (2 * rb) - kPi / (2 * z) + 2 * x * std::tan(alpha) / z;
    const long double alphaM = ArcInv(invM);
    const long double along = rb * std::tan(alphaM) - D / 2;
    const long double contact = 2 * std::sqrt(rb * rb + along * along);
    EXPECT_NEAR(static_cast<double>(contact), static_cast<double>(z * mn + 2 * x * mn), 1e-9)
        << static_cast<double>(x);
  }
}

TEST_F(MeasurementTest, BallDiameterAtCollapsedCircleIsFatalNotInfinite) {
  // x = -z/2 shrinks the shifted reference circle to a point.
  const long double D = CalcBallDiameter(20, 0, 20 * kDeg, -10, 1);
  EXPECT_EQ(D, 0);
  EXPECT_TRUE(CalcFatalFlag);
  EXPECT_TRUE(Listed("Fatal  : Diametr.Dim.o.balls DmMess !"));
}

TEST_F(MeasurementTest, SpanTeethAtCollapsedCircleIsFatal) {
  const int32_t k = CalcSpanTeeth(20, 0, 20 * kDeg, -10, 1);
  EXPECT_EQ(k, 0);
  EXPECT_TRUE(CalcFatalFlag);
  EXPECT_TRUE(Listed("Fatal  : z = 0 !"));
}

TEST_F(MeasurementTest, ZeroTeethIsFatalEverywhere) {
  EXPECT_EQ(CalcSpanMeasurement(0, 2, 1, 20 * kDeg, 0, 0), 0);
  EXPECT_TRUE(CalcFatalFlag);
  EXPECT_TRUE(Listed("Fatal  : z = 0 !"));
  ResetErrors();
  EXPECT_EQ(CalcSpanTeeth(0, 0, 20 * kDeg, 0, 1), 0);
  EXPECT_TRUE(CalcFatalFlag);
  ResetErrors();
  EXPECT_EQ(CalcDimensionOverBalls(0, 1, 20 * kDeg, 0, 0, 1.7L), 0);
  EXPECT_TRUE(CalcFatalFlag);
}

TEST_F(MeasurementTest, BallTooLargeForTheGapIsReported) {
  // A 12 mm ball in the 8-tooth hub of module 6.5 at x = 0 sits on the tips, not the flanks.
  CalcDimensionOverBalls(-8, 6.5L, 30 * kDeg, 0, 0, 12);
  EXPECT_TRUE(Listed("Error  : Dm ball !  (12mm) (2)"));
  EXPECT_FALSE(BallFitsGap(-8, 6.5L, 30 * kDeg, 0, 0, 12));
  EXPECT_TRUE(BallFitsGap(-8, 6.5L, 30 * kDeg, 0, -0.3L, 12));
  EXPECT_FALSE(CalcFatalFlag);
}

TEST_F(MeasurementTest, HelicalOddTeethBallDimensionIsTheCentreCircle) {
  // For a helical gear with odd teeth the balls are measured in one transverse plane:
  // the dimension is the ball centre diameter plus the ball.
  const int z = 21;
  const long double mn = 2, alpha = 20 * kDeg, beta = 12 * kDeg, Dm = 3.5L;
  const long double alphat = std::atan(std::tan(alpha) / std::cos(beta));
  const long double betab = std::atan(std::cos(alphat) * std::tan(beta));
  const long double db = z * mn / std::cos(beta) * std::cos(alphat);
  const long double invM = Inv(alphat) + Dm / (db * std::cos(betab)) - kPi / (2 * z);
  const long double expected = db / std::cos(ArcInv(invM)) + Dm;
  EXPECT_NEAR(static_cast<double>(CalcBallDimension(z, mn, alpha, beta, 0, Dm)),
              static_cast<double>(expected), 1e-9);
  EXPECT_NEAR(static_cast<double>(CalcDimensionOverBalls(z, mn, alpha, beta, 0, Dm)),
              static_cast<double>((expected - Dm) * std::cos(kPi / (2 * z)) + Dm), 1e-9);
  // Contacts: the helicoid's points nearest the centre, found numerically, here and in a hub.
  EXPECT_NEAR(static_cast<double>(BallContactDiameter(z, mn, alpha, beta, 0, Dm)), 43.0470516,
              1e-6);
  EXPECT_NEAR(static_cast<double>(BallContactDiameter(-20, 2, 30 * kDeg, 25 * kDeg, 0.1L, 3)),
              -44.6250915, 1e-6);
}

TEST_F(MeasurementTest, BallContactCheck) {
  const long double alpha = 30 * kDeg;
  // Even teeth, ball well inside the flanks: nothing to report.
  CheckBallContact(8, 82, 82, 48, 61, 16, alpha, 0.975L, 1);
  EXPECT_EQ(ErrorList.count, 0);
  // 7 teeth: the balls stand in gaps not opposite, on a centre circle of 54 / cos(180 / 14) =
  // 55.39, so the ball reaches down to 49.39, not to the root at 49.
  CheckBallContact(7, 60, 60, 49, 61, 6, alpha, 0.5L, 1);
  EXPECT_EQ(ErrorList.count, 0);
  // Root cut deeper than the ball centre circle minus the ball: the ball hits the root.
  CheckBallContact(8, 82, 82, 80, 61, 16, alpha, 0.975L, 1);
  EXPECT_TRUE(Listed("Error  : small Dm ball !  (16mm) (1)"));
  ResetErrors();
  // Ball reaches beyond the tip.
  CheckBallContact(8, 82, 82, 48, 40, 16, alpha, 0.975L, 1);
  EXPECT_TRUE(Listed("Error  : Dm ball !  (16mm) (1)"));
  EXPECT_FALSE(CalcFatalFlag);
  // A hub's ball (centre circle 60, ball 6) touches outside its centre circle, about
  // 60 + 6 sin(180 / 8 + 30) = 64.76 across: within a tip circle of 62 it rests on the flanks,
  // beyond one of 66 on the tips.
  ResetErrors();
  CheckBallContact(-8, -54, -54, -70, -62, 6, alpha, 0.975L, 2);
  EXPECT_EQ(ErrorList.count, 0);
  CheckBallContact(-8, -54, -54, -70, -66, 6, alpha, 0.975L, 2);
  EXPECT_TRUE(Listed("Error  : Dm ball !  (6mm) (2)"));
}

TEST_F(MeasurementTest, BallContactWithOneToothIsFatalNotInfinite) {
  CheckBallContact(1, 20, 20, 5, 15, 2, 20 * kDeg, 0.2L, 1);
  EXPECT_TRUE(CalcFatalFlag);
  EXPECT_TRUE(Listed("Fatal  : Diametr.Dim.o.balls DmMess !"));
  ResetErrors();
  CheckBallContact(-1, -20, -20, -5, -15, 2, 20 * kDeg, 0.2L, 2);
  EXPECT_TRUE(CalcFatalFlag);
}

TEST_F(MeasurementTest, InvoluteIntersectionFindsEqualThickness) {
  // Tooth involute (20 deg) against a steeper chamfer involute (35 deg) shifted inwards: at
  // the returned diameter both give the same thickness, found here by an independent scan.
  const int z = 30;
  const long double mn = 2, alpha = 20 * kDeg, alphaB = 35 * kDeg, x = 0, xC = -0.15L;
  const long double d = z * mn, db = d * std::cos(alpha), dbk = d * std::cos(alphaB);
  const long double st = mn * kPi / 2;
  const long double sB =
      (std::tan(alphaB) - std::tan(alpha)) * 0 + mn * kPi / 2 + std::tan(alphaB) * 2 * xC * mn;
  auto thickness = [&](long double base, long double a0, long double s0, long double dd) {
    return (Inv(a0) + s0 / d - Inv(std::acos(base / dd))) * dd;
  };
  long double best = 0, bestGap = 1e9;
  for (long double dd = db + 1e-3L; dd < d + 4 * mn; dd += 1e-4L) {
    const long double gap =
        std::fabs(thickness(dbk, alphaB, sB, dd) - thickness(db, alpha, st, dd));
    if (gap < bestGap) {
      bestGap = gap;
      best = dd;
    }
  }
  long double s2 = 0;
  const long double found =
      InvoluteIntersection(z, 1, s2, alpha, 0, mn, x, xC, alphaB, 0, d + 4 * mn);
  ASSERT_LT(bestGap, 1e-3L);  // the two involutes do cross in the range
  EXPECT_NEAR(static_cast<double>(found), static_cast<double>(best), 5e-3);
  EXPECT_EQ(ErrorList.count, 0);
}

TEST(ParityIndex, EvenOddAndSign) {
  EXPECT_EQ(ParityIndex(4), 1);
  EXPECT_EQ(ParityIndex(0), 1);
  EXPECT_EQ(ParityIndex(3), 2);
  EXPECT_EQ(ParityIndex(-3), 0);
  EXPECT_EQ(ParityIndex(-4), 1);
}

}  // namespace
