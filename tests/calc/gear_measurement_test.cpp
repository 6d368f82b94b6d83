// Span and ball measurement values of the gear pair engine against the formulas of
// ISO 21771 (span over k teeth, dimension over two balls with signed tooth numbers, so that
// an internal gear gives a negative dimension between balls).
#include "calc/gear_measurement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "calc/gear_pair.h"
#include "calc/gear_test_setup.h"
#include "calc/toothing_data.h"
#include "common/guarded_math.h"

using gear_test::SetGearPair;
using gear_test::SetSplineExample;

namespace {

long double InvoluteOf(long double a) {
  return std::tan(a) - a;
}

// Inverse involute by Newton's method (d inv / da = tan^2 a).
long double AngleOfInvolute(long double y) {
  long double a = std::cbrt(3 * y);
  for (int n = 0; n < 60; ++n) {
    const long double t = std::tan(a);
    a -= (InvoluteOf(a) - y) / (t * t);
  }
  return a;
}

long double TransverseAngle(long double an, long double beta) {
  return std::atan(std::tan(an) / std::cos(beta));
}

// W = mn cos(an) ((k - 0.5) pi + z inv(at)) + 2 x mn sin(an).
long double IsoSpan(int z, int k, long double mn, long double an, long double beta, long double x) {
  const long double at = TransverseAngle(an, beta);
  return mn * std::cos(an) * ((k - 0.5L) * kPi + z * InvoluteOf(at)) + 2 * x * mn * std::sin(an);
}

// inv(aMt) = inv(at) + DM / (mn z cos(an)) - pi / (2 z) + 2 x tan(an) / z;
// dM = mn z cos(at) / (cos(b) cos(aMt)); even z: M = dM + DM; odd z: dM cos(90 deg / z) + DM.
long double IsoBallCentreDiameter(int z, long double mn, long double an, long double beta,
                                  long double x, long double DM) {
  const long double at = TransverseAngle(an, beta);
  const long double invM =
      InvoluteOf(at) + DM / (mn * z * std::cos(an)) - kPi / (2.0L * z) + 2 * x * std::tan(an) / z;
  return mn * z * std::cos(at) / (std::cos(beta) * std::cos(AngleOfInvolute(invM)));
}

long double IsoBallDimension(int z, long double mn, long double an, long double beta, long double x,
                             long double DM) {
  const long double dM = IsoBallCentreDiameter(z, mn, an, beta, x, DM);
  if (z % 2 == 0) return dM + DM;
  return dM * std::cos(kPi / (2.0L * z)) + DM;
}

struct GearCase {
  const char* name;
  int z1, z2;
  long double mn, alphaDeg, betaDeg, x1, Dm;
  int k;  // teeth spanned as given; 0 lets the engine choose
};

class MeasurementValues : public ::testing::TestWithParam<GearCase> {};

TEST_P(MeasurementValues, AgreeWithIsoFormulas) {
  const GearCase& c = GetParam();
  SetGearPair(c.z1, c.z2, c.mn, c.alphaDeg, c.betaDeg, c.x1, 0);
  ToothingData.Dm[1] = c.Dm;
  ToothingData.k[1] = c.k;
  CalcGearPair();
  ASSERT_FALSE(CalcFatalFlag);
  const TToothingData& t = ToothingData;
  const long double an = DegToRad(c.alphaDeg), beta = DegToRad(c.betaDeg);
  if (c.k != 0) EXPECT_EQ(t.k[1], c.k);
  EXPECT_NEAR(t.W[1], IsoSpan(c.z1, t.k[1], c.mn, an, beta, c.x1), 1e-9);
  EXPECT_NEAR(t.MNominal[1], IsoBallDimension(c.z1, c.mn, an, beta, c.x1, c.Dm), 1e-9);
  // Without allowances every case measures the nominal tooth.
  EXPECT_NEAR(t.WFinMin[1], t.W[1], 1e-12);
  EXPECT_NEAR(t.MFinMax[1], t.MNominal[1], 1e-12);
  // Helical odd tooth counts are shown as if both balls lay in one axial plane.
  const long double shown = (c.z1 % 2 != 0 && c.betaDeg > 0)
                                ? IsoBallCentreDiameter(c.z1, c.mn, an, beta, c.x1, c.Dm) + c.Dm
                                : t.MNominal[1];
  EXPECT_NEAR(t.M[1], shown, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    GearMeasurement, MeasurementValues,
    ::testing::Values(GearCase{"spur_even", 20, 40, 2, 20, 0, 0, 3.5L, 3},
                      GearCase{"spur_odd_shifted", 23, 51, 3, 20, 0, 0.2L, 5.5L, 4},
                      GearCase{"helical_even", 24, 50, 3, 20, 15, 0.1L, 5.5L, 4},
                      GearCase{"helical_odd", 23, 51, 3, 20, 15, -0.1L, 5.0L, 3},
                      GearCase{"spline_30deg", 12, 24, 2.5L, 30, 0, 0.3L, 4.5L, 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GearMeasurement, TextbookSpanOfTwentyTeeth) {
  // Tabulated span over 3 teeth of a 20-tooth spur gear at 20 degrees: 7.6604 m.
  SetGearPair(20, 40, 2, 20, 0, 0, 0);
  CalcGearPair();
  ASSERT_FALSE(CalcFatalFlag);
  EXPECT_EQ(ToothingData.k[1], 3);  // chosen by the engine
  EXPECT_NEAR(ToothingData.W[1], 2 * 7.6604, 0.0005);
}

// inv(aM) = Dm / (z m cos a) - pi / (2 z) + inv a < 0: a gear's ball falls through, a ring's sits
// on its tips.
TEST(GearMeasurement, BallOffTheFlanksIsNamedTooSmallOrTooLarge) {
  SetGearPair(20, -40, 2, 20, 0, 0, 0);
  CalcGearPair();
  ToothingData.Dm[1] = 0.5L, ToothingData.Dm[2] = 5;
  ResetErrors();
  CalcGearBallDimension(1, 0);
  CalcGearBallDimension(2, 0);
  EXPECT_EQ(ErrorCount(), 2);
  EXPECT_EQ(ErrorText(1), "Error  : small Dm ball !  (0.5mm) (1)");
  EXPECT_EQ(ErrorText(2), "Error  : Dm ball !  (5mm) (2)");
}

TEST(GearMeasurement, ExampleJointMeasurementValues) {
  // The example's shaft shift comes from a dimension over 16 mm balls of 82 mm.
  SetSplineExample();
  CalcGearPair();
  ASSERT_FALSE(CalcFatalFlag);
  const TToothingData& t = ToothingData;
  const long double an = DegToRad(30);
  EXPECT_NEAR(t.M[1], 82, 0.001);
  // Hub: negative dimension between 12 mm balls, magnitude |dM| - DM.
  const long double hub = IsoBallDimension(-8, 6.5L, an, 0, t.x[2], 12);
  EXPECT_LT(hub, 0);
  EXPECT_NEAR(t.M[2], hub, 1e-9);
  EXPECT_NEAR(-t.M[2], std::fabs(IsoBallCentreDiameter(-8, 6.5L, an, 0, t.x[2], 12)) - 12, 1e-9);
  EXPECT_NEAR(t.W[1], IsoSpan(8, 2, 6.5L, an, 0, t.x[1]), 1e-9);
  // What the ball contact check reads.
  EXPECT_NEAR(t.MdRCheck[1], t.MFinMin[1], 1e-15);
  EXPECT_NEAR(t.MCheck[1], t.M2PreMax[1], 1e-15);
}

TEST(GearMeasurement, AllowancesMoveSpanByTheirNormalShare) {
  // A thinner tooth by Asne shortens the span by |Asne| cos(an).
  SetGearPair(20, 40, 2, 20, 0, 0, 0);
  ToothingData.k[1] = 3;
  ToothingData.Asne[1] = -0.05L;
  ToothingData.Asni[1] = -0.09L;
  CalcGearPair();
  ASSERT_FALSE(CalcFatalFlag);
  const long double c = std::cos(DegToRad(20));
  EXPECT_NEAR(ToothingData.WFinMax[1], ToothingData.W[1] - 0.05L * c, 1e-12);
  EXPECT_NEAR(ToothingData.WFinMin[1], ToothingData.W[1] - 0.09L * c, 1e-12);
  EXPECT_LT(ToothingData.MFinMin[1], ToothingData.MFinMax[1]);
}

}  // namespace
