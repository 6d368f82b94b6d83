// File, Open (Table): every data file of the data directory is loaded and calculated, and listed
// with its key values in the table preview, where the user sorts, searches and picks a joint;
// each pick loads that file and draws its result picture, and the table comes back until the
// user leaves it. The scan works on copies: the user's data set, its name and its unsaved state
// come back unchanged when nothing is picked.
#pragma once

#include <functional>
#include <string>
#include <vector>

// Rows of texts; row 0 is the header.
using TTextGrid = std::vector<std::vector<std::string>>;

constexpr int kDataFileTableColumns = 10;

// The header row: "File", "Date  y/m/d", "1 (Shaft)", "2 (Hub)", "d [unit]", "m [unit]",
// "alpha [°]" (UTF-8), "z", "x1", "x2"; unit "mm" or "in" by the unit system.
std::vector<std::string> DataFileTableHeader();

// The row of the data set in memory for a file: file name, file date, drawing numbers (for
// display), pitch diameter, module, pressure angle, teeth, addendum modifications.
std::vector<std::string> DataFileTableRow(const std::string& fileName, long long fileTime);
// The row of a file that could not be read: its name, its date and kUnreadableRowMark in the
// first value column; the other cells empty.
inline constexpr const char* kUnreadableRowMark = "(unreadable)";
std::vector<std::string> UnreadableDataFileRow(const std::string& fileName, long long fileTime);
// The one message after a scan: how many files could not be read.
std::string UnreadableFilesMessage(int count);

// Header plus one row per data file ("*.vuk", any case) of the directory, in name order; each file
// is loaded and calculated. progress (when set) is called with each file name before it is
// read. A file that cannot be read raises no message of its own; when there were any, one
// message (messages enabled) names how many. The data set in memory, the message list, the current
// file name and DataModified are the same afterwards as before.
TTextGrid ScanDataFiles(const std::string& directory,
                        const std::function<void(const std::string&)>& progress = {});

// What the table command needs of the main window and of the table window. An empty hook is
// skipped; without ChooseFromTable nothing is picked.
struct TDataFileTableHooks {
  std::function<void(const std::string&)> SetFormCaption;  // main window caption (code page)
  std::function<void()> UpdateTitle;
  std::function<void()> SetMenuCaptions;
  std::function<void()> UpdateErrorMessageItem;  // message count, then the result picture
  std::function<void(const TTextGrid&)> FillTable;
  // Shows the table modally; the file cell (column 0) of the picked row, or AbortFlag set when
  // the table was left without a pick.
  std::function<std::string()> ChooseFromTable;
};

// The command: the save question (Cancel: nothing happens), the scan, then picks until the user
// leaves the table. A pick that loads becomes the current file (unmodified, titled, drawn); a
// pick that cannot be read leaves the data set as it was and ends the command. Leaving without
// any pick restores the data set as it was before the command.
void OpenDataFileTable(const TDataFileTableHooks& hooks);
