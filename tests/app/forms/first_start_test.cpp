// A newcomer's first start, from an empty working folder with an empty home folder.
#include <gtest/gtest.h>

#include "app/app_test_support.h"
#include "app/command_line.h"
#include "app/forms/main_window.h"
#include "app/startup.h"
#include "common/scripted_dialog_host.h"

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
