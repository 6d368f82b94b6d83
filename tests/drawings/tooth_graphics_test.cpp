// The tooth picture menus through scripted answers, written as DXF so that the recorder sees
// which blocks each picture defines and inserts. Example spline: z1 = 8, hub z2 = -8.
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
using Names = std::vector<std::string>;
using Counts = std::map<std::string, int>;

class ToothGraphicsTest : public ToothTest {
 protected:
  void SetUp() override {
    ToothTest::SetUp();
    SetExampleJoint();
    scratch_ = std::filesystem::temp_directory_path() /
               ("vuko_tooth_views_" + std::to_string(::getpid()) + "_" + std::to_string(++count_));
    std::filesystem::create_directories(scratch_);
    ConfigVariables.BatchCadFlag = true;
    CurrentFileName = (scratch_ / "views").string();
  }
  void TearDown() override {
    ConfigVariables.BatchCadFlag = false;
    std::filesystem::remove_all(scratch_);
    ToothTest::TearDown();
  }
  Names Blocks() const {
    Names names;
    for (const auto& p : rec_.OfKind(TCadPrimitive::Kind::BeginBlock)) names.push_back(p.text);
    return names;
  }
  Counts Inserts() const {
    Counts n;
    for (const auto& p : rec_.OfKind(TCadPrimitive::Kind::Insert))
      if (!p.inBlock) ++n[p.text];
    return n;
  }
  // True once: whether a DXF file was written since the last call.
  bool Written() { return std::filesystem::remove(scratch_ / "views.dxf"); }
  std::filesystem::path scratch_;
  static inline int count_ = 0;
};

}  // namespace

TEST_F(ToothGraphicsTest, PicturesAndTheirBlocks) {
  struct Case {
    const char* name;
    int preset;  // spline menu entry, or 0 for the view below
    int part, view, section;
    Names blocks;
    Counts inserts;
  };
  const Case cases[] = {
      {"Drawing Shaft", 1, 0, 0, 0, {"EVOLV1"}, {{"EVOLV1", 8}}},
      {"Drawing Hub", 2, 0, 0, 0, {"EVOLV2"}, {{"EVOLV2", 8}}},
      // Hub at the centre, the shaft once per planet.
      {"Drawing Shaft+Hub",
       3,
       0,
       0,
       0,
       {"EVOLV1", "EVOLV2", "RAD1", "RAD2"},
       {{"RAD1", 3}, {"RAD2", 1}}},
      {"basic rack (Hub)", 5, 0, 0, 0, {}, {}},
      {"Tooth contact", 6, 0, 0, 0, {"EVOLV1", "EVOLV2"}, {{"EVOLV1", 3}, {"EVOLV2", 4}}},
      {"tooth", 0, 1, 1, 1, {}, {}},
      {"gap with pins", 0, 1, 2, 1, {"EVOLV1", "DMESS1"}, {{"EVOLV1", 2}, {"DMESS1", 1}}},
      {"generated gap",
       0,
       1,
       3,
       1,
       {"WERKZS1", "ZAHN1", "EVOLV1", "DMESS1"},
       {{"WERKZS1", 60}, {"EVOLV1", 2}, {"DMESS1", 1}}},
      {"generated gap, normal section",
       0,
       1,
       3,
       2,
       {"WERKZS1", "ZAHN1", "EVOLV1", "DMESS1"},
       {{"WERKZS1", 60}, {"DMESS1", 1}}},
      // The internal hub's generated gap becomes the ring gear with the shaft rolled inside.
      {"internal hub, view 3",
       0,
       2,
       3,
       1,
       {"WERKZS2", "ZAHN2", "EVOLV2", "EVOLV1", "RAD1"},
       {{"EVOLV2", 8}, {"RAD1", 200}}},
      {"shaft wheel with shapes",
       0,
       1,
       5,
       1,
       {"WERKZS1", "ZAHN1", "EVOLV1"},
       {{"EVOLV1", 8}, {"ZAHN1", 8}}},
      {"part 7 is the shaft", 0, 7, 4, 1, {"EVOLV1"}, {{"EVOLV1", 8}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    rec_.Clear();
    if (c.preset) {
      SplineToothGraphicsMenu(1, static_cast<int16_t>(c.preset));
    } else {
      CallToothGraphics(1, static_cast<int16_t>(c.part), static_cast<int16_t>(c.view), 1,
                        static_cast<int16_t>(c.section));
    }
    EXPECT_FALSE(AbortFlag);
    EXPECT_TRUE(Written());
    EXPECT_EQ(Blocks(), c.blocks);
    EXPECT_EQ(Inserts(), c.inserts);
  }
  EXPECT_TRUE(host_->Records().empty());  // one picture each, nothing asked
  // "Config" shows its menu; "return ..", entries outside the menu and views outside it draw
  // nothing.
  host_->AnswerChoice(5);
  SplineToothGraphicsMenu(1, 7);
  EXPECT_EQ(host_->RecordsOf(TDialogKind::Choice).at(0).prompt, "Configuration tooth grahics");
  SplineToothGraphicsMenu(1, 8);
  SplineToothGraphicsMenu(1, 12);
  CallToothGraphics(1, 1, 11, 1, 1);
  EXPECT_EQ(host_->Records().size(), 1u);
  EXPECT_FALSE(Written());
}

TEST_F(ToothGraphicsTest, SplineMenuProposesTheNextEntry) {
  host_->AnswerChoice(6);
  host_->AnswerChoice(8);
  SplineToothGraphicsMenu(1, 0);
  const auto c = host_->RecordsOf(TDialogKind::Choice);
  ASSERT_EQ(c.size(), 2u);
  EXPECT_EQ(c[0].prompt, "Please make a choice ..");
  EXPECT_EQ(c[0].entries.size(), 8u);
  EXPECT_EQ(c[0].entries[2], "Drawing Shaft+Hub");
  EXPECT_EQ(c[1].selected, 6);
  EXPECT_EQ(Inserts(), (Counts{{"EVOLV1", 3}, {"EVOLV2", 4}}));
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
  EXPECT_EQ(ToothGraphicsSettings.rotationAngle, 10);
  const auto c = host_->RecordsOf(TDialogKind::Choice);
  ASSERT_EQ(c.size(), 4u);
  EXPECT_EQ(c[0].prompt, "Tooth drawing");
  EXPECT_EQ(c[0].helpNumber, 8270);
  EXPECT_EQ(c[2].selected, 4);  // after "gear wheel (Involute)"
  EXPECT_EQ(c[3].selected, 8);  // after the planets
  const auto t = host_->RecordsOf(TDialogKind::Text);
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[0].helpNumber, 8280);
  EXPECT_EQ(t[1].helpNumber, 8370);
  EXPECT_EQ(Inserts().at("RAD1"), 4);  // four planets round the hub
}

// Interactive use with a given view: the picture once, then the menu (not the same picture
// over and over).
TEST_F(ToothGraphicsTest, GivenViewInInteractiveUseIsDrawnOnce) {
  host_->AnswerChoice(1);   // gear
  host_->AnswerChoice(10);  // the menu after the picture
  ToothGraphics(1, 1, 6, 0, 1);
  EXPECT_TRUE(Written());
  const auto c = host_->RecordsOf(TDialogKind::Choice);
  ASSERT_EQ(c.size(), 2u);
  EXPECT_EQ(c[1].prompt, "Tooth drawing");
}

TEST_F(ToothGraphicsTest, FatalCalculationCancelAndTour) {
  AddError("Fatal  : z = 0 !");
  CalcFatalFlag = true;
  SplineToothGraphicsMenu(1, 1);
  CallToothGraphics(1, 1, 4, 1, 1);
  EXPECT_FALSE(Written());
  EXPECT_EQ(host_->RecordsOf(TDialogKind::Choice).size(), 2u);  // the message list, twice
  CalcFatalFlag = false;
  // A drawing centre distance a gear pair cannot reach (cos alpha_w > 1) is fatal as well.
  ToothingData.z[2] = ToothingData.z[1];
  ToothingData.d[2] = 52;
  ToothGraphicsSettings.aDraw = 1;
  CallToothGraphics(1, 1, 4, 1, 1);
  EXPECT_TRUE(CalcFatalFlag);
  EXPECT_FALSE(Written());
  EXPECT_EQ(host_->RecordsOf(TDialogKind::Choice).size(), 3u);
  SetExampleJoint();
  AbortFlag = false;
  host_->Clear();
  host_->AnswerCancel();
  ToothGraphics(1, 1, 0, 0, 1);
  EXPECT_TRUE(AbortFlag);
  AbortFlag = false;
  host_->Clear();
  TourRunning = true;  // "Config" during the tour ends without its menu
  SplineToothGraphicsMenu(1, 7);
  TourRunning = false;
  EXPECT_TRUE(host_->Records().empty());
  EXPECT_FALSE(Written());
}
