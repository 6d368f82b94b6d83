// Handing the data file, the result listing and tables to the spreadsheet: what the kept sheet
// file holds (against the data file and the listing read line by line), that a spreadsheet that
// cannot start still leaves the file and names it, and that a declined save or a fatal
// calculation hand nothing over.
#include "app/excel_link.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/app_test_support.h"
#include "app/data_file.h"
#include "app/startup.h"
#include "calc/spline_joint.h"
#include "calc/toothing_data.h"
#include "common/codepage.h"
#include "common/output_router.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "platform/spreadsheet.h"
#include "platform/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using app_test::ScratchDir;

constexpr char kCouldNotStart[] = "Could not start Excel";

std::vector<std::string> Lines(const std::string& name) {
  std::vector<std::string> lines;
  std::ifstream in(name, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// Rows of a comma-separated file (RFC 4180: quoted fields, doubled quotes, CR LF line ends).
std::vector<std::vector<std::string>> CsvRows(const std::string& name) {
  const std::string text = app_test::ReadBytes(name);
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> row(1);
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        row.back() += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        row.back() += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      row.emplace_back();
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      rows.push_back(row);
      row.assign(1, std::string());
      ++i;
    } else {
      row.back() += c;
    }
  }
  return rows;
}

class ExcelLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitModules();
    SetProgramIdentity();
    ResetExcelLink();
    platform::RemovePrivateTempDirectory();
    ProgramSettings.tempDirectory = dir_.Make("tmp");
    DataDirectory = dir_.Make("data") + "/";
    platform::SetSpreadsheetOpener({"/bin/true"});
    NewSplineExample();
    CalcSplineJoint();
    CurrentFileName = "joint";
    AbortFlag = false;
    WriteDataFile(DataDirectory + "joint.vuk");
    ASSERT_FALSE(AbortFlag);
    DataModified = false;
  }
  void TearDown() override {
    ResetExcelLink();
    platform::SetSpreadsheetOpener({"xdg-open"});
    platform::RemovePrivateTempDirectory();
  }

  std::vector<std::string> DataFileLinesForDisplay() {
    std::vector<std::string> lines;
    for (const auto& line : Lines(DataDirectory + "joint.vuk")) lines.push_back(DosToWin(line));
    return lines;
  }

  ScratchDir dir_;
  ScriptedDialogHost host_;
};

TEST_F(ExcelLinkTest, StartCopiesTheDataFileIntoTheFirstColumn) {
  StartExcel();
  ASSERT_FALSE(AbortFlag);
  EXPECT_TRUE(ExcelApplication.Started());
  EXPECT_EQ(ExcelApplication.LastFile(), DataDirectory + "joint_data.csv");
  std::vector<std::vector<std::string>> expected;
  for (const auto& line : DataFileLinesForDisplay()) expected.push_back({line});
  ASSERT_GT(expected.size(), 50u);
  // One data file line per row, in file order, nothing beside it.
  EXPECT_EQ(CsvRows(ExcelApplication.LastFile()), expected);
}

TEST_F(ExcelLinkTest, WithoutAFileNameNothingStarts) {
  CurrentFileName.clear();
  StartExcel();
  EXPECT_TRUE(AbortFlag);
  ASSERT_EQ(host_.Messages().size(), 1u);
  EXPECT_EQ(host_.Messages()[0],
            "You must save your input data before you can use Excel interface (Menu \"File -> "
            "Save\")");
  EXPECT_FALSE(ExcelApplication.Started());
  EXPECT_FALSE(fs::exists(DataDirectory + "joint_data.csv"));
}

struct FailureCase {
  const char* name;
  std::vector<std::string> opener;
};

class NoSpreadsheetTest : public ExcelLinkTest,
                          public ::testing::WithParamInterface<FailureCase> {};

// Without a spreadsheet every hand-over still keeps its file beside the data file and names it;
// the output settings stay.
TEST_P(NoSpreadsheetTest, EveryHandOverKeepsItsFileAndNamesIt) {
  platform::SetSpreadsheetOpener(GetParam().opener);
  ConfigVariables.OutputDevice = 4;
  ConfigVariables.AskOutputDevice = true;
  const auto counter = ProgramSettings.ExportFileCounter;

  StartExcel();
  PrintoutToExcel();
  GridToExcel({{"a", "b"}});
  EXPECT_FALSE(AbortFlag);
  const std::vector<std::string> kept = {DataDirectory + "joint_data.csv",
                                         DataDirectory + "joint.csv",
                                         DataDirectory + "joint_table.csv"};
  std::vector<std::string> expected;
  for (const auto& name : kept)
    expected.push_back(std::string(kCouldNotStart) + "\nsaved as " + name);
  EXPECT_EQ(host_.Messages(), expected);
  EXPECT_EQ(ConfigVariables.OutputDevice, 4);
  EXPECT_TRUE(ConfigVariables.AskOutputDevice);
  EXPECT_EQ(ProgramSettings.ExportFileCounter, counter + 1);
  // The run ends; the sheets stay.
  platform::RemovePrivateTempDirectory();
  for (const auto& name : kept) EXPECT_TRUE(fs::exists(name)) << name;
  EXPECT_EQ(CsvRows(kept[2]), (std::vector<std::vector<std::string>>{{"a", "b"}}));
}

const FailureCase kFailureCases[] = {
    {"OpenerNotInstalled", {"/nonexistent/xdg-open"}},
    {"OpenerNotOnPath", {"vuko-no-such-opener"}},
};

INSTANTIATE_TEST_SUITE_P(Openers, NoSpreadsheetTest, ::testing::ValuesIn(kFailureCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ExcelLinkTest, ExportSavesUnsavedChangesFirstAndDecliningSkipsIt) {
  StartExcel();
  ASSERT_FALSE(AbortFlag);
  const std::string onDisk = app_test::ReadBytes(DataDirectory + "joint.vuk");
  ToothingData.z[1] = 41;
  ToothingData.z[2] = -41;
  DataModified = true;
  const std::string sheetBefore = app_test::ReadBytes(ExcelApplication.LastFile());
  host_.AnswerNo();  // keep the old joint.vuk: nothing is exported
  ExportToExcel();
  EXPECT_TRUE(AbortFlag);
  EXPECT_TRUE(DataModified);
  EXPECT_EQ(app_test::ReadBytes(ExcelApplication.LastFile()), sheetBefore);
  EXPECT_EQ(app_test::ReadBytes(DataDirectory + "joint.vuk"), onDisk);

  host_.AnswerYes();  // overwrite joint.vuk
  host_.AnswerYes();  // and the sheet kept from the first hand-over
  ExportToExcel();
  ASSERT_FALSE(AbortFlag);
  EXPECT_FALSE(DataModified);
  std::vector<std::vector<std::string>> expected;
  for (const auto& line : DataFileLinesForDisplay()) expected.push_back({line});
  EXPECT_EQ(CsvRows(ExcelApplication.LastFile()), expected);
  // The saved file holds the changed joint.
  ReadDataFile(DataDirectory + "joint.vuk");
  EXPECT_EQ(ToothingData.z[1], 41);
}

TEST_F(ExcelLinkTest, PrintoutHandsOverTheListingJustWritten) {
  ConfigVariables.OutputDevice = 1;
  ConfigVariables.AskOutputDevice = true;
  const auto counter = ProgramSettings.ExportFileCounter;
  PrintoutToExcel();
  ASSERT_FALSE(AbortFlag);
  EXPECT_EQ(ConfigVariables.OutputDevice, 1);
  EXPECT_TRUE(ConfigVariables.AskOutputDevice);
  ASSERT_EQ(ProgramSettings.ExportFileCounter, counter + 1);
  const std::string listing =
      OutputTempDirectory() + "$$" + std::to_string(ProgramSettings.ExportFileCounter) + ".txt";
  std::vector<std::vector<std::string>> expected;
  for (const auto& line : Lines(listing)) {
    std::vector<std::string> fields(1);
    for (char c : line) {
      if (c == '\t') {
        fields.emplace_back();
      } else {
        fields.back() += c;
      }
    }
    expected.push_back(fields);
  }
  ASSERT_GT(expected.size(), 10u);
  // The listing's tab-separated fields are the sheet's cells.
  EXPECT_EQ(CsvRows(DataDirectory + "joint.csv"), expected);
}

TEST_F(ExcelLinkTest, PrintoutOfAFatalCalculationShowsTheMessagesInstead) {
  ToothingData.mn = 0;
  SplineInputData = TSplineInputData{};
  CalcSplineJoint();
  ASSERT_TRUE(CalcFatalFlag);
  const auto counter = ProgramSettings.ExportFileCounter;
  PrintoutToExcel();
  EXPECT_EQ(ProgramSettings.ExportFileCounter, counter);
  EXPECT_FALSE(fs::exists(DataDirectory + "joint.csv"));
}

}  // namespace
