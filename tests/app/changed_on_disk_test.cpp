// A save over the data file or the configuration that another writer (a second running copy)
// changed on disk since this copy read or saved it asks first; No and the batch host (nobody to
// ask) leave the other writer's file as it is and say it was not saved.
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

using app_test::ReadBytes;

TEST(ChangedOnDisk, ASaveOverAnotherWritersChangeAsksFirst) {
  app_test::ScratchDir dir;
  setenv("XDG_CONFIG_HOME", dir.Make("xdg").c_str(), 1);
  InitModules();
  SetProgramIdentity();
  ForgetFilesOnDisk();
  ProgramSettings.ScreenWidth = 799;  // a stored size: reading the file back changes nothing
  ProgramSettings.ScreenHeight = 599;
  ConfigVariables.ConfigDirectory = dir.Path();
  ProgramSettings.FileFromCommandLine = true;
  CurrentFileName = dir / "joint.vuk";
  ScriptedDialogHost host;
  const struct {
    std::string file;
    std::function<void()> read, save;
  } kept[] = {
      // Once saved, the file is held by folder and base name; it is read back by its whole name.
      {CurrentFileName, [file = CurrentFileName] { ReadDataFile(file); },
       [] {
         DataModified = true;
         FileSave({});
       }},
      {dir / "vuko.cfg", [] { ReadConfig(); },
       [] {
         AbortFlag = false;
         WriteConfig();
       }},
  };
  enum TAnswer { kNotAsked, kYes, kNo, kBatch };
  const struct {
    const char* name;
    bool readLast;      // else our own save was the last touch
    bool otherRenamed;  // the other writer renamed a same-size file over it, else wrote in place
    TAnswer answer;
  } cases[] = {
      {"nobody changed it", true, false, kNotAsked},
      {"changed in place after our save, No", false, false, kNo},
      {"replaced after reading, nobody to ask", true, true, kBatch},
      {"changed after reading, Yes", true, false, kYes},
  };
  for (const auto& k : kept) {
    for (const auto& c : cases) {
      SCOPED_TRACE(k.file + ": " + c.name);
      ForgetFilesOnDisk();
      k.save();
      const std::string ours = ReadBytes(k.file);
      if (c.readLast) k.read();
      ASSERT_FALSE(AbortFlag);
      std::string theirs = ours;
      if (c.answer != kNotAsked) {
        theirs[0] = 'x';
        app_test::WriteBytes(k.file + (c.otherRenamed ? ".new" : ""), theirs);
        if (c.otherRenamed) std::filesystem::rename(k.file + ".new", k.file);
      }
      host.Clear();
      if (c.answer == kYes) host.AnswerYes();
      if (c.answer == kNo) host.AnswerNo();
      BatchDialogHost batch;
      if (c.answer == kBatch) InstallDialogHost(&batch);
      k.save();
      InstallDialogHost(&host);

      const bool written = c.answer == kYes || c.answer == kNotAsked;
      EXPECT_EQ(ReadBytes(k.file), written ? ours : theirs);
      EXPECT_EQ(AbortFlag, !written);
      if (k.file.ends_with(".vuk")) EXPECT_EQ(DataModified, !written) << "changes kept";
      std::vector<std::string> shown;
      for (const TDialogRecord& r : host.Records()) shown.push_back(r.prompt);
      std::vector<std::string> expected;
      if (c.answer == kYes || c.answer == kNo) {
        expected.push_back(k.file +
                           " was changed on disk since it was read or saved here.   overwrite ?");
      }
      if (c.answer == kNo) {
        expected.push_back("file " + k.file + " not saved: it was changed on disk !");
      }
      EXPECT_EQ(shown, expected);
    }
  }
  ForgetFilesOnDisk();
}

}  // namespace
