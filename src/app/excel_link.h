// Handing the data file, the result listing and tables to the spreadsheet program: Start Excel
// and Export copy the current data file into the first column of a workbook, Printout hands the
// result listing over as a text import, and a table (the table preview's grid) is copied cell by
// cell. Failure travels through AbortFlag and a message; nothing is reported as done that was
// not.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/spreadsheet.h"

// The spreadsheet started by StartExcel and kept for ExportToExcel; not started until then.
extern platform::Spreadsheet ExcelApplication;

// Needs a current file name ("You must save ..." otherwise); starts the spreadsheet ("Could not
// start Excel" when it cannot), adds a workbook and copies the data file into it. AbortFlag is
// clear when the workbook was shown.
void StartExcel();
// Saves unsaved changes first (with the overwrite question; declining skips the export), then
// copies the data file again into the started spreadsheet (starting it when it is not).
void ExportToExcel();
// Copies the current data file, one line per row, into column 1 of the active workbook of
// ExcelApplication and shows it. An empty name: "File not found. Use "File->Save"" and
// AbortFlag.
void TextFileToExcel(std::string_view name);
// The result listing as a tab-separated text file, opened by a spreadsheet of its own. A fatal
// calculation shows the message list instead. The output device settings are restored after.
void PrintoutToExcel();
// Every cell of a table (row r, column c from 0) into cell (r + 1, c + 1) of a new workbook of a
// spreadsheet of its own, then shown; "Could not start Excel" and AbortFlag when it cannot.
void GridToExcel(const std::vector<std::vector<std::string>>& rows);

// Back to "not started" (tests).
void ResetExcelLink();
