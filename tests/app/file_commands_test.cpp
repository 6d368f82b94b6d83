// The File menu's commands driven through prepared dialog answers: what each asks, what it keeps
// when cancelled or when a file cannot be read, the order of the recent-file list and the
// shortened paths of its menu items.
#include "app/file_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/app_test_support.h"
#include "app/data_file.h"
#include "app/startup.h"
#include "calc/toothing_data.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "drawings/drawing_documentation.h"

namespace {

using app_test::Exists;
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
    {"NewestFirst", {"a", "b", "c"}, {"/d/c.vuk", "/d/b.vuk", "/d/a.vuk", ""}},
    {"FifthPushesOldestOut",
     {"a", "b", "c", "d", "e"},
     {"/d/e.vuk", "/d/d.vuk", "/d/c.vuk", "/d/b.vuk"}},
    {"AgainMovesToTopWithoutDuplicate",
     {"a", "b", "c", "a"},
     {"/d/a.vuk", "/d/c.vuk", "/d/b.vuk", ""}},
    {"CaseIgnoredWhenComparing", {"Joint", "b", "JOINT"}, {"/d/JOINT.vuk", "/d/b.vuk", "", ""}},
    {"SameNameTwiceInAFullList",
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

TEST(RecentListTest, RemovingMovesLaterEntriesUp) {
  InitModules();
  ConfigVariables.RecentFiles = {{"/1.vuk", "/2.vuk", "/3.vuk", "/4.vuk"}};
  RemoveRecentFile(2);
  EXPECT_EQ(ConfigVariables.RecentFiles,
            (decltype(ConfigVariables.RecentFiles){{"/1.vuk", "/3.vuk", "/4.vuk", ""}}));
}

TEST(RecentMenuTest, PathsFromFiftyCharactersAreShortenedInTheMiddle) {
  // 49 and 50 characters: "/" + 44 letters + "/x.vuk" and one letter more.
  const std::string p49 = "/" + std::string(42, 'a') + "/x.vuk";
  const std::string p50 = "/" + std::string(43, 'a') + "/x.vuk";
  ASSERT_EQ(p49.size(), 49u);
  ASSERT_EQ(p50.size(), 50u);
  EXPECT_EQ(ShortenPathForMenu(p49), p49);
  EXPECT_EQ(ShortenPathForMenu(p50), "/.../x.vuk");
  const std::string deep = "/home/engineer/projects/splines/2026/customer/joint.vuk";
  EXPECT_EQ(ShortenPathForMenu(deep), "/.../joint.vuk");
  const std::string relative = "projects/splines/2026/customer/area/very/long/joint.vuk";
  EXPECT_EQ(ShortenPathForMenu(relative), "projects/.../joint.vuk");
  const std::string single = std::string(60, 'b') + "/joint.vuk";  // one "/" only
  EXPECT_EQ(ShortenPathForMenu(single), single);
}

TEST(RecentMenuTest, ItemsShowNumberedEntriesAndHideEmptyOnes) {
  InitModules();
  ConfigVariables.RecentFiles = {{"/d/a.vuk", "/d/b.vuk", "", ""}};
  EXPECT_TRUE(RecentFileSeparatorVisible());
  EXPECT_EQ(RecentFileItemState(2).caption, "&2 /d/b.vuk");
  EXPECT_TRUE(RecentFileItemState(2).visible);
  EXPECT_FALSE(RecentFileItemState(3).visible);
  ConfigVariables.RecentFiles.Fill("");
  EXPECT_FALSE(RecentFileSeparatorVisible());
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
    hooks_.UpdateTitle = [this] { ++titles_; };
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
  // Data set in memory: z teeth, named, with unsaved changes.
  void ModifiedDataSet(int z, const std::string& name) {
    ToothingData.z[1] = z;
    ToothingData.z[2] = -z;
    CurrentFileName = name;
    DataModified = true;
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
  int titles_ = 0, menus_ = 0, pictures_ = 0;
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
  ChangeRecords.drawingInfo[kCheckName] = "Mr";
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
  EXPECT_EQ(ChangeRecords.drawingInfo[kCheckName], "");
  EXPECT_FALSE(ChangeRecords.drawingInfo[kComplDate].empty());
  EXPECT_EQ(DrawingTexts[1], "");
  EXPECT_EQ(pictures_, 1);
}

TEST_F(FileCommandsTest, NewLoadsTheTemplateAndStopsUnmodifiedWhenADialogIsCancelled) {
  WriteJoint("null.vuk", 41);
  ModifiedDataSet(23, "joint");
  DataModified = false;
  hooks_.EditDimensions = [] { AbortFlag = true; };
  FileNew(hooks_);
  EXPECT_TRUE(Questions().empty());  // nothing unsaved
  EXPECT_EQ(ToothingData.z[1], 41);
  EXPECT_EQ(CurrentFileName, "");
  EXPECT_FALSE(DataModified);
  EXPECT_EQ(pictures_, 0);
}

TEST_F(FileCommandsTest, OpenOfABrokenFileKeepsDataSetNameAndRecentList) {
  const std::string broken = WriteBrokenJoint("broken.vuk");
  InitModules();
  SetProgramIdentity();
  DataDirectory = "/elsewhere/";
  ConfigVariables.RecentFiles[1] = "/elsewhere/joint.vuk";
  ModifiedDataSet(23, "joint");
  DataModified = false;
  host_.AnswerFile(broken);
  FileOpen(hooks_);
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(ToothingData.z[1], 23);
  EXPECT_EQ(CurrentFileName, "joint");
  EXPECT_EQ(DataDirectory, "/elsewhere/");
  EXPECT_EQ(ConfigVariables.RecentFiles[1], "/elsewhere/joint.vuk");
  EXPECT_EQ(ConfigVariables.RecentFiles[2], "");
  EXPECT_EQ(pictures_, 0);
  EXPECT_EQ(titles_, 1);
}

TEST_F(FileCommandsTest, OpenLoadsTheChosenFileAndPutsItFirstInTheList) {
  const std::string file = WriteJoint("other.vuk", 29);
  ConfigVariables.RecentFiles[1] = "/old/a.vuk";
  ModifiedDataSet(23, "");
  host_.AnswerYes();  // Reject old data ?
  host_.AnswerFile(file);
  FileOpen(hooks_);
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(ToothingData.z[1], 29);
  EXPECT_EQ(CurrentFileName, "other");
  EXPECT_FALSE(DataModified);
  EXPECT_EQ(ConfigVariables.RecentFiles[1], file);
  EXPECT_EQ(ConfigVariables.RecentFiles[2], "/old/a.vuk");
  EXPECT_EQ(pictures_, 1);
}

TEST_F(FileCommandsTest, RecentFileThatVanishedIsDroppedWithAMessage) {
  const std::string kept = WriteJoint("kept.vuk", 29);
  ConfigVariables.RecentFiles = {{data_ + "gone.vuk", kept, "", ""}};
  ModifiedDataSet(23, "");
  DataModified = false;
  OpenRecentFile(hooks_, 1);
  EXPECT_EQ(host_.Messages(), std::vector<std::string>{"File " + data_ + "gone.vuk not found !"});
  EXPECT_EQ(ConfigVariables.RecentFiles[1], kept);
  EXPECT_EQ(ConfigVariables.RecentFiles[2], "");
  EXPECT_EQ(ToothingData.z[1], 23);
  EXPECT_EQ(menus_, 1);
}

TEST_F(FileCommandsTest, RecentFileMovesToTheTop) {
  const std::string first = WriteJoint("first.vuk", 29);
  const std::string second = WriteJoint("second.vuk", 33);
  ConfigVariables.RecentFiles = {{first, second, "", ""}};
  DataDirectory = "/elsewhere/";
  CurrentFileName = "";
  DataModified = false;
  OpenRecentFile(hooks_, 2);
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(ToothingData.z[1], 33);
  EXPECT_EQ(CurrentFileName, "second");
  EXPECT_EQ(DataDirectory, data_);
  EXPECT_EQ(ConfigVariables.RecentFiles[1], second);
  EXPECT_EQ(ConfigVariables.RecentFiles[2], first);
}

TEST_F(FileCommandsTest, BrokenRecentFileKeepsTheCurrentName) {
  const std::string broken = WriteBrokenJoint("broken.vuk");
  ConfigVariables.RecentFiles[1] = broken;
  ModifiedDataSet(23, "joint");
  DataModified = false;
  DataDirectory = "/elsewhere/";
  OpenRecentFile(hooks_, 1);
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(ToothingData.z[1], 23);
  EXPECT_EQ(CurrentFileName, "joint");
  EXPECT_EQ(DataDirectory, "/elsewhere/");
  EXPECT_EQ(ConfigVariables.RecentFiles[1], broken);
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

TEST_F(FileCommandsTest, SaveWritesTheCurrentFileWithoutAskingAndKeepsTheList) {
  WriteJoint("joint.vuk", 11);
  ModifiedDataSet(23, "joint");
  FileSave(hooks_);
  EXPECT_FALSE(AbortFlag);
  EXPECT_TRUE(host_.Records().empty());
  EXPECT_FALSE(DataModified);
  EXPECT_EQ(ConfigVariables.RecentFiles[1], "");
  InitModules();
  ReadDataFile(data_ + "joint.vuk");
  EXPECT_EQ(ToothingData.z[1], 23);
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

TEST_F(FileCommandsTest, SaveAsWritesTheChosenFileAndAddsItToTheList) {
  const std::string target = dir_.Make("other") + "/copy.vuk";
  ModifiedDataSet(23, "joint");
  host_.AnswerFile(target);
  FileSaveAs(hooks_);
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(CurrentFileName, "copy");
  EXPECT_FALSE(DataModified);
  EXPECT_EQ(ConfigVariables.RecentFiles[1], target);
  EXPECT_TRUE(Exists(target));
}

}  // namespace
