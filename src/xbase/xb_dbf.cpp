// The table dataset component on the library core.
#include "xbase/xb_dbf.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "xbase/dbf_file.h"
#include "xbase/locking.h"
#include "xbase/work_areas.h"
#include "xbase/xbase_dates.h"
#include "xbase/xbase_errors.h"
#include "xbase/xbase_utils.h"

std::string LogicalTrueText = "yes";
std::string LogicalFalseText = "no";

namespace {

bool Editing(TDataSetState state) {
  return state == TDataSetState::dsEdit || state == TDataSetState::dsInsert ||
         state == TDataSetState::dsSetKey;
}

}  // namespace

void LoadLogicalTexts() {
  LogicalTrueText = OemToAnsiStr("yes").substr(0, 20);
  LogicalFalseText = OemToAnsiStr("no").substr(0, 20);
  DateModeFromFormat();
}

TXbDbf::~TXbDbf() {
  if (Active()) {
    const bool handling = SetErrorHandling(false);
    Close();
    SetErrorHandling(handling);
  }
}

bool TXbDbf::CheckDataset(const std::string& routine) {
  if (!Active() || !WorkAreaAt(workArea_)) {
    SetError(215, "No database in use [" + routine + "]  WorkArea = " + std::to_string(workArea_));
    return false;
  }
  CurrentArea = static_cast<std::uint8_t>(workArea_);
  return true;
}

void TXbDbf::ReadBuffers() {
  const WorkAreaRecord* area = WorkAreaAt(workArea_);
  if (!area || !area->typedBuffer) return;
  activeBuffer_.assign(area->typedBuffer, area->typedBuffer + area->typedSize);
}

void TXbDbf::RefreshFromCore() {
  // A move that reached its record but found damage in it (or a table cut short) shows that
  // record with its stand-ins; only a move that failed leaves the dataset as it was.
  const WorkAreaRecord* area = WorkAreaAt(workArea_);
  const bool onLoadedRecord =
      area && area->loadedRecord >= 1 && area->loadedRecord == area->recordNumber;
  if (XbaseErrorCode != 0 && !onLoadedRecord) return;
  if (Editing(state_)) state_ = TDataSetState::dsBrowse;
  if (s_IsEmptyDbf()) {
    ClearActiveBuffer();
    bof_ = eof_ = true;
    recordPresent_ = false;
  } else {
    bof_ = eof_ = false;
    recordPresent_ = true;
    ReadBuffers();
  }
}

bool TXbDbf::Open() {
  if (Active()) return true;
  Select(0);
  if (WorkAreaAt(CurrentArea)) return false;  // no free work area
  const int area = CurrentArea;
  if (!UseDbf(tableName_, Exclusive, ReadOnly)) {
    // A table that opened but failed after (its memo file) is not left open behind the caller.
    const std::uint16_t code = XbaseErrorCode;
    if (WorkAreaAt(area)) {
      const bool handling = SetErrorHandling(false);
      CloseArea();
      SetErrorHandling(handling);
    }
    XbaseErrorCode = code;
    if (XbaseErrorCode == 0) SetError(2, "File:  " + tableName_ + " [Open]");
    return false;
  }
  workArea_ = area;
  // The program holds its texts in the DOS code page, as an OEM table does: no translation.
  WorkAreas[area]->oem = false;
  state_ = TDataSetState::dsBrowse;
  internalPositioning_ = true;
  // The open's report about the whole table (a copy cut short) stands, with its message.
  const std::uint16_t tableCode = WorkAreas[area]->openCode;
  const std::uint16_t pending = PendingErrorCode;
  const std::string message = XbaseErrorMessage;
  // Whatever the record the table opens on holds, the open succeeds: that is the record's.
  const std::uint16_t held = HoldDamage([this] {
    SetIgnoreDel(hideDeletedRecs_);
    SettleOnVisibleRecord();
  });
  if (tableCode != 0 && XbaseErrorCode == held) {
    XbaseErrorCode = tableCode;
    PendingErrorCode = pending;
    XbaseErrorMessage = message;
  }
  internalPositioning_ = false;
  activeBuffer_.assign(WorkAreas[area]->typedSize, 0);
  RefreshFromCore();
  return true;
}

void TXbDbf::Close() {
  if (!Active()) return;
  if (Editing(state_)) Post();
  if (WorkAreaAt(workArea_)) {
    CurrentArea = static_cast<std::uint8_t>(workArea_);
    CloseArea();
  }
  workArea_ = 0;
  appendRefused_ = false;
  state_ = TDataSetState::dsInactive;
  activeBuffer_.clear();
  bof_ = eof_ = true;
  recordPresent_ = false;
}

void TXbDbf::SetTableName(const std::string& name) {
  const bool wasActive = Active();
  if (wasActive) Close();
  std::string trimmed = AllTrim(name);
  if (!trimmed.empty() && trimmed.back() != '.') trimmed = ForceDefaultExt(trimmed, "DBF");
  tableName_ = trimmed;
  if (wasActive) Open();
}

void TXbDbf::SetHideDeletedRecs(bool flag) {
  if (flag == hideDeletedRecs_) return;
  hideDeletedRecs_ = flag;
  if (Active() && !internalPositioning_ && WorkAreaAt(workArea_)) {
    Select(workArea_);
    SetIgnoreDel(flag);
    SettleOnVisibleRecord();
    RefreshFromCore();
  }
}

void TXbDbf::AppendRec() {
  if (!CheckDataset("AppendRec")) return;
  appendRefused_ = false;
  Append();
  if (XbaseErrorCode != 0) {
    // The setters that follow would otherwise edit and post the record the cursor is on.
    appendRefused_ = true;
    return;
  }
  SettleOnVisibleRecord();
  RefreshFromCore();
}

void TXbDbf::Go(std::int32_t n) {
  if (!CheckDataset("Go")) return;
  appendRefused_ = false;
  ::Go(n);
  RefreshFromCore();
}

void TXbDbf::SField(int n, std::string& text) {
  if (!CheckDataset("SField")) return;
  text = FieldAsText(n);
}

bool TXbDbf::ALock() {
  if (!CheckDataset("ALock")) return false;
  return ::ALock();
}

void TXbDbf::UnLock() {
  if (!CheckDataset("UnLock")) return;
  Unlock();
}

bool TXbDbf::s_IsEmptyDbf() {
  if (!CheckDataset("s_IsEmptyDbf")) return true;
  return dBOF() && dEOF();
}

int TXbDbf::GetRecordCount() {
  if (!CheckDataset("GetRecordCount")) return 0;
  return RecCount();
}

std::int32_t TXbDbf::RecNo() {
  if (!CheckDataset("RecNo")) return 0;
  return ::RecNo();
}

int TXbDbf::FieldOfName(const std::string& name, const std::string& routine) {
  if (!CheckDataset(routine)) return 0;
  const int n = FieldNumber(name.substr(0, 10));
  if (n == 0) SetError(220, "Field not found: " + name.substr(0, 10) + " [" + routine + "]");
  return n;
}

unsigned char* TXbDbf::ActiveSlot(int n) {
  const WorkAreaRecord* area = WorkAreaAt(workArea_);
  if (!area || n < 1 || n > area->fieldCount) return nullptr;
  std::size_t at = 1;
  for (int i = 0; i < n - 1; ++i) at += TypedSlotSize(area->fields[i]);
  if (activeBuffer_.size() < area->typedSize) activeBuffer_.resize(area->typedSize, 0);
  return activeBuffer_.data() + at;
}

bool TXbDbf::GetFieldLogical(const std::string& name) {
  const int n = FieldOfName(name, "GetFieldLogical");
  if (n == 0) return false;
  const unsigned char* slot = ActiveSlot(n);
  const char type = FieldType(n);
  if (type == 'L') return slot[0] != 0;
  if (type == 'C') {
    const std::string text =
        UpperAscii(AllTrim(std::string(reinterpret_cast<const char*>(slot + 1), slot[0])));
    return text == UpperAscii(LogicalTrueText) || text == "TRUE" || text == "T" || text == "Y";
  }
  return false;
}

bool TXbDbf::EnsureEditing() {
  if (appendRefused_) return false;
  if (!Editing(state_)) Edit();
  return Editing(state_);
}

void TXbDbf::SetFieldString(const std::string& name, const std::string& text) {
  const int n = FieldOfName(name, "SetFieldString");
  if (n == 0 || !EnsureEditing()) return;
  unsigned char* slot = ActiveSlot(n);
  const WorkAreaRecord* area = WorkAreaAt(workArea_);
  const FieldDescriptor& f = area->fields[n - 1];
  if (f.type == 'C') {
    std::string value = text.substr(0, f.length);
    value.resize(f.length, ' ');
    slot[0] = f.length;
    std::memcpy(slot + 1, value.data(), value.size());
  } else if (f.type == 'D') {
    const std::string value = text.substr(0, 10);
    slot[0] = static_cast<unsigned char>(value.size());
    std::memcpy(slot + 1, value.data(), value.size());
  } else if (f.type == 'N' || f.type == 'F') {
    double value = 0;
    if (!ParseFieldNumber(text, value)) {
      SetError(106,
               "\"" + AllTrim(text) + "\" for field " + std::string(f.name) + " [SetFieldString]");
      return;
    }
    SetFieldFloat(name, value);
  } else if (f.type == 'L') {
    const std::string upper = UpperAscii(AllTrim(text));
    slot[0] = (!upper.empty() && (upper[0] == 'T' || upper[0] == 'Y')) ? 1 : 0;
  }
}

void TXbDbf::SetFieldLogical(const std::string& name, bool flag) {
  const int n = FieldOfName(name, "SetFieldLogical");
  if (n == 0 || !EnsureEditing()) return;
  const WorkAreaRecord* area = WorkAreaAt(workArea_);
  const FieldDescriptor& f = area->fields[n - 1];
  if (f.type == 'L')
    ActiveSlot(n)[0] = flag ? 1 : 0;
  else if (f.type == 'C')
    SetFieldString(name, flag ? "T" : "F");
}

void TXbDbf::SetFieldInteger(const std::string& name, std::int32_t value) {
  SetFieldFloat(name, static_cast<double>(value));
}

void TXbDbf::SetFieldFloat(const std::string& name, double x) {
  const int n = FieldOfName(name, "SetFieldFloat");
  if (n == 0 || !EnsureEditing()) return;
  const WorkAreaRecord* area = WorkAreaAt(workArea_);
  const FieldDescriptor& f = area->fields[n - 1];
  unsigned char* slot = ActiveSlot(n);
  if (f.type != 'N' && f.type != 'F') return;
  if (f.decimals > 0) {
    std::memcpy(slot, &x, sizeof x);
  } else {
    PutSlotInteger(f, slot, SlotIntegerOf(x));
  }
}

void TXbDbf::ClearActiveBuffer() {
  std::fill(activeBuffer_.begin(), activeBuffer_.end(), 0);
}

void TXbDbf::First() {
  if (!CheckDataset("First")) return;
  appendRefused_ = false;
  if (Editing(state_)) Post();
  if (Editing(state_)) return;  // the pending edit could not be stored
  GoTop();
  RefreshFromCore();
  bof_ = true;
}

void TXbDbf::Last() {
  if (!CheckDataset("Last")) return;
  appendRefused_ = false;
  if (Editing(state_)) Post();
  if (Editing(state_)) return;  // the pending edit could not be stored
  const std::int32_t count = RecCount();
  if (count > 0) {
    ::Go(count);
    if (!RecordVisible()) Skip(-1);
  }
  RefreshFromCore();
  eof_ = recordPresent_ ? true : eof_;
}

void TXbDbf::Next() {
  if (!CheckDataset("Next")) return;
  appendRefused_ = false;
  if (Editing(state_)) Post();
  if (Editing(state_)) return;  // the pending edit could not be stored
  const std::int32_t before = ::RecNo();
  Skip(1);
  if (dEOF()) {
    // Stay on the last record, as a dataset cursor does.
    GoIfValid(before);
    RefreshFromCore();
    eof_ = true;
    return;
  }
  RefreshFromCore();
}

void TXbDbf::Prior() {
  if (!CheckDataset("Prior")) return;
  appendRefused_ = false;
  if (Editing(state_)) Post();
  if (Editing(state_)) return;  // the pending edit could not be stored
  Skip(-1);
  const bool atTop = dBOF();
  RefreshFromCore();
  bof_ = atTop;
}

void TXbDbf::Edit() {
  if (!CheckDataset("Edit") || ReadOnly) return;
  appendRefused_ = false;
  if (Editing(state_)) return;
  ReadBuffers();
  state_ = recordPresent_ ? TDataSetState::dsEdit : TDataSetState::dsInsert;
}

void TXbDbf::Insert() {
  if (!CheckDataset("Insert") || ReadOnly) return;
  appendRefused_ = false;
  if (Editing(state_)) Post();
  if (Editing(state_)) return;  // the pending edit could not be stored
  WorkAreaRecord& area = *WorkAreas[workArea_];
  // The empty record is made in the core's buffers, which then get the current record back.
  const std::vector<unsigned char> typed(area.typedBuffer, area.typedBuffer + area.typedSize);
  const std::vector<unsigned char> raw = area.recordBuffer;
  ClearRecord();
  activeBuffer_.assign(area.typedBuffer, area.typedBuffer + area.typedSize);
  std::copy(typed.begin(), typed.end(), area.typedBuffer);
  area.recordBuffer = raw;
  state_ = TDataSetState::dsInsert;
}

void TXbDbf::Post() {
  if (!CheckDataset("Post")) return;
  WorkAreaRecord& area = *WorkAreas[workArea_];
  if (state_ == TDataSetState::dsEdit) {
    std::copy(activeBuffer_.begin(), activeBuffer_.begin() + area.typedSize, area.typedBuffer);
    const std::int32_t n = area.recordNumber;
    const bool lockHere = SharingOn && !area.exclusive && area.lockState == kLockNone;
    if (lockHere && !RLock(n)) {
      // The record stays as it is in the file; the edit waits for another Post or Cancel.
      SetError(33, "Record " + std::to_string(n) + " is locked by another user (" + area.tableName +
                       ") [Post(" + std::to_string(n) + ")]");
      return;
    }
    StoreFields();
    // A value that does not fit is reported once the record lock is given back; nothing is
    // written, and the edit stays open to be mended or cancelled.
    std::string unfit = std::move(area.unfitField);
    area.unfitField.clear();
    if (unfit.empty()) PutDbfRecord(area, n);
    if (lockHere) UnlockRec(n);
    if (!unfit.empty()) {
      GetDbfRecord(area, n);
      if (XbaseErrorCode == 0) LoadFields();
      area.unfitField = std::move(unfit);
      ReportUnfitField(area, "Post");
      return;
    }
    state_ = TDataSetState::dsBrowse;
  } else if (state_ == TDataSetState::dsInsert) {
    // The core's buffers keep the current record should the new one be refused.
    const std::vector<unsigned char> typed(area.typedBuffer, area.typedBuffer + area.typedSize);
    const std::vector<unsigned char> raw = area.recordBuffer;
    std::copy(activeBuffer_.begin(), activeBuffer_.begin() + area.typedSize, area.typedBuffer);
    const bool lockHere = area.lockState == kLockNone;
    if (lockHere && !::ALock()) {
      SetError(5, "File must be locked to append: " + area.tableName + " [Post]");
      return;
    }
    Append();
    const std::uint16_t refused = XbaseErrorCode;
    if (lockHere) Unlock();
    // A record refused (a value that does not fit) leaves the insert open, and the code stands
    // over the release of the lock taken for it.
    if (refused) {
      std::copy(typed.begin(), typed.end(), area.typedBuffer);
      area.recordBuffer = raw;
      XbaseErrorCode = refused;
      return;
    }
  } else {
    return;
  }
  state_ = TDataSetState::dsBrowse;
  RefreshFromCore();
}

void TXbDbf::Cancel() {
  appendRefused_ = false;
  if (!Editing(state_)) return;
  state_ = TDataSetState::dsBrowse;
  if (recordPresent_)
    ReadBuffers();
  else
    ClearActiveBuffer();
}

std::string TXbDbf::FieldText(const std::string& name) {
  const int n = FieldOfName(name, "FieldText");
  if (n == 0) return {};
  // The active buffer's value, formatted as the core formats the typed buffer.
  WorkAreaRecord& area = *WorkAreas[workArea_];
  std::vector<unsigned char> saved(area.typedBuffer, area.typedBuffer + area.typedSize);
  std::copy(activeBuffer_.begin(), activeBuffer_.begin() + area.typedSize, area.typedBuffer);
  std::string text = FieldAsText(n);
  std::copy(saved.begin(), saved.end(), area.typedBuffer);
  return text;
}

std::uint16_t TXbDbf::RecordDamage() {
  WorkAreaRecord* area = WorkAreaAt(workArea_);
  if (!area || area->loadedRecord != area->recordNumber) return 0;
  // The record's bytes read again into a scratch copy of the fields: the buffers stay as shown.
  std::vector<unsigned char> scratch(area->typedSize);
  RecordToFields(*area, scratch.data());
  area->unreadableField.clear();
  area->unreadableNote.clear();
  return std::exchange(area->unreadableCode, 0);
}

std::uint16_t TXbDbf::HoldDamage(const std::function<void()>& move) {
  const bool handling = SetErrorHandling(false);
  XbaseErrorCode = 0;
  move();
  SetErrorHandling(handling);
  const std::uint16_t code = XbaseErrorCode;
  if (code != 0 && code != RecordDamage()) {
    if (handling) HandleError();
    return 0;
  }
  return code;
}
