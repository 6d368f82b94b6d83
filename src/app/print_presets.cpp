// Print presets in "printout.dbf" and the table procedures behind the table form.
#include "app/print_presets.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/file_utils.h"
#include "common/formatting.h"
#include "common/message_list.h"
#include "common/program_state.h"
#include "platform/file_writer.h"
#include "xbase/dbf_file.h"
#include "xbase/locking.h"
#include "xbase/work_areas.h"
#include "xbase/xb_dbf.h"
#include "xbase/xbase_dates.h"
#include "xbase/xbase_errors.h"

std::uint16_t PresetRecordNumber = 0;

namespace {

constexpr int kHelpPresetTable = 1040;
constexpr char kWriteCheckFile[] = "TEST.$$$";

TTableForm* InstalledForm = nullptr;
std::string FirstTitle;
std::string SecondTitle;

std::string Cut10(const std::string& name) {
  return name.substr(0, 10);
}

// Read-only for us, or without any write permission (root may write such a file, but its
// owner meant it to stay as it is).
bool TableReadOnly(const std::string& path) {
  if (HasAllAttributes(path, kFaReadOnly)) return true;
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && (st.st_mode & 0222) == 0;
}

// The check file is created new, never through an entry that is already there (a leftover or a
// link planted by someone else), so the check changes nothing it did not make. When the name is
// taken, a probe of a unique name answers instead.
bool DirectoryTakesFiles(const std::string& dir) {
  const std::string probe = AddBackslash(dir) + kWriteCheckFile;
  const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return errno == EEXIST && CheckDirWritable(dir);
  static constexpr char kText[] = "DBF Write Check\n";
  const bool written = write(fd, kText, sizeof kText - 1) == static_cast<ssize_t>(sizeof kText - 1);
  const bool closed = close(fd) == 0;
  unlink(probe.c_str());
  return written && closed;
}

void MakeWritable(const std::string& path) {
  std::error_code ec;
  std::filesystem::permissions(
      path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
      std::filesystem::perm_options::add, ec);
}

std::string Trimmed(std::string text) {
  TrimInPlace(text);
  return text;
}

// A pending edit of the dataset is stored first (Post leaves a dataset in browse state alone);
// false when it could not be.
bool EndPendingEdit(TXbDbf& dataset) {
  dataset.Post();
  return dataset.State() == TDataSetState::dsBrowse;
}

// Opens the dataset. Damage inside the record it opens on is that record's, told where the form
// shows the record: the open succeeded, and no code of it stands.
bool OpenDataset(TXbDbf& dataset) {
  if (!dataset.Open()) return false;
  if (XbaseErrorCode == dataset.RecordDamage()) XbaseErrorCode = 0;
  return true;
}

// (Re)opens the dataset shared or exclusive; when quiet, library errors are not shown and their
// code is left to the caller. True when the table opened without an error.
bool ReopenDataset(TXbDbf& dataset, bool exclusive, bool quiet, std::uint16_t& code) {
  dataset.Close();
  dataset.Exclusive = exclusive;
  XbaseErrorCode = 0;
  const bool handling = quiet ? SetErrorHandling(false) : ErrorHandlingOn;
  const bool opened = OpenDataset(dataset) && XbaseErrorCode == 0;
  code = XbaseErrorCode;
  SetErrorHandling(handling);
  return opened;
}

// The table of an area held exclusively, rewritten without its deleted records. newNumber gets,
// for each old record number, the new one (0: removed). Empty when done (or nothing to do),
// else why the file was left as it was.
std::string RewriteWithoutDeleted(const WorkAreaRecord& area,
                                  std::vector<std::int32_t>& newNumber) {
  const std::size_t head = area.headerLength;
  const std::size_t length = area.recordLength;
  const std::int32_t count = area.recordCount;
  std::string bytes(head + length * static_cast<std::size_t>(count), '\0');
  std::size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n =
        pread(area.fileHandle, bytes.data() + got, bytes.size() - got, static_cast<off_t>(got));
    if (n <= 0) return "it cannot be read whole";
    got += static_cast<std::size_t>(n);
  }
  newNumber.assign(static_cast<std::size_t>(count) + 1, 0);
  std::string packed = bytes.substr(0, head);
  std::int32_t kept = 0;
  for (std::int32_t r = 1; r <= count; ++r) {
    const std::size_t at = head + length * static_cast<std::size_t>(r - 1);
    if (bytes[at] == '*') continue;
    packed.append(bytes, at, length);
    newNumber[static_cast<std::size_t>(r)] = ++kept;
  }
  if (kept == count) return {};
  packed.push_back(static_cast<char>(EofMarker));
  // The header tells the new count and the day of the change, where its version keeps them.
  int year = 0, month = 0, day = 0, dayOfWeek = 0;
  GetDate(year, month, day, dayOfWeek);
  const auto byte = [](long value) { return static_cast<char>(value & 0xFF); };
  if (IsDbase2(area)) {
    packed[1] = byte(kept);
    packed[2] = byte(kept >> 8);
    packed[3] = byte(month);
    packed[4] = byte(day);
    packed[5] = byte(year - 1900);
  } else {
    packed[1] = byte(year - 1900);
    packed[2] = byte(month);
    packed[3] = byte(day);
    for (int i = 0; i < 4; ++i) packed[4 + i] = byte(static_cast<long>(kept) >> (8 * i));
  }
  const int err = platform::WriteWholeFile(area.path, packed);
  if (err != 0)
    return "no new file can be written in " + NameText(DirPart(area.path)) + " (" +
           std::strerror(err) + ")";
  return {};
}

}  // namespace

void InstallTableForm(TTableForm* form) {
  InstalledForm = form;
}

TTableForm* InstalledTableForm() {
  return InstalledForm;
}

TXbDbf& TableDataset() {
  static TXbDbf dataset;
  return dataset;
}

// ---------------------------------------------------------------------------------------------
// Table procedures

void DbTableOpen(const std::string& path) {
  CursorWait();
  TXbDbf& dataset = TableDataset();
  dataset.Exclusive = false;
  dataset.ReadOnly = false;
  dataset.SetTableName(path);
  if (!OpenDataset(dataset) && XbaseErrorCode == 0) {
    // No free work area or a failure the library did not report: still a failure.
    ErrorMessage("file " + NameText(path) + " not found or no access !");
    AbortFlag = true;
  }
  if (InstalledForm) InstalledForm->SetFileLabel(path);
  CursorArrow();
}

void DbTableOpenChecked(const std::string& tableName) {
  std::string name = tableName;
  if (name.find('.') == std::string::npos) name += ".dbf";
  const std::string dbfDir = AddBackslash(ProgramSettings.dbfDirectory);
  const std::string path = dbfDir + name;
  CheckFileExists(path);
  if (AbortFlag) return;
  const bool writable = DirectoryTakesFiles(dbfDir.empty() ? std::string(".") : dbfDir);
  if (writable && !TableReadOnly(path)) {
    DbTableOpen(path);
    return;
  }
  const std::string temp = PrivateTempDir();
  if (temp.empty()) {
    ErrorMessage("No temporary directory for " + NameText(path));
    AbortFlag = true;
    return;
  }
  CopyFiles(name, dbfDir.empty() ? std::string(".") : dbfDir, temp);
  if (AbortFlag) return;
  MakeWritable(temp + name);
  DbTableOpen(temp + name);
}

void DbTableSetTitles(const std::string& first, const std::string& second) {
  FirstTitle = DosToWin(first);
  SecondTitle = DosToWin(second);
  if (InstalledForm) InstalledForm->SetTitles(FirstTitle, SecondTitle);
}

TTableFormMode DbfFormMode(const std::string& parameter, int mode) {
  TTableFormMode look;
  look.titleMenuCaption = SecondTitle;
  look.closeFlag = parameter == "CLOSE";
  const std::string table = TableDataset().TableName();
  if (mode == 1 || mode == 4 || mode == 5) {
    look.caption = SecondTitle + "   " + FirstTitle;
    look.browseOnly = true;
    if (mode == 1) look.hideDeleted = true;
    if (mode == 4) look.hideDeleted = false;
  } else {
    look.caption = SecondTitle + "  " + FirstTitle + "  (" + table + ")";
    look.hideDeleted = false;
    const std::string temp = PrivateTempDir();
    if (!temp.empty() && DirPart(table) == temp)
      look.tempDirectoryMessage =
          DosToWin("No Write Access for dbf directory !  Temp directory used.");
  }
  return look;
}

void DbTableSetMode(const std::string& parameter, int mode) {
  const TTableFormMode look = DbfFormMode(parameter, mode);
  if (look.hideDeleted && TableDataset().Active())
    TableDataset().SetHideDeletedRecs(*look.hideDeleted);
  if (!look.tempDirectoryMessage.empty()) InfoMessage(look.tempDirectoryMessage);
  if (!InstalledForm) {
    AbortFlag = true;  // nobody can choose
    return;
  }
  InstalledForm->ShowModal(look);
}

void DbTableGo(std::int32_t n) {
  const std::int32_t count = DbTableRecordCount();
  if (n > count) {
    AddError("DBF #" + std::to_string(n) + " not found.");
    n = count;
  }
  if (n < 1 || n > count) n = 1;
  // Damage inside the record reached is told where the form shows the record.
  TXbDbf& dataset = TableDataset();
  dataset.HoldDamage([&dataset, n] { dataset.Go(n); });
}

std::int32_t DbTableRecNo() {
  return TableDataset().RecNo();
}

std::int32_t DbTableRecordCount() {
  return TableDataset().GetRecordCount();
}

void DbTableGetField(int n, std::string& text) {
  TableDataset().SField(n, text);
}

bool DbTableGetLogical(const std::string& fieldName) {
  return TableDataset().GetFieldLogical(Cut10(fieldName));
}

void DbTableSetString(const std::string& fieldName, const std::string& value) {
  TableDataset().SetFieldString(Cut10(fieldName), value);
}

void DbTableSetFloat(const std::string& fieldName, double value) {
  TableDataset().SetFieldFloat(Cut10(fieldName), value);
}

void DbTableSetInteger(const std::string& fieldName, std::int32_t value) {
  TableDataset().SetFieldInteger(Cut10(fieldName), value);
}

void DbTableSetLogical(const std::string& fieldName, bool value) {
  TableDataset().SetFieldLogical(Cut10(fieldName), value);
}

bool DbTableAppend() {
  TXbDbf& dataset = TableDataset();
  if (!dataset.ALock()) return false;
  const std::int32_t before = dataset.GetRecordCount();
  dataset.AppendRec();
  dataset.UnLock();
  return XbaseErrorCode == 0 && dataset.GetRecordCount() == before + 1;
}

void DbTableClose() {
  TableDataset().Close();
  CursorArrow();
}

bool DbTableDeleted() {
  const TXbDbf& dataset = TableDataset();
  return dataset.Active() && dataset.RecordPresent() && !dataset.ActiveBuffer().empty() &&
         dataset.ActiveBuffer()[0] != 0;
}

bool DbTableSetDeleted(bool deleted) {
  TXbDbf& dataset = TableDataset();
  if (!dataset.Active() || !dataset.RecordPresent() || !EndPendingEdit(dataset)) return false;
  const std::int32_t n = dataset.RecNo();
  Select(dataset.WorkArea());
  const WorkAreaRecord& area = *CurrentWorkArea();
  const bool lockHere = SharingOn && !area.exclusive && area.lockState == kLockNone;
  if (lockHere && !RLock(n)) {
    ErrorMessage("Record " + std::to_string(n) +
                 " is locked by another user: " + (deleted ? "not deleted." : "not recalled."));
    return false;
  }
  XbaseErrorCode = 0;
  Poke(deleted ? "*" : " ", 0, n);
  const bool done = XbaseErrorCode == 0;
  if (lockHere) UnlockRec(n);
  dataset.HoldDamage([&dataset, n] { dataset.Go(n); });  // the mark as the file now holds it
  return done;
}

bool DbTablePack() {
  TXbDbf& dataset = TableDataset();
  if (!dataset.Active() || !EndPendingEdit(dataset)) return false;
  const std::string path = WorkAreaAt(dataset.WorkArea())->path;
  const std::int32_t current = dataset.RecordPresent() ? dataset.RecNo() : 0;
  const bool wasExclusive = dataset.Exclusive;
  std::uint16_t code = 0;
  std::string why;
  std::vector<std::int32_t> newNumber;
  // Records move: no other program may hold the table open meanwhile.
  if (!ReopenDataset(dataset, true, true, code)) {
    why = code == 32 ? "it is in use by another program"
                     : "it cannot be opened alone (" + ErrorCodeText(code) + ")";
  } else {
    why = RewriteWithoutDeleted(*WorkAreaAt(dataset.WorkArea()), newNumber);
  }
  const bool packed = why.empty();
  // The memo file keeps the memos of the removed records until it is packed too.
  if (packed && ReopenDataset(dataset, true, true, code) &&
      WorkAreaAt(dataset.WorkArea())->hasMemo && MemoHooks.packMemofile) {
    Select(dataset.WorkArea());
    MemoHooks.packMemofile();
  }
  ReopenDataset(dataset, wasExclusive, false, code);
  if (!why.empty()) {
    ErrorMessage("Pack not done, the table is unchanged: " + NameText(path) + ": " + why + ".");
    if (dataset.Active() && current > 0) dataset.HoldDamage([&] { dataset.Go(current); });
    return false;
  }
  const auto follow = [&newNumber](std::int32_t old) {
    return old > 0 && static_cast<std::size_t>(old) < newNumber.size()
               ? newNumber[static_cast<std::size_t>(old)]
               : old;
  };
  if (packed) PresetRecordNumber = static_cast<std::uint16_t>(follow(PresetRecordNumber));
  // The record shown stays shown; a removed one gives way to the next that remains.
  std::int32_t show = current;
  if (packed) {
    show = 0;
    for (std::size_t r = static_cast<std::size_t>(current); r < newNumber.size() && !show; ++r)
      show = newNumber[r];
    if (!show) show = dataset.Active() ? dataset.GetRecordCount() : 0;
  }
  if (dataset.Active() && show > 0) dataset.HoldDamage([&] { dataset.Go(show); });
  return dataset.Active();
}

// ---------------------------------------------------------------------------------------------
// The presets

void OpenPresetTable() {
  AbortFlag = false;
  // An error of an earlier operation must not hold back this one's dataset.
  XbaseErrorCode = 0;
  const std::string path = AddBackslash(ConfigVariables.PresetDirectory) + kPresetTableName;
  if (FileExistsIO(path)) {
    DbTableOpen(path);
    return;
  }
  // The table ships with the program's data, where the default DBF directory finds it; the
  // program never makes one of its own.
  DbTableOpenChecked("printout");
}

bool LoadPreset(TPresetDialogValues& values) {
  OpenPresetTable();
  bool loaded = false;
  if (!AbortFlag) {
    DbTableSetTitles("Printout", "");
    if (PresetRecordNumber > 0) DbTableGo(PresetRecordNumber);
    SetHelpNumber(kHelpPresetTable);
    DbTableSetMode("", 0);
    if (!AbortFlag && DbTableRecordCount() > 0 && TableDataset().RecordPresent()) {
      // The chosen record read afresh: a number field holding no number refuses the preset
      // with the field named, rather than setting the dialog to 0.
      XbaseErrorCode = 0;
      TableDataset().Go(DbTableRecNo());
      TPresetDialogValues read = values;
      std::string text;
      DbTableGetField(2, text);
      read.scaleX = Trimmed(text);
      DbTableGetField(3, text);
      read.scaleY = Trimmed(text);
      DbTableGetField(4, text);
      read.originX = Trimmed(text);
      DbTableGetField(5, text);
      read.originY = Trimmed(text);
      read.orientationIndex = DbTableGetLogical("landscape") ? 1 : 0;
      read.printModeIndex = DbTableGetLogical("monochrom") ? 0 : 1;
      read.fitLimits = DbTableGetLogical("variable");
      read.borderLine = DbTableGetLogical("borderline");
      const std::int32_t recNo = DbTableRecNo();
      // Nothing half read reaches the dialog.
      if (!AbortFlag && XbaseErrorCode == 0) {
        PresetRecordNumber = static_cast<std::uint16_t>(recNo);
        values = read;
        loaded = true;
      }
    }
  }
  DbTableClose();
  AbortFlag = false;
  return loaded;
}

bool StorePreset(const TPresetDialogValues& values) {
  OpenPresetTable();
  bool stored = false;
  if (!AbortFlag) {
    std::string name;
    InputText("Name", kPresetNameLength, name);
    TXbDbf& dataset = TableDataset();
    if (!AbortFlag) {
      if (!dataset.ALock()) {
        // Without the new record the values would overwrite the current preset.
        if (XbaseErrorCode == 0)
          ErrorMessage("Preset not stored: the table is locked by another user.");
        AbortFlag = true;
      } else {
        // The values go into a new record that reaches the file only whole: a value that does
        // not fit its field is refused, and nothing is appended.
        dataset.Insert();
        DbTableSetString("name", name);
        DbTableSetFloat("xscale", static_cast<double>(StrToReal(values.scaleX)));
        DbTableSetFloat("yscale", static_cast<double>(StrToReal(values.scaleY)));
        DbTableSetInteger("xorigin", StrToInteger(values.originX));
        DbTableSetInteger("yorigin", StrToInteger(values.originY));
        DbTableSetLogical("landscape", values.orientationIndex == 1);
        DbTableSetLogical("monochrom", values.printModeIndex == 0);
        DbTableSetLogical("variable", values.fitLimits);
        DbTableSetLogical("borderline", values.borderLine);
        dataset.Post();
        stored = !AbortFlag && XbaseErrorCode == 0;
        if (!stored) dataset.Cancel();
        dataset.UnLock();
      }
    }
  }
  DbTableClose();
  return stored;
}

// ---------------------------------------------------------------------------------------------
// Library errors

void PresetTableErrorHook() {
  if (XbaseErrorCode == 0) return;
  // The library's texts are ASCII around the table's name, which is shown as the file system
  // gives it (a text from an older table in the code page is converted once).
  const std::string text = NameText(NameFromFile(LastErrorMessage()));
  AbortFlag = true;
  ErrorMessage(text);
}

void InitPrintPresets() {
  PresetRecordNumber = 0;
  XbaseErrorHook = PresetTableErrorHook;
}
