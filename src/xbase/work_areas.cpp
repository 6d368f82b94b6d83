// Work areas and the table API of the dBASE table library: area selection, navigation with
// filter, scope and index hooks, appending, Peek and Poke, and the library core's start-up.
#include "xbase/work_areas.h"

#include <unistd.h>

#include <algorithm>
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

bool IndexAtEnd() {
  return IndexHooks.indexEof && IndexHooks.indexEof();
}

// The controlling index names record r that the file does not hold (0, or past its end):
// damage that hides every key behind it, told as such.
void ReportIndexPastTable(const WorkAreaRecord& area, std::int32_t r, const char* routine) {
  const std::string index = IndexHooks.indexFileName ? IndexHooks.indexFileName(1) : "";
  SetError(212, "Index " + index + " names record " + std::to_string(r) + " but " + area.tableName +
                    " holds " + std::to_string(area.recordCount) +
                    " records: the index needs rebuilding [" + routine + "]");
}

// A record number the controlling index gave: within the table once the count has been
// refreshed from the file (another program may have appended it), else reported damage.
bool IndexedRecordPresent(WorkAreaRecord& area, std::int32_t r, const char* routine) {
  if (r >= 1 && r <= area.recordCount) return true;
  RefreshRecCount();
  if (r >= 1 && r <= area.recordCount) return true;
  ReportIndexPastTable(area, r, routine);
  return false;
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

}  // namespace

WorkAreaRecord* CurrentWorkArea() {
  return WorkAreaAt(CurrentArea);
}

WorkAreaRecord* WorkAreaAt(int area) {
  if (area < 1 || area > kWorkAreaCount) return nullptr;
  return WorkAreas[area].get();
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

int IndexedAreaNumber(const WorkAreaRecord& area) {
  if (area.vfile.isVirtual || !IndexUnitPresent || !IndexHooks.indexActive ||
      !IndexHooks.recordRewritten)
    return 0;
  for (int i = 1; i <= kWorkAreaCount; ++i) {
    if (WorkAreas[i].get() != &area) continue;
    const std::uint8_t saved = CurrentArea;
    CurrentArea = static_cast<std::uint8_t>(i);
    const bool active = IndexHooks.indexActive();
    CurrentArea = saved;
    return active ? i : 0;
  }
  return 0;
}

bool BeginIndexedWrite(int areaNumber) {
  if (areaNumber < 1 || areaNumber > kWorkAreaCount || !IndexHooks.setLockSemaphore) return true;
  const std::uint8_t saved = CurrentArea;
  CurrentArea = static_cast<std::uint8_t>(areaNumber);
  XbaseErrorCode = 0;
  IndexHooks.setLockSemaphore(true);
  const std::uint16_t code = XbaseErrorCode;
  if (code != 0) {
    const std::string message = XbaseErrorMessage;
    IndexHooks.setLockSemaphore(false);
    XbaseErrorCode = code;
    XbaseErrorMessage = message;
  }
  CurrentArea = saved;
  return code == 0;
}

void EndIndexedWrite(int areaNumber) {
  if (areaNumber < 1 || areaNumber > kWorkAreaCount || !IndexHooks.setLockSemaphore) return;
  const std::uint8_t saved = CurrentArea;
  CurrentArea = static_cast<std::uint8_t>(areaNumber);
  IndexHooks.setLockSemaphore(false);
  CurrentArea = saved;
}

void NotifyRecordRewritten(int areaNumber, std::int32_t n, const unsigned char* oldRaw,
                           const unsigned char* newRaw) {
  if (areaNumber < 1 || !IndexHooks.recordRewritten) return;
  const std::uint8_t saved = CurrentArea;
  CurrentArea = static_cast<std::uint8_t>(areaNumber);
  CallSlot(IndexHooks.setLockSemaphore, true);
  IndexHooks.recordRewritten(n, oldRaw, newRaw);
  CallSlot(IndexHooks.setLockSemaphore, false);
  CurrentArea = saved;
}

// ---------------------------------------------------------------------------------------------
// Visibility

bool RecordVisible() {
  WorkAreaRecord* area = CurrentWorkArea();
  if (!area) return false;
  if (area->ignoreDeleted && !area->recordBuffer.empty()) {
    const bool deleted =
        area->vfile.isVirtual ? area->recordBuffer[0] != 0 : area->recordBuffer[0] != ' ';
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
    const bool damaged = indexed && (start < 1 || (start > area.recordCount && !IndexAtEnd())) &&
                         !IndexedRecordPresent(area, start, "GoTop");
    if (damaged || start < 1 || start > area.recordCount) {
      GoEmpty(area);
      if (damaged) {
        // Both ends, as for an empty index: a walk either way ends here.
        CallSlot(IndexHooks.syncIndex);
        CallSlot(IndexHooks.setBof);
      }
    } else {
      ReadAndLoad(area, start);
      while (XbaseErrorCode == 0 && !area.eof && !RecordVisible()) {
        std::int32_t next = area.recordNumber + 1;
        bool present = next <= area.recordCount;
        if (indexed && IndexHooks.findNextRec) {
          next = IndexHooks.findNextRec();
          present = next != kIndexStepDamaged && !IndexAtEnd() &&
                    IndexedRecordPresent(area, next, "GoTop");
        }
        if (!present) {
          GoEmpty(area);
          if (indexed) CallSlot(IndexHooks.syncIndex);
          break;
        }
        if (!ReadAndLoad(area, next)) break;
      }
    }
    if (indexed) CallSlot(IndexHooks.loadCurrentKey);
  }
  // The open's report about the whole table stands until the caller has fetched it: a walk
  // from the top must not look like a walk over a sound table.
  if (area.openCode != 0 && PendingErrorCode != area.openCode) area.openCode = 0;
  if (XbaseErrorCode == 0) XbaseErrorCode = area.openCode;
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
  // At the top, of the table or of an index that lost its place, a step back stays.
  if (n < 0 && (area.bof || (IndexActive() && dBOF()))) return;
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
    bool damaged = false;  // the index named a record the file does not hold: reported
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
            damaged =
                candidate == kIndexStepDamaged || !IndexedRecordPresent(area, candidate, "SKIP");
            boundary = damaged || candidate == area.recordNumber;
          } else {
            candidate = area.recordNumber - 1;
            boundary = area.recordNumber <= 1;
          }
        } else {
          if (indexed && IndexHooks.findNextRec) {
            candidate = IndexHooks.findNextRec();
            damaged = candidate == kIndexStepDamaged ||
                      ((candidate < 1 || (candidate > area.recordCount &&
                                          candidate != area.recordNumber && !IndexAtEnd())) &&
                       !IndexedRecordPresent(area, candidate, "SKIP"));
            boundary = damaged || candidate == area.recordNumber || candidate < 1 ||
                       candidate > area.recordCount;
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
    // Damage ends the walk at its end in either direction, the report standing: forwards past
    // the last record, backwards at the top on the last record reached, so that neither a
    // further step nor a new start from the top can hide it or go round again.
    if (damaged && !forward) {
      area.bof = true;
      if (area.recordNumber >= 1 && area.recordNumber <= area.recordCount) {
        if (indexed) CallSlot(IndexHooks.syncIndex);
      } else {
        area.eof = true;
        ClearRecord();
      }
      if (indexed) CallSlot(IndexHooks.setBof);
    } else if ((boundary && forward) || damaged) {
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
  // Past the last record is the end whatever a damaged index still points at; an index that
  // still stands on a key there needs rebuilding, and the caller is told so.
  if (area.recordNumber > area.recordCount) {
    const bool reported = area.eof;
    area.eof = true;
    if (!reported && IndexActive() && IndexHooks.indexEof && !IndexHooks.indexEof())
      ReportIndexPastTable(area, area.recordNumber, "dEOF");
    return true;
  }
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
  StoreFields();  // a value that does not fit: the record write refuses it
  const bool indexed = IndexActive();
  if (indexed && !BeginIndexedWrite(CurrentArea)) return;
  AppendDbfRecord(area);
  const bool written = XbaseErrorCode == 0;
  if (written) LoadFields();
  if (indexed) {
    if (written) CallSlot(IndexHooks.appendNewKey);
    EndIndexedWrite(CurrentArea);
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
  const std::int64_t recordStart = static_cast<std::int64_t>(area.headerLength) +
                                   static_cast<std::int64_t>(r - 1) * area.recordLength;
  const std::int64_t position = recordStart + offset;
  // Indexes follow a change of a key field: the record as it was and as it will be.
  const int indexedArea = IndexedAreaNumber(area);
  std::vector<unsigned char> before, after;
  if (indexedArea) {
    before.resize(area.recordLength);
    if (::pread(area.fileHandle, before.data(), before.size(), recordStart) ==
        static_cast<ssize_t>(before.size())) {
      after = before;
      std::memcpy(after.data() + offset, text.data(), length);
      TranslateRecord(TTranslateDirection::Read, area.oem, area.readHook, before.size(),
                      area.recordLength, before.data());
      TranslateRecord(TTranslateDirection::Read, area.oem, area.readHook, after.size(),
                      area.recordLength, after.data());
    }
  }
  const int bracket = after.empty() ? 0 : indexedArea;
  if (!BeginIndexedWrite(bracket)) return;
  const ssize_t put = ::pwrite(area.fileHandle, text.data(), length, position);
  if (put != static_cast<ssize_t>(length)) {
    EndIndexedWrite(bracket);
    SetError(101, tag);
    return;
  }
  XbaseErrorCode = 0;
  if (bracket) NotifyRecordRewritten(indexedArea, r, before.data(), after.data());
  EndIndexedWrite(bracket);
  if (PeekCache.path == area.path && r >= PeekCache.firstRecord &&
      r < PeekCache.firstRecord + PeekCache.records) {
    const std::size_t at =
        static_cast<std::size_t>(r - PeekCache.firstRecord) * area.recordLength + offset;
    std::memcpy(PeekCache.buffer.data() + at, text.data(), length);
  }
}
