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
#include "xbase/memo_free_chain.h"
#include "xbase/memo_pack.h"
#include "xbase/xbase_errors.h"
#include "xbase/xbase_platform.h"
#include "xbase/xbase_utils.h"

bool MemoNetworkOn = true;
std::uint16_t MemoFileModeOverride = 65535;

namespace {

constexpr std::uint16_t kExclusiveMode = 18;
constexpr std::uint16_t kSharedMode = 66;
constexpr int kLockTries = 11;

std::array<std::unique_ptr<TMemoDescriptor>, kWorkAreaCount + 1> memoDescriptors;

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
  // dBASE III text: up to the first end mark. A file that ends before it was cut inside the
  // memo: its text is not whole.
  std::string chunk;
  for (std::int64_t pos = offset; pos < size; pos += 512) {
    chunk.resize(std::size_t(std::min<std::int64_t>(512, size - pos)));
    if (std::uint16_t rc = MemoReadAt(memo.file, pos, chunk.data(), chunk.size())) return rc;
    const std::size_t end = chunk.find(char(kMemoEnd));
    bytes.append(chunk, 0, end);
    if (end != std::string::npos) return 0;
  }
  return 213;
}

// Stores a text given as bytes (already trimmed) as a memo at the end of the file or, in dBASE
// IV files, in place of oldBlock; the block or 0.
std::int32_t WriteMemo(std::string bytes, std::int32_t oldBlock, bool reuse,
                       const std::string& routine);

}  // namespace

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
  XbaseErrorCode = 0;
  FinishInterruptedPack(name);
  if (XbaseErrorCode != 0) return;
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
  // Memos go behind the whole header block, where the header's counters cannot overwrite
  // them, whatever block size a damaged header gives.
  if (memo->memoType != kMemoDbase3 && size < std::int64_t(kMemoHeaderBlock)) {
    const std::int64_t behind =
        (std::int64_t(kMemoHeaderBlock) + memo->blockSize - 1) / memo->blockSize * memo->blockSize;
    const std::string zeros(std::size_t(behind - size), '\0');
    if (std::uint16_t rc = MemoWriteAt(memo->file, size, zeros.data(), zeros.size())) {
      MemoError(rc, memo->name + " [LockMemoPadAndSeekEOF]");
      return 0;
    }
    size = behind;
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
// Writing

namespace {

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
    // Two end marks, as dBASE III writes them and its readers look for.
    image.append(2, char(kMemoEnd));
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
