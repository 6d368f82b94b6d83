// The configuration menu of the tooth pictures through scripted answers, and the window
// extents of the tooth-contact picture at their switching tooth numbers.
#include "drawings/tooth_graphics_config.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "drawings/tooth_test_support.h"

namespace {

using namespace tooth_test;

class ToothGraphicsConfigTest : public ToothTest {
 protected:
  void SetUp() override {
    ToothTest::SetUp();
    SetExampleJoint();
  }
};

}  // namespace

TEST_F(ToothGraphicsConfigTest, StepSettingsAndAuxiliaryDiameters) {
  TToothGraphicsSettings& g = ToothGraphicsSettings;
  // "1" as fillet resolution is refused and asked again.
  host_->AnswerChoice(1);
  host_->AnswerNo();
  host_->AnswerText("1");
  host_->AnswerText("55");
  host_->AnswerText("64");
  host_->AnswerChoice(2);
  host_->AnswerText("321");
  host_->AnswerText("45");
  host_->AnswerChoice(4);
  host_->AnswerChoice(1);
  host_->AnswerChoice(5);
  ToothGraphicsConfig();
  EXPECT_FALSE(AbortFlag);
  EXPECT_FALSE(g.drawRootCurve);
  EXPECT_EQ(g.FilletSteps, 55);
  EXPECT_EQ(g.InvolutePoints, 64);
  EXPECT_TRUE(PlotSettings.involuteAsPolyline);
  EXPECT_EQ(g.WheelImagingCount, 321);
  EXPECT_EQ(g.ShapeSteps, 45);
  EXPECT_EQ(g.auxDiameterOption, 1);
  std::vector<int> help;
  for (const auto& r : host_->Records())
    if (r.kind != TDialogKind::Message) help.push_back(r.helpNumber);
  const std::vector<int> expected = {8275, 8380, 8345, 8345, 8300, 8310, 8320, 8325, 8275};
  EXPECT_EQ(std::vector<int>(help.begin(), help.begin() + expected.size()), expected);
  // The menu proposes the entry after the last one chosen.
  const auto menus = host_->RecordsOf(TDialogKind::Choice);
  EXPECT_EQ(menus[2].selected, 1);
  EXPECT_EQ(menus.back().selected, 4);
}

TEST_F(ToothGraphicsConfigTest, GeneratingShiftsFromTheLimitsOrTyped) {
  const TToothingData& t = ToothingData;
  const TToothGraphicsSettings& g = ToothGraphicsSettings;
  // Gear 1: finishing minimum backlash, then the premachining mean; gear 2: typed, then
  // premachining maximum backlash.
  for (int c : {2, 5, 1, 7}) host_->AnswerChoice(c);
  host_->AnswerText("0,125");
  for (int c : {3, 5}) host_->AnswerChoice(c);
  ToothGraphicsConfig();
  ASSERT_FALSE(AbortFlag);
  // Minimum backlash: the thickest tooth, the upper limit of the shift.
  EXPECT_EQ(g.xeInvolute[1], std::max(t.xeFinMin[1], t.xeFinMax[1]));
  EXPECT_EQ(g.xeShape[1], (t.xePreMin[1] + t.xePreMax[1]) / 2);
  EXPECT_NEAR(static_cast<double>(g.xeInvolute[2]), 0.125, 1e-15);
  EXPECT_EQ(g.xeShape[2], t.xePreMin[2]);
  const auto c = host_->RecordsOf(TDialogKind::Choice);
  ASSERT_EQ(c.size(), 6u);
  EXPECT_EQ(c[1].prompt, "gen.addend.modif.coeff. Involute gear 1");
  EXPECT_EQ(c[1].selected, 6);  // "xe ..." proposed first
  EXPECT_EQ(c[2].prompt, "gen.addend.modif.coeff. Tooth shape gear 1");
  EXPECT_EQ(c[2].selected, 4);  // then the entry chosen in the first menu
}

// Inch units: the menu shows inches, the drawing takes the exact millimetres. A typed value
// outside a -/+ mn is asked again. A spline's parts share one axis: any other distance is
// refused with a message and every picture of the joint stays available.
TEST_F(ToothGraphicsConfigTest, CentreDistanceInMillimetresAndWithinOneModule) {
  TToothingData& t = ToothingData;
  const int z1 = t.z[1];
  t.z[2] = z1;  // a gear pair for the time
  t.a = 10;
  t.Aae = 0.0123456L;
  ConfigVariables.UnitSystem = 1;
  for (int c : {3, 2, 5}) host_->AnswerChoice(c);
  ToothGraphicsConfig();
  EXPECT_EQ(ToothGraphicsSettings.aDraw, 10.0123456L);
  ConfigVariables.UnitSystem = 0;
  t.a = 0;
  for (int c : {3, 4}) host_->AnswerChoice(c);
  host_->AnswerText("7");  // mn = 6.5
  host_->AnswerText("-2,5");
  host_->AnswerChoice(5);
  ToothGraphicsConfig();
  EXPECT_NEAR(static_cast<double>(ToothGraphicsSettings.aDraw), -2.5, 1e-15);
  EXPECT_EQ(host_->RecordsOf(TDialogKind::Text).size(), 2u);

  t.z[2] = -z1;
  ToothGraphicsSettings.aDraw = 0;
  CalcFatalFlag = false;  // the gear pair's -2.5 was out of its reach
  host_->Clear();
  for (int c : {3, 2, 3, 4}) host_->AnswerChoice(c);
  host_->AnswerText("3");
  host_->AnswerChoice(5);
  ToothGraphicsConfig();
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(ToothGraphicsSettings.aDraw, 0);
  EXPECT_EQ(host_->RecordsOf(TDialogKind::Message).size(), 2u);
  EXPECT_FALSE(CalcFatalFlag);
}

TEST_F(ToothGraphicsConfigTest, CancelInTheMenuOrInAQuestion) {
  host_->AnswerCancel();
  ToothGraphicsConfig();
  EXPECT_FALSE(AbortFlag);  // the menu's Cancel only leaves it
  host_->AnswerChoice(1);
  host_->AnswerNo();
  host_->AnswerText("77");
  host_->AnswerCancel();
  ToothGraphicsConfig();
  EXPECT_TRUE(AbortFlag);  // a question's Cancel stops the caller too
  EXPECT_EQ(ToothGraphicsSettings.FilletSteps, 77);
  EXPECT_EQ(host_->PendingAnswers(), 0u);
}

// Angles by hand: 540 / 12 = 45 deg; 0.6 * 360 * ln 11 / 11 = 47.0859 deg (cos 0.680901);
// 720 / 18 = 40 deg (cos 0.766044); 0.7 * 360 * ln 17 / 17 = 41.9982 deg (cos 0.743166);
// 720 / 21 = 34.2857 deg (sin 0.563320, cos 0.826239); 720 / 17 = 42.3529 deg (sin 0.673696);
// 720 / 7 = 102.857 deg (sin 0.974928); 0.7 * 360 * ln 5 / 5 = 81.1163 deg (cos 0.154440).
TEST(ContactViewExtents, SwitchingToothNumbers) {
  struct Case {
    const char* name;
    int z1, z2;
    long double da1, da2;
    double w, b, t;
  };
  const Case cases[] = {
      {"shaft 11 teeth", 11, -21, 26, -44, 1.1 * (22 * 0.563320 + 2),
       13 - 1.2 * (13 * (1 - 0.680901) + 4), 13 + 1.2 * (22 * (1 - 0.826239) + 2)},
      {"shaft 12 teeth", 12, -21, 28, -44, 1.1 * (22 * 0.563320 + 2),
       14 - 1.2 * (14 * (1 - 0.707107) + 4), 14 + 1.2 * (22 * (1 - 0.826239) + 2)},
      // Internal hub of 17 teeth: no module in the top margin; 18 teeth: 40 deg and a module.
      {"hub 17 teeth", 12, -17, 28, -34, 1.1 * (17 * 0.673696 + 2),
       14 - 1.2 * (14 * (1 - 0.707107) + 4), 14 + 1.2 * (17 * (1 - 0.743166))},
      {"hub 18 teeth", 12, -18, 28, -36, 1.1 * (18 * 0.642788 + 2),
       14 - 1.2 * (14 * (1 - 0.707107) + 4), 14 + 1.2 * (18 * (1 - 0.766044) + 2)},
      // Five hub teeth: the half width stops at 720 / 7.
      {"hub 5 teeth", 12, -5, 28, -12, 1.1 * (6 * 0.974928 + 2),
       14 - 1.2 * (14 * (1 - 0.707107) + 4), 14 + 1.2 * (6 * (1 - 0.154440))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InitToothingData();
    ToothingData.z[1] = c.z1;
    ToothingData.z[2] = c.z2;
    ToothingData.mn = 2;
    ToothGraphicsSettings.daGen[1] = c.da1;
    ToothGraphicsSettings.daGen[2] = c.da2;
    EXPECT_NEAR(static_cast<double>(ContactViewHalfWidth()), c.w, 1e-5);
    EXPECT_NEAR(static_cast<double>(ContactViewBottom()), c.b, 1e-5);
    EXPECT_NEAR(static_cast<double>(ContactViewTop()), c.t, 1e-5);
  }
  ToothingData.z[1] = ToothingData.z[2] = 0;  // no teeth: still a finite window
  EXPECT_TRUE(std::isfinite(ContactViewBottom()) && std::isfinite(ContactViewTop()));
}
