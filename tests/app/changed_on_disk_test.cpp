// A save over a file another writer changed since we saved it asks first; No keeps their file.
#include "common/changed_on_disk.h"

#include <gtest/gtest.h>

#include <string>

#include "app/app_test_support.h"
#include "app/file_commands.h"
#include "app/startup.h"
#include "common/config_file.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"

namespace {

TEST(ChangedOnDisk, ASaveOverAnotherWritersChangeAsksFirst) {
  app_test::ScratchDir dir;
  setenv("XDG_CONFIG_HOME", dir.Make("xdg").c_str(), 1);
  InitModules();
  SetProgramIdentity();
  ConfigVariables.ConfigDirectory = dir.Path();
  ProgramSettings.FileFromCommandLine = true;
  CurrentFileName = dir / "joint.vuk";
  const std::pair<std::string, void (*)()> kept[] = {
      {CurrentFileName, [] { DataModified = true, FileSave({}); }},
      {dir / "vuko.cfg", [] { AbortFlag = false, WriteConfig(); }}};
  for (const auto& [file, save] : kept) {
    for (const char* answer : {"unchanged", "No", "Yes"}) {
      SCOPED_TRACE(file + " " + answer);
      ScriptedDialogHost host;
      ForgetFilesOnDisk();
      save();
      const std::string ours = app_test::ReadBytes(file), theirs = "x" + ours.substr(1);
      const bool asked = answer[0] != 'u', written = answer[0] != 'N';
      if (asked) app_test::WriteBytes(file, theirs), written ? host.AnswerYes() : host.AnswerNo();
      save();
      EXPECT_EQ(app_test::ReadBytes(file), written ? ours : theirs);
      EXPECT_EQ(AbortFlag, !written);
      ASSERT_EQ(host.Records().size(), asked + !written + 0u);
      if (asked)
        EXPECT_EQ(host.Records()[0].prompt,
                  file + " was changed on disk since it was read or saved here.   overwrite ?");
    }
  }
  ForgetFilesOnDisk();
}

}  // namespace
