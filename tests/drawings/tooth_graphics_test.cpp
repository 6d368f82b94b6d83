// The tooth picture menus driven through scripted answers, written as DXF so that the
// recorder sees which blocks each picture defines and inserts.
#include "drawings/tooth_graphics.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "common/message_list.h"
#include "drawings/tooth_test_support.h"

namespace {

using namespace tooth_test;
using Kind = TCadPrimitive::Kind;

class ToothGraphicsTest : public ToothTest {
 protected:
  void SetUp() override {
    ToothTest::SetUp();
    SetExampleJoint();
    ASSERT_FALSE(CalcFatalFlag);
    scratch_ = std::filesystem::temp_directory_path() /
               ("vuko_tooth_views_" + std::to_string(::getpid()) + "_" + std::to_string(++count_));
    std::filesystem::create_directories(scratch_);
    ConfigVariables.BatchCadFlag = true;
    CurrentFileName = (scratch_ / "views").string();
    rec_.Clear();
  }
  void TearDown() override {
    ConfigVariables.BatchCadFlag = false;
    std::error_code ec;
    std::filesystem::remove_all(scratch_, ec);
    ToothTest::TearDown();
  }
  std::vector<std::string> BlocksDefined() const {
    std::vector<std::string> names;
    for (const auto& p : rec_.OfKind(Kind::BeginBlock)) names.push_back(p.text);
    return names;
  }
  std::map<std::string, int> Inserts() const {
    std::map<std::string, int> n;
    for (const auto& p : rec_.OfKind(Kind::Insert)) {
      if (!p.inBlock) ++n[p.text];
    }
    return n;
  }
  bool DxfWritten() const { return std::filesystem::exists(scratch_ / "views.dxf"); }

  std::filesystem::path scratch_;
  static inline int count_ = 0;
};

using Names = std::vector<std::string>;
using Counts = std::map<std::string, int>;

}  // namespace

// The example spline: z1 = 8, hub z2 = -8, three planets by default.
TEST_F(ToothGraphicsTest, SplineMenuPresetsDrawTheirPictures) {
  struct Case {
    int preset;
    Names blocks;
    Counts inserts;
  };
  const Case cases[] = {
      {1, {"EVOLV1"}, {{"EVOLV1", 8}}},
      {2, {"EVOLV2"}, {{"EVOLV2", 8}}},
      // Hub at the centre, the shaft once per planet.
      {3, {"EVOLV1", "EVOLV2", "RAD1", "RAD2"}, {{"RAD1", 3}, {"RAD2", 1}}},
      {4, {}, {}},
      {5, {}, {}},
      // Three shaft teeth, four hub teeth.
      {6, {"EVOLV1", "EVOLV2"}, {{"EVOLV1", 3}, {"EVOLV2", 4}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.preset);
    rec_.Clear();
    std::filesystem::remove(scratch_ / "views.dxf");
    SplineToothGraphicsMenu(1, static_cast<int16_t>(c.preset));
    EXPECT_FALSE(AbortFlag);
    EXPECT_TRUE(DxfWritten());
    EXPECT_EQ(BlocksDefined(), c.blocks);
    EXPECT_EQ(Inserts(), c.inserts);
    // A preset draws one picture and asks nothing.
    EXPECT_TRUE(host_->RecordsOf(TDialogKind::Choice).empty());
  }
}

TEST_F(ToothGraphicsTest, PresetsConfigAndReturn) {
  host_->AnswerChoice(5);  // "return" of the configuration menu
  SplineToothGraphicsMenu(1, 7);
  const auto c = host_->RecordsOf(TDialogKind::Choice);
  ASSERT_EQ(c.size(), 1u);
  EXPECT_EQ(c[0].prompt, "Configuration tooth grahics");
  EXPECT_FALSE(DxfWritten());
  host_->Clear();
  SplineToothGraphicsMenu(1, 8);
  SplineToothGraphicsMenu(1, 12);  // no such entry: nothing
  EXPECT_TRUE(host_->Records().empty());
  EXPECT_FALSE(DxfWritten());
}

TEST_F(ToothGraphicsTest, SplineMenuProposesTheNextEntry) {
  host_->AnswerChoice(6);
  host_->AnswerChoice(8);
  SplineToothGraphicsMenu(1, 0);
  const auto c = host_->RecordsOf(TDialogKind::Choice);
  ASSERT_EQ(c.size(), 2u);
  EXPECT_EQ(c[0].prompt, "Please make a choice ..");
  EXPECT_EQ(c[0].helpNumber, 0);
  EXPECT_EQ(c[0].entries,
            (Names{"Drawing Shaft", "Drawing Hub", "Drawing Shaft+Hub", "basic rack (Shaft)",
                   "basic rack (Hub)", "Tooth contact", "Config", "return .."}));
  EXPECT_EQ(c[0].selected, 0);
  EXPECT_EQ(c[1].selected, 6);
  EXPECT_EQ(Inserts(), (Counts{{"EVOLV1", 3}, {"EVOLV2", 4}}));
}

TEST_F(ToothGraphicsTest, SingleToothViews) {
  struct Case {
    const char* name;
    int part, view, section;
    Names blocks;
    Counts inserts;
  };
  const Case cases[] = {
      {"tooth", 1, 1, 1, {}, {}},
      {"gap with pins", 1, 2, 1, {"EVOLV1", "DMESS1"}, {{"EVOLV1", 2}, {"DMESS1", 1}}},
      {"generated gap, transverse",
       1,
       3,
       1,
       {"WERKZS1", "ZAHN1", "EVOLV1", "DMESS1"},
       {{"WERKZS1", 60}, {"EVOLV1", 2}, {"DMESS1", 1}}},
      {"generated gap, normal section",
       1,
       3,
       2,
       {"WERKZS1", "ZAHN1", "EVOLV1", "DMESS1"},
       {{"WERKZS1", 60}, {"DMESS1", 1}}},
      // The internal hub's generated gap becomes the ring gear with the shaft rolled inside.
      {"internal hub, view 3",
       2,
       3,
       1,
       {"WERKZS2", "ZAHN2", "EVOLV2", "EVOLV1", "RAD1"},
       {{"EVOLV2", 8}, {"RAD1", 200}}},
      {"shaft wheel with shapes",
       1,
       5,
       1,
       {"WERKZS1", "ZAHN1", "EVOLV1"},
       {{"EVOLV1", 8}, {"ZAHN1", 8}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    rec_.Clear();
    ToothGraphicsSettings.ShapeSteps = 30;
    CallToothGraphics(1, static_cast<int16_t>(c.part), static_cast<int16_t>(c.view), 1,
                      static_cast<int16_t>(c.section));
    EXPECT_FALSE(AbortFlag);
    EXPECT_EQ(BlocksDefined(), c.blocks);
    EXPECT_EQ(Inserts(), c.inserts);
  }
}

TEST_F(ToothGraphicsTest, InteractiveMenuAsksAndComesBack) {
  host_->AnswerChoice(4);   // gear wheel (Involute)
  host_->AnswerChoice(2);   // hub
  host_->AnswerChoice(8);   // planetary gearing
  host_->AnswerText("4");   // planets
  host_->AnswerText("10");  // rotation angle
  host_->AnswerChoice(10);  // return
  ToothGraphics(1, 1, 0, 0, 1);
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(host_->PendingAnswers(), 0u);
  EXPECT_EQ(ToothGraphicsSettings.PlanetCount, 4);
  EXPECT_NEAR(static_cast<double>(ToothGraphicsSettings.rotationAngle), 10.0, 1e-15);
  const auto c = host_->RecordsOf(TDialogKind::Choice);
  ASSERT_EQ(c.size(), 4u);
  EXPECT_EQ(c[0].prompt, "Tooth drawing");
  EXPECT_EQ(c[0].helpNumber, 8270);
  EXPECT_EQ(c[0].entries.size(), 10u);
  EXPECT_EQ(c[0].selected, 0);
  EXPECT_EQ(c[2].selected, 4);  // after "gear wheel (Involute)"
  EXPECT_EQ(c[3].selected, 8);  // after the planets
  const auto t = host_->RecordsOf(TDialogKind::Text);
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[0].helpNumber, 8280);
  EXPECT_EQ(t[1].helpNumber, 8370);
  EXPECT_EQ(t[1].prompt.rfind("angle of rotation gear 1 [deg]", 0), 0u);
  // The last picture: four planets round the hub.
  EXPECT_EQ(Inserts().at("RAD1"), 4);
}

TEST_F(ToothGraphicsTest, GivenViewInInteractiveUseIsDrawnOnceThenTheMenu) {
  host_->AnswerChoice(1);   // gear for the given view
  host_->AnswerChoice(10);  // the menu after the picture
  ToothGraphics(1, 1, 6, 0, 1);
  EXPECT_FALSE(AbortFlag);
  EXPECT_TRUE(DxfWritten());
  const auto c = host_->RecordsOf(TDialogKind::Choice);
  ASSERT_EQ(c.size(), 2u);
  EXPECT_EQ(c[1].prompt, "Tooth drawing");
  EXPECT_EQ(c[1].selected, 6);
}

TEST_F(ToothGraphicsTest, NothingDrawnAfterAFatalCalculation) {
  AddError("Fatal  : z = 0 !");
  CalcFatalFlag = true;
  host_->AnswerCancel();
  SplineToothGraphicsMenu(1, 1);
  host_->AnswerCancel();
  CallToothGraphics(1, 1, 4, 1, 1);
  EXPECT_FALSE(DxfWritten());
  EXPECT_TRUE(rec_.Items().empty());
  // The message list offered each time instead.
  EXPECT_EQ(host_->RecordsOf(TDialogKind::Choice).size(), 2u);
  CalcFatalFlag = false;
}

TEST_F(ToothGraphicsTest, CancelAndTourStop) {
  // Cancel in the menu.
  host_->AnswerCancel();
  ToothGraphics(1, 1, 0, 0, 1);
  EXPECT_TRUE(AbortFlag);
  EXPECT_FALSE(DxfWritten());
  AbortFlag = false;
  host_->Clear();
  // During the tour "Config" ends the drawing without its menu.
  TourRunning = true;
  SplineToothGraphicsMenu(1, 7);
  TourRunning = false;
  EXPECT_TRUE(host_->Records().empty());
  // A part outside 1..2 is the shaft; a view outside the menu draws nothing.
  CallToothGraphics(1, 7, 4, 1, 1);
  EXPECT_EQ(Inserts(), (Counts{{"EVOLV1", 8}}));
  rec_.Clear();
  std::filesystem::remove(scratch_ / "views.dxf");
  CallToothGraphics(1, 1, 11, 1, 1);
  EXPECT_FALSE(DxfWritten());
}
