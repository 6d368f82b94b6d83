// Handing the data file, the result listing and tables to the spreadsheet: what the written
// workbook file holds (against the data file and the listing read line by line), and that a
// spreadsheet that cannot start, a declined save or a fatal calculation hand nothing over.
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

// The workbook files written so far ("Book" + n + ".tsv"), oldest first.
std::vector<std::string> BookFiles() {
  std::vector<std::string> names;
  const std::string dir = platform::ExistingPrivateTempDirectory();
  for (int n = 1; !dir.empty() && n < 1000; ++n) {
    if (fs::exists(dir + "Book" + std::to_string(n) + ".tsv")) {
      names.push_back(dir + "Book" + std::to_string(n) + ".tsv");
    }
  }
  return names;
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
  const auto expected = DataFileLinesForDisplay();
  ASSERT_GT(expected.size(), 50u);
  // One data file line per row, in file order, nothing beside it.
  EXPECT_EQ(Lines(ExcelApplication.LastFile()), expected);
  EXPECT_EQ(BookFiles().size(), 1u);
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
  EXPECT_TRUE(BookFiles().empty());
}

struct FailureCase {
  const char* name;
  std::vector<std::string> opener;
};

class NoSpreadsheetTest : public ExcelLinkTest,
                          public ::testing::WithParamInterface<FailureCase> {};

// Every hand-over says it could not start and writes nothing; the output settings stay.
TEST_P(NoSpreadsheetTest, EveryHandOverReportsIt) {
  platform::SetSpreadsheetOpener(GetParam().opener);
  ConfigVariables.OutputDevice = 4;
  ConfigVariables.AskOutputDevice = true;
  const auto counter = ProgramSettings.ExportFileCounter;

  StartExcel();
  EXPECT_TRUE(AbortFlag);
  EXPECT_FALSE(ExcelApplication.Started());
  PrintoutToExcel();
  GridToExcel({{"a", "b"}});
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(host_.Messages(),
            (std::vector<std::string>{kCouldNotStart, kCouldNotStart, kCouldNotStart}));
  EXPECT_EQ(ConfigVariables.OutputDevice, 4);
  EXPECT_TRUE(ConfigVariables.AskOutputDevice);
  EXPECT_EQ(ProgramSettings.ExportFileCounter, counter);
  EXPECT_TRUE(BookFiles().empty());
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
  host_.AnswerNo();  // keep the old joint.vuk: nothing is exported
  ExportToExcel();
  EXPECT_TRUE(AbortFlag);
  EXPECT_TRUE(DataModified);
  EXPECT_EQ(BookFiles().size(), 1u);
  EXPECT_EQ(app_test::ReadBytes(DataDirectory + "joint.vuk"), onDisk);

  host_.AnswerYes();  // overwrite joint.vuk
  ExportToExcel();
  ASSERT_FALSE(AbortFlag);
  EXPECT_FALSE(DataModified);
  EXPECT_EQ(BookFiles().size(), 2u);
  EXPECT_EQ(Lines(ExcelApplication.LastFile()), DataFileLinesForDisplay());
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
  std::vector<std::string> expected;
  for (const auto& line : Lines(listing)) expected.push_back(DosToWin(line));
  ASSERT_GT(expected.size(), 10u);
  const auto books = BookFiles();
  ASSERT_EQ(books.size(), 1u);
  // The listing's tab-separated lines are the workbook's rows (no field of it needs quotes).
  EXPECT_EQ(Lines(books[0]), expected);
}

TEST_F(ExcelLinkTest, PrintoutOfAFatalCalculationShowsTheMessagesInstead) {
  ToothingData.mn = 0;
  SplineInputData = TSplineInputData{};
  CalcSplineJoint();
  ASSERT_TRUE(CalcFatalFlag);
  const auto counter = ProgramSettings.ExportFileCounter;
  PrintoutToExcel();
  EXPECT_EQ(ProgramSettings.ExportFileCounter, counter);
  EXPECT_TRUE(BookFiles().empty());
}

}  // namespace
