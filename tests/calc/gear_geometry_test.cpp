// Gear geometry stages against textbook gear formulas: centre distance, tip and root
// diameters, clearance, tooth thickness allowances from the DIN 3967 tables, backlash and the
// three ways of fixing the tip.
#include "calc/gear_geometry.h"

#include <gtest/gtest.h>

#include <cmath>

#include "calc/gear_pair.h"
#include "calc/gear_test_setup.h"
#include "calc/toothing_data.h"
#include "common/guarded_math.h"

using gear_test::SetGearPair;

namespace {

TEST(GearGeometry, StandardSpurPairFromTheTextbook) {
  // z 20/40, m 2, 20 degrees, no shift, tool addendum 1.25 m and dedendum 1.0 m:
  // a = m (z1 + z2) / 2, da = m (z + 2), df = m (z - 2.5), c = 0.25 m.
  SetGearPair(20, 40, 2, 20, 0, 0, 0);
  CalcGearPair();
  ASSERT_FALSE(CalcFatalFlag);
  const TToothingData& t = ToothingData;
  EXPECT_NEAR(t.a, 60, 1e-12);
  EXPECT_NEAR(t.d[1], 40, 1e-12);
  EXPECT_NEAR(t.d[2], 80, 1e-12);
  EXPECT_NEAR(t.db[1], 40 * std::cos(DegToRad(20)), 1e-12);
  EXPECT_NEAR(t.da[1], 44, 1e-12);
  EXPECT_NEAR(t.da[2], 84, 1e-12);
  EXPECT_NEAR(t.dfLimit[1], 35, 1e-12);
  EXPECT_NEAR(t.df[2], 75, 1e-12);
  EXPECT_NEAR(t.c[1], 0.5, 1e-12);
  EXPECT_NEAR(t.c[2], 0.5, 1e-12);
  EXPECT_NEAR(t.h[1], 4.5, 1e-12);  // whole depth 2.25 m
  EXPECT_NEAR(t.alphawt, DegToRad(20), 1e-12);
  EXPECT_NEAR(t.pbt, kPi * 2 * std::cos(DegToRad(20)), 1e-12);
  EXPECT_EQ(t.toolName[1], "Normal");
  EXPECT_EQ(t.centreTolName, "js 7");
}

TEST(GearGeometry, HelicalPairUsesTransverseValues) {
  // d = z mn / cos(beta), tan(at) = tan(an) / cos(beta), tan(bb) = tan(b) cos(at).
  SetGearPair(23, 51, 3, 20, 15, 0, 0);
  CalcGearPair();
  ASSERT_FALSE(CalcFatalFlag);
  const TToothingData& t = ToothingData;
  const long double beta = DegToRad(15);
  const long double at = std::atan(std::tan(DegToRad(20)) / std::cos(beta));
  EXPECT_NEAR(t.d[1], 23 * 3 / std::cos(beta), 1e-12);
  EXPECT_NEAR(t.alphat, at, 1e-15);
  EXPECT_NEAR(t.betab, std::atan(std::tan(beta) * std::cos(at)), 1e-15);
  EXPECT_NEAR(t.a, 74 * 3 / 2 / std::cos(beta), 1e-9);
  // Virtual number of teeth z / (cos^2(bb) cos(b)).
  EXPECT_NEAR(t.zn[1], 23 / (std::pow(std::cos(t.betab), 2) * std::cos(beta)), 1e-9);
}

TEST(GearGeometry, AllowancesFromToothThicknessTables) {
  // DIN 3967 for reference diameters 10 to 50 mm: deviation field "e" 30 um, series 25
  // tolerance 30 um; the tooth gets thinner by exactly the allowance.
  SetGearPair(20, 40, 2, 20, 0, 0, 0);
  TToothingData& t = ToothingData;
  t.toleranceSeries[1] = 5;
  t.deviationField[1] = 8;
  CalcGearPair();
  ASSERT_FALSE(CalcFatalFlag);
  EXPECT_NEAR(t.Asne[1], -0.030, 1e-12);
  EXPECT_NEAR(t.Tsn[1], 0.030, 1e-12);
  EXPECT_NEAR(t.Asni[1], -0.060, 1e-12);
  EXPECT_EQ(t.toothTolName[1], "e 25");
  EXPECT_EQ(t.toothTolName[2], "");
  const long double sn0 = 2 * kPi / 2;
  EXPECT_NEAR(t.snMax[1], sn0 - 0.030, 1e-12);
  EXPECT_NEAR(t.snMin[1], sn0 - 0.060, 1e-12);
  // Circumferential backlash: -(Asne1 + Asne2) / cos(b) + 2 Aa tan(a), with the centre
  // distance allowance js7 = +-IT7 / 2 (IT7 for the reference step of a = 0 is 10 um).
  EXPECT_NEAR(t.jtMin, 0.030 - 2 * 0.005 * std::tan(DegToRad(20)), 1e-12);
  EXPECT_NEAR(t.jtMax, 0.060 + 2 * 0.005 * std::tan(DegToRad(20)), 1e-12);
}

struct TipModeCase {
  const char* name;
  int mode;
  long double given;  // clearance, tip reduction or tip diameter of gear 1
  long double da1, tipReduction1, c1;
};

class TipModes : public ::testing::TestWithParam<TipModeCase> {};

TEST_P(TipModes, TipClearanceAndReductionAgree) {
  // Gear 1 of the 20/40 pair: da0 = 44, mating root 75, a = 60, c = a - (da1 + df2) / 2.
  const TipModeCase& p = GetParam();
  SetGearPair(20, 40, 2, 20, 0, 0, 0);
  TToothingData& t = ToothingData;
  t.tipMode[1] = p.mode;
  if (p.mode == 1) t.c[1] = p.given;
  if (p.mode == 2) t.tipReduction[1] = p.given;
  if (p.mode == 3) t.da[1] = p.given;
  CalcGearPair();
  ASSERT_FALSE(CalcFatalFlag);
  EXPECT_NEAR(t.da[1], p.da1, 1e-12);
  EXPECT_NEAR(t.tipReduction[1], p.tipReduction1, 1e-12);
  EXPECT_NEAR(t.c[1], p.c1, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    GearGeometry, TipModes,
    ::testing::Values(TipModeCase{"clearance_given", 1, 1.0L, 43, 0.5L, 1.0L},
                      TipModeCase{"reduction_given", 2, 0.25L, 43.5L, 0.25L, 0.75L},
                      TipModeCase{"diameter_given", 3, 43.2L, 43.2L, 0.4L, 0.9L}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GearGeometry, PremachiningAllowanceDeepensTheRoot) {
  // An allowance q on the flank moves the tool outward by q / sin(a) at premachining.
  SetGearPair(20, 40, 2, 20, 0, 0, 0);
  TToothingData& t = ToothingData;
  t.q[1] = 0.1L;
  t.qT[1] = 0.05L;
  CalcGearPair();
  ASSERT_FALSE(CalcFatalFlag);
  const long double sinA = std::sin(DegToRad(20));
  EXPECT_NEAR(t.xePreMin[1], 0.1L / (2 * sinA), 1e-12);
  EXPECT_NEAR(t.xePreMax[1], 0.15L / (2 * sinA), 1e-12);
  EXPECT_NEAR(t.dfLimit[1], 35 + 2 * 0.15L / sinA, 1e-12);
  EXPECT_NEAR(t.dfMin[1], 35 + 2 * 0.1L / sinA, 1e-12);
  EXPECT_NEAR(t.df[1], 35, 1e-12);
}

}  // namespace
