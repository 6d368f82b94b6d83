// Checks of the computed gear pair and the drawing diameters: which findings a pair with a
// known flaw reports, and the generated diameters the tooth drawings use.
#include "calc/gear_checks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "calc/gear_pair.h"
#include "calc/gear_test_setup.h"
#include "calc/toothing_data.h"
#include "common/guarded_math.h"

using gear_test::HasMessage;
using gear_test::SetGearPair;
using gear_test::SetSplineExample;

namespace {

struct FindingCase {
  const char* name;
  std::function<void()> setUp;
  const char* message;
};

class PairFindings : public ::testing::TestWithParam<FindingCase> {};

TEST_P(PairFindings, FlawIsReportedWithoutStopping) {
  const FindingCase& c = GetParam();
  c.setUp();
  CalcGearPair();
  EXPECT_TRUE(HasMessage(c.message)) << c.message;
  EXPECT_FALSE(CalcFatalFlag);
}

INSTANTIATE_TEST_SUITE_P(
    GearChecks, PairFindings,
    ::testing::Values(
        // 10 teeth at 20 degrees without shift: below the practical limit of about 14 teeth.
        FindingCase{"undercut", [] { SetGearPair(10, 40, 2, 20, 0, 0, 0); },
                    "Warning: undercut ! (1)"},
        // Integer ratio 40 / 20: the same teeth meet again every second turn.
        FindingCase{"integer_ratio", [] { SetGearPair(20, 40, 2, 20, 0, 0, 0); }, "gear ratio !"},
        FindingCase{"large_shift", [] { SetGearPair(20, 40, 2, 20, 0, 1.6L, -1.6L); },
                    "Warning: x > 1.5   (1) !"},
        // Shift 1.0 on 12 teeth leaves a tip land below 0.15 mn (pointed tooth).
        FindingCase{"pointed_tooth", [] { SetGearPair(12, 40, 2, 20, 0, 1.0L, 0); },
                    "Warning: point teeth ! (1)"},
        // Tip given 1 mm beyond the mating root: negative tip clearance.
        FindingCase{"negative_clearance",
                    [] {
                      SetGearPair(20, 40, 2, 20, 0, 0, 0);
                      ToothingData.tipMode[1] = 1;
                      ToothingData.c[1] = -0.5L;
                    },
                    "Error  : clearance sh.add. < 0 ! (1)"},
        FindingCase{"premachining_limits_reversed",
                    [] {
                      SetGearPair(20, 40, 2, 20, 0, 0, 0);
                      ToothingData.q[1] = 0.1L;
                      ToothingData.qT[1] = -0.05L;
                    },
                    "Error  : xemin>xemax (1)"},
        // Overlap ratio b sin(b) / (pi mn) = 20 sin 8 / (2 pi) = 0.44.
        FindingCase{"short_overlap", [] { SetGearPair(20, 40, 2, 20, 8, 0, 0); }, "eps.beta < 1 !"},
        FindingCase{"narrow_helical_gear",
                    [] {
                      SetGearPair(20, 40, 2, 20, 20, 0, 0);
                      ToothingData.bGear[1] = 3;
                    },
                    "Warning: b < b min. (1)"},
        FindingCase{"small_second_gear", [] { SetGearPair(40, 20, 2, 20, 0, 0, 0); },
                    "Warning: z2<z1 !"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GearChecks, SoundPairHasNoFindings) {
  SetGearPair(21, 40, 2, 20, 0, 0, 0);
  CalcGearPair();
  EXPECT_FALSE(CalcFatalFlag);
  EXPECT_EQ(ErrorCount(), 0) << ErrorText(1);
}

TEST(GearChecks, SplineJointSkipsThePairFindings) {
  // Shaft and hub have as many teeth, so ratio and contact findings do not apply.
  SetSplineExample();
  CalcGearPair();
  ASSERT_FALSE(CalcFatalFlag);
  EXPECT_LT(ToothingData.epsAlpha, 1);
  EXPECT_FALSE(HasMessage("gear ratio !"));
  EXPECT_FALSE(HasMessage("eps.alpha < 1 !"));
  EXPECT_FALSE(HasMessage("eps.gamma < 1 !"));
  EXPECT_FALSE(HasMessage("eps.beta < 1 !"));
  EXPECT_FALSE(HasMessage("Error  : dw < df ! (2)"));
  EXPECT_FALSE(HasMessage("Error  : dw > da ! (2)"));
}

TEST(GearDrawingDiameters, SplineExampleDrawsWhatWasCalculated) {
  SetSplineExample();
  CalcGearPair();
  ASSERT_FALSE(CalcFatalFlag);
  const TToothGraphicsSettings& g = ToothGraphicsSettings;
  EXPECT_NEAR(g.aDraw, 0, 1e-12);
  EXPECT_NEAR(g.dwGen[1], 52, 1e-9);
  EXPECT_NEAR(g.dwGen[2], -52, 1e-9);
  EXPECT_NEAR(g.dfGen[1], 48, 1e-9);
  EXPECT_NEAR(g.daGen[1], 61, 1e-9);
  EXPECT_NEAR(g.dfGen[2], -63, 1e-9);
  EXPECT_NEAR(g.daGen[2], -50, 1e-9);
  EXPECT_NEAR(g.snGen[1], ToothingData.sn[1], 1e-12);
  EXPECT_NEAR(g.xDrawFin[1], gear_test::kExampleX1, 1e-12);
  // The pictures are handed the calculated shifts.
  EXPECT_NEAR(g.xeInvolute[1], gear_test::kExampleX1, 1e-12);
  EXPECT_NEAR(g.xeShape[1], gear_test::kExampleX1, 1e-12);
  // Angle from the tooth centre line to the flank on the pitch circle, sn / d in radians,
  // to within the difference between chord and arc.
  EXPECT_NEAR(g.toothAngleDw1, RadToDeg(ToothingData.sn[1] / 52), 0.05);
}

TEST(GearDrawingDiameters, WorkingPitchCirclesAtAnotherCentreDistance) {
  // Working pitch diameters divide the centre distance by the tooth ratio: dw1 = 2 a z1 / (z1 +
  // z2).
  SetGearPair(20, 40, 2, 20, 0, 0, 0);
  CalcGearPair();
  ASSERT_FALSE(CalcFatalFlag);
  ToothGraphicsSettings.aDraw = 61;
  PartReal x;
  x[1] = 0.1L;
  x[2] = 0;
  CalcGearDiameters(x);
  EXPECT_FALSE(CalcFatalFlag);
  const TToothGraphicsSettings& g = ToothGraphicsSettings;
  EXPECT_NEAR(g.dwGen[1], 2 * 61 * 20 / 60.0L, 1e-9);
  EXPECT_NEAR(g.dwGen[2], 2 * 61 * 40 / 60.0L, 1e-9);
  // Shifted tool: root and tip move out by 2 x m, the tooth grows by 2 x m tan(a).
  EXPECT_NEAR(g.dfGen[1], 35 + 0.4L, 1e-12);
  EXPECT_NEAR(g.daGen[1], 44 + 0.4L, 1e-12);
  EXPECT_NEAR(g.snGen[1], kPi + 0.4L * std::tan(DegToRad(20)), 1e-12);
}

TEST(GearDrawingDiameters, UnreachableCentreDistanceStopsTheDrawing) {
  SetGearPair(20, 40, 2, 20, 0, 0, 0);
  CalcGearPair();
  ASSERT_FALSE(CalcFatalFlag);
  const int before = ErrorCount();
  ToothGraphicsSettings.aDraw = 50;  // below a0 cos(a): no working pressure angle exists
  ToothGraphicsSettings.dwGen[2] = -1;
  PartReal x{};
  CalcGearDiameters(x);
  EXPECT_TRUE(CalcFatalFlag);
  // The user learns why the picture is not drawn.
  EXPECT_EQ(ErrorCount(), before + 1);
  EXPECT_TRUE(HasMessage("Fatal  : a draw not reachable !"));
  EXPECT_EQ(ToothGraphicsSettings.dwGen[2], -1);
}

TEST(GearDrawingDiameters, SplineDrawnAtACentreDistanceStaysCoaxial) {
  // Shaft and hub of a spline share one axis: a drawing centre distance other than 0 (one
  // kept from an earlier picture) leaves them rolling on their reference circles.
  SetSplineExample();
  CalcGearPair();
  ASSERT_FALSE(CalcFatalFlag);
  ToothGraphicsSettings.aDraw = 5;
  CalcGearDiameters(ToothGraphicsSettings.xDrawFin);
  EXPECT_FALSE(CalcFatalFlag);
  EXPECT_FALSE(HasMessage("Fatal  : a draw not reachable !"));
  EXPECT_NEAR(ToothGraphicsSettings.dwGen[1], 52, 1e-9);
  EXPECT_NEAR(ToothGraphicsSettings.dwGen[2], -52, 1e-9);
}

TEST(GearDrawingDiameters, TinyTipReductionCountsAsNone) {
  SetGearPair(20, 40, 2, 20, 0, 0, 0);
  CalcGearPair();
  ASSERT_FALSE(CalcFatalFlag);
  ToothingData.da[1] = 43;
  PartReal x{};
  ToothingData.tipReduction[1] = 0.000005L;
  CalcGearDiameters(x);
  EXPECT_NEAR(ToothGraphicsSettings.daGen[1], 44, 1e-12);  // from the tool: d + 2 hfP0
  ToothingData.tipReduction[1] = 0.5L;
  CalcGearDiameters(x);
  EXPECT_NEAR(ToothGraphicsSettings.daGen[1], 43, 1e-12);  // the reduced tip
}

}  // namespace
