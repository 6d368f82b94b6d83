// Open NDX indexes per work area, the controlling order, and the index hook table.
#include "xbase/ndx_sets.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>

#include "xbase/dbf_file.h"
#include "xbase/locking.h"
#include "xbase/ndx_build.h"
#include "xbase/ndx_keys.h"
#include "xbase/ndx_search.h"
#include "xbase/ndx_semaphore.h"
#include "xbase/xbase_dates.h"
#include "xbase/xbase_errors.h"
#include "xbase/xbase_expr_compiler.h"
#include "xbase/xbase_expr_eval.h"
#include "xbase/xbase_platform.h"
#include "xbase/xbase_utils.h"

std::array<TIndexSlots, kWorkAreaCount + 1> IndexTable;
std::array<std::vector<TMarkedIndex>, kWorkAreaCount + 1> MarkedIndexes;
std::array<bool, kWorkAreaCount + 1> NaturalOrder{};
int CurrentOrderSlot = 1;
int KeySlot = 1;
bool IndexFound = false;
std::uint16_t IndexCacheSize = 4096;
bool IndexNoCache = false;

namespace {

bool ValidArea(int area) {
  return area >= 1 && area <= kWorkAreaCount;
}

std::string TableFileOnly(const WorkAreaRecord& a) {
  const std::size_t slash = a.path.find_last_of('/');
  return slash == std::string::npos ? a.path : a.path.substr(slash + 1);
}

// ASCII only, the same in every locale: option words and file names compare alike everywhere.
std::string Upper(const std::string& s) {
  return UpperAscii(s);
}

// Removes an option word (" UNIQUE", ...) found case-insensitively when the character after it
// is not a letter, digit, "\" or "_"; the file name keeps its own case.
bool TakeOption(std::string& text, const std::string& word) {
  bool found = false;
  std::size_t from = 0;
  for (;;) {
    const std::string upper = Upper(text);
    const std::size_t at = upper.find(word, from);
    if (at == std::string::npos) return found;
    const std::size_t end = at + word.size();
    const char next = text[end];  // the closing zero at the end of the text
    const bool ends = !(IsUpperLetter(CharUpper(next)) || (next >= '0' && next <= '9') ||
                        next == '\\' || next == '_');
    if (ends) {
      text.erase(at, word.size());
      found = true;
      from = at;
    } else {
      from = at + 1;
    }
  }
}

// Buffers of the current record kept while a key of some other record is made.
struct TSavedRecord {
  std::vector<unsigned char> raw;
  std::vector<unsigned char> typed;
  std::int32_t number = 0;
};

TSavedRecord SaveRecord(WorkAreaRecord& a) {
  TSavedRecord s{a.recordBuffer, {}, a.recordNumber};
  if (a.typedBuffer) s.typed.assign(a.typedBuffer, a.typedBuffer + a.typedSize);
  return s;
}

void RestoreRecord(WorkAreaRecord& a, const TSavedRecord& s) {
  a.recordBuffer = s.raw;
  if (a.typedBuffer && s.typed.size() == a.typedSize)
    std::memcpy(a.typedBuffer, s.typed.data(), s.typed.size());
  a.recordNumber = s.number;
}

void BlankKey(TIndexDescriptor& index) {
  index.currentKey.assign(index.KeyLength(), index.characterKey ? ' ' : '\0');
}

bool IndexActiveHook() {
  return AreaHasIndex(CurrentArea);
}

void LoadCurrentKeyHook() {
  TIndexDescriptor* index = IndexInSlot(1);
  WorkAreaRecord* a = CurrentWorkArea();
  if (!index || !a) return;
  // Ends every move in the area's order: the order of an index cut short in an update is told.
  if (index->updateCutShort) ReportIndexCutShort(index->fileName, "LoadCurrentKey");
  if (a->recordNumber < 1 || a->recordCount == 0 || a->recordNumber > a->recordCount) {
    for (auto& d : IndexTable[CurrentArea])
      if (d) BlankKey(*d);
    return;
  }
  const std::string key = MakeIndexKey(*index, 1);
  // The key buffer also names the position; it changes only where the index stands elsewhere.
  if (index->path.empty() || index->noPosition) index->currentKey = key;
}

void SyncAllHook() {
  SyncIndex(true);
  LoadCurrentKeyHook();
}

void SetBofHook() {
  if (TIndexDescriptor* index = IndexInSlot(1)) index->bof = true;
}

void SetEofHook() {
  if (TIndexDescriptor* index = IndexInSlot(1)) index->eof = true;
}

void KeyTextOfKeySlot(std::string& key) {
  const int saved = KeySlot;
  IndexKeyAsString(key);
  KeySlot = saved;
}

void RecordNumberText(std::string& key) {
  WorkAreaRecord* a = CurrentWorkArea();
  key = "Rec:" + StrWidth(a ? a->recordNumber : 0, 10);
  if (key.size() > 14) key.resize(14);
}

TKeyTextProc KeyTextOfIndexHook(int n) {
  if (!IndexInSlot(n)) return nullptr;
  KeySlot = n;
  return KeyTextOfKeySlot;
}

TKeyTextProc KeyTextOfControllerHook() {
  if (!AreaHasIndex(CurrentArea)) return nullptr;
  if (NaturalOrder[CurrentArea]) return RecordNumberText;
  return KeyTextOfIndexHook(1);
}

bool AscendingHook(int n) {
  TIndexDescriptor* index = IndexInSlot(n);
  return !(index && index->descending);
}

bool SoundexHook(int n) {
  TIndexDescriptor* index = IndexInSlot(n);
  return index && index->soundex;
}

void SyncControllingHook() {
  SyncIndex(false);
}

void FreeIndex(TIndexDescriptor& index) {
  if (index.keyExpr) {
    if (ExprHooks.free)
      ExprHooks.free(index.keyExpr);
    else
      FreeExpr(index.keyExpr);
    index.keyExpr = nullptr;
  }
  if (index.file >= 0) {
    XbCloseFile(index.file);
    index.file = -1;
  }
}

}  // namespace

TIndexDescriptor* IndexInSlot(int slot) {
  if (!ValidArea(CurrentArea) || slot < 1 || slot > kMaxIndexSlots) return nullptr;
  return IndexTable[CurrentArea][slot].get();
}

TIndexDescriptor* ControllingIndex() {
  return IndexInSlot(1);
}

bool AreaHasIndex(int area) {
  return ValidArea(area) && IndexTable[area][1] != nullptr;
}

std::string IndexPathFor(const std::string& name) {
  std::string n = AllTrim(name);
  n = ForceDefaultExt(n, "NDX");
  if (n.find_first_of("/\\:") == std::string::npos) {
    if (WorkAreaRecord* a = CurrentWorkArea()) {
      const std::size_t slash = a->path.find_last_of('/');
      if (slash != std::string::npos) n = a->path.substr(0, slash + 1) + n;
    }
  }
  if (access(n.c_str(), F_OK) == 0) return n;
  // Index names were never case-sensitive for the programs that write them: an existing file
  // whose name differs only in case is the one meant ("pn" finds pn.ndx).
  const std::size_t slash = n.find_last_of('/');
  const std::string dir = slash == std::string::npos ? std::string(".") : n.substr(0, slash);
  const std::string wanted = Upper(n.substr(slash == std::string::npos ? 0 : slash + 1));
  if (DIR* d = opendir(dir.c_str())) {
    std::string found;
    while (const dirent* e = readdir(d)) {
      if (Upper(e->d_name) == wanted) {
        found = e->d_name;
        break;
      }
    }
    closedir(d);
    if (!found.empty()) return slash == std::string::npos ? found : dir + "/" + found;
  }
  return n;
}

std::string MakeIndexKey(TIndexDescriptor& index, int slot) {
  KeySlot = slot;
  WorkAreaRecord* a = CurrentWorkArea();
  const bool oem = a && a->oem;
  std::string key;
  if (index.keyMaker) {
    index.keyMaker(index.keyMakerData, slot, key);
    if (oem) key = AnsiToOemStr(key);
    if (index.soundex) key = Soundex(key);
    if (index.descending) InvertKeyBytes(key);
  } else if (index.keyExpr) {
    SelectExpr(index.keyExpr);
    const void* r = EvaluateCurrentExpr();
    if (index.characterKey) {
      const char* text = r ? static_cast<const char*>(r) : "";
      key.assign(text, strnlen(text, kNdxMaxKeyLength));
      if (oem) key = AnsiToOemStr(key);
    } else {
      key.assign(8, '\0');
      EncodeDoubleKey(r ? *static_cast<const double*>(r) : 0.0,
                      reinterpret_cast<unsigned char*>(key.data()));
    }
  }
  if (index.KeyLength() > 0) key.resize(index.KeyLength(), index.characterKey ? ' ' : '\0');
  return key;
}

void ReportIndexCutShort(const std::string& fileName, const std::string& routine) {
  SetError(212, "Index " + fileName + " was cut short in an update: the index needs rebuilding [" +
                    routine + "]");
}

void WriteAnchorNode(TIndexDescriptor& index) {
  WorkAreaRecord* a = CurrentWorkArea();
  std::string stored = index.expression;
  if (a && a->oem) stored = AnsiToOemStr(stored);
  const TNdxBlock b =
      MakeNdxAnchorBlock(index.anchor, stored, a ? static_cast<std::uint32_t>(a->recordCount) : 0,
                         a ? TableFileOnly(*a) : std::string());
  if (pwrite(index.file, b.data(), kNdxBlockSize, 0) != kNdxBlockSize) {
    SetError(101, "Error writing index file: " + index.fileName + " [WriteAnchorNode]");
    return;
  }
  index.anchorModified = false;
}

void CheckIndexAlreadyOpen(const std::string& name, int slot) {
  WorkAreaRecord* here = CurrentWorkArea();
  const std::string upper = Upper(name);
  for (int area = 1; area <= 34; ++area) {
    WorkAreaRecord* other = WorkAreaAt(area);
    for (int s = 1; s <= kMaxIndexSlots; ++s) {
      if (area == CurrentArea && s == slot) continue;
      const auto& d = IndexTable[area][s];
      if (!d || Upper(d->fileName) != upper) continue;
      if (area == CurrentArea || !other || !here || Upper(other->path) != Upper(here->path)) {
        SetError(220, "Index file already open: " + name + " for " +
                          (other ? other->tableName : std::string()) + "\n\r" +
                          "Attempting to set index of same name for " +
                          (here ? here->tableName : std::string()) + ". [OpenIndex/Set_Index_To]");
        return;
      }
    }
  }
}

void OpenIndex(const std::string& name, bool noCache, bool soundex, int slot, bool descending,
               TKeyMaker keyMaker, void* keyMakerData) {
  const std::string tail = " [OpenIndex/Set_Index_To]";
  XbaseErrorCode = 0;
  CheckIndexAlreadyOpen(name, slot);
  if (XbaseErrorCode) return;
  if (IndexTable[CurrentArea][slot]) {
    SetError(254, "Internal error: IND pointer already allocated" + tail);
    return;
  }
  WorkAreaRecord* a = CurrentWorkArea();
  std::uint16_t code = 0;
  const int fd = XbOpenFile(name, false, false, code);
  if (fd < 0) {
    SetError(code ? code : 2, "Unable to open index: " + name + tail);
    return;
  }
  // A build of this index killed half way left its work file beside it.
  RemoveLeftoverIndexWork(name);
  auto index = std::make_unique<TIndexDescriptor>();
  index->file = fd;
  index->fileName = name;
  index->homeSlot = slot;
  index->noCache = noCache;
  TNdxBlock block{};
  const std::int64_t size = XbFileSize(fd);
  if (size < 2 * kNdxBlockSize ||
      pread(fd, block.data(), kNdxExpressionOffset + kNdxMaxExpression + 1, 0) !=
          kNdxExpressionOffset + kNdxMaxExpression + 1) {
    FreeIndex(*index);
    SetError(222, "Unable to open index: " + name + tail);
    return;
  }
  index->anchor = UnpackNdxAnchor(block.data());
  std::string expr = NdxStoredExpression(block.data());
  if (a->oem) expr = OemToAnsiStr(expr);
  expr = NormalizeKeyExpression(expr);
  index->expression = expr;
  index->characterKey = index->anchor.keyClass == 0;
  const TNdxAnchor& an = index->anchor;
  // Blocks the file holds: a root or a next-free node beyond them belongs to a damaged file,
  // which is refused as it is, without writing to it.
  const std::int64_t fileBlocks = size / kNdxBlockSize;
  if (an.keyLength < 1 || an.keyLength > kNdxMaxKeyLength ||
      an.itemSize != NdxItemSize(an.keyLength) || an.keysPerNode < 1 ||
      4 + an.keysPerNode * an.itemSize + 4 > kNdxBlockSize ||
      (!index->characterKey && an.keyLength != 8) || an.root < 1 || an.root >= fileBlocks ||
      an.nextFree > fileBlocks) {
    FreeIndex(*index);
    SetError(222, "Unable to open index: " + name + tail);
    return;
  }
  if (block[kNdxUpdateMarkOffset] != 0 && a && !a->exclusive && SemaphoreLoggedIn()) {
    // A live writer of another program clears its mark before it lets go of the semaphore.
    DatabaseSemaphore(kSemLockSemaphore);
    if (XbaseErrorCode == 0 &&
        pread(fd, block.data() + kNdxUpdateMarkOffset, 1, kNdxUpdateMarkOffset) != 1)
      block[kNdxUpdateMarkOffset] = 1;
    DatabaseSemaphore(kSemUnlockSemaphore);
    XbaseErrorCode = 0;
  }
  if (block[kNdxUpdateMarkOffset] != 0) {
    FreeIndex(*index);
    ReportIndexCutShort(name, "OpenIndex/Set_Index_To");
    return;
  }
  if (!keyMaker) {
    if (expr == KeyMakerMarker()) {
      FreeIndex(*index);
      SetError(223, "Key maker function required, \"" + name +
                        "\" was created using KeyMaker function." + tail);
      return;
    }
    CompiledExpr* compiled = nullptr;
    if (ParserPresent && ExprHooks.compile && !expr.empty()) {
      const bool handling = SetErrorHandling(false);
      std::string text = expr;
      compiled = ExprHooks.compile(text);
      SetErrorHandling(handling);
    }
    const char type = compiled ? compiled->ResultType : ' ';
    if (!compiled || (type != 'C' && type != 'D' && type != 'N' && type != 'F')) {
      if (compiled) FreeExpr(compiled);
      FreeIndex(*index);
      SetError(222, "Invalid dBASE key expression or corrupted index file " + name + tail);
      return;
    }
    index->keyExpr = compiled;
    index->resultType = type;
    index->resultWidth = compiled->ResultWidth;
    index->resultDecimals = compiled->ResultDecimals;
    index->characterKey = type == 'C';
    index->anchor.keyType = type == 'F' ? 'N' : type;
    if (index->characterKey != (an.keyClass == 0)) {
      FreeIndex(*index);
      SetError(222, "Invalid dBASE key expression or corrupted index file " + name + tail);
      return;
    }
  } else {
    if (expr != KeyMakerMarker()) {
      FreeIndex(*index);
      SetError(223,
               "Attempted use of Key Maker function with index file created with a dBASE key "
               "expression [OpenIndex/Set_Index_ToCB(" +
                   name + ")]");
      return;
    }
    index->keyMaker = keyMaker;
    index->keyMakerData = keyMakerData;
    index->soundex = soundex;
    index->descending = descending;
    index->characterKey = true;
  }
  BlankKey(*index);
  TIndexDescriptor& d = *index;
  IndexTable[CurrentArea][slot] = std::move(index);
  const int savedOrder = CurrentOrderSlot;
  CurrentOrderSlot = slot;
  // A file grown by a writer that did not get to rewrite its anchor.
  const std::uint32_t blocks = static_cast<std::uint32_t>(
      std::max<std::int64_t>(1, (size - kNdxBlockSize) / kNdxBlockSize + 1));
  if (blocks != d.anchor.nextFree) {
    SetLockSemaphoreProc(true);
    d.anchor.nextFree = blocks;
    d.anchorModified = true;
    WriteAnchorNode(d);
    SetLockSemaphoreProc(false);
  }
  if (a->recordCount > 0) {
    if (d.characterKey && d.keyExpr) {
      // The key of a blank record shows whether the expression gives keys of one length.
      const TSavedRecord saved = SaveRecord(*a);
      std::fill(a->recordBuffer.begin(), a->recordBuffer.end(), ' ');
      if (a->typedBuffer) RecordToFields(*a, a->typedBuffer);
      a->recordNumber = a->recordCount + 1;
      SelectExpr(d.keyExpr);
      const char* r = static_cast<const char*>(EvaluateCurrentExpr());
      const std::string blank = r ? std::string(r, strnlen(r, kNdxMaxKeyLength)) : std::string();
      RestoreRecord(*a, saved);
      if (static_cast<int>(blank.size()) != d.KeyLength()) {
        const std::string length = StrWidth(d.KeyLength(), 3);
        CloseIndexFile(slot);
        SetError(266, "Incorrect key length: Must be 1 to 100.\n\rExpected Length= " + length +
                          "\n\rKey= [" + blank + "] " + name + " [SetIndexTo/OpenIndex]");
        CurrentOrderSlot = savedOrder;
        return;
      }
    }
    if (slot == 1) {
      // The first key whose record the area shows.
      std::int32_t r = FindFirstLast(d, true);
      if (a->ignoreDeleted || a->filterEvent || a->filterExpr) {
        const TSavedRecord saved = SaveRecord(*a);
        const bool eof = a->eof, bof = a->bof;
        while (!d.eof && r >= 1 && r <= a->recordCount && !XbaseErrorCode) {
          GetDbfRecord(*a, r);
          if (RecordVisible()) break;
          r = StepNext(d);
        }
        RestoreRecord(*a, saved);
        a->eof = eof;
        a->bof = bof;
      }
    }
    if (a->recordNumber >= 1 && a->recordNumber <= a->recordCount)
      d.currentKey = MakeIndexKey(d, slot);
  } else {
    d.bof = d.eof = true;
    d.noPosition = true;
  }
  CurrentOrderSlot = savedOrder;
}

bool SetIndexTo(const std::string& nameWithOptions, int slot, TKeyMaker keyMaker,
                void* keyMakerData) {
  XbaseErrorCode = 0;
  if (slot >= 1 && slot <= kMaxIndexSlots) CloseIndexFile(slot);
  if (ValidArea(CurrentArea))
    std::erase_if(MarkedIndexes[CurrentArea],
                  [slot](const TMarkedIndex& m) { return m.slot == slot; });
  std::string name = nameWithOptions;
  TakeOption(name, " UNIQUE");  // uniqueness comes from the file
  const bool noCache = TakeOption(name, " NOCACHE");
  const bool soundex = TakeOption(name, " SOUNDEX");
  const bool descending = TakeOption(name, " DESCENDING");
  const std::string path = IndexPathFor(name);
  const std::string where = "(<>," + path + "," + std::to_string(slot) + ")]";
  if (slot < 1 || slot > kMaxIndexSlots) {
    SetError(220, "Index Order parameter out of range [SetIndexTo" + where);
    return false;
  }
  WorkAreaRecord* a = CurrentWorkArea();
  if (!a) {
    SetError(215,
             "Attempt to open " + path + " index file with no DBF file open. [SetIndexTo" + where);
    return false;
  }
  if (access(path.c_str(), F_OK) != 0) {
    SetError(2, "Attempt to open " + path + " [SetIndexTo(...," + std::to_string(slot) + ")]");
    return false;
  }
  CurrentOrderSlot = slot;
  DatabaseSemaphore(kSemLogin);
  if (XbaseErrorCode) {
    CurrentOrderSlot = 1;
    return false;
  }
  OpenIndex(path, noCache || SharingOn, soundex, slot, descending, keyMaker, keyMakerData);
  CurrentOrderSlot = 1;
  if (XbaseErrorCode) {
    // A failed open leaves the slot empty.
    const std::uint16_t code = XbaseErrorCode;
    if (IndexTable[CurrentArea][slot]) {
      IndexTable[CurrentArea][slot]->anchorModified = false;
      CloseIndexFile(slot);
    }
    XbaseErrorCode = code;
    // Only an update cut short refuses an index with 212: Reindex may rebuild it.
    if (code == 212)
      MarkedIndexes[CurrentArea].push_back(
          {slot, nameWithOptions, path, soundex, descending, keyMaker, keyMakerData, a->path});
    if (!AreaHasIndex(CurrentArea)) {
      bool any = false;
      for (auto& d : IndexTable[CurrentArea]) any = any || d != nullptr;
      if (!any) DatabaseSemaphore(kSemLogout);
    }
    return false;
  }
  LoadCurrentKeyHook();
  return XbaseErrorCode == 0;
}

void CloseIndexFile(int slot) {
  if (slot < 1 || slot > kMaxIndexSlots || !ValidArea(CurrentArea)) return;
  auto& cell = IndexTable[CurrentArea][slot];
  if (!cell) return;
  TIndexDescriptor& d = *cell;
  WorkAreaRecord* a = CurrentWorkArea();
  if (d.anchorModified) {
    const bool lock = a && !a->exclusive && SharingOn;
    if (lock) {
      if (std::uint16_t code = XbLockBytes(d.file, false, 0, 1)) {
        SetError(code, "Could not lock index for writing anchor node " + d.fileName);
      }
    }
    WriteAnchorNode(d);
    if (lock) {
      if (std::uint16_t code = XbLockBytes(d.file, true, 0, 1))
        SetError(code, "Could not unlock index after writing anchor node " + d.fileName);
    }
  }
  std::string name = d.fileName;
  if (d.keyExpr) FreeExpr(d.keyExpr);
  d.keyExpr = nullptr;
  const std::uint16_t code = d.file >= 0 ? XbCloseFile(d.file) : 0;
  d.file = -1;
  cell.reset();
  bool any = false;
  for (auto& other : IndexTable[CurrentArea]) any = any || other != nullptr;
  if (!any) {
    NaturalOrder[CurrentArea] = false;
    DatabaseSemaphore(kSemLogout);
  }
  if (code) SetError(code, "Error closing index file:  " + name);
}

void CloseAllIndexes() {
  if (!ValidArea(CurrentArea)) return;
  NaturalOrder[CurrentArea] = false;
  MarkedIndexes[CurrentArea].clear();
  const bool handling = SetErrorHandling(false);
  for (int s = 1; s <= kMaxIndexSlots; ++s) {
    XbaseErrorCode = 0;
    CloseIndexFile(s);
  }
  DatabaseSemaphore(kSemLogout);
  SetErrorHandling(handling);
}

int CurrentOrder() {
  if (!CurrentWorkArea() || !AreaHasIndex(CurrentArea) || NaturalOrder[CurrentArea]) return 0;
  return IndexTable[CurrentArea][1]->homeSlot;
}

void Set_Order_To(int n) {
  WorkAreaRecord* a = CurrentWorkArea();
  if (!CheckDbInUse("Set_Order_To")) return;
  const std::string where = "Set_Order_To(" + std::to_string(n) + ")";
  bool any = false;
  for (auto& d : IndexTable[CurrentArea]) any = any || d != nullptr;
  if (!any) {
    SetError(221, "Index not open. (DBF=" + a->tableName + ") [" + where + "]");
    return;
  }
  if (n < 0 || n > kMaxIndexSlots) {
    SetError(220, "Invalid Index Order Specified: SET_ORDER_TO. [" + where +
                      "] (DBF=" + a->tableName + ")");
    return;
  }
  if (n == 0) {
    NaturalOrder[CurrentArea] = true;
    return;
  }
  SetReadSemaphoreProc(true);
  const bool found = IndexFound;
  NaturalOrder[CurrentArea] = false;
  if (a->recordNumber >= 1 && a->recordNumber <= a->recordCount) Dbf4RawGo(a->recordNumber);
  TIndexSlots& slots = IndexTable[CurrentArea];
  const bool oldEof = slots[1] && slots[1]->eof;
  if (n != CurrentOrder()) {
    // Every index back to its home position, then home n and home 1 change places.
    TIndexSlots home;
    for (auto& d : slots)
      if (d) {
        const int h = d->homeSlot;
        home[h] = std::move(d);
      }
    if (!home[n]) {
      for (int s = 1; s <= kMaxIndexSlots; ++s) slots[s] = std::move(home[s]);
      SetReadSemaphoreProc(false);
      SetError(221, "Index not open.. (DBF=" + a->tableName + ") [" + where + "]");
      return;
    }
    for (int s = 1; s <= kMaxIndexSlots; ++s) slots[s] = std::move(home[s]);
    if (n != 1) std::swap(slots[1], slots[n]);
    for (auto& d : slots)
      if (d) d->path.clear();
  }
  CurrentOrderSlot = 1;
  if (a->recordCount == 0) {
    LoadCurrentKeyHook();
  } else {
    if (oldEof) GoPastEnd(*slots[1]);
    SyncIndex(true);
    LoadCurrentKeyHook();
  }
  IndexFound = found;
  SetReadSemaphoreProc(false);
}

std::string IndexFileName(int slot) {
  for (auto& d : IndexTable[CurrentArea])
    if (d && d->homeSlot == slot) return d->fileName;
  return {};
}

void IndexKeyAsString(std::string& out) {
  out.clear();
  TIndexDescriptor* index = IndexInSlot(KeySlot);
  if (!index) return;
  if (index->keyMaker) {
    index->keyMaker(index->keyMakerData, KeySlot, out);
    return;
  }
  if (!index->keyExpr) return;
  SelectExpr(index->keyExpr);
  const void* r = EvaluateCurrentExpr();
  if (!r) return;
  if (index->resultType == 'N' || index->resultType == 'F') {
    const double v = *static_cast<const double*>(r);
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed,
                                   static_cast<int>(index->resultDecimals));
    out.assign(buf, res.ptr);
    const std::size_t width = index->resultWidth ? index->resultWidth : 10;
    if (out.size() < width) out.insert(0, width - out.size(), ' ');
  } else if (index->resultType == 'D') {
    out = JulianToDateText(*static_cast<const double*>(r));
  } else {
    const char* t = static_cast<const char*>(r);
    out.assign(t, strnlen(t, kNdxMaxKeyLength));
  }
}

void IndexInit() {
  if (IndexUnitPresent && IndexHooks.indexActive && IndexHooks.indexActive != IndexActiveHook) {
    SetError(254, "ERROR: BOTH INDEX4 and VARIV units linked in. [IndexInit]");
    return;
  }
  CurrentOrderSlot = 1;
  KeySlot = 1;
  IndexFound = false;
  IndexNoCache = false;
  IndexCacheSize = 4096;
  IndexHooks.indexActive = IndexActiveHook;
  IndexHooks.syncIndex = SyncControllingHook;
  IndexHooks.findNextRec = _FindNextRec;
  IndexHooks.findPriorRec = _FindPriorRec;
  IndexHooks.top = IndexTop;
  IndexHooks.bottom = IndexBottom;
  IndexHooks.indexEof = IndexEof;
  IndexHooks.indexBof = IndexBof;
  IndexHooks.appendNewKey = AppendNewKey;
  IndexHooks.loadCurrentKey = LoadCurrentKeyHook;
  IndexHooks.syncAll = SyncAllHook;
  IndexHooks.keysChanged = KeysChanged;
  IndexHooks.setBof = SetBofHook;
  IndexHooks.setEof = SetEofHook;
  IndexHooks.foundFlag = &IndexFound;
  IndexHooks.reindex = Reindex;
  IndexHooks.closeAllIndexes = CloseAllIndexes;
  IndexHooks.recordRewritten = RecordKeysChanged;
  IndexHooks.indexFileName = IndexFileName;
  IndexHooks.keyTextOfIndex = KeyTextOfIndexHook;
  IndexHooks.keyTextOfController = KeyTextOfControllerHook;
  IndexHooks.ascending = AscendingHook;
  IndexHooks.soundex = SoundexHook;
  IndexHooks.setReadSemaphore = SetReadSemaphoreProc;
  IndexHooks.setLockSemaphore = SetLockSemaphoreProc;
  IndexUnitPresent = true;
  for (auto& area : IndexTable)
    for (auto& d : area)
      if (d) {
        FreeIndex(*d);
        d.reset();
      }
  NaturalOrder.fill(false);
  for (auto& marked : MarkedIndexes) marked.clear();
  ResetSemaphores();
}

void IndexDone() {
  const std::uint8_t saved = CurrentArea;
  for (int area = 1; area <= 34; ++area) {
    CurrentArea = static_cast<std::uint8_t>(area);
    if (CurrentWorkArea()) CloseAllIndexes();
  }
  CurrentArea = saved;
}
