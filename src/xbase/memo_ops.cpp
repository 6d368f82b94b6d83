// Memo operations: opening and creating memo files, reading memos into lines, adding and
// rewriting memos under the lock byte, and memo fields as text files.
#include "xbase/memo_ops.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <memory>

#include "xbase/dbf_file.h"
#include "xbase/locking.h"
#include "xbase/memo_pack.h"
#include "xbase/xbase_errors.h"
#include "xbase/xbase_platform.h"
#include "xbase/xbase_utils.h"

bool MemoNetworkOn = true;
std::uint16_t MemoFileModeOverride = 65535;
std::uint16_t MemoMaxLines = 1024;
bool MemoWrapOn = false;
int MemoWrapWidth = 78;
TMemoLineTable MemoLines;

namespace {

constexpr std::uint16_t kExclusiveMode = 18;
constexpr std::uint16_t kSharedMode = 66;
constexpr int kLockTries = 11;

std::array<std::unique_ptr<TMemoDescriptor>, kWorkAreaCount + 1> memoDescriptors;

// Makes an area current for the lifetime of the object.
class AreaSwitch {
 public:
  explicit AreaSwitch(std::uint8_t area) : saved_(CurrentArea) { CurrentArea = area; }
  ~AreaSwitch() { CurrentArea = saved_; }
  AreaSwitch(const AreaSwitch&) = delete;
  AreaSwitch& operator=(const AreaSwitch&) = delete;

 private:
  std::uint8_t saved_;
};

bool IsMemoExtension(std::string ext) {
  ext = UpperAscii(ext);
  return ext == ".DBT" || ext == ".FPT";
}

// The memo file beside a table: its name with the memo extension in place of the table's, in
// the case of the table's extension; an existing file in the other case is taken as well, as
// names are case-sensitive here and other programs write either.
std::string MemoFileNameFor(const std::string& tableName, std::uint8_t type, bool existing) {
  std::string directory, base, extension;
  SplitFileName(AllTrim(tableName), directory, base, extension);
  if (IsMemoExtension(extension)) return AllTrim(tableName);
  std::string memoExt = MemoFileExt(type);
  const bool lower =
      std::any_of(extension.begin(), extension.end(), [](char c) { return c >= 'a' && c <= 'z'; });
  if (lower)
    for (char& c : memoExt) c = CharLower(c);
  const std::string name = directory + base + "." + memoExt;
  if (!existing || FileExistsShort(name)) return name;
  std::string other = memoExt;
  for (char& c : other) c = lower ? CharUpper(c) : CharLower(c);
  const std::string alternative = directory + base + "." + other;
  return FileExistsShort(alternative) ? alternative : name;
}

std::string TableNameOfCurrent() {
  const WorkAreaRecord* area = CurrentWorkArea();
  return area ? area->tableName : std::string();
}

std::string RecordText() {
  const WorkAreaRecord* area = CurrentWorkArea();
  return std::to_string(area ? area->recordNumber : 0);
}

// True when writers must take the lock byte.
bool LockNeeded(const WorkAreaRecord& area) {
  return MemoNetworkOn && !area.exclusive;
}

bool LockMemo(TMemoDescriptor& memo, const WorkAreaRecord& area) {
  if (!LockNeeded(area)) return true;
  if (memo.locked) return true;
  for (int attempt = 0; attempt < kLockTries; ++attempt) {
    if (LockRegion(false, memo.file, kMemoLockOffset, 1) == 0) {
      memo.locked = true;
      return true;
    }
    // A short busy wait before the next try, as other writers hold the byte only briefly.
    for (int spin = 0; spin < 5000; ++spin) asm volatile("");
  }
  return false;
}

// Line width for reading.
std::size_t ReadWidth() {
  if (!MemoWrapOn) return 253;
  if (MemoWrapWidth < 1 || MemoWrapWidth > 254) return 254;
  return std::size_t(MemoWrapWidth);
}

// Appends one line to the table; false when it is full.
bool PushLine(std::string line, std::uint8_t end) {
  if (MemoLines.lines.size() >= MemoMaxLines) return false;
  MemoLines.lines.push_back(std::move(line));
  MemoLines.lineEnds.push_back(end);
  return true;
}

// Splits memo bytes into the line table; false when the table overflows.
bool SplitIntoLines(const std::string& bytes) {
  const std::size_t width = ReadWidth();
  std::string current;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c == 13 || c == kSoftReturn) {
      if (!PushLine(std::move(current), c)) return false;
      current.clear();
      if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      continue;
    }
    current.push_back(char(c));
    if (current.size() >= width) {
      // Break after the last blank; the rest starts the next line.
      const std::size_t blank = current.rfind(' ');
      std::string rest;
      if (blank != std::string::npos && blank + 1 < current.size()) {
        rest = current.substr(blank + 1);
        current.resize(blank + 1);
      }
      if (!PushLine(std::move(current), 0)) return false;
      current = std::move(rest);
    }
  }
  if (!current.empty() && !PushLine(std::move(current), 0)) return false;
  return true;
}

// Reads the stored bytes of memo `block`; 0 or an error code (1003 bad address, 30 read).
std::uint16_t ReadMemoBytes(const TMemoDescriptor& memo, std::int32_t block, std::string& bytes) {
  bytes.clear();
  const std::int64_t size = XbFileSize(memo.file);
  const std::int64_t offset = std::int64_t(std::abs(std::int64_t(block))) * memo.blockSize;
  if (size < 0) return 30;
  if (offset <= 0 || offset > size - 2) return 1003;
  std::uint8_t first[kMemoBlockHeaderSize] = {};
  const std::size_t headerBytes = std::size_t(std::min<std::int64_t>(8, size - offset));
  if (std::uint16_t rc = MemoReadAt(memo.file, offset, first, headerBytes)) return rc;
  const TMemoLayout layout =
      headerBytes == 8 ? RecogniseMemo(memo.memoType, first) : TMemoLayout::Dbase3Text;
  if (layout != TMemoLayout::Dbase3Text) {
    const std::uint32_t length = StoredTextLength(layout, first);
    if (offset + 8 + std::int64_t(length) > size) return 30;
    bytes.resize(length);
    return MemoReadAt(memo.file, offset + 8, bytes.data(), length);
  }
  // dBASE III text: up to the first end mark.
  std::string chunk;
  for (std::int64_t pos = offset; pos < size; pos += 512) {
    chunk.resize(std::size_t(std::min<std::int64_t>(512, size - pos)));
    if (std::uint16_t rc = MemoReadAt(memo.file, pos, chunk.data(), chunk.size())) return rc;
    const std::size_t end = chunk.find(char(kMemoEnd));
    bytes.append(chunk, 0, end);
    if (end != std::string::npos) break;
  }
  return 0;
}

// Stores a text given as bytes (already trimmed) as a memo at the end of the file or, in dBASE
// IV files, in place of oldBlock; the block or 0.
std::int32_t WriteMemo(std::string bytes, std::int32_t oldBlock, bool reuse,
                       const std::string& routine);

std::string ReadLinesBytes() {
  return MemoLinesText() + MemoLines.pending;
}

}  // namespace

void TMemoLineTable::Clear() {
  lines.clear();
  lineEnds.clear();
  current = 0;
  pending.clear();
  afterLineEnd = false;
}

// ---------------------------------------------------------------------------------------------
// File access

std::uint16_t MemoReadAt(int file, std::int64_t position, void* data, std::size_t count) {
  auto* p = static_cast<char*>(data);
  while (count > 0) {
    const ssize_t n = ::pread(file, p, count, position);
    if (n < 0) {
      if (errno == EINTR) continue;
      return DosCodeOfErrno(errno);
    }
    if (n == 0) return 30;
    p += n;
    position += n;
    count -= std::size_t(n);
  }
  return 0;
}

std::uint16_t MemoWriteAt(int file, std::int64_t position, const void* data, std::size_t count) {
  auto* p = static_cast<const char*>(data);
  while (count > 0) {
    const ssize_t n = ::pwrite(file, p, count, position);
    if (n < 0) {
      if (errno == EINTR) continue;
      return DosCodeOfErrno(errno);
    }
    if (n == 0) return 101;
    p += n;
    position += n;
    count -= std::size_t(n);
  }
  return 0;
}

std::uint16_t PadToBlock(int file, std::uint16_t blockSize, std::int64_t& size) {
  size = XbFileSize(file);
  if (size < 0) return 30;
  const std::int64_t rest = size % blockSize;
  if (rest == 0) return 0;
  const std::string zeros(std::size_t(blockSize - rest), '\0');
  if (std::uint16_t rc = MemoWriteAt(file, size, zeros.data(), zeros.size())) return rc;
  size += std::int64_t(zeros.size());
  return 0;
}

std::uint16_t CompleteHeaderBlock(int file, std::uint8_t type, std::uint16_t blockSize) {
  if (!IsDbase4Memo(type) || blockSize == 0) return 0;
  const std::int64_t size = XbFileSize(file);
  if (size < 0) return 30;
  const std::int64_t blocks =
      (std::max<std::int64_t>(kMemoHeaderBlock, size) + blockSize - 1) / blockSize;
  const std::int64_t full = blocks * blockSize;
  if (size >= full) return 0;
  const std::string zeros(std::size_t(full - size), '\0');
  if (std::uint16_t rc = MemoWriteAt(file, size, zeros.data(), zeros.size())) return rc;
  std::uint8_t next[4];
  PutLe32(next, std::uint32_t(blocks));
  return MemoWriteAt(file, 0, next, 4);
}

void MemoInputConversion(const WorkAreaRecord& area, std::string& bytes) {
  if (bytes.empty()) return;
  if (area.readHook)
    area.readHook(reinterpret_cast<unsigned char*>(bytes.data()), std::uint16_t(bytes.size()));
  if (area.oem) bytes = OemToAnsiStr(bytes);
}

void MemoOutputConversion(const WorkAreaRecord& area, std::string& bytes) {
  if (bytes.empty()) return;
  if (area.oem) bytes = AnsiToOemStr(bytes);
  if (area.writeHook)
    area.writeHook(reinterpret_cast<unsigned char*>(bytes.data()), std::uint16_t(bytes.size()));
}

// ---------------------------------------------------------------------------------------------
// Descriptors, opening and closing

TMemoDescriptor* MemoDescriptorOf(int area) {
  if (area < 1 || area > kWorkAreaCount) return nullptr;
  return memoDescriptors[std::size_t(area)].get();
}

TMemoDescriptor* CurrentMemo() {
  return MemoDescriptorOf(CurrentArea);
}

std::uint8_t GetMemoType() {
  if (!CheckDbInUse("GetMemoType")) return DefaultMemoVersion;
  const WorkAreaRecord* area = CurrentWorkArea();
  std::uint8_t version = area->headerImage[0];
  if (area->fileHandle >= 0) {
    std::uint8_t byte = 0;
    if (MemoReadAt(area->fileHandle, 0, &byte, 1) == 0) version = byte;
  }
  return IsMemoType(version) ? version : DefaultMemoVersion;
}

void OpenMemofile(const std::string& tableName) {
  if (!CheckDbInUse("USE")) return;
  WorkAreaRecord* area = CurrentWorkArea();
  const std::string name = MemoFileNameFor(tableName, GetMemoType(), true);
  auto& slot = memoDescriptors[CurrentArea];
  if (slot) {
    SetError(1007, name + " [USE]");
    return;
  }
  auto memo = std::make_unique<TMemoDescriptor>();
  memo->memoType = DefaultMemoVersion;
  memo->blockSize = DefaultMemoBlockSize;
  memo->name = name;
  std::uint16_t mode =
      (MemoNetworkOn && !area->exclusive) || SharingOn ? kSharedMode : kExclusiveMode;
  if (MemoFileModeOverride < 65535) mode = MemoFileModeOverride;
  std::uint16_t code = 0;
  memo->file = XbOpenFile(name, mode == kExclusiveMode, false, code);
  if (memo->file < 0) {
    SetError(code ? code : 2, "Memo file not found: " + name + " [USE]");
    return;
  }
  memo->memoType = GetMemoType();
  std::uint8_t header[24] = {};
  if (memo->memoType == kMemoDbase3) {
    memo->blockSize = kDbase3BlockSize;
  } else {
    const std::size_t want = IsFoxProMemo(memo->memoType) ? 8 : 24;
    if (MemoReadAt(memo->file, 0, header, want) == 0)
      memo->blockSize = HeaderBlockSize(memo->memoType, header, DefaultMemoBlockSize);
  }
  slot = std::move(memo);
  area->hasMemo = true;
}

void CloseMemofile() {
  auto& slot = memoDescriptors[CurrentArea];
  if (!slot) return;
  std::unique_ptr<TMemoDescriptor> memo = std::move(slot);
  UnlockMemo(*memo);
  const std::uint16_t rc = XbCloseFile(memo->file);
  if (rc != 0) SetError(rc, memo->name + " [CloseMemofile]");
}

void CreateMemofile(const std::string& tableName) {
  const std::uint8_t type = GetMemoType();
  const std::string name = MemoFileNameFor(tableName, type, false);
  MakeMemoFile(name, type, DefaultMemoBlockSize, "CreateMemofile()");
  if (XbaseErrorCode != 0 || !IsDbase4Memo(type)) return;
  std::uint16_t code = 0;
  const int file = XbOpenFile(name, true, false, code);
  if (file < 0) {
    SetError(code, "Cannot create memo file " + name + " [CreateMemofile()]");
    return;
  }
  code = CompleteHeaderBlock(file, type, DefaultMemoBlockSize);
  const std::uint16_t closeCode = XbCloseFile(file);
  if (code == 0) code = closeCode;
  if (code != 0) SetError(code, name + " [CreateMemofile()]");
}

void CreateAndOpenMemofile(const std::string& tableName) {
  if (CurrentMemo()) CloseMemofile();
  CreateMemofile(tableName);
  if (XbaseErrorCode == 0) OpenMemofile(tableName);
}

// ---------------------------------------------------------------------------------------------
// Locking and headers

void UnlockMemo(TMemoDescriptor& memo) {
  if (!memo.locked) return;
  LockRegion(true, memo.file, kMemoLockOffset, 1);
  memo.locked = false;
}

void MemoError(std::uint16_t code, const std::string& message) {
  if (TMemoDescriptor* memo = CurrentMemo()) UnlockMemo(*memo);
  SetError(code, message);
}

std::int64_t LockMemoPadAndSeekEOF(const std::string& routine) {
  TMemoDescriptor* memo = CurrentMemo();
  WorkAreaRecord* area = CurrentWorkArea();
  if (!memo || !area) return 0;
  if (!LockMemo(*memo, *area)) {
    MemoError(1017, area->tableName + " [" + routine + "]");
    return 0;
  }
  std::int64_t size = XbFileSize(memo->file);
  if (memo->memoType == kMemoDbase3 && size == 513) return 513;
  if (std::uint16_t rc = PadToBlock(memo->file, memo->blockSize, size)) {
    MemoError(rc, memo->name + " [LockMemoPadAndSeekEOF]");
    return 0;
  }
  if (size == 0) {
    // A memo file without even its header: nothing can be placed at block 0.
    MemoError(1003, memo->name + " [" + routine + "]");
    return 0;
  }
  return size;
}

bool MainHeaderWrite(std::uint32_t nextBlock) {
  TMemoDescriptor* memo = CurrentMemo();
  if (!memo) return false;
  std::uint8_t bytes[4];
  PutNextFreeBlock(memo->memoType, bytes, nextBlock);
  if (MemoWriteAt(memo->file, 0, bytes, 4) != 0) {
    MemoError(29, memo->name + " [MainHeaderWrite()]");
    return false;
  }
  return true;
}

void UpdateMemoHeader() {
  TMemoDescriptor* memo = CurrentMemo();
  WorkAreaRecord* area = CurrentWorkArea();
  if (!memo || !area) return;
  const std::int64_t size = XbFileSize(memo->file);
  if (size < 0) {
    MemoError(29, memo->name + " [UpdateMemoHeader()]");
    return;
  }
  const auto next = std::uint32_t((size + memo->blockSize - 1) / memo->blockSize);
  if (!MainHeaderWrite(next)) return;
  if (IsDbase4Memo(memo->memoType) && size >= std::int64_t(kDbase4CounterOffset + 4)) {
    std::uint8_t counter[4];
    if (MemoReadAt(memo->file, kDbase4CounterOffset, counter, 4) != 0) {
      MemoError(30, memo->name + " [UpdateMemoHeader()]");
      return;
    }
    PutLe32(counter, GetLe32(counter) + memo->bufferFills);
    if (MemoWriteAt(memo->file, kDbase4CounterOffset, counter, 4) != 0) {
      MemoError(29, memo->name + " [UpdateMemoHeader()]");
      return;
    }
  }
  memo->bufferFills = 0;
  if (memo->locked) {
    const int rc = LockRegion(true, memo->file, kMemoLockOffset, 1);
    memo->locked = false;
    if (rc != 0) SetError(1018, area->tableName + " [UpdateMemoHeader()]");
  }
}

bool WriteGroupHeader(std::int64_t position, std::uint32_t length, int file) {
  TMemoDescriptor* memo = CurrentMemo();
  const std::uint8_t type = memo ? memo->memoType : DefaultMemoVersion;
  const auto header = MemoBlockHeader(type, length);
  if (MemoWriteAt(file, position, header.data(), header.size()) != 0) {
    MemoError(29, (memo ? memo->name : std::string()) + " [WriteGroupHeader()]");
    return false;
  }
  return true;
}

bool ReadGroupHeader(std::int32_t& block, std::uint8_t header[8]) {
  TMemoDescriptor* memo = CurrentMemo();
  if (!memo) return false;
  if (MemoReadAt(memo->file, std::int64_t(block) * memo->blockSize, header, 8) != 0) {
    MemoError(30, memo->name + " [ReadGroupHeader()]");
    return false;
  }
  block = std::int32_t(GetLe32(header + 4) / memo->blockSize + 1);
  return true;
}

// ---------------------------------------------------------------------------------------------
// dBASE IV free chain

namespace {

constexpr int kChainLimit = 100;

struct TChainIo {
  TMemoDescriptor& memo;
  std::string routine;
  bool Read(std::uint32_t block, std::uint32_t& next, std::uint32_t& size) {
    std::uint8_t pair[8];
    if (MemoReadAt(memo.file, std::int64_t(block) * memo.blockSize, pair, 8) != 0) {
      MemoError(30, memo.name + " [" + routine + "]");
      return false;
    }
    next = GetLe32(pair);
    size = GetLe32(pair + 4);
    return true;
  }
  bool Write(std::uint32_t block, std::uint32_t next, std::uint32_t size) {
    std::uint8_t pair[8];
    PutLe32(pair, next);
    PutLe32(pair + 4, size);
    if (MemoWriteAt(memo.file, std::int64_t(block) * memo.blockSize, pair, 8) != 0) {
      MemoError(29, memo.name + " [" + routine + "]");
      return false;
    }
    return true;
  }
  bool WriteHead(std::uint32_t block) {
    std::uint8_t bytes[4];
    PutLe32(bytes, block);
    if (MemoWriteAt(memo.file, 0, bytes, 4) != 0) {
      MemoError(29, memo.name + " [" + routine + "]");
      return false;
    }
    return true;
  }
  bool Head(std::uint32_t& head) {
    std::uint8_t bytes[4];
    if (MemoReadAt(memo.file, 0, bytes, 4) != 0) {
      MemoError(30, memo.name + " [" + routine + "]");
      return false;
    }
    head = GetLe32(bytes);
    return true;
  }
  std::uint32_t EndBlock() const {
    const std::int64_t size = XbFileSize(memo.file);
    return std::uint32_t((std::max<std::int64_t>(size, 0) + memo.blockSize - 1) / memo.blockSize);
  }
};

// Links the group (first block, size in blocks) into the chain in ascending order.
bool GiveBackBlocks(TChainIo& io, std::uint32_t first, std::uint32_t count) {
  if (count == 0) return true;
  std::uint32_t head = 0;
  if (!io.Head(head)) return false;
  const std::uint32_t end = io.EndBlock();
  if (head == end) return true;
  if (head == 0 || head > first || head > end) {
    if (!io.Write(first, head == 0 || head > end ? end : head, count)) return false;
    return io.WriteHead(first);
  }
  std::uint32_t link = head;
  for (int step = 0; step < kChainLimit; ++step) {
    std::uint32_t next = 0, size = 0;
    if (!io.Read(link, next, size)) return false;
    if (next > first || next >= end || next <= link) {
      if (!io.Write(first, next, count)) return false;
      return io.Write(link, first, size);
    }
    link = next;
  }
  return true;  // a chain too long to follow keeps the blocks out of it
}

// First group of at least n blocks taken out of the chain; 0 when none fits.
bool TakeFromChain(TChainIo& io, std::uint32_t n, std::uint32_t& found) {
  found = 0;
  std::uint32_t head = 0;
  if (!io.Head(head)) return false;
  const std::uint32_t end = io.EndBlock();
  std::uint32_t previous = 0;  // 0: the header holds the link
  std::uint32_t previousSize = 0;
  std::uint32_t group = head;
  for (int step = 0; step <= kChainLimit && group > 0 && group < end; ++step) {
    std::uint32_t next = 0, size = 0;
    if (!io.Read(group, next, size)) return false;
    if (next >= end + 1 || (next & 0xFFFF) == 0xFFFF) break;
    if (size >= n && group + size <= end) {
      std::uint32_t successor = next;
      if (size > n) {
        // The rest stays in the chain in place of the group.
        successor = group + n;
        if (!io.Write(successor, next, size - n)) return false;
      }
      if (previous == 0 ? !io.WriteHead(successor) : !io.Write(previous, successor, previousSize))
        return false;
      found = group;
      return true;
    }
    if (next <= group) break;
    previous = group;
    previousSize = size;
    group = next;
  }
  return true;
}

// Blocks for a dBASE IV memo needing n blocks whose old place is oldBlock; 0 after an error.
std::uint32_t AllocateDbase4(TMemoDescriptor& memo, std::uint32_t n, std::uint32_t oldBlock,
                             std::int64_t endPosition, const std::string& routine) {
  TChainIo io{memo, routine};
  if (oldBlock != 0) {
    std::uint8_t header[8];
    const std::int64_t size = XbFileSize(memo.file);
    if (std::int64_t(oldBlock) * memo.blockSize + 8 <= size) {
      if (MemoReadAt(memo.file, std::int64_t(oldBlock) * memo.blockSize, header, 8) != 0) {
        MemoError(30, memo.name + " [" + routine + "]");
        return 0;
      }
      if (RecogniseMemo(memo.memoType, header) == TMemoLayout::Dbase4Group) {
        const std::uint32_t have =
            StoredTextLength(TMemoLayout::Dbase4Group, header) / memo.blockSize + 1;
        if (have >= n) {
          if (have > n && !GiveBackBlocks(io, oldBlock + n, have - n)) return 0;
          return oldBlock;
        }
      }
    }
  }
  std::uint32_t found = 0;
  if (!TakeFromChain(io, n, found)) return 0;
  if (found != 0) return found;
  return std::uint32_t(endPosition / memo.blockSize);
}

// Gives the old group of a moved dBASE IV memo back, after the memo is safe in its new place.
bool ReleaseOldGroup(TMemoDescriptor& memo, std::uint32_t oldBlock, const std::string& routine) {
  std::uint8_t header[8];
  const std::int64_t size = XbFileSize(memo.file);
  if (oldBlock == 0 || std::int64_t(oldBlock) * memo.blockSize + 8 > size) return true;
  if (MemoReadAt(memo.file, std::int64_t(oldBlock) * memo.blockSize, header, 8) != 0) return true;
  if (RecogniseMemo(memo.memoType, header) != TMemoLayout::Dbase4Group) return true;
  const std::uint32_t have =
      StoredTextLength(TMemoLayout::Dbase4Group, header) / memo.blockSize + 1;
  TChainIo io{memo, routine};
  return GiveBackBlocks(io, oldBlock, have);
}

std::int32_t WriteMemo(std::string bytes, std::int32_t oldBlock, bool reuse,
                       const std::string& routine) {
  TMemoDescriptor* memo = CurrentMemo();
  WorkAreaRecord* area = CurrentWorkArea();
  if (!memo || !area || bytes.empty()) return 0;
  MemoOutputConversion(*area, bytes);
  const std::int64_t end = LockMemoPadAndSeekEOF(routine);
  if (end == 0) return 0;
  const std::uint16_t bs = memo->blockSize;
  std::uint32_t block = std::uint32_t(end / bs);
  const auto length = std::uint32_t(bytes.size());
  std::string image;
  if (memo->memoType == kMemoDbase3) {
    image = bytes;
    image.push_back(char(kMemoEnd));
    image.resize((image.size() + bs - 1) / bs * bs, '\0');
  } else {
    if (reuse && IsDbase4Memo(memo->memoType)) {
      const std::uint32_t n = (length + 8) / bs + 1;
      block = AllocateDbase4(*memo, n, std::uint32_t(std::abs(oldBlock)), end, routine);
      if (block == 0) return 0;
    }
    const auto header = MemoBlockHeader(memo->memoType, length);
    image.assign(reinterpret_cast<const char*>(header.data()), header.size());
    image += bytes;
  }
  memo->bufferFills += std::uint32_t((image.size() + MemoWorkBufferSize - 1) / MemoWorkBufferSize);
  if (std::uint16_t rc =
          MemoWriteAt(memo->file, std::int64_t(block) * bs, image.data(), image.size())) {
    MemoError(rc, area->tableName + " [" + routine + "]");
    return 0;
  }
  if (IsDbase4Memo(memo->memoType) && oldBlock != 0 && block != std::uint32_t(std::abs(oldBlock)) &&
      !ReleaseOldGroup(*memo, std::uint32_t(std::abs(oldBlock)), routine))
    return 0;
  if (AutoCommit) FlushFile(memo->file);
  UpdateMemoHeader();
  return std::int32_t(block);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Reading and writing memos

bool ReadMemoText(std::int32_t block, std::string& text) {
  text.clear();
  if (block == 0) return true;
  TMemoDescriptor* memo = CurrentMemo();
  WorkAreaRecord* area = CurrentWorkArea();
  if (!memo || !area) {
    SetError(1019, TableNameOfCurrent() + " No Memo Field [GetMemo]");
    return false;
  }
  const std::uint16_t rc = ReadMemoBytes(*memo, block, text);
  if (rc != 0) {
    text.clear();
    MemoError(rc,
              rc == 1003 ? " Record # " + RecordText() + " [GetMemo]" : memo->name + " [GetMemo]");
    return false;
  }
  MemoInputConversion(*area, text);
  return true;
}

bool GetMemo(std::int32_t block) {
  MemoLines.Clear();
  if (TMemoDescriptor* memo = CurrentMemo()) memo->bufferFills = 0;
  std::string bytes;
  if (!ReadMemoText(block, bytes)) return false;
  if (!SplitIntoLines(bytes)) {
    MemoError(217, "Reading memo field in " + TableNameOfCurrent());
    return false;
  }
  return true;
}

std::string MemoLinesText() {
  std::string text;
  for (std::size_t i = 0; i < MemoLines.lines.size(); ++i) {
    text += MemoLines.lines[i];
    if (MemoLines.lineEnds[i] != 0) {
      text.push_back(char(MemoLines.lineEnds[i]));
      text.push_back('\n');
    }
  }
  return text;
}

std::int32_t AddMemo(const std::string& text) {
  if (!CheckDbInUse("AddMemo")) return 0;
  if (!CurrentMemo()) {
    SetError(1019, TableNameOfCurrent() + " No Memo Field [AddMemo]");
    return 0;
  }
  const std::size_t last = text.find_last_not_of(' ');
  if (last == std::string::npos) return 0;
  return WriteMemo(text.substr(0, last + 1), 0, false, "AddMemo()");
}

std::int32_t ReplaceMemo(std::int32_t oldBlock, std::string_view text) {
  if (!CheckDbInUse("EditMemo/CloseMemo")) return 0;
  TMemoDescriptor* memo = CurrentMemo();
  if (!memo) {
    SetError(1019, TableNameOfCurrent() + " No Memo Field [EditMemo/CloseMemo]");
    return 0;
  }
  if (text.empty()) return 0;
  std::string directory, stem, extension;
  SplitFileName(memo->name, directory, stem, extension);
  if (double(text.size() / 1024) >= DiskFreeKB(directory)) {
    MemoError(1004, memo->name + " [EditMemo/CloseMemo]");
    return 0;
  }
  return WriteMemo(std::string(text), oldBlock, true, "EditMemo/CloseMemo");
}

// ---------------------------------------------------------------------------------------------
// Text-file interface

void AssignMemo(TMemoTextFile& file, std::int32_t& block) {
  if (!CheckDbInUse("AssignMemo")) return;
  if (!CurrentMemo()) {
    SetError(1019, TableNameOfCurrent() + " No Memo Field [AssignMemo]");
    return;
  }
  file = TMemoTextFile{};
  file.block = &block;
  file.area = CurrentArea;
}

void MemoReset(TMemoTextFile& file) {
  if (!file.block) {
    SetError(102, " [AssignMemo]");
    return;
  }
  AreaSwitch area(file.area);
  XbaseErrorCode = 0;
  if (!GetMemo(*file.block)) {
    if (XbaseErrorCode == 0) SetError(100, TableNameOfCurrent() + " [AssignMemo]");
    return;
  }
  MemoLines.current = 0;
  file.mode = TMemoFileMode::Input;
}

void MemoRewrite(TMemoTextFile& file) {
  if (!file.block) {
    SetError(102, " [AssignMemo]");
    return;
  }
  MemoLines.Clear();
  *file.block = 0;
  file.mode = TMemoFileMode::Output;
}

void MemoAppend(TMemoTextFile& file) {
  MemoReset(file);
  if (file.mode != TMemoFileMode::Input) return;
  // A memo of one empty line is overwritten from its start.
  if (MemoLines.lines.size() == 1 && MemoLines.lines[0].empty()) MemoLines.Clear();
  // Text appended to a last line without line end continues that line.
  if (!MemoLines.lines.empty() && MemoLines.lineEnds.back() == 0) {
    MemoLines.pending = MemoLines.lines.back();
    MemoLines.lines.pop_back();
    MemoLines.lineEnds.pop_back();
  }
  file.mode = TMemoFileMode::Output;
}

bool MemoEof(const TMemoTextFile& file) {
  return file.mode != TMemoFileMode::Input || MemoLines.current >= MemoLines.lines.size();
}

bool MemoReadLn(TMemoTextFile& file, std::string& line) {
  line.clear();
  if (file.mode != TMemoFileMode::Input) {
    SetError(104, " [AssignMemo]");
    return false;
  }
  if (MemoLines.current >= MemoLines.lines.size()) return false;
  while (MemoLines.current < MemoLines.lines.size()) {
    const std::size_t i = MemoLines.current++;
    if (MemoLines.lineEnds[i] == 13) {
      line.append(MemoLines.lines[i], 0, 253);
      break;
    }
    line += MemoLines.lines[i];
  }
  return true;
}

void MemoWrite(TMemoTextFile& file, std::string_view text) {
  if (file.mode != TMemoFileMode::Output) {
    SetError(file.mode == TMemoFileMode::Input ? 105 : 102, " [AssignMemo]");
    return;
  }
  auto store = [&](std::uint8_t end) {
    if (!PushLine(std::move(MemoLines.pending), end)) {
      SetError(101, TableNameOfCurrent() + " [AssignMemo]");
      return false;
    }
    MemoLines.pending.clear();
    return true;
  };
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\n') {
      // A line feed right after a line end belongs to it; alone it ends a line.
      if (!MemoLines.afterLineEnd && !store(13)) return;
      MemoLines.afterLineEnd = false;
      continue;
    }
    if (c == 13 || c == kSoftReturn) {
      if (!store(c)) return;
      MemoLines.afterLineEnd = true;
      continue;
    }
    MemoLines.afterLineEnd = false;
    MemoLines.pending.push_back(ch);
    if (MemoLines.pending.size() >= kMemoLineMax - 1 && !store(0)) return;
  }
}

void MemoWriteLn(TMemoTextFile& file, std::string_view text) {
  MemoWrite(file, text);
  MemoWrite(file, "\r\n");
}

void MemoClose(TMemoTextFile& file) {
  if (file.mode == TMemoFileMode::Output && file.block) {
    AreaSwitch area(file.area);
    const std::string bytes = ReadLinesBytes();
    const bool hadLines = !bytes.empty();
    const std::uint16_t before = XbaseErrorCode;
    XbaseErrorCode = 0;
    const std::int32_t block = ReplaceMemo(*file.block, bytes);
    if (block != 0) {
      *file.block = block;
    } else if (hadLines) {
      if (XbaseErrorCode == 0) SetError(101, TableNameOfCurrent() + " [AssignMemo]");
    } else {
      *file.block = 0;
    }
    if (XbaseErrorCode == 0) XbaseErrorCode = before;
  }
  MemoLines.Clear();
  file.mode = TMemoFileMode::Closed;
}

// ---------------------------------------------------------------------------------------------
// Hooks

namespace {
std::int32_t HookCopyAppend(std::uint8_t source, std::int32_t block) {
  return CopyMemo(source, block, 0);
}
std::int32_t HookCopyAt(std::uint8_t source, std::int32_t block) {
  return CopyMemo(source, block, 1);
}
}  // namespace

void InstallMemoHooks() {
  MemoHooks.assignMemo = AssignMemo;
  MemoHooks.packMemofile = PackMemofile;
  MemoHooks.openMemofile = OpenMemofile;
  MemoHooks.closeMemofile = CloseMemofile;
  MemoHooks.copyMemoAppend = HookCopyAppend;
  MemoHooks.copyMemoAt = HookCopyAt;
  MemoHooks.createAndOpen = CreateAndOpenMemofile;
  MemoHooks.addMemo = AddMemo;
  MemoWorkBufferSize = 512;
}

void InitXbaseMemo() {
  for (auto& memo : memoDescriptors) {
    if (memo) XbCloseFile(memo->file);
    memo.reset();
  }
  MemoNetworkOn = true;
  MemoFileModeOverride = 65535;
  MemoMaxLines = 1024;
  MemoWrapOn = false;
  MemoWrapWidth = 78;
  DefaultMemoBlockSize = 512;
  MemoLines.Clear();
  InstallMemoHooks();
}
