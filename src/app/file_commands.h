// The File menu's data-set commands (New, Open, Save, Save As, the four recent files) and the
// list of recently used data files behind the recent-file menu items. The commands know the
// main window only through hooks, so they run and are tested without a window.
//
// Every command clears AbortFlag where it starts and stops quietly at the first step that sets
// it. Commands that replace the data set ask about unsaved changes first.
#pragma once

#include <functional>
#include <string>
#include <string_view>

// What the commands need of the main window. An empty hook is skipped; an empty dialog hook
// means the dialog is not offered (the step is passed as confirmed).
struct TFileCommandHooks {
  // Caption with the current file name, then the recent-file items.
  std::function<void()> UpdateTitle;
  // Only the recent-file items (a vanished recent file was dropped).
  std::function<void()> UpdateRecentFileItems;
  // After a calculation: the message item's count, then the result picture.
  std::function<void()> UpdateErrorMessageItem;
  // New: the drawing texts dialog and the dimension dialog; Cancel sets AbortFlag.
  std::function<void()> EditDrawingTexts;
  std::function<void()> EditDimensions;
};

// New data set: the save question; the template "null" of the data directory (the example joint
// when there is none or it cannot be read); no file name, no change records, no drawing texts,
// an empty picture; the two dialogs; calculation and result picture. Marked modified only when
// both dialogs were confirmed.
void FileNew(const TFileCommandHooks& hooks);
// The save question, then a data file chosen in the open dialog. A file that cannot be read
// leaves the data set, its name and the recent list as they were.
void FileOpen(const TFileCommandHooks& hooks);
// Saves under the current name without asking; without a current name as Save As, but the file
// does not join the recent list.
void FileSave(const TFileCommandHooks& hooks);
// Saves under a name chosen in the save dialog; the file joins the recent list. A declined or
// failed save keeps the current name and directory.
void FileSaveAs(const TFileCommandHooks& hooks);
// Recent file n (1 to 4): the save question, then the file, which moves to the top of the list.
// A file that no longer exists is dropped from the list with a message.
void OpenRecentFile(const TFileCommandHooks& hooks, int n);

// ---------------------------------------------------------------------------------------------
// The recent-file list (ConfigVariables.RecentFiles: four full names, newest first)

// Puts DataDirectory + name + "." + data-file extension at the top; an entry equal to it
// (ignoring case) is removed first, the fourth entry drops out.
void AddRecentFile(std::string_view name);
// Entries after n move up one; the last becomes empty.
void RemoveRecentFile(int n);
// A path of 50 characters or more as its text up to the first "/", "..." and its text from the
// last "/"; shorter paths, and paths with fewer than two "/", unchanged.
std::string ShortenPathForMenu(std::string_view path);

// What the menu shows for recent file n: hidden when the entry is empty, else the caption
// "&" + n + " " + the shortened path.
struct TRecentFileItemState {
  bool visible = false;
  std::string caption;
};
TRecentFileItemState RecentFileItemState(int n);
// The separator before Exit is shown while the list holds a file.
bool RecentFileSeparatorVisible();
