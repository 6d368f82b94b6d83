// Gear pair driver: which input findings stop the engine and which only report, and the
// working pressure angle that an entered centre distance needs.
#include "calc/gear_pair.h"

#include <gtest/gtest.h>

#include <cmath>

#include "calc/gear_test_setup.h"
#include "calc/toothing_data.h"
#include "common/guarded_math.h"

using gear_test::HasMessage;
using gear_test::SetGearPair;

namespace {

// The drawing diameters are written by the last stage only, so a value there shows that
// every stage ran.
constexpr long double kUntouched = -12345;

void MarkLastStage() {
  ToothGraphicsSettings.dwGen[1] = kUntouched;
  ToothingData.W[1] = kUntouched;
}
bool LastStageRan() {
  return ToothGraphicsSettings.dwGen[1] != kUntouched;
}

struct AlphaCase {
  const char* name;
  long double alpha;
  bool fatal;
};

class PressureAngleLimits : public ::testing::TestWithParam<AlphaCase> {};

TEST_P(PressureAngleLimits, BoundsPassOutsideIsFatal) {
  const AlphaCase& c = GetParam();
  SetGearPair(20, 40, 2, c.alpha, 0, 0, 0);
  MarkLastStage();
  CalcGearPair();
  EXPECT_EQ(CalcFatalFlag, c.fatal);
  EXPECT_EQ(HasMessage("Fatal  : 5 < alpha <= 45 !"), c.fatal);
  EXPECT_EQ(LastStageRan(), !c.fatal);
}

INSTANTIATE_TEST_SUITE_P(GearPair, PressureAngleLimits,
                         ::testing::Values(AlphaCase{"lower_bound", 5, false},
                                           AlphaCase{"upper_bound", 45, false},
                                           AlphaCase{"below", 4.99L, true},
                                           AlphaCase{"above", 45.01L, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GearPairStages, SteepHelixIsReportedButEveryStageRuns) {
  SetGearPair(20, 40, 2, 20, 50, 0, 0);
  MarkLastStage();
  CalcGearPair();
  EXPECT_TRUE(HasMessage("Fatal  : beta > 45!"));
  EXPECT_FALSE(CalcFatalFlag);
  EXPECT_TRUE(LastStageRan());
  EXPECT_NE(ToothingData.W[1], kUntouched);
  // Reference diameter of a helical gear: z mn / cos beta.
  EXPECT_NEAR(ToothingData.d[1], 20 * 2 / std::cos(DegToRad(50)), 1e-12);
}

struct ToothCountCase {
  const char* name;
  int z1, z2;
  const char* message;
};

class ToothCountLimits : public ::testing::TestWithParam<ToothCountCase> {};

TEST_P(ToothCountLimits, FewerThanTwoTeethIsFatal) {
  const ToothCountCase& c = GetParam();
  SetGearPair(c.z1, c.z2, 2, 20, 0, 0, 0);
  MarkLastStage();
  CalcGearPair();
  EXPECT_TRUE(CalcFatalFlag);
  EXPECT_TRUE(HasMessage(c.message));
  EXPECT_FALSE(LastStageRan());
}

INSTANTIATE_TEST_SUITE_P(GearPair, ToothCountLimits,
                         ::testing::Values(ToothCountCase{"gear1", 1, 40, "Fatal  : z1 < 2!"},
                                           ToothCountCase{"internal_gear2", 20, -1,
                                                          "Fatal  : z2 < 2!"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GearPairStages, NegativeRootEndsOnlyTheGeometryStage) {
  // A tool addendum deeper than the gear's reference radius cuts through the centre.
  SetGearPair(6, 40, 2, 20, 0, 0, 0);
  ToothingData.toolKind[1] = 4;
  ToothingData.haP0mn[1] = 4;
  ToothingData.hfP0mn[1] = 1;
  ToothingData.db[1] = kUntouched;
  ToothingData.sn[1] = kUntouched;
  CalcGearPair();
  EXPECT_TRUE(HasMessage("Fatal  : df <=0 ! (1)"));
  // The rest of the geometry stage did not run ...
  EXPECT_EQ(ToothingData.db[1], kUntouched);
  // ... but the contact stage did: tooth thickness mn (pi/2 + 2 x tan alpha).
  EXPECT_NEAR(ToothingData.sn[1], 2 * kPi / 2, 1e-12);
}

TEST(CentreDistance, ShiftSumForAnEnteredCentreDistanceGivesItBack) {
  // Textbook: inv(aw) = inv(a) + 2 tan(a) (x1 + x2) / (z1 + z2), aw = acos(a0 cos(a) / a).
  SetGearPair(20, 40, 2, 20, 0, 0, 0);
  ToothingData.a = 61;
  CheckGearInput();
  CorrectCentreDistance();
  const long double alphaw = std::acos(60 * std::cos(DegToRad(20)) / 61);
  EXPECT_NEAR(ToothingData.alphawt, alphaw, 1e-12);
  const long double sumX = (std::tan(alphaw) - alphaw - (std::tan(DegToRad(20)) - DegToRad(20))) *
                           60 / 2 / std::tan(DegToRad(20));
  EXPECT_NEAR(ToothingData.sumX, sumX, 1e-12);

  // Running the pair with that shift sum gives the entered centre distance.
  SetGearPair(20, 40, 2, 20, 0, sumX / 2, sumX / 2);
  CalcGearPair();
  ASSERT_FALSE(CalcFatalFlag);
  EXPECT_NEAR(ToothingData.a, 61, 1e-9);
}

TEST(CentreDistance, UnreachableCentreDistanceIsReportedWithoutStopping) {
  SetGearPair(20, 40, 2, 20, 0, 0, 0);
  ToothingData.a = 40;  // far below the reference centre distance 60: replaced by it
  CheckGearInput();
  CorrectCentreDistance();
  EXPECT_TRUE(HasMessage("Cent.distance corr. !"));
  EXPECT_FALSE(CalcFatalFlag);
  EXPECT_NEAR(ToothingData.a, 60, 1e-12);
  EXPECT_NEAR(ToothingData.alphawt, DegToRad(20), 1e-12);
}

}  // namespace
