// The File menu's commands driven through prepared dialog answers: what each asks, what it keeps
// when cancelled or when a file cannot be read or written, the order of the recent-file list and
// the shortened paths of its menu items.
#include "app/file_commands.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/app_test_support.h"
#include "app/command_line.h"
#include "app/data_file.h"
#include "app/startup.h"
#include "calc/toothing_data.h"
#include "common/changed_on_disk.h"
#include "common/config_file.h"
#include "common/file_utils.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "drawings/drawing_documentation.h"

namespace {

using app_test::ReadBytes;
using app_test::ScratchDir;
using app_test::WriteBytes;

// ---------------------------------------------------------------------------------------------
// Recent-file list and menu paths

struct RecentCase {
  const char* name;
  std::vector<std::string> added;     // base names in the data directory "/d/"
  std::vector<std::string> expected;  // the list afterwards, newest first
};

const RecentCase kRecentCases[] = {
    {"FifthPushesOldestOut",
     {"a", "b", "c", "d", "e"},
     {"/d/e.vuk", "/d/d.vuk", "/d/c.vuk", "/d/b.vuk"}},
    {"AgainMovesToTopWithoutDuplicate",
     {"a", "b", "c", "a"},
     {"/d/a.vuk", "/d/c.vuk", "/d/b.vuk", ""}},
    {"CaseIgnoredWhenComparing", {"Joint", "b", "JOINT"}, {"/d/JOINT.vuk", "/d/b.vuk", "", ""}},
    {"AgainInAFullList",
     {"a", "b", "c", "d", "b"},
     {"/d/b.vuk", "/d/d.vuk", "/d/c.vuk", "/d/a.vuk"}},
};

class RecentListTest : public ::testing::TestWithParam<RecentCase> {};

TEST_P(RecentListTest, Order) {
  InitModules();
  SetProgramIdentity();
  DataDirectory = "/d/";
  for (const std::string& name : GetParam().added) AddRecentFile(name);
  std::vector<std::string> list;
  for (const std::string& entry : ConfigVariables.RecentFiles) list.push_back(entry);
  EXPECT_EQ(list, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, RecentListTest, ::testing::ValuesIn(kRecentCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RecentMenuTest, PathsFromFiftyCharactersAreShortenedInTheMiddle) {
  // 49 and 50 characters: "/" + 44 letters + "/x.vuk" and one letter more.
  const std::string p49 = "/" + std::string(42, 'a') + "/x.vuk";
  const std::string p50 = "/" + std::string(43, 'a') + "/x.vuk";
  ASSERT_EQ(p49.size(), 49u);
  ASSERT_EQ(p50.size(), 50u);
  EXPECT_EQ(ShortenPathForMenu(p49), p49);
  EXPECT_EQ(ShortenPathForMenu(p50), "/.../x.vuk");
  const std::string relative = "projects/splines/2026/customer/area/very/long/joint.vuk";
  EXPECT_EQ(ShortenPathForMenu(relative), "projects/.../joint.vuk");
  const std::string single = std::string(60, 'b') + "/joint.vuk";  // one "/" only
  EXPECT_EQ(ShortenPathForMenu(single), single);
}

// ---------------------------------------------------------------------------------------------
// Commands

class FileCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitModules();
    SetProgramIdentity();
    data_ = dir_.Make("data") + "/";
    DataDirectory = data_;
    CurrentFileName.clear();
    hooks_.UpdateRecentFileItems = [this] { ++menus_; };
    hooks_.UpdateErrorMessageItem = [this] { ++pictures_; };
  }

  // A data file whose shaft has z teeth.
  std::string WriteJoint(const std::string& name, int z) {
    NewSplineExample();
    ToothingData.z[1] = z;
    ToothingData.z[2] = -z;
    AbortFlag = false;
    WriteDataFile(data_ + name);
    EXPECT_FALSE(AbortFlag);
    return data_ + name;
  }
  // The same cut in half: the reader meets the end of the file.
  std::string WriteBrokenJoint(const std::string& name) {
    const std::string full = WriteJoint(name, 31);
    const std::string bytes = ReadBytes(full);
    WriteBytes(full, bytes.substr(0, bytes.size() / 2));
    return full;
  }
  // Data set in memory: z teeth, named, with or without unsaved changes.
  void ModifiedDataSet(int z, const std::string& name, bool modified = true) {
    ToothingData.z[1] = z;
    ToothingData.z[2] = -z;
    CurrentFileName = name;
    DataModified = modified;
  }
  std::vector<std::string> Questions() const {
    std::vector<std::string> texts;
    for (const auto& r : host_.RecordsOf(TDialogKind::Question)) texts.push_back(r.prompt);
    return texts;
  }

  ScratchDir dir_;
  ScriptedDialogHost host_;
  std::string data_;
  TFileCommandHooks hooks_;
  int menus_ = 0, pictures_ = 0;
};

TEST_F(FileCommandsTest, NewAsksBeforeDiscardingAndCancelKeepsTheData) {
  ModifiedDataSet(23, "joint");
  host_.AnswerCancel();
  FileNew(hooks_);
  EXPECT_EQ(Questions(), std::vector<std::string>{"Save file (" + data_ + "joint.vuk) ?"});
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(ToothingData.z[1], 23);
  EXPECT_EQ(CurrentFileName, "joint");
  EXPECT_TRUE(DataModified);
  EXPECT_EQ(pictures_, 0);
}

TEST_F(FileCommandsTest, NewWithoutTemplateStartsTheExampleUnnamedAndModified) {
  ModifiedDataSet(23, "");
  ChangeRecords.count = 3;
  ChangeRecords.drawingInfo[kReplacedBy] = "4711";
  DrawingTexts[1] = "text one";
  host_.AnswerYes();  // Reject old data ?
  FileNew(hooks_);
  EXPECT_EQ(Questions(), std::vector<std::string>{"Reject old data ?"});
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(ToothingData.z[1], 8);  // the example joint: 8 teeth, module 6.5
  EXPECT_EQ(ToothingData.mn, 6.5L);
  EXPECT_EQ(CurrentFileName, "");
  EXPECT_TRUE(DataModified);
  EXPECT_EQ(ChangeRecords.count, 0);
  EXPECT_EQ(ChangeRecords.drawingInfo[kReplacedBy], "");
  EXPECT_EQ(DrawingTexts[1], "");
  EXPECT_EQ(pictures_, 1);
}

// Through the open dialog and through the recent list: the file is named only once it is in.
TEST_F(FileCommandsTest, BrokenFileKeepsDataSetNameAndRecentList) {
  const std::string broken = WriteBrokenJoint("broken.vuk");
  for (const bool recent : {false, true}) {
    SCOPED_TRACE(recent ? "recent file" : "open dialog");
    InitModules();
    SetProgramIdentity();
    DataDirectory = "/elsewhere/";
    ConfigVariables.RecentFiles[1] = recent ? broken : "/elsewhere/joint.vuk";
    ModifiedDataSet(23, "joint", false);
    if (recent) {
      OpenRecentFile(hooks_, 1);
    } else {
      host_.AnswerFile(broken);
      FileOpen(hooks_);
    }
    EXPECT_TRUE(AbortFlag);
    EXPECT_EQ(ToothingData.z[1], 23);
    EXPECT_EQ(CurrentFileName, "joint");
    EXPECT_EQ(DataDirectory, "/elsewhere/");
    EXPECT_EQ(ConfigVariables.RecentFiles[1], recent ? broken : "/elsewhere/joint.vuk");
    EXPECT_EQ(ConfigVariables.RecentFiles[2], "");
    EXPECT_EQ(pictures_, 0);
  }
}

TEST_F(FileCommandsTest, RecentFileThatVanishedIsDroppedWithAMessage) {
  const std::string kept = WriteJoint("kept.vuk", 29);
  ConfigVariables.RecentFiles = {{data_ + "gone.vuk", kept, "", ""}};
  ModifiedDataSet(23, "", false);
  OpenRecentFile(hooks_, 1);
  EXPECT_EQ(host_.Messages(), std::vector<std::string>{"File " + data_ + "gone.vuk not found !"});
  EXPECT_EQ(ConfigVariables.RecentFiles[1], kept);
  EXPECT_EQ(ConfigVariables.RecentFiles[2], "");
  EXPECT_EQ(ToothingData.z[1], 23);
  EXPECT_EQ(menus_, 1);
}

TEST_F(FileCommandsTest, ChangesToAFileOpenedAfterAnArchivedCommandLineFileAreAskedAbout) {
  const std::string file = WriteJoint("next.vuk", 29);
  ConfigVariables.RecentFiles[1] = file;
  ProgramSettings.FileFromCommandLine = true;
  ProgramSettings.ArchiveFlag = true;
  CurrentFileName = "archived.vuk";
  DataModified = false;
  OpenRecentFile(hooks_, 1);
  ASSERT_FALSE(AbortFlag);
  DataModified = true;  // the user edits the newly opened file
  host_.AnswerCancel();
  FileNew(hooks_);
  EXPECT_EQ(Questions(), std::vector<std::string>{"Save file (" + file + ") ?"});
  EXPECT_TRUE(DataModified);
}

TEST_F(FileCommandsTest, SaveOfAnUnnamedDataSetAsksBeforeReplacingAFile) {
  const std::string existing = WriteJoint("taken.vuk", 11);
  const std::string before = ReadBytes(existing);
  ModifiedDataSet(23, "");
  host_.AnswerFile(existing);
  host_.AnswerNo();  // overwrite ?
  FileSave(hooks_);
  EXPECT_EQ(Questions(), std::vector<std::string>{existing + " already exists.   overwrite ?"});
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(ReadBytes(existing), before);
  EXPECT_EQ(CurrentFileName, "");
  EXPECT_TRUE(DataModified);
}

// "vuko demo" names the tour, not a file: Save asks where to write, and nothing lands in the
// directory the program was started from.
TEST_F(FileCommandsTest, SaveAfterTheDemoSwitchAsksForAName) {
  SetProgramArguments({"demo"});
  ASSERT_FALSE(EvaluateCommandLine().endProgram);
  ASSERT_EQ(CurrentFileName, "demo");
  DataModified = true;
  const std::string chosen = data_ + "tour.vuk";
  host_.AnswerFile(chosen);
  FileSave(hooks_);
  EXPECT_EQ(host_.RecordsOf(TDialogKind::SaveFile).size(), 1u);
  EXPECT_FALSE(AbortFlag);
  EXPECT_TRUE(FileExistsIO(chosen));
  EXPECT_FALSE(FileExistsIO("demo.vuk"));
  EXPECT_EQ(CurrentFileName, "tour");
  SetProgramArguments({});
  TourRunning = false;
}

TEST_F(FileCommandsTest, SaveAsDeclinedKeepsNameAndDirectory) {
  const std::string other = dir_.Make("other") + "/taken.vuk";
  WriteBytes(other, "keep");
  ModifiedDataSet(23, "joint");
  host_.AnswerFile(other);
  host_.AnswerNo();  // overwrite ?
  FileSaveAs(hooks_);
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(CurrentFileName, "joint");
  EXPECT_EQ(DataDirectory, data_);
  EXPECT_EQ(ReadBytes(other), "keep");
  EXPECT_TRUE(DataModified);
  EXPECT_EQ(ConfigVariables.RecentFiles[1], "");
}

// A save over a file another writer changed since we saved it asks first; No keeps their file.
TEST(ChangedOnDisk, ASaveOverAnotherWritersChangeAsksFirst) {
  app_test::ScratchDir dir;
  setenv("XDG_CONFIG_HOME", dir.Make("xdg").c_str(), 1);
  InitModules();
  SetProgramIdentity();
  ConfigVariables.ConfigDirectory = dir.Path();
  ProgramSettings.FileFromCommandLine = true;
  CurrentFileName = dir / "joint.vuk";
  const std::string changed = " was changed on disk since it was read or saved here.   overwrite ?";
  const std::pair<std::string, void (*)()> kept[] = {
      {CurrentFileName, [] { DataModified = true, FileSave({}); }},
      {dir / "vuko.cfg", [] { AbortFlag = false, WriteConfig(); }}};
  for (const auto& [file, save] : kept) {
    // "No, time reset": their edit has our size and they set its time back to ours, so only
    // the content tells.
    for (const char* answer : {"unchanged", "No", "Yes", "No, time reset"}) {
      SCOPED_TRACE(file + " " + answer);
      ScriptedDialogHost host;
      ForgetFilesOnDisk();
      save();
      const std::string ours = app_test::ReadBytes(file), theirs = "x" + ours.substr(1);
      const bool asked = answer[0] != 'u', written = answer[0] != 'N';
      struct stat before {};
      ASSERT_EQ(stat(file.c_str(), &before), 0);
      if (asked) app_test::WriteBytes(file, theirs), written ? host.AnswerYes() : host.AnswerNo();
      if (std::string(answer).find("reset") != std::string::npos) {
        const struct timespec times[2] = {before.st_atim, before.st_mtim};
        ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
      }
      save();
      EXPECT_EQ(app_test::ReadBytes(file), written ? ours : theirs);
      EXPECT_EQ(AbortFlag, !written);
      ASSERT_EQ(host.Records().size(), asked + !written + 0u);
      if (asked) EXPECT_EQ(host.Records()[0].prompt, file + changed);
    }
  }
  // Read by one spelling, saved by another after an outside edit: one file, so it asks.
  std::filesystem::create_directory(dir / "sub");
  std::filesystem::create_symlink("joint.vuk", dir / "link.vuk");
  const std::string data = dir / "joint.vuk";
  const struct {
    std::string read, saved;  // read relative to the scratch folder
  } spellings[] = {{"joint.vuk", data},
                   {"link.vuk", data},
                   {"./sub/../joint.vuk", data},
                   {"joint.vuk", dir / "link.vuk"},
                   {"joint.vuk", dir / "sub/../joint.vuk"}};
  for (const auto& [read, saved] : spellings) {
    SCOPED_TRACE(read + " saved as " + saved);
    ScriptedDialogHost host;
    ForgetFilesOnDisk();
    const std::filesystem::path cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    ReadDataFile(read);
    std::filesystem::current_path(cwd);
    const std::string theirs = app_test::ReadBytes(data) + "\n";
    app_test::WriteBytes(data, theirs);
    host.AnswerNo();
    WriteDataFile(saved);
    EXPECT_EQ(app_test::ReadBytes(data), theirs);
    EXPECT_EQ(host.Records().at(0).prompt, saved + changed);
  }
  ForgetFilesOnDisk();
}

}  // namespace
