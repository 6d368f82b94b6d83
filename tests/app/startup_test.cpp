// The start routine without a window: defaults, template data file, the command-line branches
// that continue into the window, and the cleanup of temporary block files.
#include "app/startup.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "app/command_line.h"
#include "app/data_file.h"
#include "app_test_support.h"
#include "calc/toothing_data.h"
#include "common/file_utils.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "graphics/display_list.h"
#include "graphics/graphics_facade.h"
#include "graphics/graphics_window.h"
#include "graphics/view_control.h"

namespace {

using app_test::ReadBytes;
using app_test::ScratchDir;
using app_test::WriteBytes;

// Reference diameter of a spur or helical toothing: d = z * mn / cos(beta).
long double ReferenceDiameter(int z) {
  return z * ToothingData.mn / std::cos(ToothingData.beta * 3.14159265358979323846L / 180.0L);
}

class StartUpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", dir_.Make("xdg").c_str(), 1);
    data_ = dir_.Make("data");
    misc_ = dir_.Make("misc");
    WriteBytes(misc_ + "/keep", "x");
    Configure();
  }
  void TearDown() override {
    SetProgramArguments({});
    InstallTextScreenHook(nullptr);
  }

  // Stage 1 defaults, then usable directories (so that the directory check asks nothing).
  void Configure() {
    InitModules();
    SetProgramIdentity();
    ProgramSettings.tempDirectory = misc_;
    ProgramSettings.dbfDirectory = misc_;
    ProgramSettings.pltDirectory = misc_;
    ProgramSettings.ediDirectory = misc_;
    ProgramSettings.cadDirectory = misc_;
    ConfigVariables.DefaultDataDirectory = data_;
  }

  // A data file of the example joint with z teeth on the shaft.
  void WriteJoint(const std::string& fullName, int z) {
    NewSplineExample();
    ToothingData.z[1] = z;
    ToothingData.z[2] = -z;
    AbortFlag = false;
    WriteDataFile(fullName);
    ASSERT_FALSE(AbortFlag);
    Configure();
  }

  TStartUpOutcome Start(const std::vector<std::string>& args) {
    SetProgramArguments(args);
    return StartUp(kStartUpModeMainWindow);
  }

  ScratchDir dir_;
  ScriptedDialogHost host_;
  std::string data_;
  std::string misc_;
};

TEST_F(StartUpTest, WithoutAnyFileTheDefaultJointIsCalculatedUnnamedAndUnchanged) {
  const TStartUpOutcome outcome = Start({});
  EXPECT_FALSE(outcome.endProgram);
  EXPECT_EQ(CurrentFileName, "");
  EXPECT_EQ(DataDirectory, data_ + "/");
  EXPECT_FALSE(DataModified);
  EXPECT_FALSE(AbortFlag);
  ASSERT_GT(ToothingData.z[1], 0);
  EXPECT_NEAR(static_cast<double>(ToothingData.d[1]),
              static_cast<double>(ReferenceDiameter(ToothingData.z[1])), 1e-9);
  EXPECT_TRUE(host_.RecordsOf(TDialogKind::Question).empty());
}

TEST_F(StartUpTest, TemplateInTheDataDirectoryIsLoadedButNotNamed) {
  WriteJoint(data_ + "/null.vuk", 37);
  Start({});
  EXPECT_EQ(ToothingData.z[1], 37);
  EXPECT_NEAR(static_cast<double>(ToothingData.d[1]), static_cast<double>(ReferenceDiameter(37)),
              1e-9);
  EXPECT_EQ(CurrentFileName, "");
  EXPECT_FALSE(DataModified);
}

TEST_F(StartUpTest, DemoInLowerCaseStartsTheTourWithoutTemplate) {
  WriteJoint(data_ + "/null.vuk", 37);
  const TStartUpOutcome outcome = Start({"demo"});
  EXPECT_FALSE(outcome.endProgram);
  EXPECT_TRUE(TourRunning);
  EXPECT_NE(ToothingData.z[1], 37);
  EXPECT_EQ(CurrentFileName, "demo");
}

TEST_F(StartUpTest, EditSwitchKeepsTheNameAndDoesNotLoadTheFile) {
  const std::string file = dir_ / "a.vuk";
  WriteJoint(file, 41);
  const TStartUpOutcome outcome = Start({file, "/E"});
  EXPECT_FALSE(outcome.endProgram);
  EXPECT_NE(ToothingData.z[1], 41);
  EXPECT_EQ(CurrentFileName, file);
  EXPECT_FALSE(ProgramSettings.FileFromCommandLine);
}

TEST_F(StartUpTest, CommandLineFileIsLoadedAsTypedInsteadOfTheTemplate) {
  WriteJoint(data_ + "/null.vuk", 37);
  const std::string file = dir_ / "a.vuk";
  WriteJoint(file, 41);
  const TStartUpOutcome outcome = Start({file});
  EXPECT_FALSE(outcome.endProgram);
  EXPECT_EQ(ToothingData.z[1], 41);
  EXPECT_EQ(CurrentFileName, file);
  EXPECT_EQ(DataDirectory, "");
  EXPECT_TRUE(ProgramSettings.FileFromCommandLine);
  EXPECT_TRUE(MessagesEnabled);
  EXPECT_FALSE(DataModified);
}

TEST_F(StartUpTest, CommandLineFileOpensOnItsResultPictureNamedAsTyped) {
  TGraphicsFacade facade;
  TGraphicsWindow window;
  window.FormCreate();
  GraphicsWindowInstance = &window;
  const std::string file = dir_ / "b.vuk";
  WriteJoint(file, 8);  // the example joint as it is
  // The start picture stands for an empty start only: a file named on the command line wins.
  WriteBytes(misc_ + "/start.plt", ReadBytes(std::string(VUKO_DATA_DIR) + "/start.plt"));
  const TStartUpOutcome outcome = Start({file});
  ASSERT_FALSE(outcome.endProgram);
  ASSERT_FALSE(CalcFatalFlag);
  ASSERT_GT(DisplayList->Count(), 100u);
  // The sheet's footer names the file exactly as typed, never with the extension twice.
  bool named = false;
  for (std::size_t i = 0; i < DisplayList->Count(); ++i) {
    const std::string text = DisplayList->RecordText(i);
    EXPECT_EQ(text.find("b.vuk.vuk"), std::string::npos) << text;
    if (text.find("b.vuk") != std::string::npos) named = true;
  }
  EXPECT_TRUE(named);
  GraphicsWindowInstance = nullptr;
}

TEST_F(StartUpTest, NameWithoutExtensionEndsWithItsMessage) {
  const TStartUpOutcome outcome = Start({"joint"});
  EXPECT_TRUE(outcome.endProgram);
  EXPECT_EQ(outcome.exitCode, 0);
  const auto messages = host_.Messages();
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.back(), "extension .vuk missing");
}

TEST_F(StartUpTest, UnreadableFileDeclinedEndsAndLeavesTheFile) {
  const std::string file = dir_ / "broken.vuk";
  WriteBytes(file, "no data\n");
  host_.AnswerNo();
  const TStartUpOutcome outcome = Start({file});
  EXPECT_TRUE(outcome.endProgram);
  EXPECT_EQ(outcome.exitCode, 0);
  const auto questions = host_.RecordsOf(TDialogKind::Question);
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_NE(questions[0].prompt.find("already exists"), std::string::npos);
  EXPECT_EQ(ReadBytes(file), "no data\n");
}

TEST_F(StartUpTest, UnreadableFileAcceptedStartsWithItsNameAndLeavesTheFile) {
  const std::string file = dir_ / "broken.vuk";
  WriteBytes(file, "no data\n");
  const int defaultTeeth = ToothingData.z[1];
  host_.AnswerYes();
  const TStartUpOutcome outcome = Start({file});
  EXPECT_FALSE(outcome.endProgram);
  EXPECT_EQ(CurrentFileName, file);
  EXPECT_EQ(ToothingData.z[1], defaultTeeth);
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(ReadBytes(file), "no data\n");
}

TEST_F(StartUpTest, NewFileNameStartsWithoutQuestion) {
  const std::string file = dir_ / "new.vuk";
  const TStartUpOutcome outcome = Start({file});
  EXPECT_FALSE(outcome.endProgram);
  EXPECT_EQ(CurrentFileName, file);
  EXPECT_TRUE(host_.RecordsOf(TDialogKind::Question).empty());
  EXPECT_FALSE(app_test::Exists(file));
}

TEST_F(StartUpTest, HelpScreenEndsTheProgram) {
  int shown = 0;
  InstallTextScreenHook([&] { ++shown; });
  const TStartUpOutcome outcome = Start({"/?", "x.vuk"});
  EXPECT_TRUE(outcome.endProgram);
  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(ScreenLines[1], "VUKO Command Line Mode");
}

TEST_F(StartUpTest, DeleteTempFilesErasesOnlyBlockFiles) {
  const std::string tmp = PrivateTempDir();
  ASSERT_FALSE(tmp.empty());
  for (const char* name : {"$SHAFT1.dx$", "$frame.DX$", "keep.dxf", "A.dx$", "$OUT1.TMP"}) {
    WriteBytes(tmp + name, "x");
  }
  AbortFlag = true;
  EXPECT_TRUE(DeleteTempFiles());
  EXPECT_FALSE(AbortFlag);
  EXPECT_FALSE(app_test::Exists(tmp + "$SHAFT1.dx$"));
  EXPECT_FALSE(app_test::Exists(tmp + "$frame.DX$"));
  EXPECT_TRUE(app_test::Exists(tmp + "keep.dxf"));
  EXPECT_TRUE(app_test::Exists(tmp + "A.dx$"));
  EXPECT_TRUE(app_test::Exists(tmp + "$OUT1.TMP"));
}

}  // namespace

// Session end: rows {modified, allowed, Yes to "Reject old data ?", asked, may proceed}.
TEST_F(StartUpTest, SessionEndAsksAboutUnsavedChangesWhereAllowed) {
  const bool cases[][5] = {{0, 1, 1, 0, 1}, {1, 0, 1, 0, 1}, {1, 1, 1, 1, 1}, {1, 1, 0, 1, 0}};
  CurrentFileName.clear();  // unnamed data: the question is "Reject old data ?"
  for (const auto& c : cases) {
    host_.Clear();
    DataModified = c[0];
    c[2] ? host_.AnswerYes() : host_.AnswerNo();
    EXPECT_EQ(SessionEndMayProceed(c[1]), c[4]) << c[0] << c[1] << c[2];
    EXPECT_EQ(host_.Records().size(), c[3] ? 1u : 0u);
  }
}
