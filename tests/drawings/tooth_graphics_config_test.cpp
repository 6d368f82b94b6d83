// The configuration menu of the tooth pictures driven through scripted answers, and the
// window extents of the tooth-contact picture at their switching tooth numbers.
#include "drawings/tooth_graphics_config.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "drawings/tooth_test_support.h"

namespace {

using namespace tooth_test;

double D(long double v) {
  return static_cast<double>(v);
}

class ToothGraphicsConfigTest : public ToothTest {
 protected:
  void SetUp() override {
    ToothTest::SetUp();
    SetExampleJoint();
    ASSERT_FALSE(CalcFatalFlag);
  }
  std::vector<TDialogRecord> Choices() const { return host_->RecordsOf(TDialogKind::Choice); }
};

}  // namespace

TEST_F(ToothGraphicsConfigTest, StepSettingsInTheirOrder) {
  TToothGraphicsSettings& g = ToothGraphicsSettings;
  host_->AnswerChoice(1);
  host_->AnswerNo();         // root curve
  host_->AnswerText("1");    // fillet resolution below 2: asked again
  host_->AnswerText("55");   //
  host_->AnswerText("64");   // involute points
  host_->AnswerChoice(2);    // polyline
  host_->AnswerText("321");  // ring imaging
  host_->AnswerText("45");   // generating steps
  host_->AnswerChoice(5);    // return
  ToothGraphicsConfig();
  EXPECT_FALSE(AbortFlag);
  EXPECT_FALSE(g.drawRootCurve);
  EXPECT_EQ(g.FilletSteps, 55);
  EXPECT_EQ(g.InvolutePoints, 64);
  EXPECT_TRUE(PlotSettings.involuteAsPolyline);
  EXPECT_EQ(g.WheelImagingCount, 321);
  EXPECT_EQ(g.ShapeSteps, 45);
  const auto& r = host_->Records();
  const std::vector<std::pair<std::string, int>> asked = {
      {"Configuration tooth grahics", 8275},
      {"Draw tooth root curve ?", 8380},
      {"fillet resolution", 8345},
      {"fillet resolution", 8345},
      {"Number of points for involute polycurve", 8300},
      {"Drawing element for involute curve", 8310},
      {"Number of tooth shapes for ring gear imaging", 8320},
      {"Number of tooth shapes for gear imaging", 8325},
      {"Configuration tooth grahics", 8275}};
  ASSERT_GE(r.size(), asked.size());
  std::size_t i = 0;
  for (const TDialogRecord& rec : r) {
    if (rec.kind == TDialogKind::Message) continue;  // the range message of the refused value
    ASSERT_LT(i, asked.size());
    EXPECT_NE(rec.prompt.find(asked[i].first), std::string::npos) << rec.prompt;
    EXPECT_EQ(rec.helpNumber, asked[i].second) << rec.prompt;
    ++i;
  }
  EXPECT_EQ(i, asked.size());
  // The menu proposes the entry after the last one chosen.
  EXPECT_EQ(Choices().back().selected, 1);
}

TEST_F(ToothGraphicsConfigTest, GeneratingShiftsFromTheLimitsOrTyped) {
  const TToothingData& t = ToothingData;
  TToothGraphicsSettings& g = ToothGraphicsSettings;
  host_->AnswerChoice(2);
  host_->AnswerChoice(5);  // gear 1 involute: finishing, minimum backlash
  host_->AnswerChoice(1);  // gear 1 tooth shape: mean of the premachining limits
  host_->AnswerChoice(7);  // gear 2 involute: typed
  host_->AnswerText("0,125");
  host_->AnswerChoice(3);  // gear 2 tooth shape: premachining, maximum backlash
  host_->AnswerChoice(5);
  ToothGraphicsConfig();
  ASSERT_FALSE(AbortFlag);
  // Minimum backlash: the thickest shaft tooth, the upper limit of the shift.
  EXPECT_EQ(D(g.xeInvolute[1]), D(std::max(t.xeFinMin[1], t.xeFinMax[1])));
  EXPECT_EQ(D(g.xeShape[1]), D((t.xePreMin[1] + t.xePreMax[1]) / 2));
  EXPECT_NEAR(D(g.xeInvolute[2]), 0.125, 1e-15);
  EXPECT_EQ(D(g.xeShape[2]), D(t.xePreMin[2]));
  const auto c = Choices();
  ASSERT_EQ(c.size(), 6u);
  EXPECT_EQ(c[1].prompt, "gen.addend.modif.coeff. Involute gear 1");
  EXPECT_EQ(c[1].selected, 6);  // "xe ..." proposed first
  EXPECT_EQ(c[1].entries[6], "xe ...");
  EXPECT_EQ(c[1].entries[1].rfind("min.torsional backlash premach. (xe= ", 0), 0u);
  EXPECT_EQ(c[2].prompt, "gen.addend.modif.coeff. Tooth shape gear 1");
  EXPECT_EQ(c[2].selected, 4);  // the entry chosen in the first menu
  EXPECT_EQ(c[4].selected, 6);  // the typed entry proposed again
  const auto texts = host_->RecordsOf(TDialogKind::Text);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].prompt.rfind("gen.addend.modif.coeff. Involute xe gear 2", 0), 0u);
}

TEST_F(ToothGraphicsConfigTest, CentreDistanceStoredInMillimetresInAnyUnit) {
  TToothingData& t = ToothingData;
  t.a = 10;
  t.Aae = 0.0123456L;
  t.Aai = -0.0234567L;
  ConfigVariables.UnitSystem = 1;
  host_->AnswerChoice(3);
  host_->AnswerChoice(2);
  host_->AnswerChoice(5);
  ToothGraphicsConfig();
  // The menu shows inches rounded, the drawing takes the exact value in millimetres.
  EXPECT_EQ(D(ToothGraphicsSettings.aDraw), D(10.0123456L));
  EXPECT_NE(Choices()[1].entries[1].find("0.39"), std::string::npos);
  ConfigVariables.UnitSystem = 0;
}

TEST_F(ToothGraphicsConfigTest, TypedCentreDistanceOutsideOneModuleIsAskedAgain) {
  TToothingData& t = ToothingData;
  t.a = 0;
  host_->AnswerChoice(3);
  host_->AnswerChoice(4);
  host_->AnswerText("7");  // mn 6.5: refused
  host_->AnswerText("-2,5");
  host_->AnswerChoice(5);
  ToothGraphicsConfig();
  EXPECT_FALSE(AbortFlag);
  EXPECT_NEAR(D(ToothGraphicsSettings.aDraw), -2.5, 1e-15);
  const auto texts = host_->RecordsOf(TDialogKind::Text);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].prompt.rfind("Center distance for CAD drawing [mm]", 0), 0u);
  EXPECT_EQ(texts[0].helpNumber, 8360);
}

TEST_F(ToothGraphicsConfigTest, CancelInTheMenuOrInAQuestion) {
  TToothGraphicsSettings& g = ToothGraphicsSettings;
  // Cancel in the main menu: back without a trace of the cancel.
  host_->AnswerCancel();
  ToothGraphicsConfig();
  EXPECT_FALSE(AbortFlag);
  // Cancel in a question: stops with AbortFlag, what was answered before stays.
  host_->AnswerChoice(1);
  host_->AnswerNo();
  host_->AnswerText("77");
  host_->AnswerCancel();
  ToothGraphicsConfig();
  EXPECT_TRUE(AbortFlag);
  EXPECT_FALSE(g.drawRootCurve);
  EXPECT_EQ(g.FilletSteps, 77);
  EXPECT_EQ(host_->PendingAnswers(), 0u);
  AbortFlag = false;
  // Auxiliary diameters.
  host_->AnswerChoice(4);
  host_->AnswerChoice(1);
  host_->AnswerChoice(5);
  ToothGraphicsConfig();
  EXPECT_EQ(g.auxDiameterOption, 1);
}

// Window of the contact picture. Angles by hand: 540 / 12 = 45 deg; 0.6 * 360 * ln 11 / 11 =
// 47.0859 deg (cos = 0.680901); 720 / 18 = 40 deg; 0.7 * 360 * ln 17 / 17 = 41.9982 deg (cos =
// 0.743166); 720 / 21 = 34.2857 deg (cos = 0.826239); half-width angle at most 720 / 7 = 102.857
// deg (sin = 0.974928), 720 / 21 = 34.2857 deg (sin = 0.563320).
TEST(ContactViewExtents, SwitchingToothNumbers) {
  struct Case {
    const char* name;
    int z1, z2;
    long double da1, da2, mn;
    double w, b, t;
  };
  const Case cases[] = {
      // B = 13 - 1.2 (13 (1 - cos 47.0859) + 4); T with 720 / 21 and one module.
      {"shaft 11 teeth", 11, -21, 26, -44, 2, 1.1 * (22 * 0.563320 + 2),
       13 - 1.2 * (13 * (1 - 0.680901) + 4), 13 + 1.2 * (22 * (1 - 0.826239) + 2)},
      // B = 14 - 1.2 (14 (1 - cos 45) + 4).
      {"shaft 12 teeth", 12, -21, 28, -44, 2, 1.1 * (22 * 0.563320 + 2),
       14 - 1.2 * (14 * (1 - 0.707107) + 4), 14 + 1.2 * (22 * (1 - 0.826239) + 2)},
      // Internal 17 teeth: no module in the top margin.
      {"hub 17 teeth", 17, -17, 36, -34, 2, 1.1 * (17 * std::sin(720.0 / 17 * M_PI / 180) + 2),
       18 - 1.2 * (18 * (1 - std::cos(540.0 / 17 * M_PI / 180)) + 4),
       18 + 1.2 * (17 * (1 - 0.743166))},
      // Internal 18 teeth: 40 deg and one module.
      {"hub 18 teeth", 18, -18, 38, -36, 2, 1.1 * (18 * std::sin(40 * M_PI / 180) + 2),
       19 - 1.2 * (19 * (1 - std::cos(30 * M_PI / 180)) + 4), 19 + 1.2 * (18 * (1 - 0.766044) + 2)},
      // Five hub teeth: the half width stops at 720 / 7.
      {"hub 5 teeth", 12, -5, 28, -12, 2, 1.1 * (6 * 0.974928 + 2),
       14 - 1.2 * (14 * (1 - 0.707107) + 4),
       14 + 1.2 * (6 * (1 - std::cos(0.7 * 360 * std::log(5.0) / 5 * M_PI / 180)))},
      // External second gear, 20 teeth: 36 deg plus one module, no widening.
      {"external 20 teeth", 12, 20, 28, 44, 2, 22 * std::sin(36 * M_PI / 180) + 2,
       14 - 1.2 * (14 * (1 - 0.707107) + 4), 14 + 1.2 * (22 * (1 - 0.809017) + 2)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InitToothingData();
    ToothingData.z[1] = c.z1;
    ToothingData.z[2] = c.z2;
    ToothingData.mn = c.mn;
    ToothGraphicsSettings.daGen[1] = c.da1;
    ToothGraphicsSettings.daGen[2] = c.da2;
    EXPECT_NEAR(D(ContactViewHalfWidth()), c.w, 1e-5);
    EXPECT_NEAR(D(ContactViewBottom()), c.b, 1e-5);
    EXPECT_NEAR(D(ContactViewTop()), c.t, 1e-5);
  }
}

TEST(ContactViewExtents, FiniteWithoutTeeth) {
  InitToothingData();
  ToothingData.z[1] = 0;
  ToothingData.z[2] = 0;
  ToothingData.mn = 2;
  ToothGraphicsSettings.daGen[1] = 20;
  ToothGraphicsSettings.daGen[2] = -20;
  EXPECT_TRUE(std::isfinite(ContactViewHalfWidth()));
  EXPECT_TRUE(std::isfinite(ContactViewBottom()));
  EXPECT_TRUE(std::isfinite(ContactViewTop()));
}
