// The table of data files over a folder of the shipped example joints plus a broken file: the
// values of each row against the same file loaded and calculated on its own and against
// d = mn * z, the data set of the user kept through the scan, and the picks of the command.
#include "app/data_file_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "app/app_test_support.h"
#include "app/data_file.h"
#include "app/startup.h"
#include "calc/spline_joint.h"
#include "calc/toothing_data.h"
#include "common/message_list.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"

namespace {

namespace fs = std::filesystem;
using app_test::ReadBytes;
using app_test::ScratchDir;
using app_test::WriteBytes;

const std::vector<std::string> kExamples = {"example_balls.vuk", "example_span.vuk",
                                            "example_thickness.vuk", "example_x.vuk"};

double Number(const std::string& cell) {
  return std::stod(cell);
}

class DataFileTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitModules();
    SetProgramIdentity();
    MessagesEnabled = false;
    data_ = dir_.Make("data") + "/";
    for (const auto& name : kExamples) {
      fs::copy_file(std::string(VUKO_DATA_DIR) + "/" + name, data_ + name);
    }
    const std::string bytes = ReadBytes(data_ + "example_x.vuk");
    WriteBytes(data_ + "broken.vuk", bytes.substr(0, bytes.size() / 3));
    WriteBytes(data_ + "notes.txt", "not a data file\n");
    DataDirectory = data_;
  }

  // The user's own data set: the example with 23 teeth, named, with unsaved changes and one
  // message of its own.
  void UsersDataSet() {
    NewSplineExample();
    ToothingData.z[1] = 23;
    ToothingData.z[2] = -23;
    CalcSplineJoint();
    PartNames.drawingNumber[1] = "MINE-1";
    CurrentFileName = "mine";
    DataModified = true;
    AddError("Warning: kept");
  }

  void ExpectUsersDataSet() {
    EXPECT_EQ(ToothingData.z[1], 23);
    EXPECT_EQ(PartNames.drawingNumber[1], "MINE-1");
    EXPECT_EQ(CurrentFileName, "mine");
    EXPECT_TRUE(DataModified);
    ASSERT_GE(ErrorList.count, 1);
    EXPECT_EQ(ErrorList.messages[ErrorList.count], "Warning: kept");
  }

  ScratchDir dir_;
  ScriptedDialogHost host_;
  std::string data_;
};

TEST_F(DataFileTableTest, EveryFileListedWithTheValuesOfItsOwnCalculation) {
  UsersDataSet();
  const TTextGrid grid = ScanDataFiles(data_);
  ExpectUsersDataSet();

  ASSERT_EQ(grid.size(), kExamples.size() + 2);  // header, broken.vuk, the examples
  EXPECT_EQ(grid[0], DataFileTableHeader());
  // The broken file: its name and date, and no values of the file read before it.
  EXPECT_EQ(grid[1][0], "broken.vuk");
  EXPECT_FALSE(grid[1][1].empty());
  for (int c = 3; c < 10; ++c) EXPECT_EQ(grid[1][c], "") << "column " << c;
  for (std::size_t i = 0; i < kExamples.size(); ++i) {
    const auto& row = grid[i + 2];
    SCOPED_TRACE(kExamples[i]);
    ASSERT_EQ(row.size(), 10u);
    EXPECT_EQ(row[0], kExamples[i]);
    // The reference: the file read and calculated on its own.
    AbortFlag = false;
    ReadDataFile(data_ + kExamples[i]);
    ASSERT_FALSE(AbortFlag);
    CalcSplineJoint();
    EXPECT_EQ(row[2], PartNames.drawingNumber[1]);
    EXPECT_EQ(row[3], PartNames.drawingNumber[2]);
    EXPECT_NEAR(Number(row[4]), ToothingData.d[1], 5e-4);
    EXPECT_NEAR(Number(row[5]), ToothingData.mn, 5e-4);
    EXPECT_NEAR(Number(row[6]), ToothingData.alpha, 5e-3);
    EXPECT_EQ(std::stoi(row[7]), ToothingData.z[1]);
    EXPECT_NEAR(Number(row[8]), ToothingData.x[1], 5e-4);
    EXPECT_NEAR(Number(row[9]), ToothingData.x[2], 5e-4);
    // Pitch diameter of a straight spline: d = mn * z.
    EXPECT_NEAR(Number(row[4]), Number(row[5]) * std::stoi(row[7]), 2e-3 * std::stoi(row[7]));
    EXPECT_EQ(row[1].size(), 10u);  // yyyy/mm/dd
    EXPECT_EQ(row[1][4], '/');
  }
}

// Damaged files among good ones: each damaged row marked, one message, no 309-digit cell.
TEST_F(DataFileTableTest, DamagedFilesAreMarkedAndNamedInOneMessage) {
  WriteBytes(data_ + "garbage.vuk", "not a data file at all\n");
  std::string absurd = ReadBytes(data_ + "example_x.vuk");
  absurd.replace(absurd.find("\n30.0000000\n") + 1, 10, "1e308");
  WriteBytes(data_ + "absurd.vuk", absurd);
  MessagesEnabled = true;
  const TTextGrid grid = ScanDataFiles(data_);
  ASSERT_EQ(grid.size(), kExamples.size() + 4);
  EXPECT_EQ(host_.Messages(), std::vector<std::string>{"2 data files are incomplete or "
                                                       "unreadable; their rows are marked."});
  for (std::size_t r = 1; r < grid.size(); ++r) {
    EXPECT_EQ(grid[r][2] == kUnreadableRowMark,
              grid[r][0] == "broken.vuk" || grid[r][0] == "garbage.vuk")
        << grid[r][0];
    for (const std::string& cell : grid[r]) EXPECT_LE(cell.size(), 24u) << grid[r][0];
  }
}

TEST_F(DataFileTableTest, HeaderFollowsTheUnitSystem) {
  ConfigVariables.UnitSystem = 1;
  const auto inch = DataFileTableHeader();
  EXPECT_EQ(inch[4], "d [in]");
  EXPECT_EQ(inch[5], "m [in]");
  ConfigVariables.UnitSystem = 0;
  EXPECT_EQ(DataFileTableHeader()[4], "d [mm]");
  EXPECT_EQ(DataFileTableHeader()[6], "alpha [\xC2\xB0]");
}

// The command with prepared picks: the file cells the table returns, then leaving it.
class TableCommandTest : public DataFileTableTest {
 protected:
  TDataFileTableHooks Hooks(std::vector<std::string> picks) {
    picks_ = std::move(picks);
    TDataFileTableHooks hooks;
    hooks.FillTable = [this](const TTextGrid& grid) { shown_ = grid; };
    hooks.ChooseFromTable = [this]() -> std::string {
      if (next_ >= picks_.size()) {
        AbortFlag = true;
        return {};
      }
      return picks_[next_++];
    };
    hooks.UpdateErrorMessageItem = [this] { ++pictures_; };
    hooks.UpdateTitle = [this] { titles_.push_back(CurrentFileName); };
    return hooks;
  }

  std::vector<std::string> picks_;
  std::size_t next_ = 0;
  TTextGrid shown_;
  int pictures_ = 0;
  std::vector<std::string> titles_;
};

TEST_F(TableCommandTest, PickedFileIsLoadedTitledAndDrawnWithoutChanges) {
  UsersDataSet();
  host_.AnswerNo();  // do not save the user's changes
  OpenDataFileTable(Hooks({"example_span.vuk", "example_balls.vuk"}));
  EXPECT_EQ(shown_.size(), kExamples.size() + 2);
  EXPECT_EQ(CurrentFileName, "example_balls");
  EXPECT_FALSE(DataModified);
  EXPECT_FALSE(AbortFlag);
  EXPECT_GE(pictures_, 2);
  ASSERT_FALSE(titles_.empty());
  EXPECT_EQ(titles_.back(), "example_balls");
  // The data set in memory is the picked file's.
  const TToothingData picked = ToothingData;
  ReadDataFile(data_ + "example_balls.vuk");
  CalcSplineJoint();
  EXPECT_EQ(picked.z[1], ToothingData.z[1]);
  EXPECT_EQ(picked.d[1], ToothingData.d[1]);
}

TEST_F(TableCommandTest, LeavingWithoutAPickGivesBackTheUsersDataSet) {
  UsersDataSet();
  host_.AnswerNo();  // declined saving, but nothing replaces the data set
  OpenDataFileTable(Hooks({}));
  ExpectUsersDataSet();
  EXPECT_EQ(titles_.back(), "mine");
  EXPECT_EQ(pictures_, 1);  // the picture cleared for the scan is drawn again
}

TEST_F(TableCommandTest, CancelInTheSaveQuestionDoesNothing) {
  UsersDataSet();
  host_.AnswerCancel();
  OpenDataFileTable(Hooks({"example_x.vuk"}));
  EXPECT_TRUE(shown_.empty());
  ExpectUsersDataSet();
}

TEST_F(TableCommandTest, UnreadablePickKeepsTheDataSetAndItsName) {
  UsersDataSet();
  host_.AnswerNo();
  OpenDataFileTable(Hooks({"example_x.vuk", "broken.vuk", "example_span.vuk"}));
  // The earlier pick stays, under its own name; the table closed at the failure.
  EXPECT_EQ(CurrentFileName, "example_x");
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(next_, 2u);
}

TEST_F(TableCommandTest, UnreadableFirstPickGivesBackTheUsersDataSet) {
  UsersDataSet();
  host_.AnswerNo();
  OpenDataFileTable(Hooks({"broken.vuk"}));
  ExpectUsersDataSet();
  EXPECT_TRUE(AbortFlag);
}

}  // namespace
