// Handing the data file, the result listing and tables to the spreadsheet program.
#include "app/excel_link.h"

#include <string>
#include <vector>

#include "app/data_file.h"
#include "app/save_question.h"
#include "calc/result_printout.h"
#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/error_explanations.h"
#include "common/file_utils.h"
#include "common/formatting.h"
#include "common/output_router.h"
#include "common/program_state.h"
#include "common/text_file.h"

platform::Spreadsheet ExcelApplication;

namespace {

constexpr char kCouldNotStart[] = "Could not start Excel";

bool StartSpreadsheet(platform::Spreadsheet& sheet) {
  if (!sheet.Start(TrimStr(ProgramSettings.tempDirectory))) return false;
  sheet.SetVisible(true);
  return true;
}

// A spreadsheet that would not open what was written counts as not started.
void ShowOrFail(platform::Spreadsheet& sheet) {
  if (sheet.Show() != 0) {
    InfoMessage(kCouldNotStart);
    AbortFlag = true;
  }
}

}  // namespace

void StartExcel() {
  AbortFlag = false;
  if (TrimStr(CurrentFileName).empty()) {
    InfoMessage(
        "You must save your input data before you can use Excel interface (Menu \"File -> "
        "Save\")");
    AbortFlag = true;
    return;
  }
  CursorWait();
  if (!StartSpreadsheet(ExcelApplication)) {
    RestoreCursor();
    InfoMessage(kCouldNotStart);
    AbortFlag = true;
    return;
  }
  ExcelApplication.AddWorkbook();
  TextFileToExcel(CurrentFileName);
  RestoreCursor();
  if (AbortFlag) ExcelApplication.Close();
}

void ExportToExcel() {
  AbortFlag = false;
  if (DataModified) {
    SaveDataFile(CurrentFileName);
    if (AbortFlag) return;
    // The file now holds what is in memory.
    DataModified = false;
  }
  if (!ExcelApplication.Started()) {
    StartExcel();
    return;
  }
  TextFileToExcel(CurrentFileName);
}

void TextFileToExcel(std::string_view name) {
  if (TrimStr(name).empty()) {
    ShowLongText("File not found. Use \"File->Save\"");
    AbortFlag = true;
    return;
  }
  const std::string fullName = CurrentDataFileFullName();
  std::vector<std::string> lines;
  if (!ReadTextFileLines(fullName, lines)) {
    ErrorMessageIfEnabled("file " + fullName + " " + "not found or no access" + " !");
    AbortFlag = true;
    return;
  }
  if (ExcelApplication.WorkbookCount() == 0) ExcelApplication.AddWorkbook();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    ExcelApplication.SetCell(static_cast<int>(i) + 1, 1, DosToWin(lines[i]));
  }
  ShowOrFail(ExcelApplication);
}

void PrintoutToExcel() {
  AbortFlag = false;
  if (CalcFatalFlag) {
    ShowErrorList();
    return;
  }
  platform::Spreadsheet sheet;
  if (!StartSpreadsheet(sheet)) {
    InfoMessage(kCouldNotStart);
    return;
  }
  const bool ask = ConfigVariables.AskOutputDevice;
  const std::uint16_t device = ConfigVariables.OutputDevice;
  const std::int32_t before = ProgramSettings.ExportFileCounter;
  ConfigVariables.AskOutputDevice = false;
  ConfigVariables.OutputDevice = kDeviceTxtFile;
  ResultPrintout();
  ConfigVariables.AskOutputDevice = ask;
  ConfigVariables.OutputDevice = device;
  // Only a listing written now is handed over, never an older one of the same name.
  if (AbortFlag || ProgramSettings.ExportFileCounter == before) {
    AbortFlag = true;
    return;
  }
  const std::string listing =
      OutputTempDirectory() + "$$" + IntStr(ProgramSettings.ExportFileCounter) + ".txt";
  if (sheet.OpenText(listing, [](std::string_view line) { return DosToWin(line); }) != 0) {
    InfoMessage(kCouldNotStart);
    AbortFlag = true;
  }
}

void GridToExcel(const std::vector<std::vector<std::string>>& rows) {
  AbortFlag = false;
  platform::Spreadsheet sheet;
  if (!StartSpreadsheet(sheet)) {
    InfoMessage(kCouldNotStart);
    AbortFlag = true;
    return;
  }
  sheet.AddWorkbook();
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      sheet.SetCell(static_cast<int>(r) + 1, static_cast<int>(c) + 1, rows[r][c]);
    }
  }
  ShowOrFail(sheet);
}

void ResetExcelLink() {
  ExcelApplication.Close();
}
