// The spreadsheet program that listings and tables are handed to. The program fills a workbook
// cell by cell (or from a text file); showing it writes the active workbook as a tab-separated
// file into the private temporary directory and has the desktop's spreadsheet open it, started
// with an argument list, never through a shell.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

using CellRows = std::vector<std::vector<std::string>>;

class Spreadsheet {
 public:
  // Makes sure a program exists that opens the workbooks (the opener, see SetSpreadsheetOpener)
  // and a private temporary directory (made inside tempBase when it is usable). False when
  // either is missing; the spreadsheet then counts as not started.
  bool Start(const std::string& tempBase);
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

  // Writes the active workbook as "Book" + n + ".tsv" (n counts the files written) into the
  // private temporary directory and, while visible, starts the opener on it. 0 or an errno
  // value (of the write or of the start).
  int Show();
  // A text file as a new workbook (each line a row, tabs between columns; convertLine, when
  // given, turns each line into the text shown), then Show. 0 or an errno value.
  int OpenText(const std::string& fileName,
               const std::function<std::string(std::string_view)>& convertLine = {});

  // The file Show wrote last; empty before.
  const std::string& LastFile() const { return lastFile_; }
  // Back to the state before Start.
  void Close();

 private:
  bool started_ = false;
  bool visible_ = false;
  std::string directory_;
  std::vector<CellRows> workbooks_;
  std::string lastFile_;
};

// The program and its first arguments that open a file with the desktop's spreadsheet; the
// file's name is appended. Default: {"xdg-open"}. Tests put a stand-in.
void SetSpreadsheetOpener(std::vector<std::string> argv);
const std::vector<std::string>& SpreadsheetOpener();

// Rows as tab-separated text, one line per row ending in "\n"; a field that holds a tab, a line
// break or a double quote is put in double quotes with its quotes doubled.
std::string TabSeparatedText(const CellRows& rows);

}  // namespace platform
