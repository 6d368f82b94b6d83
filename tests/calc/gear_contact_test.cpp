// Gear contact stage against textbook formulas: contact ratio of a spur pair, the example
// spline joint's diameters, the root form diameter and the protuberance flank height.
#include "calc/gear_contact.h"

#include <gtest/gtest.h>

#include <cmath>

#include "calc/gear_pair.h"
#include "calc/gear_test_setup.h"
#include "calc/toothing_data.h"
#include "common/guarded_math.h"

using gear_test::HasMessage;
using gear_test::SetGearPair;
using gear_test::SetSplineExample;

namespace {

// Textbook transverse contact ratio of an external spur pair:
// (sqrt(ra1^2 - rb1^2) + sqrt(ra2^2 - rb2^2) - a sin(aw)) / (pi m cos(a)).
long double TextbookContactRatio(long double ra1, long double ra2, long double rb1, long double rb2,
                                 long double a, long double alphaw, long double m,
                                 long double alpha) {
  return (std::sqrt(ra1 * ra1 - rb1 * rb1) + std::sqrt(ra2 * ra2 - rb2 * rb2) -
          a * std::sin(alphaw)) /
         (kPi * m * std::cos(alpha));
}

// Standard root form diameter of a gear cut by a rack with tip radius rho:
// sqrt(db^2 + (d sin(at) - 2 (haP0 - x mn - rho (1 - sin(an))) / sin(at))^2).
long double RootFormDiameter(long double d, long double db, long double at, long double an,
                             long double haP0, long double x, long double mn, long double rho) {
  const long double leg =
      d * std::sin(at) - 2 * (haP0 - x * mn - rho * (1 - std::sin(an))) / std::sin(at);
  return std::sqrt(db * db + leg * leg);
}

TEST(GearContact, SpurPairContactRatioFromTheTextbook) {
  SetGearPair(20, 40, 2, 20, 0, 0, 0);
  CalcGearPair();
  ASSERT_FALSE(CalcFatalFlag);
  const TToothingData& t = ToothingData;
  const long double alpha = DegToRad(20);
  const long double rb1 = 20 * std::cos(alpha), rb2 = 40 * std::cos(alpha);
  const long double expected = TextbookContactRatio(22, 42, rb1, rb2, 60, alpha, 2, alpha);
  EXPECT_NEAR(t.epsAlpha, expected, 1e-12);
  EXPECT_NEAR(t.epsAlpha, 1.635, 0.0005);  // tabulated value for 20/40 teeth at 20 degrees
  EXPECT_NEAR(t.epsBeta, 0, 1e-15);
  EXPECT_NEAR(t.epsGamma, t.epsAlpha, 1e-15);
  // Partial ratios add up to the whole at the working pitch point.
  EXPECT_NEAR(t.epsPart[1] + t.epsPart[2], t.epsAlpha, 1e-12);
  EXPECT_NEAR(t.u, 2, 1e-15);
  // Tooth thickness on the reference circle is half the pitch without shift.
  EXPECT_NEAR(t.sn[1], kPi, 1e-12);
  EXPECT_NEAR(t.en[1], kPi, 1e-12);
  // Active root of gear 1: where the mating tip's line-of-action point lies.
  const long double along = 2 * 60 * std::sin(alpha) - 2 * std::sqrt(42 * 42 - rb2 * rb2);
  EXPECT_NEAR(t.dNf[1], std::sqrt(along * along + 4 * rb1 * rb1), 1e-9);
  EXPECT_NEAR(t.dFf[1], RootFormDiameter(40, 2 * rb1, alpha, alpha, 2.5, 0, 2, 0.5), 1e-12);
  EXPECT_FALSE(HasMessage("Error  : tooth collision da1 !"));
  EXPECT_FALSE(HasMessage("Error  : tooth collision da2 !"));
}

TEST(SplineExample, DiametersOfShaftAndHub) {
  // Module 6.5, 30 degrees, 8 teeth: d = 52, db = 52 cos 30; the tool factors come from the
  // shaft's tip 61 and root 48 and the clearances 1.0 mm.
  SetSplineExample();
  CalcGearPair();
  ASSERT_FALSE(CalcFatalFlag);
  const TToothingData& t = ToothingData;
  EXPECT_NEAR(t.d[1], 52, 1e-12);
  EXPECT_NEAR(t.d[2], -52, 1e-12);
  EXPECT_NEAR(t.db[1], 45.033, 0.0005);
  EXPECT_NEAR(t.db[2], -45.033, 0.0005);
  EXPECT_NEAR(t.df[1], 48, 1e-9);
  EXPECT_NEAR(t.da[1], 61, 1e-9);
  EXPECT_NEAR(t.df[2], -63, 1e-9);
  EXPECT_NEAR(t.da[2], -50, 1e-9);
  // Clearances at major and minor diameter as entered.
  EXPECT_NEAR(t.c[1], 1.0, 1e-9);
  EXPECT_NEAR(t.c[2], 1.0, 1e-9);
  // Backlash: hub space width minus shaft tooth thickness, 0.3 as entered (x rounded to 5
  // digits in the example).
  EXPECT_NEAR(t.en[2] - t.sn[1], 0.3, 0.001);
  EXPECT_NEAR(t.a, 0, 1e-12);
  EXPECT_NEAR(t.alphawt, t.alphat, 1e-15);
  // The shaft's tip is its own limit; the hub's tip must reach beyond the shaft's base circle.
  EXPECT_NEAR(t.dA[1], 61, 1e-9);
  EXPECT_NEAR(t.dA[2], -50, 1e-9);
  // Active root of the shaft is the hub's tip, and the other way round.
  EXPECT_NEAR(t.dNf[1], 50, 1e-9);
  EXPECT_NEAR(t.dNf[2], -61, 1e-9);
  EXPECT_NEAR(t.hprP0[1], 0, 1e-15);
}

TEST(SplineExample, RootFormDiameterLiesBelowTheReferenceCircle) {
  SetSplineExample();
  CalcGearPair();
  ASSERT_FALSE(CalcFatalFlag);
  const TToothingData& t = ToothingData;
  const long double alpha = DegToRad(30);
  EXPECT_NEAR(t.dFf[1], 49.254, 0.0005);
  EXPECT_NEAR(t.dFf[1], RootFormDiameter(52, t.db[1], alpha, alpha, t.haP0[1], t.x[1], 6.5, 0.975L),
              1e-12);
  EXPECT_LT(t.dFf[1], t.d[1]);
  EXPECT_GT(t.dFf[1], t.df[1]);
  // Hub: root plus the rise of the tool tip radius, 2 rho (1 - sin a).
  EXPECT_NEAR(t.dFf[2], -63 + 2 * 0.975L * 0.5L, 1e-9);
}

TEST(SplineExample, HubTipInsideTheShaftBaseCircleCollides) {
  SetSplineExample();
  // Hub tip 44 (less than db1 = 45.03 in magnitude) meets the shaft below its base circle.
  ToothingData.hfP0mn[2] += 3 / 6.5L;
  CalcGearPair();
  EXPECT_TRUE(HasMessage("Error  : tooth collision da2 !"));
  EXPECT_NEAR(ToothingData.dA[2], -ToothingData.db[1], 1e-9);
}

TEST(GearContact, ProtuberanceFlankHeight) {
  // Tool kind 3 (protuberance 0.02 mn at 6 degrees, tip radius 0.4 mn, addendum 1.4 mn).
  // The protuberance flank touches the tip radius; measured along the main flank it meets
  // the flank moved by pr: the tangent point on the moved flank lies rho (1 - sin a) above
  // the tip line, the two tangents of the tip radius meet rho tan(d/2) further up
  // (d = a - a_pr), and the protuberance flank reaches the main flank pr / tan(d) further
  // along and pr sin(a) higher.
  SetGearPair(20, 40, 2, 20, 0, 0, 0);
  ToothingData.toolKind[1] = 3;
  CalcGearPair();
  const TToothingData& t = ToothingData;
  EXPECT_EQ(t.toolName[1], "Protub.");
  const long double alpha = DegToRad(20), delta = DegToRad(20 - 6);
  const long double rho = 0.8L, pr = 0.04L;
  const long double height = rho * (1 - std::sin(alpha)) +
                             rho * std::tan(delta / 2) * std::cos(alpha) +
                             pr * std::cos(alpha) / std::tan(delta) + pr * std::sin(alpha);
  const long double tipDepth = (t.d[1] - (t.dfLimit[1] + t.dfMin[1]) / 2) / 2;
  EXPECT_NEAR(tipDepth, 2.8, 1e-12);  // tool addendum 1.4 mn, no shift
  EXPECT_NEAR(t.hprP0[1], tipDepth - height, 1e-12);
  EXPECT_NEAR(t.hprP0[2], 0, 1e-15);
}

TEST(GearContact, ChamferedToolEndsTheInvoluteBelowTheTip) {
  // A tool flank of 45 degrees near its root cuts a tip chamfer: the tooth's involute ends
  // where it meets the chamfer's involute, between base and tip circle.
  SetGearPair(20, 40, 2, 20, 0, 0, 0);
  TToothingData& t = ToothingData;
  t.toolKind[1] = 5;
  t.hfP0mn[1] = 1.0L;
  t.haP0mn[1] = 1.25L;
  t.rhoaP0mn[1] = 0.25L;
  t.alphakP0[1] = 45;
  t.hFfP0mn[1] = 0.8L;
  CalcGearPair();
  ASSERT_FALSE(CalcFatalFlag);
  EXPECT_EQ(t.toolAngleFlag[1], 1);
  EXPECT_EQ(t.toolAngleFlag[2], 0);
  EXPECT_GT(t.dFa[1], t.db[1]);
  EXPECT_LT(t.dFa[1], t.da[1] - 0.1L);
  EXPECT_NEAR(t.dFa[2], t.da[2], 1e-12);
}

}  // namespace
