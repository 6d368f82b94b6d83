// Virtual files: the record list behind a virtual work area and the dispatcher through which
// the table core reads, writes, navigates and closes it.
#include "xbase/virtual_files.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <new>

#include "xbase/xbase_errors.h"

namespace {

bool programEnding = false;

bool VariableLength(const WorkAreaRecord& area) {
  return area.recordLength == 0;
}

// Bytes of the record now in the area's record buffer.
std::size_t BufferRecordSize(const WorkAreaRecord& area) {
  if (!VariableLength(area)) return area.recordLength;
  if (area.recordBuffer.size() < 2) return 0;
  std::uint16_t length;
  std::memcpy(&length, area.recordBuffer.data(), 2);
  return length + 2u;
}

std::size_t DeletionMarkOffset(const WorkAreaRecord& area) {
  return VariableLength(area) ? 2 : 0;
}

// A record copy's size must fit its node's 16-bit length: a longer one is refused (266) before
// anything changes.
bool RecordFitsNode(const WorkAreaRecord& area) {
  const std::size_t size = BufferRecordSize(area);
  if (size <= 0xFFFF) return true;
  SetError(266, "Record of " + std::to_string(size) +
                    " bytes is longer than the 65535 a record of " + area.tableName +
                    " holds [VFiles]");
  return false;
}

void CopyNodeToBuffer(WorkAreaRecord& area, const VFileNode& node) {
  if (area.recordBuffer.size() < node.Length) area.recordBuffer.resize(node.Length);
  std::memcpy(area.recordBuffer.data(), node.Record, node.Length);
}

void FreeNode(VFileNode* node) {
  delete[] node->Record;
  delete node;
}

void FreeList(WorkAreaRecord& area) {
  TVFileState& v = area.vfile;
  for (VFileNode* n = v.VFileHead; n != nullptr;) {
    VFileNode* next = n->Next;
    FreeNode(n);
    n = next;
  }
  v.VFileHead = v.VFileTail = v.VFileCurrent = nullptr;
  area.recordCount = 0;
  area.recordNumber = 0;
  area.eof = area.bof = true;
}

void LinkAfter(TVFileState& v, VFileNode* node, VFileNode* ref) {
  node->Prev = ref;
  node->Next = ref->Next;
  if (ref->Next != nullptr)
    ref->Next->Prev = node;
  else
    v.VFileTail = node;
  ref->Next = node;
}

void LinkBefore(TVFileState& v, VFileNode* node, VFileNode* ref) {
  node->Next = ref;
  node->Prev = ref->Prev;
  if (ref->Prev != nullptr)
    ref->Prev->Next = node;
  else
    v.VFileHead = node;
  ref->Prev = node;
}

std::string TableName(const WorkAreaRecord& area) {
  return area.tableName;
}

// Key of a listed record: the record goes through the record buffer to the key maker.
TVFileKey KeyOfNode(WorkAreaRecord& area, const VFileNode& node) {
  CopyNodeToBuffer(area, node);
  return VFileMakeKey(area);
}

// a belongs before b in the file's order (equal keys included).
bool BelongsBefore(const TVFileKey& a, const TVFileKey& b, bool ascending) {
  return VFileCompareKeys(a, b,
                          ascending ? TKeyRelation::LessOrEqual : TKeyRelation::GreaterOrEqual);
}
bool StrictlyBefore(const TVFileKey& a, const TVFileKey& b, bool ascending) {
  return VFileCompareKeys(a, b, ascending ? TKeyRelation::Less : TKeyRelation::Greater);
}

// Links a new node at its sorted place; sets current node and record number.
void LinkSorted(WorkAreaRecord& area, VFileNode* node, std::uint8_t hint) {
  TVFileState& v = area.vfile;
  const bool asc = v.VFileMode == kVFileAscending;
  const std::int32_t n = area.recordCount;
  TVFileKey key = VFileMakeKey(area);

  bool placed = false;
  if (hint != 0 && v.VFileCurrent != nullptr) {
    VFileNode* cur = v.VFileCurrent;
    std::int32_t curNumber = area.recordNumber;
    TVFileKey curKey = KeyOfNode(area, *cur);
    if (hint == 1 && BelongsBefore(key, curKey, asc)) {
      if (cur->Prev == nullptr || BelongsBefore(KeyOfNode(area, *cur->Prev), key, asc)) {
        LinkBefore(v, node, cur);
        area.recordNumber = curNumber;
        placed = true;
      }
    } else if (hint == 2 && !BelongsBefore(key, curKey, asc)) {
      if (cur->Next == nullptr || !BelongsBefore(KeyOfNode(area, *cur->Next), key, asc)) {
        LinkAfter(v, node, cur);
        area.recordNumber = curNumber + 1;
        placed = true;
      }
    }
  }
  if (!placed) {
    TVFileKey headKey = KeyOfNode(area, *v.VFileHead);
    if (StrictlyBefore(key, headKey, asc)) {
      LinkBefore(v, node, v.VFileHead);
      area.recordNumber = 1;
    } else if (VFileCompareKeys(key, headKey, TKeyRelation::Equal)) {
      // Equal keys keep the order they came in: walk over them.
      VFileNode* last = v.VFileHead;
      std::int32_t number = 1;
      while (last->Next != nullptr &&
             VFileCompareKeys(KeyOfNode(area, *last->Next), key, TKeyRelation::Equal)) {
        last = last->Next;
        ++number;
      }
      LinkAfter(v, node, last);
      area.recordNumber = number + 1;
    } else if (n == 1 || !StrictlyBefore(key, KeyOfNode(area, *v.VFileTail), asc)) {
      LinkAfter(v, node, v.VFileTail);
      area.recordNumber = n + 1;
    } else {
      // Record lo belongs before the key, record hi after it.
      std::int32_t lo = 1, hi = n;
      while (hi - lo > 1) {
        std::int32_t mid = lo + (hi - lo) / 2;
        VFileSeek(area, mid);
        if (StrictlyBefore(key, KeyOfNode(area, *v.VFileCurrent), asc))
          hi = mid;
        else
          lo = mid;
      }
      VFileSeek(area, lo);
      LinkAfter(v, node, v.VFileCurrent);
      area.recordNumber = lo + 1;
    }
  }
  // The new record goes back into the record buffer.
  CopyNodeToBuffer(area, *node);
}

}  // namespace

void VFileSeek(WorkAreaRecord& area, std::int32_t target) {
  TVFileState& v = area.vfile;
  const std::int32_t c = area.recordNumber;
  const std::int32_t n = area.recordCount;
  const std::int32_t t = target;
  if (t < 1 || t > n || v.VFileHead == nullptr) return;
  if (t == c && v.VFileCurrent != nullptr) return;
  // Without a current node the walk can only start at an end.
  const std::int64_t fromCurrent =
      v.VFileCurrent != nullptr ? std::llabs(static_cast<std::int64_t>(t) - c) : INT64_MAX;
  VFileNode* node;
  if (fromCurrent > t - 1 && t - 1 < n - t) {
    node = v.VFileHead;
    for (std::int32_t i = 1; i < t && node->Next != nullptr; ++i) node = node->Next;
  } else if (n - t > t - 1 || n - t >= fromCurrent) {
    node = v.VFileCurrent;
    if (c < t)
      for (std::int32_t i = c; i < t && node->Next != nullptr; ++i) node = node->Next;
    else
      for (std::int32_t i = c; i > t && node->Prev != nullptr; --i) node = node->Prev;
  } else {
    node = v.VFileTail;
    for (std::int32_t i = n; i > t && node->Prev != nullptr; --i) node = node->Prev;
  }
  v.VFileCurrent = node;
  area.recordNumber = t;
}

void VFileGoto(WorkAreaRecord& area) {
  XbaseErrorCode = 0;
  const std::int32_t t = area.vfile.VFileTarget;
  const std::int32_t n = area.recordCount;
  if (t < 1 || t > n) {
    SetError(212, "Attempted to position to record number " + std::to_string(t) +
                      "  Database record count is " + std::to_string(n) + TableName(area) +
                      " [VFiles]");
    return;
  }
  VFileSeek(area, t);
  if (area.vfile.VFileCurrent != nullptr) CopyNodeToBuffer(area, *area.vfile.VFileCurrent);
}

void VFileAdd(WorkAreaRecord& area) {
  TVFileState& v = area.vfile;
  const std::uint8_t hint = v.ReplaceHint;
  v.ReplaceHint = 0;
  if (!RecordFitsNode(area)) return;
  std::size_t size = BufferRecordSize(area);
  if (size > area.recordBuffer.size()) size = area.recordBuffer.size();

  VFileNode* node = new (std::nothrow) VFileNode;
  if (node == nullptr) {
    SetError(217, "Not enough HEAP to setup pointers.  Cannot add new record to " +
                      TableName(area) + " [VFiles]");
    return;
  }
  node->Record = new (std::nothrow) unsigned char[size > 0 ? size : 1];
  if (node->Record == nullptr) {
    delete node;
    SetError(217, "Not enough HEAP memory to add new record to " + TableName(area) + " [VFiles]");
    return;
  }
  node->Length = static_cast<std::uint16_t>(size);
  if (size > 0) std::memcpy(node->Record, area.recordBuffer.data(), size);

  area.eof = false;
  if (v.VFileHead == nullptr) {
    v.VFileHead = v.VFileTail = v.VFileCurrent = node;
    area.recordCount = 1;
    area.recordNumber = 1;
    return;
  }
  switch (v.VFileMode) {
    case kVFileAppend:
      LinkAfter(v, node, v.VFileTail);
      area.recordNumber = area.recordCount + 1;
      break;
    case kVFilePush:
      LinkBefore(v, node, v.VFileHead);
      area.recordNumber = 1;
      break;
    case kVFileInsert:
      // The new record takes the current record's place and number.
      if (v.VFileCurrent == nullptr) {
        LinkAfter(v, node, v.VFileTail);
        area.recordNumber = area.recordCount + 1;
      } else if (area.recordNumber > 1) {
        LinkBefore(v, node, v.VFileCurrent);
      } else {
        LinkBefore(v, node, v.VFileHead);
        area.recordNumber = 1;
      }
      break;
    case kVFileAscending:
    case kVFileDescending:
      if (v.KeyMaker == nullptr) {
        FreeNode(node);
        SetError(1100, TableName(area) +
                           " is a \"Sorted\" virtual file with no keymaker function. "
                           "[Append/InsertRec/PushRec]");
        return;
      }
      LinkSorted(area, node, hint);
      break;
    default:
      FreeNode(node);
      SetError(1100, std::to_string(v.VFileMode) + " is an invalid VFile mode set for " +
                         TableName(area) + " [(AddLL) VFiles INTERNAL ERROR]");
      return;
  }
  ++area.recordCount;
  v.VFileCurrent = node;
}

void VFileRemoveCurrent(WorkAreaRecord& area) {
  TVFileState& v = area.vfile;
  VFileNode* node = v.VFileCurrent;
  if (v.VFileHead == nullptr || node == nullptr) return;
  if (node->Prev != nullptr)
    node->Prev->Next = node->Next;
  else
    v.VFileHead = node->Next;
  if (node->Next != nullptr) {
    node->Next->Prev = node->Prev;
    v.VFileCurrent = node->Next;
  } else {
    v.VFileTail = node->Prev;
    v.VFileCurrent = node->Prev;
    area.recordNumber = area.recordCount - 1;
  }
  FreeNode(node);
  --area.recordCount;
  if (v.VFileHead == nullptr) {
    v.VFileCurrent = nullptr;
    area.recordNumber = 0;
    area.eof = area.bof = true;
  }
}

void VFileReplace(WorkAreaRecord& area) {
  TVFileState& v = area.vfile;
  const std::int32_t t = v.VFileTarget;
  if (t >= area.recordCount) {
    // The file layer counts an appended record before it hands it over; the list itself
    // says whether the target exists, so an append never overwrites the current record.
    std::int32_t length = 0, current = 0;
    for (const VFileNode* n = v.VFileHead; n != nullptr; n = n->Next) {
      ++length;
      if (n == v.VFileCurrent) current = length;
    }
    if (t > length) {
      area.recordCount = length;
      area.recordNumber = current;
      VFileAdd(area);
      return;
    }
  }
  VFileSeek(area, t);
  if (v.VFileCurrent == nullptr || !RecordFitsNode(area)) return;
  if (v.VFileMode == kVFileAscending || v.VFileMode == kVFileDescending) {
    const std::int32_t before = area.recordNumber;
    VFileRemoveCurrent(area);
    v.ReplaceHint = area.recordNumber == before ? 1 : 2;
    VFileAdd(area);
    return;
  }
  const std::size_t size = BufferRecordSize(area);
  if (VariableLength(area) && size != v.VFileCurrent->Length) {
    VFileNode* old = v.VFileCurrent;
    const std::uint8_t mode = v.VFileMode;
    v.VFileMode = kVFileInsert;
    VFileAdd(area);
    v.VFileMode = mode;
    if (v.VFileCurrent != old) {  // added: the old version goes
      VFileNode* added = v.VFileCurrent;
      const std::int32_t number = area.recordNumber;
      v.VFileCurrent = old;
      area.recordNumber = number + 1;
      VFileRemoveCurrent(area);
      v.VFileCurrent = added;
      area.recordNumber = number;
    }
    return;
  }
  std::memcpy(v.VFileCurrent->Record, area.recordBuffer.data(),
              std::min<std::size_t>(v.VFileCurrent->Length, area.recordBuffer.size()));
}

void VFilePack(WorkAreaRecord& area) {
  TVFileState& v = area.vfile;
  const std::size_t mark = DeletionMarkOffset(area);
  v.VFileCurrent = v.VFileHead;
  area.recordNumber = 1;
  while (v.VFileCurrent != nullptr) {
    VFileNode* node = v.VFileCurrent;
    if (node->Length > mark && node->Record[mark] != 0) {
      bool wasTail = node->Next == nullptr;
      VFileRemoveCurrent(area);
      if (wasTail) break;
    } else {
      v.VFileCurrent = node->Next;
      ++area.recordNumber;
    }
  }
  v.VFileCurrent = v.VFileHead;
  area.recordNumber = v.VFileHead != nullptr ? 1 : 0;
  if (v.VFileHead == nullptr) area.eof = area.bof = true;
}

void VFilePop(WorkAreaRecord& area) {
  TVFileState& v = area.vfile;
  if (v.VFileHead == nullptr) {
    SetError(1100, "Virtual file empty - no more records to POP from " + TableName(area) +
                       " [(PopRec) VFiles]");
    return;
  }
  if (v.VFileMode == kVFileInsert) {
    SetError(1100, "Cannot POP a record in INSERTION mode from " + TableName(area) +
                       " [(PopRec) VFiles]");
    return;
  }
  XbaseErrorCode = 0;
  VFileSeek(area, 1);
  CopyNodeToBuffer(area, *v.VFileCurrent);
  if (XbaseErrorCode == 0) VFileRemoveCurrent(area);
}

TVFileKey VFileMakeKey(WorkAreaRecord& area) {
  TVFileKey key;
  if (area.vfile.KeyMaker != nullptr) area.vfile.KeyMaker(area.vfile.KeyMakerArg, key.text);
  if (key.text.size() > 100) key.text.resize(100);
  // A key is numeric when the whole text, blanks around it aside, is one number.
  std::size_t b = key.text.find_first_not_of(' ');
  std::size_t e = key.text.find_last_not_of(' ');
  if (b != std::string::npos) {
    const char* first = key.text.data() + b;
    const char* last = key.text.data() + e + 1;
    if (*first == '+') ++first;
    double value = 0;
    auto r = std::from_chars(first, last, value);
    if (r.ec == std::errc() && r.ptr == last && first != last) {
      key.numeric = true;
      key.number = value;
    }
  }
  return key;
}

bool VFileCompareKeys(const TVFileKey& a, const TVFileKey& b, TKeyRelation relation) {
  int c;
  if (a.numeric && b.numeric) {
    c = a.number < b.number ? -1 : (a.number > b.number ? 1 : 0);
  } else {
    c = a.text.compare(b.text);  // ordinal: std::string compares as unsigned bytes
    c = c < 0 ? -1 : (c > 0 ? 1 : 0);
  }
  switch (relation) {
    case TKeyRelation::Equal:
      return c == 0;
    case TKeyRelation::Less:
      return c < 0;
    case TKeyRelation::Greater:
      return c > 0;
    case TKeyRelation::LessOrEqual:
      return c <= 0;
    case TKeyRelation::GreaterOrEqual:
      return c >= 0;
  }
  return false;
}

void VFileDispatch(WorkAreaRecord& area) {
  TVFileState& v = area.vfile;
  const std::size_t mark = DeletionMarkOffset(area);
  switch (v.VFileRequest) {
    case kVFileClose:
      if (!programEnding) {
        FreeList(area);
        area.fields.clear();
        area.fieldCount = 0;
      }
      break;
    case kVFileDelete:
    case kVFileRecall: {
      const unsigned char flag = v.VFileRequest == kVFileDelete ? 1 : 0;
      if (v.VFileCurrent != nullptr && v.VFileCurrent->Length > mark) {
        v.VFileCurrent->Record[mark] = flag;
        if (XbaseErrorCode == 0 && area.recordBuffer.size() > mark) area.recordBuffer[mark] = flag;
      }
      break;
    }
    case kVFileGoto:
      VFileGoto(area);
      break;
    case kVFileInit:
      v.VFileHead = v.VFileTail = v.VFileCurrent = nullptr;
      area.recordCount = 0;
      area.recordNumber = 0;
      area.eof = area.bof = true;
      break;
    case kVFilePack:
      VFilePack(area);
      break;
    case kVFilePop:
      VFilePop(area);
      break;
    case kVFileAppendRecord:
      VFileAdd(area);
      area.eof = false;
      break;
    case kVFileReplace:
      VFileReplace(area);
      break;
    case kVFileRemove:
      VFileRemoveCurrent(area);
      break;
    case kVFileFreeAll:
      FreeList(area);
      break;
    default:
      break;
  }
}

void InstallVFileDispatch() {
  programEnding = false;
  VFileDispatcher = VFileDispatch;
}

void DoneVFiles() {
  programEnding = true;
}
