// The main window's start and close: configuration, session, template data file and
// calculation in that order, the start picture, the save question on closing, the session file
// written when the window goes, and the menu as the later commands find it.
#include "app/forms/main_window.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "app/app_test_support.h"
#include "app/command_line.h"
#include "app/data_file.h"
#include "app/startup.h"
#include "calc/toothing_data.h"
#include "common/config_file.h"
#include "common/file_utils.h"
#include "common/message_list.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "common/session_file.h"
#include "graphics/display_list.h"
#include "graphics/view_control.h"

namespace {

using app_test::Exists;
using app_test::ReadBytes;
using app_test::ScratchDir;
using app_test::WriteBytes;

int CountOps(TDisplayOp op) {
  int n = 0;
  if (!DisplayList) return 0;
  for (std::size_t i = 0; i < DisplayList->Count(); ++i) {
    if (DisplayList->Record(i).op == op) ++n;
  }
  return n;
}

class ThhTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", dir_.Make("xdg").c_str(), 1);
    maker_ = dir_.Make("xdg/tarveno");
    data_ = dir_.Make("data");
    plt_ = dir_.Make("plt");
    misc_ = dir_.Make("misc");
    WriteBytes(plt_ + "/keep", "x");
    WriteBytes(misc_ + "/keep", "x");

    // The configuration and session of an earlier run, in the maker's common directory.
    InitModules();
    SetProgramIdentity();
    ConfigVariables.ConfigDirectory = maker_ + "/";
    ConfigVariables.DefaultDataDirectory = data_;
    ProgramSettings.pltDirectory = plt_;
    ProgramSettings.tempDirectory = misc_;
    ProgramSettings.dbfDirectory = misc_;
    ProgramSettings.ediDirectory = misc_;
    ProgramSettings.cadDirectory = misc_;
    AbortFlag = false;
    WriteConfig();
    ASSERT_FALSE(AbortFlag);
    ConfigVariables.RecentFiles[1] = "/earlier/one.vuk";
    WriteSession();
    ASSERT_TRUE(Exists(maker_ + "/vuko.cff"));

    // Stage 1 again: nothing of the above is in memory any more. The current directory holds
    // no configuration.
    InitModules();
    ConfigVariables.ConfigDirectory = dir_.Make("empty") + "/";
    SetProgramArguments({});
  }
  void TearDown() override { SetProgramArguments({}); }

  void WriteTemplate(int z) {
    NewSplineExample();
    ToothingData.z[1] = z;
    ToothingData.z[2] = -z;
    AbortFlag = false;
    WriteDataFile(data_ + "/null.vuk");
    ASSERT_FALSE(AbortFlag);
    InitModules();
    ConfigVariables.ConfigDirectory = dir_ / "empty/";
  }

  ScratchDir dir_;
  ScriptedDialogHost host_;
  std::string maker_, data_, plt_, misc_;
};

TEST_F(ThhTest, StartReadsConfigurationThenSessionThenTemplateThenCalculates) {
  WriteTemplate(37);
  auto window = std::make_unique<Thh>();
  EXPECT_FALSE(window->StartUpOutcome().endProgram);
  // The configuration was found in the maker's directory ...
  EXPECT_EQ(AddBackslash(ConfigVariables.ConfigDirectory), maker_ + "/");
  // ... so the session beside it could be read ...
  EXPECT_EQ(ConfigVariables.RecentFiles[1], "/earlier/one.vuk");
  // ... and the template came from the configured data directory, unnamed ...
  EXPECT_EQ(DataDirectory, data_ + "/");
  EXPECT_EQ(ToothingData.z[1], 37);
  EXPECT_EQ(CurrentFileName, "");
  // ... and was calculated: d = z mn / cos(beta).
  const long double beta = ToothingData.beta * 3.14159265358979323846L / 180.0L;
  EXPECT_NEAR(static_cast<double>(ToothingData.d[1]),
              static_cast<double>(37 * ToothingData.mn / std::cos(beta)), 1e-9);
  EXPECT_FALSE(DataModified);
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(window->windowTitle().toStdString(), "VUKO   involute spline");
  // The logo's filled bars are the picture.
  EXPECT_GT(CountOps(TDisplayOp::Solid), 0);
}

TEST_F(ThhTest, StartPictureReplacesTheLogo) {
  WriteBytes(plt_ + "/start.plt", "IN;SP1;PU0,0;PD4000,0,4000,4000;PU;");
  auto window = std::make_unique<Thh>();
  EXPECT_EQ(CountOps(TDisplayOp::Solid), 0);
  EXPECT_GT(CountOps(TDisplayOp::Line) + CountOps(TDisplayOp::LineTo), 0);
}

TEST_F(ThhTest, ClosingErasesBlockFilesAndDestructionWritesTheSession) {
  auto window = std::make_unique<Thh>();
  window->show();
  std::remove((maker_ + "/vuko.cff").c_str());  // read at the start; written anew at the end
  const std::string block = PrivateTempDir() + "$SHAFT1.dx$";
  WriteBytes(block, "0\nEOF\n");
  EXPECT_TRUE(window->close());
  EXPECT_TRUE(host_.RecordsOf(TDialogKind::Question).empty());  // nothing was changed
  EXPECT_FALSE(Exists(block));
  window.reset();
  const std::string session = ReadBytes(maker_ + "/vuko.cff");
  EXPECT_NE(session.find("\n/earlier/one.vuk\n"), std::string::npos) << session;
}

// A pipe at the session file's name: the program still ends, with the message naming the file,
// instead of waiting for a reader that never comes (the alarm would end the test).
TEST_F(ThhTest, PipeAtTheSessionFileEndsTheProgramWithAMessage) {
  auto window = std::make_unique<Thh>();
  window->show();
  const std::string session = maker_ + "/vuko.cff";
  std::remove(session.c_str());
  ASSERT_EQ(mkfifo(session.c_str(), 0600), 0);
  host_.AnswerCancel();  // the retry box: give up
  alarm(20);
  EXPECT_TRUE(window->close());
  window.reset();
  alarm(0);
  const auto retries = host_.RecordsOf(TDialogKind::Retry);
  ASSERT_EQ(retries.size(), 1u);
  EXPECT_NE(retries[0].prompt.find("\"" + session + "\""), std::string::npos) << retries[0].prompt;
}

TEST_F(ThhTest, DecliningToRejectChangesKeepsTheWindowOpen) {
  auto window = std::make_unique<Thh>();
  window->show();
  DataModified = true;
  host_.AnswerNo();
  EXPECT_FALSE(window->close());
  EXPECT_TRUE(window->isVisible());
  const auto questions = host_.RecordsOf(TDialogKind::Question);
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_EQ(questions[0].prompt, "Reject old data ?");
  host_.AnswerYes();
  EXPECT_TRUE(window->close());
  EXPECT_FALSE(DataModified);
}

TEST_F(ThhTest, SavingOnCloseWritesTheCurrentFile) {
  auto window = std::make_unique<Thh>();
  window->show();
  CurrentFileName = "saved";
  ToothingData.z[1] = 29;
  DataModified = true;
  host_.AnswerYes();
  EXPECT_TRUE(window->close());
  const auto questions = host_.RecordsOf(TDialogKind::Question);
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_EQ(questions[0].prompt, "Save file (" + data_ + "/saved.vuk) ?");
  // Read back into a fresh data set.
  InitModules();
  ReadDataFile(data_ + "/saved.vuk");
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(ToothingData.z[1], 29);
}

TEST_F(ThhTest, StartEndedByTheCommandLineWritesNoSession) {
  std::remove((maker_ + "/vuko.cff").c_str());
  SetProgramArguments({"joint"});  // no extension: message and end
  auto window = std::make_unique<Thh>();
  EXPECT_TRUE(window->StartUpOutcome().endProgram);
  EXPECT_EQ(window->StartUpOutcome().exitCode, 0);
  window.reset();
  EXPECT_FALSE(Exists(maker_ + "/vuko.cff"));
}

TEST_F(ThhTest, MenuItemsAsTheCommandsFindThem) {
  auto window = std::make_unique<Thh>();
  for (const char* name : {"mi_cadsetup", "mi_helphistory", "mi_helplanguageChinese", "N13"}) {
    EXPECT_NE(window->MenuItem(name), nullptr) << name;
  }
  EXPECT_FALSE(window->MenuItem("mi_viewquick4")->isVisible());
  EXPECT_FALSE(window->MenuItem("mi_OleExportExcel")->isEnabled());
  EXPECT_FALSE(window->MenuItem("mi_OleImportExcel")->isEnabled());
  EXPECT_EQ(window->MenuItem("mi_fileNew")->shortcut(), QKeySequence("Ctrl+N"));
  EXPECT_EQ(window->MenuItem("mi_file4")->shortcut(), QKeySequence("Shift+F4"));
  QAction* messages = window->mi_viewErrorMessages;
  EXPECT_EQ(messages->text().toStdString(),
            "&Error messages (" + std::to_string(ErrorCount()) + ")");
  EXPECT_EQ(messages->isEnabled(), ErrorCount() > 0);
}

// A newcomer's first start, from an empty working folder with an empty home folder.
TEST(FirstStart, EmptyFolderAndHomeOpenTheMainWindowWithoutAMessage) {
  app_test::ScratchDir dir;
  setenv("HOME", dir.Make("home").c_str(), 1);
  unsetenv("XDG_CONFIG_HOME");
  unsetenv("XDG_CACHE_HOME");
  const auto before = std::filesystem::current_path();
  std::filesystem::current_path(dir.Make("work"));
  InitModules();
  SetProgramArguments({});
  SetProgramDataDirectory(VUKO_DATA_DIR);
  ScriptedDialogHost host;
  Thh window;
  window.show();
  EXPECT_FALSE(window.StartUpOutcome().endProgram);
  EXPECT_TRUE(host.Records().empty()) << host.Records().front().prompt;
  std::filesystem::current_path(before);
}

}  // namespace
