// Print presets: named sets of the print dialog's values kept in the table "printout.dbf", the
// places the table is looked for, and the table procedures that drive the one table form and
// its dataset. The form itself is a window; here it is only the interface the procedures call.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

class TXbDbf;

// Record number of the preset chosen last; 0 means none.
extern std::uint16_t PresetRecordNumber;

constexpr char kPresetTableName[] = "printout.dbf";
constexpr int kPresetNameLength = 25;

// How the table form is to look for one showing (mode and titles worked out).
struct TTableFormMode {
  std::string caption;
  std::string titleMenuCaption;
  bool browseOnly = false;          // navigator with four buttons, no editing, menu entries hidden
  std::optional<bool> hideDeleted;  // empty: leave the dataset's setting
  bool closeFlag = false;
  std::string tempDirectoryMessage;  // shown before the form opens when not empty
};

// The table form as the table procedures need it. The window installs itself; without one
// (no windows, or a run without a person) showing the form cancels.
class TTableForm {
 public:
  virtual ~TTableForm() = default;
  virtual void SetFileLabel(const std::string& path) = 0;
  // Texts for display (already converted from the DOS code page).
  virtual void SetTitles(const std::string& first, const std::string& second) = 0;
  // Shows the form modally: OK returns with the chosen record current and AbortFlag clear,
  // Cancel sets AbortFlag.
  virtual void ShowModal(const TTableFormMode& mode) = 0;
};
void InstallTableForm(TTableForm* form);
TTableForm* InstalledTableForm();

// The table form's dataset (one for the program).
TXbDbf& TableDataset();

// ---------------------------------------------------------------------------------------------
// Table procedures

void DbTableOpen(const std::string& path);
void DbTableOpenChecked(const std::string& tableName);
void DbTableSetTitles(const std::string& first, const std::string& second);
void DbTableSetMode(const std::string& parameter, int mode);
// The form's look for a mode (the caption names the open table).
TTableFormMode DbfFormMode(const std::string& parameter, int mode);
void DbTableGo(std::int32_t n);
std::int32_t DbTableRecNo();
std::int32_t DbTableRecordCount();
void DbTableGetField(int n, std::string& text);
bool DbTableGetLogical(const std::string& fieldName);
void DbTableSetString(const std::string& fieldName, const std::string& value);
void DbTableSetFloat(const std::string& fieldName, double value);
void DbTableSetInteger(const std::string& fieldName, std::int32_t value);
void DbTableSetLogical(const std::string& fieldName, bool value);
// False when the append lock could not be had (nothing appended).
bool DbTableAppend();
void DbTableClose();
// The current record carries the deletion mark.
bool DbTableDeleted();
// Marks the current record deleted (or takes the mark away) in the file, under its record lock;
// false, with the reason told, when the record is held by another program.
bool DbTableSetDeleted(bool deleted);
// Removes the records marked deleted for good: the table is rewritten whole without them (under
// exclusive use, so no other program may have it open) and replaces the old file only when
// complete; a memo file is packed after. The remembered preset follows its record. False, with
// the reason told and the table as it was, when the table is in use or cannot be rewritten.
bool DbTablePack();

// ---------------------------------------------------------------------------------------------
// The presets

// The print dialog's values as its controls hold them.
struct TPresetDialogValues {
  std::string scaleX, scaleY, originX, originY;
  int orientationIndex = 0;  // 0 portrait, 1 landscape
  int printModeIndex = 1;    // 0 monochrome, 1 colour or grey scale
  bool fitLimits = false;
  bool borderLine = false;
};

// Opens the preset table where it is found: the working directory as it is, else the DBF
// directory after a write check, else a copy in the temporary directory. The table is never
// made here (an empty one ships with the program's data); missing everywhere, it is reported.
// AbortFlag tells the outcome.
void OpenPresetTable();
// Lets the user pick a preset and puts it into values; false when nothing was chosen (values
// unchanged). AbortFlag is clear afterwards.
bool LoadPreset(TPresetDialogValues& values);
// Asks for a name and stores the values as a new preset; false when nothing was stored.
bool StorePreset(const TPresetDialogValues& values);

// Library errors of this program: the message is shown and AbortFlag set; the program goes on.
void PresetTableErrorHook();
// Installs the hook; called once at start after the library's Init routines.
void InitPrintPresets();
