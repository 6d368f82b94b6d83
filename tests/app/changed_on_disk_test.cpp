// A save over the data file or the configuration that another program (or a second running
// copy) changed on disk since this copy read or wrote it asks first; No, Cancel and the batch
// host (nobody to ask) leave the other writer's file as it is and say it was not saved.
#include "common/changed_on_disk.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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
using app_test::ScratchDir;
using app_test::WriteBytes;

// How the other writer changed the file.
enum class TOtherWrite {
  None,           // nobody changed it
  InPlace,        // rewritten in place with other text
  ReplacedSame,   // replaced by a new file of the same size (a rename over it)
  OnlyTimeMoved,  // touched: same bytes, a later time
};

void ChangeAsOtherWriter(const std::string& name, TOtherWrite how) {
  const std::string bytes = ReadBytes(name);
  switch (how) {
    case TOtherWrite::None:
      break;
    case TOtherWrite::InPlace:
      WriteBytes(name, "written by the other copy\n");
      break;
    case TOtherWrite::ReplacedSame: {
      std::string other = bytes;
      other[0] = other[0] == 'x' ? 'y' : 'x';
      WriteBytes(name + ".new", other);
      std::filesystem::rename(name + ".new", name);
      break;
    }
    case TOtherWrite::OnlyTimeMoved:
      std::filesystem::last_write_time(
          name, std::filesystem::last_write_time(name) + std::chrono::seconds(5));
      break;
  }
}

class ChangedOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", dir_.Make("xdg").c_str(), 1);
    InitModules();
    SetProgramIdentity();
    ForgetFilesOnDisk();
    // A stored window size, so reading the configuration back changes no setting.
    ProgramSettings.ScreenWidth = 799;
    ProgramSettings.ScreenHeight = 599;
    ConfigVariables.ConfigDirectory = dir_.Path();
    ProgramSettings.FileFromCommandLine = true;
    ProgramSettings.ArchiveFlag = false;
    CurrentFileName = dir_ / "joint.vuk";
    AbortFlag = false;
  }
  void TearDown() override { ForgetFilesOnDisk(); }

  ScratchDir dir_;
  ScriptedDialogHost host_;
};

TEST_F(ChangedOnDisk, ASaveOverAnotherWritersChangeAsksFirst) {
  struct Kept {
    const char* name;
    std::string file;
    std::function<void()> read;
    std::function<void()> save;  // as the user saves it
  };
  const Kept kept[] = {
      {"data file", dir_ / "joint.vuk", [] { ReadDataFile(CurrentFileName); },
       [] {
         DataModified = true;
         FileSave({});
       }},
      {"configuration", dir_ / "vuko.cfg", [] { ReadConfig(); },
       [] {
         AbortFlag = false;
         WriteConfig();
       }},
  };
  enum class TAnswer { Yes, No, Cancel, Batch, NotAsked };
  const struct {
    const char* name;
    bool lastTouchWasRead;  // else the last touch was our own save
    TOtherWrite other;
    TAnswer answer;
  } cases[] = {
      {"unchanged since our save: no question", false, TOtherWrite::None, TAnswer::NotAsked},
      {"unchanged since reading: no question", true, TOtherWrite::None, TAnswer::NotAsked},
      {"changed in place, No", false, TOtherWrite::InPlace, TAnswer::No},
      {"replaced by a file of the same size, Cancel", true, TOtherWrite::ReplacedSame,
       TAnswer::Cancel},
      {"only its time moved, nobody to ask", false, TOtherWrite::OnlyTimeMoved, TAnswer::Batch},
      {"changed after reading, Yes", true, TOtherWrite::InPlace, TAnswer::Yes},
  };
  for (const Kept& k : kept) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(k.name) + ": " + c.name);
      std::filesystem::remove(k.file);
      ForgetFilesOnDisk();
      k.save();
      ASSERT_FALSE(AbortFlag);
      const std::string ours = ReadBytes(k.file);
      if (c.lastTouchWasRead) {
        k.read();
        ASSERT_FALSE(AbortFlag);
      }
      ChangeAsOtherWriter(k.file, c.other);
      const std::string theirs = ReadBytes(k.file);
      host_.Clear();
      if (c.answer == TAnswer::Yes) host_.AnswerYes();
      if (c.answer == TAnswer::No) host_.AnswerNo();
      if (c.answer == TAnswer::Cancel) host_.AnswerCancel();
      if (c.answer == TAnswer::Batch) {
        BatchDialogHost batch;
        InstallDialogHost(&batch);
        k.save();
        InstallDialogHost(&host_);
      } else {
        k.save();
      }
      const bool asked =
          c.answer == TAnswer::Yes || c.answer == TAnswer::No || c.answer == TAnswer::Cancel;
      const auto questions = host_.RecordsOf(TDialogKind::Question);
      ASSERT_EQ(questions.size(), asked ? 1u : 0u);
      if (asked) {
        EXPECT_EQ(questions[0].prompt,
                  k.file + " was changed on disk since it was read or saved here.   overwrite ?");
      }
      const bool written = c.answer == TAnswer::Yes || c.answer == TAnswer::NotAsked;
      EXPECT_EQ(AbortFlag, !written);
      EXPECT_EQ(ReadBytes(k.file), written ? ours : theirs);
      if (!written && c.answer != TAnswer::Batch) {
        EXPECT_EQ(host_.Messages(), std::vector<std::string>{
                                        "file " + k.file + " not saved: it was changed on disk !"});
      }
      if (k.file.ends_with(".vuk")) EXPECT_EQ(DataModified, !written) << "changes kept";
    }
  }
}

}  // namespace
