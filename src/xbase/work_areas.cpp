// Work areas and the table API of the dBASE table library: area selection, field access,
// navigation with filter, scope and index hooks, appending, Peek and Poke, opening and
// creating tables, and the library core's start-up.
#include "xbase/work_areas.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "xbase/dbf_file.h"
#include "xbase/locking.h"
#include "xbase/xbase_dates.h"
#include "xbase/xbase_errors.h"
#include "xbase/xbase_platform.h"
#include "xbase/xbase_utils.h"

std::array<std::unique_ptr<WorkAreaRecord>, kWorkAreaCount + 1> WorkAreas;
std::uint8_t CurrentArea = 1;
TIndexHooks IndexHooks;
bool IndexUnitPresent = false;
TExprHooks ExprHooks;
TExprResult (*FastEvaluate)() = nullptr;
CompiledExpr* CurrentExpr = nullptr;
bool ParserPresent = false;
TMemoHooks MemoHooks;
void (*VFileDispatcher)(WorkAreaRecord& area) = nullptr;
std::int32_t (*SkipOverride)(std::int32_t& count, bool& boundary) = nullptr;
std::uint16_t SharedOpenMode = 66;
std::uint16_t ExclusiveOpenMode = 18;
std::uint16_t FileMode = 18;
bool LastOpenExclusive = false;
std::uint16_t PeekCacheSize = 0;

namespace {

bool CoreInitialized = false;

// Records of one table read ahead for Peek.
struct TPeekCache {
  std::vector<unsigned char> buffer;
  std::string path;
  std::int32_t firstRecord = 0;
  std::int32_t records = 0;
};
TPeekCache PeekCache;

void DropPeekCache() {
  PeekCache = TPeekCache{};
}

bool IndexActive() {
  return IndexUnitPresent && IndexHooks.indexActive && IndexHooks.indexActive();
}

template <typename F, typename... A>
void CallSlot(F slot, A... args) {
  if (slot) slot(args...);
}

// Slot 23 with 1 on entry and 0 on every way out of a navigation routine.
class TReadSemaphore {
 public:
  TReadSemaphore() : active_(IndexActive() && IndexHooks.setReadSemaphore) {
    if (active_) IndexHooks.setReadSemaphore(true);
  }
  ~TReadSemaphore() {
    if (active_) IndexHooks.setReadSemaphore(false);
  }
  TReadSemaphore(const TReadSemaphore&) = delete;
  TReadSemaphore& operator=(const TReadSemaphore&) = delete;

 private:
  bool active_;
};

int TypedSlotSize(const FieldDescriptor& f) {
  switch (f.type) {
    case 'C':
      return f.length + 1;
    case 'D':
      return f.length + 3;
    case 'N':
    case 'F':
      return f.decimals > 0 ? 8 : 4;
    case 'L':
      return 1;
    case 'M':
      return 4;
    default:
      return 0;
  }
}

bool CheckField(const WorkAreaRecord& area, int n, const std::string& routine, bool allowZero) {
  if ((n >= 1 && n <= area.fieldCount) || (allowZero && n == 0)) return true;
  SetError(220, "Invalid field number. [" + routine + "(" + std::to_string(n) + ")]");
  return false;
}

const FieldDescriptor* FieldOf(int n) {
  WorkAreaRecord* area = CurrentWorkArea();
  if (!area || n < 1 || n > area->fieldCount) return nullptr;
  return &area->fields[n - 1];
}

unsigned char* SlotOf(int n) {
  WorkAreaRecord* area = CurrentWorkArea();
  if (!area || !area->typedBuffer || n < 0 || n > area->fieldCount) return nullptr;
  unsigned char* slot = area->typedBuffer + 1;
  if (n == 0) return area->typedBuffer;
  for (int i = 0; i < n - 1; ++i) slot += TypedSlotSize(area->fields[i]);
  return slot;
}

std::string Quoted(const std::string& name) {
  return "\"" + name + "\"";
}

// Reads record n and loads its fields; false on an error.
bool ReadAndLoad(WorkAreaRecord& area, std::int32_t n) {
  GetDbfRecord(area, n);
  if (XbaseErrorCode != 0) return false;
  LoadFields();
  return true;
}

void GoEmpty(WorkAreaRecord& area) {
  ClearRecord();
  area.recordNumber = area.recordCount + 1;
  area.bof = true;
  area.eof = true;
}

// A filter or scope test: the event, else the compiled expression, else true.
bool EvaluateCondition(const TFilterEvent& event, CompiledExpr* expr) {
  const std::uint8_t saved = CurrentArea;
  bool result = true;
  if (event) {
    result = event();
  } else if (expr && ExprHooks.evaluate) {
    CompiledExpr* handle = expr;
    const TExprResult value = ExprHooks.evaluate(handle);
    result = value && *static_cast<const unsigned char*>(value) != 0;
  }
  CurrentArea = saved;
  return result;
}

std::string FormatFixed(double value, int width, int decimals) {
  char buffer[512];
  std::string text;
  const auto r =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  if (r.ec == std::errc()) text.assign(buffer, r.ptr);
  if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), ' ');
  return text;
}

// The file of a name: as given, else with its extension in upper or in lower case.
std::string ExistingTableFile(const std::string& name) {
  if (FileExistsShort(name)) return name;
  std::string dir, base, ext;
  SplitFileName(name, dir, base, ext);
  std::string lower = ext;
  for (char& c : lower) c = CharLower(c);
  for (const std::string& variant : {UpperAscii(ext), lower}) {
    const std::string candidate = name.substr(0, name.size() - ext.size()) + variant;
    if (FileExistsShort(candidate)) return candidate;
  }
  return name;
}

}  // namespace

WorkAreaRecord* CurrentWorkArea() {
  return WorkAreaAt(CurrentArea);
}

WorkAreaRecord* WorkAreaAt(int area) {
  if (area < 1 || area > kWorkAreaCount) return nullptr;
  return WorkAreas[area].get();
}

std::uint16_t TypedBufferSize(const std::vector<FieldDescriptor>& fields) {
  std::uint32_t size = 1;
  for (const FieldDescriptor& f : fields) size += TypedSlotSize(f);
  return static_cast<std::uint16_t>(std::min<std::uint32_t>(size, 65535));
}

// ---------------------------------------------------------------------------------------------
// Start-up

void InitXbaseCore() {
  if (CoreInitialized) DoneXbaseCore();
  InitXbaseErrors();
  IndexHooks = TIndexHooks{};
  IndexUnitPresent = false;
  ExprHooks = TExprHooks{};
  FastEvaluate = nullptr;
  CurrentExpr = nullptr;
  ParserPresent = false;
  InitXbaseDates();
  InitXbaseLocking();
  CurrentArea = 1;
  FileMode = 18;
  SharedOpenMode = 66;
  ExclusiveOpenMode = 18;
  LastOpenExclusive = false;
  AutoCommit = false;
  PeekCacheSize = 0;
  DropPeekCache();
  for (auto& slot : WorkAreas) slot.reset();
  MemoHooks = TMemoHooks{};
  VFileDispatcher = nullptr;
  SkipOverride = nullptr;
  CoreInitialized = true;
}

void DoneXbaseCore() {
  const bool handling = SetErrorHandling(false);
  for (int area : {34, 35}) {
    CurrentArea = static_cast<std::uint8_t>(area);
    CloseArea();
  }
  CloseAll();
  SetErrorHandling(handling);
  CoreInitialized = false;
}

bool XbaseCoreInitialized() {
  return CoreInitialized;
}

// ---------------------------------------------------------------------------------------------
// Areas

bool CheckDbInUse(const std::string& routine) {
  if (CurrentWorkArea()) return true;
  SetError(215, "No database in use [" + routine + "]  WorkArea = " + std::to_string(CurrentArea));
  return false;
}

void Select(int n) {
  if (n >= 1 && n <= kUserAreaCount) {
    CurrentArea = static_cast<std::uint8_t>(n);
  } else if (n == 0) {
    for (int i = 1; i <= kUserAreaCount; ++i) {
      if (!WorkAreas[i]) {
        CurrentArea = static_cast<std::uint8_t>(i);
        return;
      }
    }
    SetError(220, "No free workarea available [Select(0)]");
  } else {
    SetError(220, "Invalid workarea selected = [Select(" + std::to_string(n) + ")]");
  }
}

std::string AreaName() {
  const WorkAreaRecord* area = CurrentWorkArea();
  return area ? area->tableName : std::string();
}

std::string AreaPath() {
  const WorkAreaRecord* area = CurrentWorkArea();
  return area ? area->path : std::string();
}

void CloseArea() {
  WorkAreaRecord* area = CurrentWorkArea();
  if (!area) return;
  if (IndexActive()) CallSlot(IndexHooks.closeAllIndexes);
  RefreshRecCount();
  Unlock();
  area->spareRecord.clear();
  if (area->hasMemo) CallSlot(MemoHooks.closeMemofile);
  if (!PeekCache.path.empty() && PeekCache.path == area->path) DropPeekCache();
  if (ExprHooks.free) {
    if (area->filterExpr) ExprHooks.free(area->filterExpr);
    if (area->scopeExpr) ExprHooks.free(area->scopeExpr);
  }
  CloseDbf(*area);
  area->typedBuffer = nullptr;
  area->ownTypedStorage.clear();
  WorkAreas[CurrentArea].reset();
}

void CloseAll() {
  for (int i = 1; i <= kUserAreaCount; ++i) {
    CurrentArea = static_cast<std::uint8_t>(i);
    CloseArea();
  }
  CurrentArea = 1;
}

int OpenDbfFile(bool exclusive) {
  WorkAreaRecord* area = CurrentWorkArea();
  if (!CheckDbInUse("OpenDbfFile")) return 215;
  if (area->vfile.isVirtual) return 0;
  if (area->exclusive && !LastOpenExclusive) return 5;
  // Our own open would stand in the way of the new mode: let go of it first.
  XbCloseFile(area->fileHandle);
  std::uint16_t code = 0;
  int fd = XbOpenFile(area->path, exclusive, false, code);
  if (fd < 0) {
    std::uint16_t again = 0;
    fd = XbOpenFile(area->path, area->exclusive, false, again);
    area->fileHandle = fd;
    XbaseErrorCode = code;
    return code;
  }
  area->fileHandle = fd;
  area->exclusive = exclusive;
  LastOpenExclusive = exclusive;
  XbaseErrorCode = 0;
  return 0;
}

std::int32_t RecCount() {
  if (!CheckDbInUse("RecCount")) return 0;
  RefreshRecCount();
  return CurrentWorkArea()->recordCount;
}

std::int32_t RecNo() {
  if (!CheckDbInUse("RecNo")) return 0;
  return CurrentWorkArea()->recordNumber;
}

std::uint16_t RecSize() {
  if (!CheckDbInUse("RecSize")) return 0;
  return CurrentWorkArea()->recordLength;
}

int FieldCount() {
  if (!CheckDbInUse("FieldCount()")) return 0;
  return CurrentWorkArea()->fieldCount;
}

void RefreshRecCount() {
  WorkAreaRecord* area = CurrentWorkArea();
  if (!area || area->vfile.isVirtual || area->exclusive || area->recordLength == 0) return;
  const std::int64_t size = XbFileSize(area->fileHandle);
  if (size < 0) return;
  area->recordCount =
      size > area->headerLength
          ? static_cast<std::int32_t>((size - area->headerLength) / area->recordLength)
          : 0;
}

// ---------------------------------------------------------------------------------------------
// Fields

char FieldType(int n) {
  if (!CheckDbInUse("FieldType()")) return ' ';
  if (!CheckField(*CurrentWorkArea(), n, "FieldType", false)) return ' ';
  return FieldOf(n)->type;
}

int FieldDec(int n) {
  if (!CheckDbInUse("FieldDec()")) return 0;
  if (!CheckField(*CurrentWorkArea(), n, "FieldDec", false)) return 0;
  return FieldOf(n)->decimals;
}

int FieldLen(int n) {
  if (!CheckDbInUse("FieldLen()")) return 0;
  if (!CheckField(*CurrentWorkArea(), n, "FieldLen", false)) return 0;
  const FieldDescriptor* f = FieldOf(n);
  if (f->type == 'D') return CenturyOn ? 10 : 8;
  return f->length;
}

unsigned char* FieldAddress(int n) {
  if (!CheckDbInUse("FieldAddress()")) return nullptr;
  if (!CheckField(*CurrentWorkArea(), n, "FieldAddress", true)) return nullptr;
  return SlotOf(n);
}

int FieldNumber(const std::string& name) {
  const WorkAreaRecord* area = CurrentWorkArea();
  if (!area) return 0;
  const std::string wanted = UpperAscii(AllTrim(name).substr(0, 10));
  for (int i = 0; i < area->fieldCount; ++i)
    if (UpperAscii(area->fields[i].name) == wanted) return i + 1;
  return 0;
}

std::string FieldName(int n) {
  const FieldDescriptor* f = FieldOf(n);
  return f ? std::string(f->name) : std::string();
}

std::string FieldAsText(int n) {
  if (!CheckDbInUse("FieldAsText")) return {};
  if (!CheckField(*CurrentWorkArea(), n, "FieldAsText", false)) return {};
  const FieldDescriptor* f = FieldOf(n);
  const unsigned char* slot = SlotOf(n);
  if (!slot) return {};
  switch (f->type) {
    case 'C':
    case 'D':
      return std::string(reinterpret_cast<const char*>(slot + 1), slot[0]);
    case 'N':
    case 'F': {
      std::string text;
      if (f->decimals > 0) {
        double value = 0;
        std::memcpy(&value, slot, sizeof value);
        text = FormatFixed(value, f->length, f->decimals);
      } else {
        std::int32_t value = 0;
        std::memcpy(&value, slot, sizeof value);
        text = StrWidth(value, f->length);
      }
      if (DecimalPoint != '.') std::replace(text.begin(), text.end(), '.', DecimalPoint);
      return text;
    }
    case 'L':
      return std::string(1, LogicalLetters[slot[0] ? 1 : 0]);
    case 'M': {
      std::int32_t block = 0;
      std::memcpy(&block, slot, sizeof block);
      return block == 0 ? "none" : (block < 0 ? "BLOB" : "MEMO");
    }
    default:
      return {};
  }
}

void LoadFields() {
  WorkAreaRecord* area = CurrentWorkArea();
  if (!area || area->vfile.isVirtual) return;
  RecordToFields(*area, area->typedBuffer);
}

void StoreFields() {
  WorkAreaRecord* area = CurrentWorkArea();
  if (!area || area->vfile.isVirtual) return;
  FieldsToRecord(*area, area->typedBuffer);
}

void ClearRecord() {
  if (!CheckDbInUse("ClearRecord")) return;
  WorkAreaRecord* area = CurrentWorkArea();
  if (area->vfile.isVirtual && area->fields.empty()) {
    std::fill(area->recordBuffer.begin(), area->recordBuffer.end(), 0);
    return;
  }
  area->recordBuffer.assign(area->recordLength, ' ');
  LoadFields();
}

std::string GetFieldText(int n) {
  const FieldDescriptor* f = FieldOf(n);
  const unsigned char* slot = SlotOf(n);
  if (!f || !slot || (f->type != 'C' && f->type != 'D')) return {};
  return std::string(reinterpret_cast<const char*>(slot + 1), slot[0]);
}

void SetFieldText(int n, const std::string& text) {
  const FieldDescriptor* f = FieldOf(n);
  unsigned char* slot = SlotOf(n);
  if (!f || !slot) return;
  if (f->type == 'C') {
    std::string value = text.substr(0, f->length);
    value.resize(f->length, ' ');
    slot[0] = f->length;
    std::memcpy(slot + 1, value.data(), value.size());
  } else if (f->type == 'D') {
    const std::string value = text.substr(0, 10);
    slot[0] = static_cast<unsigned char>(value.size());
    std::memcpy(slot + 1, value.data(), value.size());
  }
}

double GetFieldNumber(int n) {
  const FieldDescriptor* f = FieldOf(n);
  const unsigned char* slot = SlotOf(n);
  if (!f || !slot || (f->type != 'N' && f->type != 'F')) return 0;
  if (f->decimals > 0) {
    double value = 0;
    std::memcpy(&value, slot, sizeof value);
    return value;
  }
  std::int32_t value = 0;
  std::memcpy(&value, slot, sizeof value);
  return value;
}

void SetFieldNumber(int n, double value) {
  const FieldDescriptor* f = FieldOf(n);
  unsigned char* slot = SlotOf(n);
  if (!f || !slot || (f->type != 'N' && f->type != 'F')) return;
  if (f->decimals > 0) {
    std::memcpy(slot, &value, sizeof value);
  } else {
    const double rounded = std::round(value);
    const std::int32_t v = (rounded >= -2147483648.0 && rounded <= 2147483647.0)
                               ? static_cast<std::int32_t>(rounded)
                               : 0;
    std::memcpy(slot, &v, sizeof v);
  }
}

bool GetFieldLogical(int n) {
  const FieldDescriptor* f = FieldOf(n);
  const unsigned char* slot = SlotOf(n);
  return f && slot && f->type == 'L' && slot[0] != 0;
}

void SetFieldLogical(int n, bool value) {
  const FieldDescriptor* f = FieldOf(n);
  unsigned char* slot = SlotOf(n);
  if (f && slot && f->type == 'L') slot[0] = value ? 1 : 0;
}

std::int32_t GetFieldMemo(int n) {
  const FieldDescriptor* f = FieldOf(n);
  const unsigned char* slot = SlotOf(n);
  std::int32_t block = 0;
  if (f && slot && f->type == 'M') std::memcpy(&block, slot, sizeof block);
  return block;
}

void SetFieldMemo(int n, std::int32_t block) {
  const FieldDescriptor* f = FieldOf(n);
  unsigned char* slot = SlotOf(n);
  if (f && slot && f->type == 'M') std::memcpy(slot, &block, sizeof block);
}

bool RecordDeleted() {
  const WorkAreaRecord* area = CurrentWorkArea();
  return area && area->typedBuffer && area->typedBuffer[0] != 0;
}

void SetRecordDeleted(bool deleted) {
  WorkAreaRecord* area = CurrentWorkArea();
  if (area && area->typedBuffer) area->typedBuffer[0] = deleted ? 1 : 0;
}

// ---------------------------------------------------------------------------------------------
// Visibility

bool RecordVisible() {
  WorkAreaRecord* area = CurrentWorkArea();
  if (!area) return false;
  if (area->ignoreDeleted && !area->recordBuffer.empty()) {
    const bool deleted =
        area->vfile.isVirtual ? area->recordBuffer[0] != 0 : area->recordBuffer[0] == '*';
    if (deleted) return false;
  }
  return EvaluateCondition(area->filterEvent, area->filterExpr);
}

bool RecordInScope() {
  WorkAreaRecord* area = CurrentWorkArea();
  if (!area) return false;
  return EvaluateCondition(area->scopeEvent, area->scopeExpr);
}

// ---------------------------------------------------------------------------------------------
// Navigation

void GoTop() {
  if (!CheckDbInUse("GoTop")) return;
  WorkAreaRecord& area = *CurrentWorkArea();
  RefreshRecCount();
  if (area.recordCount == 0) return;
  {
    TReadSemaphore semaphore;
    const bool indexed = IndexActive();
    const std::int32_t start = indexed && IndexHooks.top ? IndexHooks.top() : 1;
    if (start < 1 || start > area.recordCount) {
      GoEmpty(area);
    } else {
      ReadAndLoad(area, start);
      while (XbaseErrorCode == 0 && !area.eof && !RecordVisible()) {
        std::int32_t next = area.recordNumber + 1;
        if (indexed && IndexHooks.findNextRec) {
          next = IndexHooks.findNextRec();
          if (IndexHooks.indexEof && IndexHooks.indexEof()) next = area.recordCount + 1;
        }
        if (next < 1 || next > area.recordCount) {
          GoEmpty(area);
          if (indexed) CallSlot(IndexHooks.syncIndex);
          break;
        }
        if (!ReadAndLoad(area, next)) break;
      }
    }
    if (indexed) CallSlot(IndexHooks.loadCurrentKey);
  }
  SyncRelation();
}

void Go(std::int32_t n) {
  if (!CheckDbInUse("GO()")) return;
  WorkAreaRecord& area = *CurrentWorkArea();
  const std::string rangeMessage = "Invalid record number = " + std::to_string(n) + " " +
                                   "Database " + Quoted(area.tableName) + " [GO]";
  {
    TReadSemaphore semaphore;
    if (n > area.recordCount) RefreshRecCount();
    if (area.recordCount > 0) {
      area.bof = false;
      area.eof = false;
      if (n >= 1 && n <= area.recordCount) {
        if (ReadAndLoad(area, n) && IndexActive()) {
          CallSlot(IndexHooks.syncIndex);
          CallSlot(IndexHooks.loadCurrentKey);
        }
      } else {
        area.recordNumber = area.recordCount + 1;
        area.eof = true;
        SetError(212, rangeMessage);
        return;
      }
    } else {
      area.bof = true;
      area.eof = true;
      ClearRecord();
      SetError(212, rangeMessage);
      return;
    }
  }
  SyncRelation();
}

void Skip(std::int32_t n) {
  if (!CheckDbInUse("SKIP()")) return;
  WorkAreaRecord& area = *CurrentWorkArea();
  if (n == 0) {
    if (area.recordCount > 0 && !area.eof && area.recordNumber >= 1 &&
        area.recordNumber <= area.recordCount)
      ReadAndLoad(area, area.recordNumber);
    else
      ClearRecord();
    SyncRelation();
    return;
  }
  if (area.recordCount == 0) RefreshRecCount();
  if (area.recordCount == 0) {
    area.bof = true;
    area.eof = true;
    SetError(212, "Database " + Quoted(area.tableName) + " is empty." + " [SKIP]");
    return;
  }
  if (n > 0 && area.eof) {
    SetError(212, "Database " + Quoted(area.tableName) + " is past EOF." + " [SKIP]");
    return;
  }
  if (n < 0 && area.bof) return;
  {
    TReadSemaphore semaphore;
    const bool indexed = IndexActive();
    area.bof = false;
    area.eof = false;
    const bool forward = n > 0;
    const std::int32_t wanted = forward ? n : -n;
    std::int32_t lastInScope = area.recordCount + 1;
    bool boundary = false;
    bool outOfScope = false;
    if (SkipOverride) {
      std::int32_t count = n;
      const std::int32_t target = SkipOverride(count, boundary);
      if (!boundary && target >= 1 && target <= area.recordCount) {
        if (!ReadAndLoad(area, target)) return;
      } else {
        boundary = true;
      }
    } else {
      std::int32_t steps = 0;
      while (steps < wanted) {
        std::int32_t candidate;
        if (!forward) {
          if (RecordVisible() && RecordInScope()) lastInScope = area.recordNumber;
          if (indexed && IndexHooks.findPriorRec) {
            candidate = IndexHooks.findPriorRec();
            boundary = candidate == area.recordNumber || candidate < 1;
          } else {
            candidate = area.recordNumber - 1;
            boundary = area.recordNumber <= 1;
          }
        } else {
          if (indexed && IndexHooks.findNextRec) {
            candidate = IndexHooks.findNextRec();
            boundary =
                candidate == area.recordNumber || candidate < 1 || candidate > area.recordCount;
          } else {
            candidate = area.recordNumber + 1;
            if (candidate > area.recordCount) RefreshRecCount();
            boundary = candidate > area.recordCount;
          }
        }
        if (boundary) break;
        if (!ReadAndLoad(area, candidate)) return;
        if (RecordVisible()) ++steps;
        if (!RecordInScope()) {
          outOfScope = true;
          break;
        }
      }
    }
    if (boundary && forward) {
      area.recordNumber = area.recordCount + 1;
      area.eof = true;
      ClearRecord();
      if (indexed) CallSlot(IndexHooks.syncIndex);
    } else if (boundary) {
      GoTop();
      area.bof = true;
      if (indexed) CallSlot(IndexHooks.setBof);
      if (area.eof) ClearRecord();
    } else if (outOfScope && forward) {
      area.eof = true;
      if (indexed) CallSlot(IndexHooks.setEof);
    } else if (outOfScope) {
      if (lastInScope >= 1 && lastInScope <= area.recordCount) {
        ReadAndLoad(area, lastInScope);
        area.bof = true;
      } else {
        area.recordNumber = area.recordCount + 1;
        area.bof = true;
        ClearRecord();
      }
      if (indexed) {
        CallSlot(IndexHooks.syncIndex);
        CallSlot(IndexHooks.setBof);
      }
    }
    if (indexed) CallSlot(IndexHooks.loadCurrentKey);
  }
  SyncRelation();
}

void Dbf4RawGo(std::int32_t n) {
  WorkAreaRecord* area = CurrentWorkArea();
  if (!CheckDbInUse("Dbf4RawGo")) return;
  if (n > area->recordCount) {
    area->recordNumber = area->recordCount + 1;
    area->eof = true;
    ClearRecord();
    return;
  }
  if (n < 1) {
    SetError(212, " [Dbf4RawGo]");
    return;
  }
  const bool handling = SetErrorHandling(false);
  GetDbfRecord(*area, n);
  SetErrorHandling(handling);
  if (XbaseErrorCode != 0) {
    SetError(XbaseErrorCode, " [Dbf4RawGo]");
    return;
  }
  LoadFields();
}

void GoRecord(std::int32_t n) {
  Dbf4RawGo(n);
  SyncRelation();
}

bool GoIfValid(std::int32_t n) {
  if (n >= 1 && n <= RecCount()) {
    Go(n);
    return true;
  }
  return false;
}

bool dEOF() {
  if (!CheckDbInUse("dEOF")) return true;
  WorkAreaRecord& area = *CurrentWorkArea();
  RefreshRecCount();
  if (area.recordNumber > area.recordCount) area.eof = true;
  if (IndexActive() && IndexHooks.indexEof) return IndexHooks.indexEof();
  return area.eof;
}

bool dBOF() {
  if (!CheckDbInUse("dBOF")) return true;
  if (IndexActive() && IndexHooks.indexBof) return IndexHooks.indexBof();
  return CurrentWorkArea()->bof;
}

bool SetIgnoreDel(bool flag) {
  if (!CheckDbInUse("SetIgnoreDel")) return false;
  WorkAreaRecord& area = *CurrentWorkArea();
  const bool previous = area.ignoreDeleted;
  area.ignoreDeleted = flag;
  Skip(0);
  return previous;
}

TRelationProc SetRelationProc(TRelationProc procedure) {
  WorkAreaRecord* area = CurrentWorkArea();
  if (!area) return {};
  TRelationProc previous = std::move(area->relationProc);
  area->relationProc = std::move(procedure);
  if (area->relationProc) SyncRelation();
  return previous;
}

bool SettleOnVisibleRecord() {
  WorkAreaRecord* area = CurrentWorkArea();
  if (!area) return false;
  if (RecordInScope() && RecordVisible()) return false;
  Unlock();
  const std::int32_t remembered = area->recordNumber;
  TRelationProc relation = std::move(area->relationProc);
  area->relationProc = nullptr;
  Skip(1);
  if (area->eof) {
    GoIfValid(remembered);
    Skip(-1);
  }
  area->relationProc = std::move(relation);
  return true;
}

void SyncRelation() {
  WorkAreaRecord* area = CurrentWorkArea();
  if (!area || !area->relationProc) return;
  const std::uint8_t savedArea = CurrentArea;
  // Taken out of the area so that it cannot run again inside itself.
  TRelationProc relation = std::move(area->relationProc);
  area->relationProc = nullptr;
  const std::int32_t recordNumber = area->recordNumber;
  bool* found = IndexHooks.foundFlag;
  const bool savedFound = found ? *found : false;
  const std::uint16_t priorCode = XbaseErrorCode;
  XbaseErrorCode = 0;
  relation();
  CurrentArea = savedArea;
  if (found) *found = savedFound;
  area = CurrentWorkArea();
  if (!area) return;
  area->relationProc = std::move(relation);
  std::uint16_t code = XbaseErrorCode;
  if (code == 0 && area->recordNumber != recordNumber) code = 224;
  if (code != 0)
    SetError(code, area->tableName);
  else
    XbaseErrorCode = priorCode;
}

// ---------------------------------------------------------------------------------------------
// Appending, Peek and Poke

void Append() {
  if (!CheckDbInUse("Append")) return;
  WorkAreaRecord& area = *CurrentWorkArea();
  if (!area.vfile.isVirtual && !area.exclusive && SharingOn && area.lockState != kLockFile &&
      area.lockState != kLockAppend) {
    SetError(5, "File must be locked to append: " + area.tableName + " [APPEND]");
    return;
  }
  RefreshRecCount();
  StoreFields();
  const bool indexed = IndexActive();
  if (indexed) CallSlot(IndexHooks.setLockSemaphore, true);
  AppendDbfRecord(area);
  const bool written = XbaseErrorCode == 0;
  if (written) LoadFields();
  if (indexed) {
    if (written) CallSlot(IndexHooks.appendNewKey);
    CallSlot(IndexHooks.setLockSemaphore, false);
  }
  area.eof = false;
  area.bof = false;
  SyncRelation();
}

std::string Peek(int n, std::int32_t r) {
  if (!CheckDbInUse("Peek")) return {};
  WorkAreaRecord& area = *CurrentWorkArea();
  if (area.vfile.isVirtual) {
    SetError(1100, "Operation cannot be used on virtual files. [Peek]");
    return {};
  }
  if (r < 1 || r > area.recordCount || n < 0 || n > area.fieldCount) return {};
  const std::uint16_t offset = n == 0 ? 0 : area.fields[n - 1].offset;
  const std::uint16_t length = n == 0 ? 1 : area.fields[n - 1].length;
  std::string bytes(length, '\0');
  if (PeekCacheSize == 0) {
    const std::int64_t position = static_cast<std::int64_t>(area.headerLength) +
                                  static_cast<std::int64_t>(r - 1) * area.recordLength + offset;
    const ssize_t got = ::pread(area.fileHandle, bytes.data(), length, position);
    if (got < 0) return std::string();
    bytes.resize(static_cast<std::size_t>(got));
    return bytes;
  }
  if (PeekCache.path != area.path) DropPeekCache();
  if (r < PeekCache.firstRecord || r >= PeekCache.firstRecord + PeekCache.records) {
    std::uint32_t size = std::min<std::uint32_t>(PeekCacheSize, MaxAvail() / 2);
    size = std::min<std::uint32_t>(size, 65520);
    std::int32_t records = static_cast<std::int32_t>(size / area.recordLength);
    records = std::min(records, area.recordCount);
    records = std::max(records, 1);
    PeekCache.buffer.assign(static_cast<std::size_t>(records) * area.recordLength, 0);
    const std::int64_t position = static_cast<std::int64_t>(area.headerLength) +
                                  static_cast<std::int64_t>(r - 1) * area.recordLength;
    const ssize_t got =
        ::pread(area.fileHandle, PeekCache.buffer.data(), PeekCache.buffer.size(), position);
    const std::int32_t held = got > 0 ? static_cast<std::int32_t>(got / area.recordLength) : 0;
    if (held == 0) {
      const std::uint16_t code = got < 0 ? DosCodeOfErrno(errno) : 100;
      DropPeekCache();
      SetError(code, "DBF: " + area.tableName + " [Peek(" + std::to_string(n) + "," +
                         std::to_string(r) + ")]");
      return {};
    }
    PeekCache.path = area.path;
    PeekCache.firstRecord = r;
    PeekCache.records = held;
  }
  const std::size_t at =
      static_cast<std::size_t>(r - PeekCache.firstRecord) * area.recordLength + offset;
  return std::string(reinterpret_cast<const char*>(PeekCache.buffer.data() + at), length);
}

void Poke(const std::string& text, int n, std::int32_t r) {
  if (!CheckDbInUse("Poke")) return;
  WorkAreaRecord& area = *CurrentWorkArea();
  std::string tag = "[Poke(" + text + "," + std::to_string(n) + "," + std::to_string(r) + ")]";
  if (tag.size() > 100) tag.resize(100);
  if (area.vfile.isVirtual) {
    SetError(1100, "Operation cannot be used on virtual files." + tag);
    return;
  }
  if (SharingOn && !area.exclusive && area.lockState != kLockFile &&
      std::find(area.lockedRecords.begin(), area.lockedRecords.end(), r) ==
          area.lockedRecords.end()) {
    SetError(1200, "Record not locked " + tag);
    return;
  }
  if (r < 1 || r > area.recordCount || n < 0 || n > area.fieldCount) return;
  const std::uint16_t offset = n == 0 ? 0 : area.fields[n - 1].offset;
  const std::size_t length =
      n == 0 ? 1 : std::min<std::size_t>(text.size(), area.fields[n - 1].length);
  if (length == 0 || text.empty()) return;
  const std::int64_t position = static_cast<std::int64_t>(area.headerLength) +
                                static_cast<std::int64_t>(r - 1) * area.recordLength + offset;
  const ssize_t put = ::pwrite(area.fileHandle, text.data(), length, position);
  if (put != static_cast<ssize_t>(length)) {
    SetError(101, tag);
    return;
  }
  XbaseErrorCode = 0;
  if (PeekCache.path == area.path && r >= PeekCache.firstRecord &&
      r < PeekCache.firstRecord + PeekCache.records) {
    const std::size_t at =
        static_cast<std::size_t>(r - PeekCache.firstRecord) * area.recordLength + offset;
    std::memcpy(PeekCache.buffer.data() + at, text.data(), length);
  }
}

// ---------------------------------------------------------------------------------------------
// Opening and creating

bool UseDbf(const std::string& fileName, bool exclusive, bool readOnly) {
  if (CurrentArea < 1 || CurrentArea > kWorkAreaCount) return false;
  CloseArea();
  const std::string name = ExistingTableFile(ForceDefaultExt(AllTrim(fileName), "DBF"));
  std::uint16_t code = 0;
  const int fd = XbOpenFile(name, exclusive, readOnly, code);
  XbaseErrorCode = code;
  if (fd < 0) {
    SetError(code, "File:  " + name + " [USE]");
    return false;
  }
  auto area = std::make_unique<WorkAreaRecord>();
  area->tableName = name;
  area->path = name;
  area->fileHandle = fd;
  area->exclusive = exclusive;
  if (!ReadDbfHeader(*area)) {
    XbCloseFile(fd);
    return false;
  }
  area->ownTypedStorage.assign(TypedBufferSize(area->fields), 0);
  area->typedBuffer = area->ownTypedStorage.data();
  area->typedSize = static_cast<std::uint16_t>(area->ownTypedStorage.size());
  area->ownsTypedBuffer = true;
  WorkAreas[CurrentArea] = std::move(area);
  LastOpenExclusive = exclusive;
  WorkAreaRecord& opened = *CurrentWorkArea();
  // Another program may have appended without writing the header yet.
  RefreshRecCount();
  if (opened.hasMemo && MemoHooks.openMemofile) MemoHooks.openMemofile(opened.tableName);
  if (opened.recordCount > 0) {
    ReadAndLoad(opened, 1);
  } else {
    GoEmpty(opened);
  }
  return XbaseErrorCode == 0;
}

namespace {
bool ValidFieldSpec(const TFieldSpec& f) {
  if (f.name.empty() || f.name.size() > 10) return false;
  for (char c : f.name)
    if (!(IsUpperLetter(CharUpper(c)) || (c >= '0' && c <= '9') || c == '_')) return false;
  switch (f.type) {
    case 'C':
      return f.length >= 1 && f.length <= 254;
    case 'N':
    case 'F':
      return f.length >= 1 && f.length <= 20 && (f.decimals == 0 || f.decimals + 2 <= f.length);
    case 'L':
      return f.length == 1;
    case 'D':
      return f.length == 8;
    case 'M':
      return f.length == 10;
    default:
      return false;
  }
}
}  // namespace

bool CreateDbf(const std::string& fileName, const std::vector<TFieldSpec>& fields,
               std::uint8_t version, bool exclusive) {
  const std::string name = ForceDefaultExt(AllTrim(fileName), "DBF");
  bool memo = false;
  for (const TFieldSpec& f : fields) {
    if (!ValidFieldSpec(f)) {
      SetError(211, "Invalid field definition " + f.name + " [CreateDbf(" + name + ")]");
      return false;
    }
    memo = memo || f.type == 'M';
  }
  if (fields.empty() || fields.size() > 255) {
    SetError(220, "Invalid field count [CreateDbf(" + name + ")]");
    return false;
  }
  if (version == 0) version = memo ? 0x83 : 0x03;
  int year = 0, month = 0, day = 0, dow = 0;
  GetDate(year, month, day, dow);
  const std::string header = BuildDbfHeader(version, fields, year, month, day);
  // Written under a temporary name beside the target and renamed when complete.
  std::string temp = name + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    SetError(DosCodeOfErrno(errno), "Cannot create " + name + " [CreateDbf]");
    return false;
  }
  const bool written =
      ::write(fd, header.data(), header.size()) == static_cast<ssize_t>(header.size()) &&
      ::fsync(fd) == 0;
  const int writeErrno = errno;
  ::close(fd);
  ::chmod(
      temp.c_str(), 0666 & ~[] {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return mask;
      }());
  if (!written || ::rename(temp.c_str(), name.c_str()) != 0) {
    const int err = written ? errno : writeErrno;
    ::unlink(temp.c_str());
    SetError(err == 0 ? 101 : DosCodeOfErrno(err), "Cannot create " + name + " [CreateDbf]");
    return false;
  }
  if (memo) {
    std::string dir, base, ext;
    SplitFileName(name, dir, base, ext);
    MakeMemoFile(dir + base, version, 512, "CreateDbf");
    if (XbaseErrorCode != 0) return false;
  }
  return UseDbf(name, exclusive);
}
