// A save over a file another writer (a second running copy) changed since we read or saved it
// asks first; No and the batch host (nobody to ask) keep their file and say it was not saved.
#include "common/changed_on_disk.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "app/app_test_support.h"
#include "app/data_file.h"
#include "app/file_commands.h"
#include "app/startup.h"
#include "common/batch_dialog_host.h"
#include "common/config_file.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"

namespace {

TEST(ChangedOnDisk, ASaveOverAnotherWritersChangeAsksFirst) {
  app_test::ScratchDir dir;
  setenv("XDG_CONFIG_HOME", dir.Make("xdg").c_str(), 1);
  InitModules();
  SetProgramIdentity();
  ProgramSettings.ScreenWidth = 799;  // stored sizes: reading the file back changes nothing
  ProgramSettings.ScreenHeight = 599;
  ConfigVariables.ConfigDirectory = dir.Path();
  ProgramSettings.FileFromCommandLine = true;
  CurrentFileName = dir / "joint.vuk";
  ScriptedDialogHost host;
  const struct {
    std::string file;
    std::function<void()> read, save;
  } kept[] = {
      {CurrentFileName, [f = CurrentFileName] { ReadDataFile(f); },
       [] { DataModified = true, FileSave({}); }},
      {dir / "vuko.cfg", [] { ReadConfig(); }, [] { AbortFlag = false, WriteConfig(); }},
  };
  enum TAnswer { kNotAsked, kYes, kNo, kBatch };
  for (const auto& k : kept) {
    for (TAnswer answer : {kNotAsked, kNo, kBatch, kYes}) {
      // No follows our own save, the others a read; in the batch case their file is renamed in.
      const bool readLast = answer != kNo, renamed = answer == kBatch;
      SCOPED_TRACE(k.file + " " + std::to_string(answer));
      ForgetFilesOnDisk();
      k.save();
      const std::string ours = app_test::ReadBytes(k.file);
      if (readLast) k.read();
      std::string theirs = ours;
      if (answer != kNotAsked) {
        theirs[0] = 'x';
        app_test::WriteBytes(k.file + (renamed ? ".new" : ""), theirs);
        if (renamed) std::filesystem::rename(k.file + ".new", k.file);
      }
      host.Clear();
      if (answer == kYes) host.AnswerYes();
      if (answer == kNo) host.AnswerNo();
      BatchDialogHost batch;
      if (answer == kBatch) InstallDialogHost(&batch);
      k.save();
      InstallDialogHost(&host);

      const bool written = answer == kYes || answer == kNotAsked;
      EXPECT_EQ(app_test::ReadBytes(k.file), written ? ours : theirs);
      EXPECT_EQ(AbortFlag, !written);
      if (k.file.ends_with(".vuk")) EXPECT_EQ(DataModified, !written) << "changes kept";
      std::vector<std::string> expected;
      if (answer == kYes || answer == kNo)
        expected.push_back(k.file +
                           " was changed on disk since it was read or saved here.   overwrite ?");
      if (answer == kNo)
        expected.push_back("file " + k.file + " not saved: it was changed on disk !");
      std::vector<std::string> shown;
      for (const TDialogRecord& r : host.Records()) shown.push_back(r.prompt);
      EXPECT_EQ(shown, expected);
    }
  }
  ForgetFilesOnDisk();
}

}  // namespace
