// Building an NDX index: key extraction from the table file, sorting in bounded runs with a
// merge through a work file, and the bottom-up fill of the tree.
#include "xbase/ndx_build.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <numeric>
#include <queue>

#include "platform/file_writer.h"
#include "xbase/dbf_file.h"
#include "xbase/xbase_errors.h"
#include "xbase/xbase_expr_compiler.h"
#include "xbase/xbase_expr_eval.h"
#include "xbase/xbase_platform.h"
#include "xbase/xbase_utils.h"

std::uint32_t IndexSortRunItems = 8189;  // 32758-byte sort area of 4-byte pointers

namespace {

TIndexProgress ProgressRoutine = nullptr;
int ProgressCalls = 0;

constexpr std::size_t kReadBufferBytes = 65512;
constexpr std::size_t kOutputBufferBytes = 64 * 1024;

bool WriteAll(int fd, const unsigned char* data, std::size_t size, off_t at) {
  while (size > 0) {
    const ssize_t n = pwrite(fd, data, size, at);
    if (n <= 0) {
      if (n < 0 && errno == EINTR) continue;
      if (n == 0) errno = ENOSPC;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
    at += n;
  }
  return true;
}

// Progress calls spread over reading and writing.
class TProgress {
 public:
  TProgress(std::int32_t records) {
    if (!ProgressRoutine || ProgressCalls <= 0) return;
    remaining_ = ProgressCalls;
    step_ = std::max<std::int64_t>(2, 2 * (records / ProgressCalls));
  }
  void At(std::int64_t n) {
    if (remaining_ > 0 && n % step_ == 0) {
      --remaining_;
      ProgressRoutine();
    }
  }
  ~TProgress() {
    while (remaining_-- > 0) ProgressRoutine();
  }

 private:
  int remaining_ = 0;
  std::int64_t step_ = 2;
};

// Sort items (key + 4-byte record number) in runs of bounded size; more than one run goes
// through a work file and is merged.
class TNdxSorter {
 public:
  TNdxSorter(bool characterKey, int keyLength)
      : character_(characterKey), keyLength_(keyLength), itemLength_(keyLength + 4) {
    runItems_ = std::max<std::uint32_t>(IndexSortRunItems, 2);
  }
  ~TNdxSorter() {
    if (work_ >= 0) close(work_);
    if (!workName_.empty()) unlink(workName_.c_str());
  }
  bool WorkFileUsed() const { return !workName_.empty(); }

  bool Add(const unsigned char* key, std::uint32_t record) {
    const std::size_t at = pool_.size();
    pool_.resize(at + itemLength_);
    std::memcpy(pool_.data() + at, key, keyLength_);
    PutU32(pool_.data() + at + keyLength_, record);
    if (pool_.size() / itemLength_ >= runItems_) return Spill();
    return true;
  }

  // Calls sink(key, record) for every item in order; false after an I/O failure.
  template <typename Sink>
  bool Drain(Sink sink) {
    if (workName_.empty()) {
      SortPool();
      for (std::uint32_t i : order_)
        if (!sink(pool_.data() + std::size_t{i} * itemLength_,
                  GetU32(pool_.data() + std::size_t{i} * itemLength_ + keyLength_)))
          return false;
      return true;
    }
    if (!pool_.empty() && !Spill()) return false;
    pool_.clear();
    pool_.shrink_to_fit();
    return Merge(sink);
  }

 private:
  int Compare(const unsigned char* a, const unsigned char* b) const {
    const int c = CompareNdxKeys(character_, a, b, keyLength_);
    if (c) return c;
    const std::uint32_t ra = GetU32(a + keyLength_), rb = GetU32(b + keyLength_);
    return ra < rb ? -1 : (ra > rb ? 1 : 0);
  }

  void SortPool() {
    const std::size_t n = pool_.size() / itemLength_;
    order_.resize(n);
    std::iota(order_.begin(), order_.end(), 0u);
    const unsigned char* base = pool_.data();
    std::sort(order_.begin(), order_.end(), [&](std::uint32_t x, std::uint32_t y) {
      return Compare(base + std::size_t{x} * itemLength_, base + std::size_t{y} * itemLength_) < 0;
    });
  }

  bool Spill() {
    if (work_ < 0) {
      workName_ = UniqueFilename();
      if (workName_.empty()) return false;
      std::uint16_t code = 0;
      work_ = XbCreateFile(workName_, code);
      if (work_ < 0) {
        SetError(code, " [MakeIndex]");
        return false;
      }
    }
    SortPool();
    std::vector<unsigned char> out;
    out.reserve(std::min<std::size_t>(kOutputBufferBytes, pool_.size()));
    const std::size_t flushAt =
        std::max<std::size_t>(kOutputBufferBytes / itemLength_, 1) * itemLength_;
    const off_t start = static_cast<off_t>(written_);
    for (std::uint32_t i : order_) {
      out.insert(out.end(), pool_.begin() + std::size_t{i} * itemLength_,
                 pool_.begin() + (std::size_t{i} + 1) * itemLength_);
      if (out.size() >= flushAt) {
        if (!WriteAll(work_, out.data(), out.size(), static_cast<off_t>(written_))) return Failed();
        written_ += out.size();
        out.clear();
      }
    }
    if (!out.empty()) {
      if (!WriteAll(work_, out.data(), out.size(), static_cast<off_t>(written_))) return Failed();
      written_ += out.size();
    }
    runs_.push_back({static_cast<std::uint64_t>(start), written_});
    pool_.clear();
    return true;
  }

  bool Failed() {
    SetError(DosCodeOfErrno(errno), " [MakeIndex]");
    return false;
  }

  struct TRun {
    std::uint64_t next;
    std::uint64_t end;
    std::vector<unsigned char> buffer;
    std::size_t offset = 0;
  };

  bool Refill(TRun& r, std::size_t bufferItems) {
    const std::uint64_t left = r.end - r.next;
    const std::size_t take =
        static_cast<std::size_t>(std::min<std::uint64_t>(left, bufferItems * itemLength_));
    r.buffer.resize(take);
    r.offset = 0;
    if (take == 0) return true;
    if (pread(work_, r.buffer.data(), take, static_cast<off_t>(r.next)) !=
        static_cast<ssize_t>(take)) {
      SetError(100, " [MakeIndex]");
      return false;
    }
    r.next += take;
    return true;
  }

  template <typename Sink>
  bool Merge(Sink sink) {
    // The sort area shared among the runs as read buffers.
    const std::size_t bufferItems =
        std::max<std::size_t>(1, std::size_t{runItems_} / std::max<std::size_t>(1, runs_.size()));
    std::vector<TRun> runs;
    for (const auto& r : runs_) runs.push_back({r.first, r.second, {}, 0});
    for (TRun& r : runs)
      if (!Refill(r, bufferItems)) return false;
    auto head = [&](std::size_t i) { return runs[i].buffer.data() + runs[i].offset; };
    auto later = [&](std::size_t a, std::size_t b) { return Compare(head(a), head(b)) > 0; };
    std::priority_queue<std::size_t, std::vector<std::size_t>, decltype(later)> heap(later);
    for (std::size_t i = 0; i < runs.size(); ++i)
      if (!runs[i].buffer.empty()) heap.push(i);
    while (!heap.empty()) {
      const std::size_t i = heap.top();
      heap.pop();
      const unsigned char* item = head(i);
      if (!sink(item, GetU32(item + keyLength_))) return false;
      TRun& r = runs[i];
      r.offset += itemLength_;
      if (r.offset >= r.buffer.size() && !Refill(r, bufferItems)) return false;
      if (!r.buffer.empty()) heap.push(i);
    }
    return true;
  }

  bool character_;
  int keyLength_;
  std::size_t itemLength_;
  std::uint32_t runItems_;
  std::vector<unsigned char> pool_;
  std::vector<std::uint32_t> order_;
  std::vector<std::pair<std::uint64_t, std::uint64_t>> runs_;
  std::uint64_t written_ = 0;
  std::string workName_;
  int work_ = -1;
};

std::string Directory(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

// The folder of an index's work files and how their names begin: beside it, after its name.
void IndexWorkPlace(const std::string& name, std::string& dir, std::string& prefix) {
  dir = Directory(name);
  prefix = name.substr(name.find_last_of('/') + 1) + ".";
}

}  // namespace

void RemoveLeftoverIndexWork(const std::string& name) {
  std::string dir, prefix;
  IndexWorkPlace(name, dir, prefix);
  platform::RemoveFilesOfGoneProcesses(dir, prefix);
}

// ---------------------------------------------------------------------------------------------

TNdxTreeWriter::TNdxTreeWriter(int file, const TNdxAnchor& anchor, bool unique)
    : file_(file), anchor_(anchor), unique_(unique), levels_(1) {
  out_.reserve(kOutputBufferBytes);
}

bool TNdxTreeWriter::Flush() {
  if (out_.empty() || failed_) return !failed_;
  const std::uint32_t firstNode = nextNode_ - static_cast<std::uint32_t>(out_.size() / 512);
  if (!WriteAll(file_, out_.data(), out_.size(), static_cast<off_t>(firstNode) * kNdxBlockSize))
    failed_ = true;
  out_.clear();
  return !failed_;
}

bool TNdxTreeWriter::EmitNode(unsigned char* image, std::uint32_t& number) {
  out_.insert(out_.end(), image, image + kNdxBlockSize);
  std::memset(image, 0, kNdxBlockSize);
  number = nextNode_++;
  lastNode_ = number;
  if (out_.size() >= kOutputBufferBytes) return Flush();
  return true;
}

bool TNdxTreeWriter::Add(const unsigned char* key, std::uint32_t record) {
  const int keyLength = anchor_.keyLength;
  const int itemSize = anchor_.itemSize;
  const int k = anchor_.keysPerNode;
  if (unique_ && havePrevious_ &&
      CompareNdxKeys(anchor_.keyClass == 0, key,
                     reinterpret_cast<const unsigned char*>(previousKey_.data()), keyLength) == 0)
    return true;
  unsigned char* leaf = levels_[0].data();
  if (NodeItemCount(leaf) == k) {
    // The full leaf goes out; its last key climbs as the separator of its parent.
    unsigned char carried[kNdxMaxKeyLength];
    std::memcpy(carried, ItemKey(NodeItem(leaf, k - 1, itemSize)), keyLength);
    std::size_t level = 0;
    for (;;) {
      std::uint32_t number = 0;
      if (!EmitNode(levels_[level].data(), number)) return false;
      ++level;
      if (level == levels_.size()) levels_.emplace_back();
      unsigned char* up = levels_[level].data();
      const int c = NodeItemCount(up);
      PutU32(NodeItem(up, c, itemSize), number);
      if (c < k) {
        std::memcpy(NodeItem(up, c, itemSize) + 8, carried, keyLength);
        SetNodeItemCount(up, c + 1);
        break;
      }
    }
    leaf = levels_[0].data();
  }
  const int n = NodeItemCount(leaf);
  PutNodeItem(NodeItem(leaf, n, itemSize), itemSize, 0, record, key, keyLength);
  SetNodeItemCount(leaf, n + 1);
  ++written_;
  if (unique_) {
    previousKey_.assign(reinterpret_cast<const char*>(key), keyLength);
    havePrevious_ = true;
  }
  return !failed_;
}

std::uint32_t TNdxTreeWriter::Finish() {
  std::uint32_t number = 0;
  if (!EmitNode(levels_[0].data(), number)) return 0;
  for (std::size_t level = 1; level < levels_.size(); ++level) {
    unsigned char* up = levels_[level].data();
    const int c = NodeItemCount(up);
    if (c == 0) continue;  // the right-most path may be shorter
    PutU32(NodeItem(up, c, anchor_.itemSize), lastNode_);
    if (!EmitNode(up, number)) return 0;
  }
  if (!Flush()) return 0;
  return lastNode_;
}

// ---------------------------------------------------------------------------------------------

void SetIndexProgress(TIndexProgress routine, int calls) {
  ProgressRoutine = routine;
  ProgressCalls = routine ? calls : 0;
}

bool CheckIndexDiskSpace(std::int32_t recordCount, int levels, int keysPerNode, int sortItemSize) {
  double bytes = static_cast<double>(recordCount) * sortItemSize;
  double power = 1;
  for (int l = 1; l <= levels; ++l) {
    power *= keysPerNode;
    bytes += (static_cast<double>(static_cast<std::int64_t>(recordCount / power)) + 1) * 512;
  }
  const double neededKB = bytes / 1024;
  WorkAreaRecord* a = CurrentWorkArea();
  const double freeKB = DiskFreeKB(a ? Directory(a->path) : std::string());
  if (neededKB > freeKB) {
    auto general = [](double v) {
      char buf[64];
      return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
    };
    SetError(227, "Available disk space: " + general(freeKB) +
                      " KBytes;needed: " + general(neededKB) + " KBytes [MakeIndex]");
    return false;
  }
  return true;
}

void MakeIndex(const std::string& fileName, const std::string& keyExpression, bool soundex,
               int slot, bool unique, bool descending, TKeyMaker keyMaker, void* keyMakerData) {
  XbaseErrorCode = 0;
  if (AllTrim(fileName).empty()) {
    SetError(220, "index filename not specified [MakeIndex()]");
    return;
  }
  const std::string name = IndexPathFor(fileName);
  const std::string suffix = " [MakeIndex(<...>," + name + ")]";
  WorkAreaRecord* a = CurrentWorkArea();
  if (!a) {
    SetError(215, "database not open attempting to index to" + name + "." + suffix);
    return;
  }
  TIndexDescriptor index;
  index.fileName = name;
  index.homeSlot = slot;
  CompiledExpr* compiled = nullptr;
  if (!keyMaker) {
    if (AllTrim(keyExpression).empty()) {
      SetError(254, "Neither Expression nor KeyMaker defined" + suffix);
      return;
    }
    if (!ParserPresent || !ExprHooks.compile) {
      SetError(221, "RUDerovo unit not linked in. [MakeIndex]");
      return;
    }
    if (keyExpression.size() > kNdxMaxExpression) {
      SetError(300, "Expression length exceeds 100 bytes" + suffix);
      return;
    }
    std::string text = keyExpression;
    compiled = ExprHooks.compile(text);
    if (!compiled) return;
  }
  // Frees the compiled expression on every way out.
  struct TExprGuard {
    CompiledExpr*& e;
    ~TExprGuard() {
      if (e) FreeExpr(e);
    }
  } guard{compiled};

  for (int area = 1; area <= 34; ++area)
    for (auto& d : IndexTable[area])
      if (d && d->fileName == name) {
        SetError(214, name + suffix);
        return;
      }
  // The index is built under a name of its own beside the old file, which it replaces only
  // once it is whole: a build that fails leaves the old index as it was.
  // The work name carries our pid, so that the next build or open of this index can tell the
  // work file of a killed build from one still being written.
  std::string dir, prefix;
  IndexWorkPlace(name, dir, prefix);
  platform::RemoveFilesOfGoneProcesses(dir, prefix);
  std::string building;
  int err = 0;
  const int fd = platform::CreateWorkFile(dir, prefix, building, err);
  if (fd < 0) {
    SetError(DosCodeOfErrno(err), "File not open" + name + ": " + std::strerror(err) + suffix);
    return;
  }
  index.file = fd;
  struct TFileGuard {
    TIndexDescriptor& d;
    std::string building;
    bool complete = false;
    ~TFileGuard() {
      if (d.file >= 0) XbCloseFile(d.file);
      d.file = -1;
      if (!complete) unlink(building.c_str());
    }
  } fileGuard{index, building};

  char type = 'C';
  if (compiled) {
    type = compiled->ResultType;
    if (type != 'C' && type != 'D' && type != 'N' && type != 'F') {
      SetError(254, "Wrong parser return type" + suffix);
      return;
    }
  }
  index.keyExpr = compiled;
  index.keyMaker = keyMaker;
  index.keyMakerData = keyMakerData;
  index.soundex = keyMaker && soundex;
  index.descending = keyMaker && descending;
  index.characterKey = type == 'C';
  index.resultType = type;
  // Key length: the first key for character keys.
  int keyLength = 8;
  if (keyMaker && soundex) {
    keyLength = kSoundexLength;
  } else if (index.characterKey) {
    index.anchor.keyLength = 0;
    keyLength =
        static_cast<int>(std::min<std::size_t>(MakeIndexKey(index, slot).size(), kNdxMaxKeyLength));
    if (!keyMaker && compiled) {
      SelectExpr(compiled);
      const char* r = static_cast<const char*>(EvaluateCurrentExpr());
      keyLength = r ? static_cast<int>(strnlen(r, kNdxMaxKeyLength + 1)) : 0;
      // Opening checks the key of a blank record against the key length: an expression whose
      // keys vary in length (TRIM and the like) would make a file that never opens again.
      const std::vector<unsigned char> raw = a->recordBuffer;
      const std::vector<unsigned char> typed(a->typedBuffer, a->typedBuffer + a->typedSize);
      const std::int32_t number = a->recordNumber;
      std::fill(a->recordBuffer.begin(), a->recordBuffer.end(), ' ');
      RecordToFields(*a, a->typedBuffer);
      a->recordNumber = a->recordCount + 1;
      SelectExpr(compiled);
      const char* b = static_cast<const char*>(EvaluateCurrentExpr());
      const int blankLength = b ? static_cast<int>(strnlen(b, kNdxMaxKeyLength + 1)) : 0;
      a->recordBuffer = raw;
      std::copy(typed.begin(), typed.end(), a->typedBuffer);
      a->recordNumber = number;
      if (blankLength != keyLength) {
        SetError(266, "Key expression gives keys of varying length (" + std::to_string(keyLength) +
                          " and " + std::to_string(blankLength) + "): pad it to one length" +
                          suffix);
        return;
      }
    }
  }
  if (keyLength < 1 || keyLength > kNdxMaxKeyLength) {
    SetError(266, "Incorrect key length: Must be 1 to 100." + suffix);
    return;
  }
  SetNdxKeyGeometry(index.anchor, type, keyLength);
  index.anchor.unique = unique ? 1 : 0;

  RefreshRecCount();
  const std::int32_t count = a->recordCount;
  int levels = 2;
  for (std::int64_t n = count / index.anchor.keysPerNode; n > 0; n /= index.anchor.keysPerNode)
    ++levels;
  if (!CheckIndexDiskSpace(count, levels, index.anchor.keysPerNode, keyLength + 4)) return;

  // Read phase: the table file block by block, each record made current in turn.
  const std::vector<unsigned char> savedRaw = a->recordBuffer;
  std::vector<unsigned char> savedTyped;
  if (a->typedBuffer) savedTyped.assign(a->typedBuffer, a->typedBuffer + a->typedSize);
  const std::int32_t savedNumber = a->recordNumber;
  const bool savedEof = a->eof, savedBof = a->bof;
  auto restore = [&] {
    a->recordBuffer = savedRaw;
    if (a->typedBuffer && savedTyped.size() == a->typedSize)
      std::memcpy(a->typedBuffer, savedTyped.data(), savedTyped.size());
    a->recordNumber = savedNumber;
    a->eof = savedEof;
    a->bof = savedBof;
  };

  TNdxSorter sorter(index.characterKey, keyLength);
  bool ok = true;
  {
    TProgress progress(count);
    const std::size_t recLen = a->recordLength;
    const std::size_t perBlock =
        std::max<std::size_t>(1, kReadBufferBytes / std::max<std::size_t>(recLen, 1));
    std::vector<unsigned char> block(perBlock * recLen);
    std::int32_t r = 1;
    while (ok && r <= count) {
      const std::size_t want = std::min<std::size_t>(perBlock, count - r + 1);
      if (a->vfile.isVirtual) {
        GetDbfRecord(*a, r);
        if (XbaseErrorCode) {
          ok = false;
          break;
        }
        std::memcpy(block.data(), a->recordBuffer.data(), recLen);
      } else {
        const off_t at = static_cast<off_t>(a->headerLength) + static_cast<off_t>(r - 1) * recLen;
        const ssize_t got = pread(a->fileHandle, block.data(), want * recLen, at);
        if (got != static_cast<ssize_t>(want * recLen)) {
          SetError(got < 0 ? 100 : 213, "File:  " + a->tableName + " [MakeIndex]");
          ok = false;
          break;
        }
        TranslateRecord(TTranslateDirection::Read, a->oem, a->readHook, want * recLen,
                        static_cast<std::uint16_t>(recLen), block.data());
      }
      const std::size_t inBlock = a->vfile.isVirtual ? 1 : want;
      for (std::size_t i = 0; i < inBlock && ok; ++i, ++r) {
        std::memcpy(a->recordBuffer.data(), block.data() + i * recLen, recLen);
        a->recordNumber = r;
        a->eof = a->bof = false;
        if (keyMaker && a->typedBuffer) RecordToFields(*a, a->typedBuffer);
        const std::string key = MakeIndexKey(index, slot);
        ok = sorter.Add(reinterpret_cast<const unsigned char*>(key.data()),
                        static_cast<std::uint32_t>(r)) &&
             XbaseErrorCode == 0;
        progress.At(r);
      }
    }
    restore();
    if (!ok) return;

    // Output phase.
    TNdxTreeWriter writer(fd, index.anchor, unique);
    std::int64_t item = 0;
    ok = sorter.Drain([&](const unsigned char* key, std::uint32_t record) {
      progress.At(++item);
      return writer.Add(key, record);
    });
    const std::uint32_t root = ok ? writer.Finish() : 0;
    if (!ok || root == 0) {
      if (!XbaseErrorCode) SetError(DosCodeOfErrno(errno ? errno : EIO), " [MakeIndex]");
      return;
    }
    index.anchor.root = root;
    index.anchor.nextFree = root + 1;
  }
  index.expression = keyMaker ? KeyMakerMarker() : NormalizeKeyExpression(AllTrim(keyExpression));
  std::string stored = index.expression;
  if (a->oem) stored = AnsiToOemStr(stored);
  const std::size_t slashAt = a->path.find_last_of('/');
  const TNdxBlock anchorBlock =
      MakeNdxAnchorBlock(index.anchor, stored, static_cast<std::uint32_t>(count),
                         slashAt == std::string::npos ? a->path : a->path.substr(slashAt + 1));
  if (!WriteAll(fd, anchorBlock.data(), kNdxBlockSize, 0)) {
    SetError(DosCodeOfErrno(errno), " [MakeIndex]");
    return;
  }
  // A reader of the old file keeps its copy; everyone opening the name from now on gets this.
  if (rename(building.c_str(), name.c_str()) != 0) {
    SetError(DosCodeOfErrno(errno), "File not open" + name + suffix);
    return;
  }
  fileGuard.complete = true;
  index.keyExpr = nullptr;
}

void Reindex() {
  if (!CheckDbInUse("Reindex")) return;
  WorkAreaRecord* a = CurrentWorkArea();
  bool any = false;
  for (auto& d : IndexTable[CurrentArea]) any = any || d != nullptr;
  // Indexes refused for an update cut short are rebuilt too, into the slots they were set for.
  std::vector<TMarkedIndex> marked;
  std::swap(marked, MarkedIndexes[CurrentArea]);
  std::erase_if(marked, [a](const TMarkedIndex& m) { return m.table != a->path; });
  if (!any && marked.empty()) {
    SetError(221, "Index not open. (DBF=" + a->tableName + ") [Reindex]");
    return;
  }
  std::vector<int> built;  // slots rebuilt here
  for (const TMarkedIndex& m : marked) {
    TNdxBlock block{};
    std::ifstream in(m.path, std::ios::binary);
    if (!in.read(reinterpret_cast<char*>(block.data()), kNdxBlockSize)) {
      SetError(222, "Unable to open index: " + m.path + " [Reindex]");
      return;
    }
    std::string expr = m.keyMaker ? std::string() : NdxStoredExpression(block.data());
    if (a->oem) expr = OemToAnsiStr(expr);
    const bool unique = UnpackNdxAnchor(block.data()).unique != 0;
    MakeIndex(m.path, expr, m.soundex, m.slot, unique, m.descending, m.keyMaker, m.keyMakerData);
    if (XbaseErrorCode || !SetIndexTo(m.nameWithOptions, m.slot, m.keyMaker, m.keyMakerData))
      return;
    built.push_back(m.slot);
  }
  const bool natural = NaturalOrder[CurrentArea];
  const int order = CurrentOrder();
  if (order > 1) Set_Order_To(1);
  NaturalOrder[CurrentArea] = false;
  for (int slot = 1; slot <= kMaxIndexSlots; ++slot) {
    TIndexDescriptor* d = IndexInSlot(slot);
    if (!d || std::count(built.begin(), built.end(), slot)) continue;
    const bool sx = d->soundex, desc = d->descending, uniq = d->anchor.unique != 0;
    const bool noCache = d->noCache;
    const TKeyMaker maker = d->keyMaker;
    void* data = d->keyMakerData;
    const std::string name = d->fileName;
    std::string expr;
    if (!maker) {
      unsigned char buf[kNdxMaxExpression + 1] = {};
      if (pread(d->file, buf, kNdxMaxExpression, kNdxExpressionOffset) < 0) {
        SetError(100, "Error reading index file:  [Reindex]");
        return;
      }
      expr = reinterpret_cast<const char*>(buf);
      if (a->oem) expr = OemToAnsiStr(expr);
    }
    CloseIndexFile(slot);
    MakeIndex(name, expr, maker ? sx : false, slot, uniq, maker ? desc : false, maker, data);
    if (XbaseErrorCode) return;
    std::string options = name;
    if (sx) options += " SOUNDEX";
    if (desc) options += " DESCENDING";
    if (uniq) options += " UNIQUE";
    if (noCache) options += " NOCACHE";
    if (!SetIndexTo(options, slot, maker, data)) return;
  }
  if (order > 1) Set_Order_To(order);
  NaturalOrder[CurrentArea] = natural;
}
