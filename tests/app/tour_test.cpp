// The demonstration tour driven with stand-in commands and prepared answers: the file layout
// (two header lines, four lines per text, the third shown), the order of commands and texts,
// quitting and going on after a cancelled command, and the shipped demonstration file.
#include "app/tour.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "app/app_test_support.h"
#include "app/command_line.h"
#include "app/startup.h"
#include "calc/spline_joint.h"
#include "calc/toothing_data.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "common/text_file.h"
#include "drawings/production_drawing.h"
#include "graphics/display_list.h"
#include "graphics/graphics_facade.h"
#include "graphics/graphics_window.h"
#include "graphics/view_control.h"

namespace {

using app_test::ScratchDir;
using app_test::WriteBytes;
using Log = std::vector<std::string>;

const std::string kIntro1 =
    "REVIZERI  is an automatic demonstration program which will introduce you to the VUKO "
    "software features for calculation of involute splines.";
const std::string kIntro2 =
    "With <ENTER> or a mouseclick into the OK- or Cancel-Button you will get the next screen.";
const std::string kQuit = "ask Quit demo mode ?";

// A demonstration file of n texts "text 1" ... "text n"; the other lines carry words that must
// never be shown.
std::string DemoFile(int n, const char* eol = "\n") {
  std::string s = std::string("header one") + eol + "header two" + eol;
  for (int i = 1; i <= n; ++i) {
    const std::string k = std::to_string(i);
    s += "label " + k + eol + "free " + k + eol + "text " + k + eol + "----" + eol;
  }
  return s;
}

// The complete tour as the Help menu runs it: introduction, text 1, then each command of the
// main menu followed by its texts (two after the drawing texts).
Log FullTour() {
  Log log = {"show " + kIntro1, "show " + kIntro2, "show text 1"};
  const std::vector<std::pair<std::string, std::vector<int>>> steps = {
      {"mi_HelpHilfebild", {2}},
      {"mi_EditText", {3, 4}},
      {"mi_editabmessungen", {5}},
      {"mi_ViewQuick", {6}},
      {"mi_viewzahneingriff", {7}},
      {"mi_viewzahn1", {8}},
      {"mi_viewfertigungszeichnungwelle", {9}},
      {"mi_cadZahnprofilWelle", {10}}};
  for (const auto& [item, texts] : steps) {
    log.push_back("cmd " + item);
    for (int t : texts) log.push_back("show text " + std::to_string(t));
  }
  return log;
}

class TourTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitModules();
    SetProgramIdentity();
    ProgramSettings.pltDirectory = dir_.Path();
    AbortFlag = false;
    TourRunning = false;
    DataModified = false;
    WriteBytes(dir_ / "vuko.dem", DemoFile(10));
  }

  // Moves the dialogs shown since the last call into the log.
  void TakeDialogs(Log& log) {
    const auto& records = host_.Records();
    for (; taken_ < records.size(); ++taken_) {
      const TDialogRecord& r = records[taken_];
      log.push_back((r.kind == TDialogKind::LongText ? "show " : "ask ") + r.prompt);
    }
  }

  // Runs the tour with stand-in commands; those in cancel leave AbortFlag set as a cancelled
  // dialog does.
  Log Run(const std::set<std::string>& cancel = {}) {
    Log log;
    RunTour([&](std::string_view item) {
      TakeDialogs(log);
      log.push_back("cmd " + std::string(item));
      tourRunningInCommands_ = tourRunningInCommands_ && TourRunning;
      AbortFlag = cancel.count(std::string(item)) > 0;
    });
    TakeDialogs(log);
    return log;
  }

  ScratchDir dir_;
  ScriptedDialogHost host_;
  std::size_t taken_ = 0;
  bool tourRunningInCommands_ = true;
};

// The tour draws the example it loads before its first text, so the text about an 8-tooth
// joint is read over that joint, not over the picture the user had on the screen. (Texts are left
// out of the comparison: the sheet's footer carries the time.)
TEST_F(TourTest, TheExampleIsDrawnBeforeTheFirstText) {
  TGraphicsFacade facade;
  TGraphicsWindow window;
  window.FormCreate();
  GraphicsWindowInstance = &window;
  auto picture = [] {
    std::string lines;
    for (std::size_t i = 0; i < DisplayList->Count(); ++i) {
      if (DisplayList->Record(i).op != TDisplayOp::Text) lines += DisplayList->RecordText(i) + "\n";
    }
    return lines;
  };
  NewSplineExample();
  CalcSplineJoint();
  ShowResultPicture();
  const std::string example = picture();
  // What the user had drawn before.
  GraphicsFacade->GrClear();
  GraphicsFacade->GrLine(1.5L, 2.5L, 3.5L, 4.5L);
  std::string atFirstCommand;
  RunTour([&](std::string_view) {
    if (atFirstCommand.empty()) atFirstCommand = picture();
  });
  EXPECT_GT(example.size(), 1000u);
  EXPECT_TRUE(atFirstCommand == example) << atFirstCommand.substr(0, 200);
  GraphicsWindowInstance = nullptr;
}

// How the tour goes on after a cancelled command: No continues with the next text, Yes ends
// the tour at once (one question only, even where two texts follow one command). A file that
// ends early shows the message in place of each missing text and the tour goes on.
struct ScenarioCase {
  const char* name;
  const char* cancelled;  // command that leaves AbortFlag set
  bool quit;              // answer to "Quit demo mode ?"
  int textsInFile = 10;
};

TEST_F(TourTest, CommandsTextsAndQuitting) {
  const ScenarioCase cases[] = {{"Complete", "", false},
                                {"NoAfterDimensions", "mi_editabmessungen", false},
                                {"YesAfterQuickView", "mi_ViewQuick", true},
                                {"YesAfterDrawingTexts", "mi_EditText", true},
                                {"ShortFile", "", false, 3}};
  for (const ScenarioCase& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    WriteBytes(dir_ / "vuko.dem", DemoFile(c.textsInFile));
    host_.Clear();
    taken_ = 0;
    c.quit ? host_.AnswerYes() : host_.AnswerNo();
    Log expected = FullTour();
    if (*c.cancelled) {
      auto at = std::find(expected.begin(), expected.end(), "cmd " + std::string(c.cancelled));
      at = expected.insert(at + 1, kQuit);
      if (c.quit) expected.erase(at + 1, expected.end());
    }
    for (int n = c.textsInFile + 1; n <= 10; ++n)
      *std::find(expected.begin(), expected.end(), "show text " + std::to_string(n)) =
          "show Demo text No." + std::to_string(n) + " not exists !";
    EXPECT_EQ(Run({c.cancelled}), expected);
    EXPECT_TRUE(tourRunningInCommands_);
    EXPECT_FALSE(TourRunning);
    EXPECT_EQ(AbortFlag, c.quit);
  }
}

// The example joint is loaded and calculated before the first command: the pictures after a
// cancelled dimension dialog still show results. Reference diameter d = z mn / cos(beta).
TEST_F(TourTest, ExampleIsLoadedCalculatedAndUnnamed) {
  CurrentFileName = "mine";
  long double d1 = 0;
  RunTour([&](std::string_view item) {
    if (item == "mi_HelpHilfebild") d1 = ToothingData.d[1];
    AbortFlag = false;
  });
  EXPECT_NEAR(static_cast<double>(d1), 8 * 6.5, 1e-9);
  EXPECT_NEAR(static_cast<double>(ToothingData.mn), 6.5, 1e-12);
  // A Save after the tour cannot put the example into the file that was open.
  EXPECT_EQ(CurrentFileName, "");
}

// Unsaved changes are asked about before the example replaces them; Cancel keeps them and
// runs nothing.
TEST_F(TourTest, UnsavedChangesAreAskedAboutFirst) {
  CurrentFileName = "mine";
  DataModified = true;
  ToothingData.mn = 1.25L;
  host_.AnswerCancel();
  const Log log = Run();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].rfind("ask Save file (", 0), 0u) << log[0];
  EXPECT_EQ(static_cast<double>(ToothingData.mn), 1.25);
  EXPECT_EQ(CurrentFileName, "mine");
  EXPECT_TRUE(DataModified);
  EXPECT_FALSE(TourRunning);
}

// Texts are the third line of each block of four after two header lines, whatever the line
// ends; a number outside the file gives the message.
TEST_F(TourTest, ReadsTheThirdLineOfEachBlock) {
  for (const char* eol : {"\n", "\r\n", "\r"}) {
    WriteBytes(dir_ / "vuko.dem", DemoFile(3, eol));
    std::string text;
    for (int n = 1; n <= 3; ++n) {
      ReadDemoText(n, text);
      EXPECT_EQ(text, "text " + std::to_string(n));
    }
    ReadDemoText(4, text);
    EXPECT_EQ(text, "Demo text No.4 not exists !");
    ReadDemoText(0, text);
    EXPECT_EQ(text, "Demo text No.0 not exists !");
  }
  std::remove((dir_ / "vuko.dem").c_str());
  std::string text;
  ReadDemoText(1, text);
  EXPECT_EQ(text, "Demo file " + (dir_ / "vuko.dem") + " not found !");
  EXPECT_FALSE(AbortFlag);
}

TEST(TourCommandLine, DemoSetsTheTourAndShowsTheIntroduction) {
  InitModules();
  ScriptedDialogHost host;
  SetProgramArguments({"demo"});
  const TStartUpOutcome outcome = EvaluateCommandLine();
  EXPECT_FALSE(outcome.endProgram);
  EXPECT_TRUE(TourRunning);
  EXPECT_EQ(host.Messages(), (std::vector<std::string>{kIntro1, kIntro2}));
  SetProgramArguments({});
  TourRunning = false;
}

// The shipped file: a text for every step of the tour, and the first line of each block names
// the menu item of the command that follows the text ("end" after the last).
TEST(ShippedTour, EveryTextExistsAndNamesTheNextCommand) {
  std::vector<std::string> lines;
  ASSERT_TRUE(ReadTextFileLines(std::string(VUKO_DATA_DIR) + "/vuko.dem", lines));
  std::vector<std::string> labels;
  const std::vector<TTourStep>& steps = TourSteps();
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const std::string following =
        i + 1 < steps.size() ? std::string(steps[i + 1].menuItem) : std::string("end");
    for (int t = 0; t < steps[i].texts; ++t) labels.push_back(following);
  }
  ASSERT_EQ(static_cast<int>(labels.size()), TourTextCount());
  ASSERT_EQ(lines.size(), 2 + 4 * labels.size());
  InitModules();
  SetProgramIdentity();
  ProgramSettings.pltDirectory = VUKO_DATA_DIR;
  for (std::size_t n = 1; n <= labels.size(); ++n) {
    EXPECT_EQ(lines[2 + 4 * (n - 1)], labels[n - 1]) << "text " << n;
    std::string text;
    ReadDemoText(static_cast<int>(n), text);
    EXPECT_GT(text.size(), 40u) << "text " << n;
    EXPECT_EQ(text.find("Demo "), std::string::npos) << text;
    // The demonstration file is held in the DOS code page; ours is plain ASCII.
    for (unsigned char c : text) EXPECT_LT(c, 0x80) << "text " << n;
  }
}

}  // namespace
