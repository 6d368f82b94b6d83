// Choosing file names (open and save dialogs through the installed dialog host), guarding a
// save against overwriting and invalid names, and opening, writing and closing text files with
// checks that report the error in words and set AbortFlag.
//
// Messages go through ErrorMessageIfEnabled, so they are silent while MessagesEnabled is clear;
// AbortFlag is set in any case.
#pragma once

#include <string>
#include <string_view>

#include "common/text_file.h"

struct TFileDialogRequest;

// Confirms overwriting an existing file (unless the name contains "actual") and proves that the
// name can be written. Declining sets AbortFlag. The existing file is never touched: the proof
// creates and removes a probe file beside it.
void CheckOverwrite(std::string_view fullName);
// Asks for (empty name) or completes the name of a data or output file: fullName := data
// directory + name + "." + data-file extension, or name itself when it holds a ".".
void SaveAsFileName(std::string_view name, std::string& fullName);
// The directory (with its "/") of a file picked in an open dialog started in dir; Cancel gives
// dir.
void SelectDirectory(std::string_view dir, std::string& result);
// Open dialog with the filter (filter + "|" + filter), started in the directory part of mask.
// Cancel: name := mask, AbortFlag set.
void OpenFileName(std::string_view mask, std::string_view filter, std::string& name);
// Open dialog started in dir. Chosen: dir := its directory; name := the full name for mode 5,
// else its base name; mode 4 also takes the chosen file's extension as the data-file extension.
// Cancel: name := "", AbortFlag set.
void OpenFileNameFilter(int mode, std::string& dir, std::string_view filter, std::string& name);
// A file that cannot be opened for reading: "file <name> not found or no access !" and
// AbortFlag set.
void CheckFileExists(std::string_view name);
// ErrorMessageIfEnabled("Option is not available in archive mode.").
void ArchiveModeMessage();

// General open and save dialogs. Cancel (or an empty name) sets AbortFlag and returns false.
bool ShowOpenDialog(const TFileDialogRequest& request, std::string& fileName);
bool ShowSaveDialog(const TFileDialogRequest& request, std::string& fileName);

// Opens the file for writing. A failure is reported ("remove write protect !", "I/O-Error " +
// code, naming the file) with Retry and Cancel; without a person (batch host, MessagesEnabled
// clear) it is tried once. A lasting failure sets AbortFlag.
void RewriteChecked(TTextFile& file);
// Opens for writing once; "disk full" / "file write error" and AbortFlag on failure.
void CheckWriteResult(TTextFile& file);
// Nothing while AbortFlag is set; else writes one line, reporting "disk full" / "file access
// error" and setting AbortFlag on failure.
void WriteLineChecked(TTextFile& file, std::string_view text);
// Closes (committing a rewrite); "disk full" / "file close error" and AbortFlag on failure.
void CloseChecked(TTextFile& file);
