// The spreadsheet program that listings and tables are handed to. The program fills a workbook
// cell by cell (or from a text file); showing it writes the active workbook as a spreadsheet
// file (comma-separated values, UTF-8) that the user keeps, and has the desktop's spreadsheet
// open it, started with an argument list, never through a shell.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

using CellRows = std::vector<std::vector<std::string>>;

class Spreadsheet {
 public:
  // Starts collecting workbooks. The file is written whether or not a program can open it.
  void Start() { started_ = true; }
  bool Started() const { return started_; }

  // Only a visible spreadsheet opens what Show writes.
  void SetVisible(bool visible) { visible_ = visible; }
  bool Visible() const { return visible_; }

  // A new, empty workbook, which becomes the active one.
  void AddWorkbook();
  // Value of a cell of the active workbook's sheet (row and column from 1; others are ignored).
  // A workbook is added first when there is none.
  void SetCell(int row, int column, std::string_view value);
  // The active workbook's cells, row 1 first; empty without a workbook.
  const CellRows& ActiveCells() const;
  int WorkbookCount() const { return static_cast<int>(workbooks_.size()); }

  // Writes the active workbook into fileName (replaced in one piece) and, while visible, starts
  // the opener on it. 0 or an errno value: of the write (LastFile is then empty) or of the
  // start (the file is written and LastFile names it).
  int Show(const std::string& fileName);
  // A text file as a new workbook (each line a row, tabs between columns; convertLine, when
  // given, turns each line into the text shown), then Show into sheetName. 0 or an errno value.
  int OpenText(const std::string& fileName, const std::string& sheetName,
               const std::function<std::string(std::string_view)>& convertLine = {});

  // The file Show wrote last; empty before.
  const std::string& LastFile() const { return lastFile_; }
  // Back to the state before Start.
  void Close();

 private:
  bool started_ = false;
  bool visible_ = false;
  std::vector<CellRows> workbooks_;
  std::string lastFile_;
};

// The program and its first arguments that open a file with the desktop's spreadsheet; the
// file's name is appended. Default: {"xdg-open"}. Tests put a stand-in.
void SetSpreadsheetOpener(std::vector<std::string> argv);
const std::vector<std::string>& SpreadsheetOpener();

// Rows as comma-separated values, one line per row ending in "\r\n"; a field that holds a comma,
// a line break or a double quote is put in double quotes with its quotes doubled.
std::string CommaSeparatedText(const CellRows& rows);

}  // namespace platform
