// A newcomer's first start: an empty working folder, an empty home folder and no configuration
// anywhere. The main window opens without a message box, and the directories it settled on
// pass the start checks: the PLT and DBF directories hold the program's files (the print
// presets table among them), the others take new files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/app_test_support.h"
#include "app/command_line.h"
#include "app/forms/main_window.h"
#include "app/print_presets.h"
#include "app/startup.h"
#include "common/file_utils.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"

namespace {

using app_test::ScratchDir;

TEST(FirstStart, EmptyFolderAndHomeOpenTheMainWindowWithoutAMessage) {
  ScratchDir dir;
  const std::string work = dir.Make("work");
  const std::string home = dir.Make("home");
  setenv("HOME", home.c_str(), 1);
  unsetenv("XDG_CONFIG_HOME");
  unsetenv("XDG_CACHE_HOME");
  const std::string before = std::filesystem::current_path().string();
  ASSERT_EQ(chdir(work.c_str()), 0);

  InitModules();
  SetProgramArguments({});
  SetProgramDataDirectory(VUKO_DATA_DIR);
  ScriptedDialogHost host;
  auto window = std::make_unique<Thh>();
  window->show();
  EXPECT_FALSE(window->StartUpOutcome().endProgram);
  EXPECT_TRUE(window->isVisible());
  const auto messages = host.Messages();
  EXPECT_TRUE(messages.empty()) << messages.front();
  EXPECT_TRUE(host.Records().empty()) << host.Records().front().prompt;

  EXPECT_TRUE(app_test::Exists(AddBackslash(ProgramSettings.dbfDirectory) + kPresetTableName));
  EXPECT_TRUE(DirHasEntries(ProgramSettings.pltDirectory));
  for (const std::string& d : {ProgramSettings.cadDirectory, ProgramSettings.ediDirectory,
                               ConfigVariables.DefaultDataDirectory}) {
    EXPECT_TRUE(CheckDirWritable(d)) << d;
  }
  EXPECT_TRUE(window->close());
  window.reset();
  ASSERT_EQ(chdir(before.c_str()), 0);
}

}  // namespace
