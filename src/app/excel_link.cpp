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
#include "common/file_dialogs.h"
#include "common/file_utils.h"
#include "common/formatting.h"
#include "common/output_router.h"
#include "common/program_state.h"
#include "common/text_file.h"

platform::Spreadsheet ExcelApplication;

namespace {

constexpr char kCouldNotStart[] = "Could not start Excel";

void StartSpreadsheet(platform::Spreadsheet& sheet) {
  sheet.Start();
  sheet.SetVisible(true);
}

// The sheet files are the user's to keep: beside the data file, "<name>" + tail + ".csv".
// Replacing one that exists is asked first; false (AbortFlag set) on No.
bool SheetFileName(std::string_view tail, std::string& name) {
  name = ExportFileName("csv");
  name.insert(name.size() - 4, tail);
  CheckOverwrite(name);
  return !AbortFlag;
}

// After the sheet was shown: a file that could not be written fails the hand-over; when only
// the spreadsheet could not be started the file is kept and the message names it.
void ReportShown(const platform::Spreadsheet& sheet, const std::string& name, int rc) {
  if (rc == 0) return;
  if (sheet.LastFile() == name) {
    InfoMessage(std::string(kCouldNotStart) + "\n" + "saved as " + NameText(name));
    return;
  }
  ErrorMessageIfEnabled("file " + NameText(name) + " cannot be created");
  AbortFlag = true;
}

void ShowSheet(platform::Spreadsheet& sheet, std::string_view tail) {
  std::string name;
  if (!SheetFileName(tail, name)) return;
  ReportShown(sheet, name, sheet.Show(name));
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
  StartSpreadsheet(ExcelApplication);
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
    ErrorMessageIfEnabled("file " + NameText(fullName) + " " + "not found or no access" + " !");
    AbortFlag = true;
    return;
  }
  if (ExcelApplication.WorkbookCount() == 0) ExcelApplication.AddWorkbook();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    ExcelApplication.SetCell(static_cast<int>(i) + 1, 1, DosToWin(lines[i]));
  }
  ShowSheet(ExcelApplication, "_data");
}

void PrintoutToExcel() {
  AbortFlag = false;
  if (CalcFatalFlag) {
    ShowErrorList();
    return;
  }
  platform::Spreadsheet sheet;
  StartSpreadsheet(sheet);
  std::string sheetName;
  if (!SheetFileName("", sheetName)) return;
  const bool ask = ConfigVariables.AskOutputDevice;
  const std::uint16_t device = ConfigVariables.OutputDevice;
  const std::int32_t before = ProgramSettings.ExportFileCounter;
  ConfigVariables.AskOutputDevice = false;
  ConfigVariables.OutputDevice = kDeviceTxtFile;
  // The tab-separated listing is only the way into the sheet: a file of our own.
  const std::string listing =
      OutputTempDirectory() + "$$" + IntStr(ProgramSettings.ExportFileCounter + 1) + ".txt";
  OutputState.exportTarget = listing;
  ResultPrintout();
  OutputState.exportTarget.clear();
  ConfigVariables.AskOutputDevice = ask;
  ConfigVariables.OutputDevice = device;
  // Only a listing written now is handed over, never an older one of the same name.
  if (AbortFlag || ProgramSettings.ExportFileCounter == before) {
    AbortFlag = true;
    return;
  }
  ReportShown(sheet, sheetName, sheet.OpenText(listing, sheetName));
}

void GridToExcel(const std::vector<std::vector<std::string>>& rows) {
  AbortFlag = false;
  platform::Spreadsheet sheet;
  StartSpreadsheet(sheet);
  sheet.AddWorkbook();
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      sheet.SetCell(static_cast<int>(r) + 1, static_cast<int>(c) + 1, rows[r][c]);
    }
  }
  ShowSheet(sheet, "_table");
}

void ResetExcelLink() {
  ExcelApplication.Close();
}
