// A newcomer's first start, from an empty working folder with an empty home folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "app/app_test_support.h"
#include "app/command_line.h"
#include "app/forms/main_window.h"
#include "app/startup.h"
#include "common/scripted_dialog_host.h"

namespace {

TEST(FirstStart, EmptyFolderAndHomeOpenTheMainWindowWithoutAMessage) {
  app_test::ScratchDir dir;
  setenv("HOME", dir.Make("home").c_str(), 1);
  unsetenv("XDG_CONFIG_HOME");
  unsetenv("XDG_CACHE_HOME");
  const std::string before = std::filesystem::current_path().string();
  ASSERT_EQ(chdir(dir.Make("work").c_str()), 0);
  InitModules();
  SetProgramArguments({});
  SetProgramDataDirectory(VUKO_DATA_DIR);
  ScriptedDialogHost host;
  {
    Thh window;
    window.show();
    EXPECT_FALSE(window.StartUpOutcome().endProgram);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(host.Records().empty()) << host.Records().front().prompt;
  }
  ASSERT_EQ(chdir(before.c_str()), 0);
}

}  // namespace
