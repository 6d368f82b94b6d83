// Copying memos between memo files of any layout, and packing a memo file.
#include "xbase/memo_pack.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/file_writer.h"
#include "xbase/dbf_file.h"
#include "xbase/locking.h"
#include "xbase/memo_ops.h"
#include "xbase/xbase_errors.h"
#include "xbase/xbase_platform.h"
#include "xbase/xbase_utils.h"

namespace {

constexpr const char* kCopyRoutine = " [AppendFrom/CopyTo]";

// Reads the text of the memo at source.position; 0 or the error code.
std::uint16_t ReadSourceText(const TMemoCopyEnd& source, std::string& text) {
  text.clear();
  const std::int64_t size = XbFileSize(source.file);
  if (size < 0 || source.position + 1 > size) return 30;
  std::uint8_t first[kMemoBlockHeaderSize] = {};
  const bool whole = source.position + std::int64_t(kMemoBlockHeaderSize) <= size;
  if (whole) {
    if (std::uint16_t rc = MemoReadAt(source.file, source.position, first, sizeof first)) return rc;
  }
  const TMemoLayout layout = whole ? RecogniseMemo(source.type, first) : TMemoLayout::Dbase3Text;
  if (layout != TMemoLayout::Dbase3Text) {
    const std::uint32_t length = StoredTextLength(layout, first);
    text.resize(length);
    return MemoReadAt(source.file, source.position + 8, text.data(), length);
  }
  // dBASE III text ends at its first 0x1A; a zero byte ends it too.
  std::string chunk;
  for (std::int64_t pos = source.position; pos < size; pos += 512) {
    chunk.resize(std::size_t(std::min<std::int64_t>(512, size - pos)));
    if (std::uint16_t rc = MemoReadAt(source.file, pos, chunk.data(), chunk.size())) return rc;
    const std::size_t end = chunk.find_first_of(std::string("\x1A\0", 2));
    text.append(chunk, 0, end);
    if (end != std::string::npos) break;
  }
  return 0;
}

// Restores the current area when the pack ends, however it ends.
class AreaGuard {
 public:
  AreaGuard() : saved_(CurrentArea) {}
  ~AreaGuard() { CurrentArea = saved_; }
  AreaGuard(const AreaGuard&) = delete;
  AreaGuard& operator=(const AreaGuard&) = delete;

 private:
  std::uint8_t saved_;
};

// The work file of a pack; erased unless it was taken over.
class PackWorkFile {
 public:
  explicit PackWorkFile(std::string name) : name_(std::move(name)) {}
  ~PackWorkFile() {
    Close();
    if (!kept_) std::remove(name_.c_str());
  }
  PackWorkFile(const PackWorkFile&) = delete;
  PackWorkFile& operator=(const PackWorkFile&) = delete;
  std::uint16_t Open() {
    std::uint16_t code = 0;
    file_ = XbOpenFile(name_, true, false, code);
    return file_ < 0 ? (code ? code : 2) : 0;
  }
  std::uint16_t Close() {
    if (file_ < 0) return 0;
    const std::uint16_t rc = XbCloseFile(file_);
    file_ = -1;
    return rc;
  }
  void Keep() { kept_ = true; }
  int file() const { return file_; }
  const std::string& name() const { return name_; }

 private:
  std::string name_;
  int file_ = -1;
  bool kept_ = false;
};

// A memo field that points at a memo, and the text it gets once its memo is moved.
struct TFieldChange {
  std::int32_t record;
  int field;
  std::int32_t block;
  std::string oldText;
  std::string newText;
};

// The memo fields that point at a memo, in the order a pack copies their memos: record by
// record, field by field. A field never changes between pointing and not pointing at a memo
// in a pack, so the order is the same before, during and after it.
std::vector<TFieldChange> MemoFieldsInPackOrder() {
  std::vector<TFieldChange> fields;
  const std::int32_t count = RecCount();
  const int fieldCount = FieldCount();
  for (std::int32_t r = 1; r <= count; ++r) {
    for (int f = 1; f <= fieldCount; ++f) {
      if (FieldType(f) != 'M') continue;
      const std::string raw = Peek(f, r);
      const std::string trimmed = AllTrim(raw);
      const std::int32_t block = trimmed.empty() ? 0 : std::atoi(trimmed.c_str());
      if (block != 0) fields.push_back({r, f, block, raw, {}});
    }
  }
  return fields;
}

// The name under which a complete packed file waits to replace the memo file.
std::string PackedFileName(const std::string& memoName) {
  std::string directory, stem, extension;
  SplitFileName(memoName, directory, stem, extension);
  return directory + stem + ".$$$";
}

// The folder of a pack's work files and how their names begin: beside the memo file, after the
// name of the complete pack, so that the pack and the next open's clean-up name them alike.
void PackWorkPlace(const std::string& memoName, std::string& folder, std::string& prefix) {
  std::string directory, stem, extension;
  SplitFileName(memoName, directory, stem, extension);
  folder = directory.empty() ? std::string(".") : directory;
  prefix = stem + ".$$$.";
}

// The first blocks of the memos in a complete packed file, in the order the pack wrote them
// (each on the first block boundary after the one before); false unless the file is laid out
// exactly so and its header counts its blocks.
bool PackedMemoBlocks(int file, std::uint8_t type, std::uint16_t blockSize,
                      std::vector<std::int32_t>& blocks) {
  blocks.clear();
  const std::int64_t size = XbFileSize(file);
  std::uint8_t header[8] = {};
  if (blockSize == 0 || size < std::int64_t(kMemoHeaderBlock) ||
      MemoReadAt(file, 0, header, sizeof header) != 0)
    return false;
  const bool dbase3 = type == kMemoDbase3;
  const auto roundUp = [blockSize](std::int64_t at) {
    return (at + blockSize - 1) / blockSize * blockSize;
  };
  std::int64_t pos = dbase3 ? std::int64_t(kMemoHeaderBlock) : roundUp(kMemoHeaderBlock);
  std::int64_t end = pos;
  // A dBASE III file without memos keeps the end mark behind its header.
  const std::int64_t last = dbase3 && size == std::int64_t(kMemoHeaderBlock) + 1 ? pos : size;
  while (pos < last) {
    blocks.push_back(std::int32_t(pos / blockSize));
    if (dbase3) {
      // The text runs to the first of its two end marks.
      char chunk[4096];
      std::int64_t at = pos;
      for (;;) {
        if (at >= size) return false;
        const std::size_t n = std::size_t(std::min<std::int64_t>(sizeof chunk, size - at));
        if (MemoReadAt(file, at, chunk, n) != 0) return false;
        if (const void* mark = std::memchr(chunk, kMemoEnd, n)) {
          at += static_cast<const char*>(mark) - chunk;
          break;
        }
        at += std::int64_t(n);
      }
      end = at + 2;
    } else {
      std::uint8_t first[kMemoBlockHeaderSize];
      if (pos + 8 > size || MemoReadAt(file, pos, first, sizeof first) != 0) return false;
      const TMemoLayout layout = RecogniseMemo(type, first);
      if (layout == TMemoLayout::Dbase3Text) return false;
      end = pos + 8 + StoredTextLength(layout, first);
    }
    pos = roundUp(end);
  }
  return (blocks.empty() || end == size) &&
         GetNextFreeBlock(type, header) == std::uint32_t((size + blockSize - 1) / blockSize);
}

// The table held exclusively while its memo pointers change: another program reading it would
// take new block numbers into the old memo file. A shared open is shared again afterwards.
class TExclusiveTable {
 public:
  explicit TExclusiveTable(WorkAreaRecord& area) : reopened_(!area.exclusive) {
    if (!reopened_) return;
    Unlock();
    failed_ = OpenDbfFile(true) != 0;
  }
  ~TExclusiveTable() {
    if (!reopened_ || failed_) return;
    const std::uint16_t code = XbaseErrorCode;
    const std::string message = XbaseErrorMessage;
    OpenDbfFile(false);
    XbaseErrorCode = code;
    XbaseErrorMessage = message;
  }
  TExclusiveTable(const TExclusiveTable&) = delete;
  TExclusiveTable& operator=(const TExclusiveTable&) = delete;
  bool Failed() const { return failed_; }

 private:
  bool reopened_;
  bool failed_ = false;
};

// Copies memo `block` of record `record` to the end of the work file; the new block or 0.
std::int32_t PackMemo(TMemoDescriptor& memo, PackWorkFile& work, std::int32_t block,
                      std::int32_t record) {
  const std::int64_t size = XbFileSize(memo.file);
  const std::int64_t offset = std::int64_t(block) * memo.blockSize;
  if (block <= 0 || offset >= size - 1) {
    MemoError(1003, " Memo block # " + std::to_string(block) + " Record # " +
                        std::to_string(record) + " [PackMemo]");
    return 0;
  }
  std::int64_t end = XbFileSize(work.file());
  if (memo.memoType == kMemoDbase3 && end == 513) {
    end = 512;
  } else if (PadToBlock(work.file(), memo.blockSize, end) != 0) {
    MemoError(1005, work.name() + " [PackMemo]");
    return 0;
  }
  const WorkAreaRecord* area = CurrentWorkArea();
  TMemoCopyEnd source{memo.file, offset, memo.memoType, memo.blockSize, area, memo.name};
  TMemoCopyEnd target{work.file(), end, memo.memoType, memo.blockSize, area, work.name()};
  if (CopyMemoBlocks(source, target) != 0) return 0;
  return std::int32_t(end / memo.blockSize);
}

std::string FieldBlockText(std::int32_t block, int width) {
  std::string text = std::to_string(block);
  if (int(text.size()) < width) text.insert(0, std::size_t(width - int(text.size())), ' ');
  return text;
}

}  // namespace

std::uint16_t CopyMemoBlocks(const TMemoCopyEnd& source, const TMemoCopyEnd& target) {
  std::string text;
  if (ReadSourceText(source, text) != 0) {
    MemoError(30, source.name + kCopyRoutine);
    return 30;
  }
  if (source.area) MemoInputConversion(*source.area, text);
  if (target.area) MemoOutputConversion(*target.area, text);
  std::string image;
  if (target.type == kMemoDbase3) {
    image = text;
    // Two end marks, as dBASE III writes them and its readers look for.
    image.append(2, char(kMemoEnd));
  } else {
    const auto header = MemoBlockHeader(target.type, std::uint32_t(text.size()));
    image.assign(reinterpret_cast<const char*>(header.data()), header.size());
    image += text;
  }
  if (std::uint16_t rc = MemoWriteAt(target.file, target.position, image.data(), image.size())) {
    MemoError(rc, target.name + kCopyRoutine);
    return rc;
  }
  return 0;
}

std::int32_t CopyMemo(std::uint8_t sourceArea, std::int32_t block, int mode) {
  if (block == 0) return 0;
  if (!CheckDbInUse("CopyMemo()")) return 0;
  TMemoDescriptor* target = CurrentMemo();
  TMemoDescriptor* source = MemoDescriptorOf(sourceArea);
  if (!target || !source) {
    SetError(1019, CurrentWorkArea()->tableName + " No Memo Field [CopyMemo()]");
    return 0;
  }
  const std::int64_t end = LockMemoPadAndSeekEOF("CopyMemo()");
  if (end == 0) return 0;
  std::int32_t newBlock = 0;
  std::int64_t position = 0;
  if (mode == 0) {
    newBlock = std::int32_t(end / target->blockSize);
    position = std::int64_t(newBlock) * target->blockSize;
  } else {
    newBlock = std::abs(block);
    position = std::int64_t(newBlock) * target->blockSize;
  }
  const std::int64_t sourceOffset = std::int64_t(std::abs(block)) * source->blockSize;
  if (sourceOffset > XbFileSize(source->file) - 2) {
    MemoError(1003, source->name + kCopyRoutine);
    return 0;
  }
  TMemoCopyEnd from{source->file,      sourceOffset,           source->memoType,
                    source->blockSize, WorkAreaAt(sourceArea), source->name};
  TMemoCopyEnd to{target->file,      position,          target->memoType,
                  target->blockSize, CurrentWorkArea(), target->name};
  if (CopyMemoBlocks(from, to) != 0) return 0;
  if (AutoCommit) FlushFile(target->file);
  UpdateMemoHeader();
  return newBlock;
}

void PackMemofile() {
  if (!CheckDbInUse("PackMemofile")) return;
  AreaGuard guard;
  WorkAreaRecord* area = CurrentWorkArea();
  TMemoDescriptor* memo = CurrentMemo();
  if (!memo) {
    SetError(1019, area->tableName + " No Memo Field [PackMemofile]");
    return;
  }
  std::string directory, stem, extension;
  SplitFileName(memo->name, directory, stem, extension);
  if (double(XbFileSize(memo->file) / 1024) > DiskFreeKB(directory)) {
    MemoError(1012, memo->name + " [PackMemofile]");
    return;
  }
  TExclusiveTable exclusive(*area);
  if (exclusive.Failed()) {
    SetError(225, area->tableName + " [PackMemofile]");
    return;
  }
  const std::string memoName = memo->name;
  const std::uint8_t type = memo->memoType;
  const std::uint16_t blockSize = memo->blockSize;
  const std::string done = PackedFileName(memoName);
  // Built under a name of its own, which carries our pid so that the next pack can tell the
  // leftover of a killed one; it takes the name of a complete pack only when whole.
  std::string folder, prefix;
  PackWorkPlace(memoName, folder, prefix);
  platform::RemoveFilesOfGoneProcesses(folder, prefix);
  // A name that cannot be made here fails again, and is told, where the memo file is made.
  std::string made;
  int err = 0;
  close(platform::CreateWorkFile(folder, prefix, made, err));
  PackWorkFile work(made);
  MakeMemoFile(work.name(), type, blockSize, "PackMemofile");
  if (XbaseErrorCode != 0) return;
  if (std::uint16_t rc = work.Open()) {
    SetError(rc, "Cannot create memo file " + work.name() + " [PackMemofile]");
    return;
  }
  if (std::uint16_t rc = CompleteHeaderBlock(work.file(), type, blockSize)) {
    SetError(rc, work.name() + " [PackMemofile]");
    return;
  }
  if (IsDbase4Memo(type)) {
    // The header names the memo file it becomes, not the work file.
    std::uint8_t name[8] = {};
    std::memcpy(name, stem.data(), std::min<std::size_t>(stem.size(), sizeof name));
    if (MemoWriteAt(work.file(), 8, name, sizeof name) != 0) {
      MemoError(29, work.name() + " [PackMemofile]");
      return;
    }
  }

  // Every memo is copied first; the records change only once the whole new file is there.
  std::vector<TFieldChange> changes = MemoFieldsInPackOrder();
  for (TFieldChange& change : changes) {
    const std::int32_t moved = PackMemo(*memo, work, change.block, change.record);
    if (moved == 0) return;
    change.newText = FieldBlockText(moved, int(change.oldText.size()));
  }
  std::int64_t size = XbFileSize(work.file());
  const auto next = std::uint32_t((size + blockSize - 1) / blockSize);
  std::uint8_t header[4];
  PutNextFreeBlock(type, header, next);
  if (MemoWriteAt(work.file(), 0, header, 4) != 0) {
    MemoError(29, work.name() + " [PackMemo]");
    return;
  }
  FlushFile(work.file());
  if (std::uint16_t rc = work.Close()) {
    MemoError(rc, work.name() + " [PackMemo]");
    return;
  }
  // The next open finishes a pack cut short by the records it finds: they must be the ones
  // counted here.
  XbaseErrorCode = 0;
  CommitTableEnd(*area);
  if (XbaseErrorCode != 0) return;
  if (std::rename(work.name().c_str(), done.c_str()) != 0) {
    SetError(DosCodeOfErrno(errno), done + " [PackMemofile]");
    return;
  }
  work.Keep();

  // From here a kill leaves the complete file under its own name, and the next open takes the
  // pointers the rest of the way. An error undoes the pointers and drops the file.
  auto undo = [&](std::size_t upTo, std::uint16_t code, const std::string& message) {
    const bool handling = SetErrorHandling(false);
    XbaseErrorCode = 0;
    for (std::size_t i = 0; i < upTo; ++i)
      Poke(changes[i].oldText, changes[i].field, changes[i].record);
    const bool restored = XbaseErrorCode == 0;
    SetErrorHandling(handling);
    if (restored) std::remove(done.c_str());
    SetError(code, message);
  };
  for (std::size_t i = 0; i < changes.size(); ++i) {
    XbaseErrorCode = 0;
    const bool handling = SetErrorHandling(false);
    Poke(changes[i].newText, changes[i].field, changes[i].record);
    SetErrorHandling(handling);
    if (XbaseErrorCode != 0) return undo(i, XbaseErrorCode, XbaseErrorMessage);
  }
  FlushFile(area->fileHandle);

  // The packed file takes the old one's name in one step.
  CloseMemofile();
  if (std::rename(done.c_str(), memoName.c_str()) != 0) {
    const std::uint16_t code = DosCodeOfErrno(errno);
    undo(changes.size(), code, memoName + " [PackMemofile]");
    const bool handling = SetErrorHandling(false);
    OpenMemofile(memoName);
    SetErrorHandling(handling);
    XbaseErrorCode = code;
    return;
  }
  const bool handling = SetErrorHandling(false);
  XbaseErrorCode = 0;
  OpenMemofile(memoName);
  const std::uint16_t openCode = XbaseErrorCode;
  SetErrorHandling(handling);
  if (openCode != 0) {
    SetError(openCode, "Memo file not found: " + memoName + " [PackMemofile]");
    return;
  }
  // The typed buffer of the current record may hold old block numbers: read it again.
  if (area->recordNumber >= 1 && area->recordNumber <= area->recordCount && !area->eof) {
    GetDbfRecord(*area, area->recordNumber);
    if (XbaseErrorCode == 0) LoadFields();
  }
}

void FinishInterruptedPack(const std::string& memoName) {
  // The work file of a pack that was killed half way holds nothing anyone can use.
  std::string folder, prefix;
  PackWorkPlace(memoName, folder, prefix);
  platform::RemoveFilesOfGoneProcesses(folder, prefix);
  const std::string done = PackedFileName(memoName);
  WorkAreaRecord* area = CurrentWorkArea();
  if (!area || access(done.c_str(), F_OK) != 0) return;
  const std::string routine = " [USE]";
  TExclusiveTable exclusive(*area);
  if (exclusive.Failed()) {
    SetError(225, area->tableName + ": a memo pack was cut short" + routine);
    return;
  }
  std::uint16_t code = 0;
  const int file = XbOpenFile(done, false, true, code);
  if (file < 0) {
    SetError(code, done + routine);
    return;
  }
  const std::uint8_t type = GetMemoType();
  std::uint8_t header[24] = {};
  std::uint16_t blockSize = kDbase3BlockSize;
  if (type != kMemoDbase3 && MemoReadAt(file, 0, header, sizeof header) == 0)
    blockSize = HeaderBlockSize(type, header, DefaultMemoBlockSize);
  std::vector<std::int32_t> blocks;
  const bool whole = PackedMemoBlocks(file, type, blockSize, blocks);
  XbCloseFile(file);
  std::vector<TFieldChange> changes = MemoFieldsInPackOrder();
  if (!whole || blocks.size() != changes.size()) {
    // Not what the pack wrote for these records: nothing is changed, and the reader is told.
    SetError(1003, done + " does not hold the memos of " + area->tableName +
                       ": a memo pack was cut short" + routine);
    return;
  }
  for (std::size_t i = 0; i < changes.size(); ++i) {
    const TFieldChange& change = changes[i];
    XbaseErrorCode = 0;
    Poke(FieldBlockText(blocks[i], int(change.oldText.size())), change.field, change.record);
    if (XbaseErrorCode != 0) return;
  }
  FlushFile(area->fileHandle);
  if (std::rename(done.c_str(), memoName.c_str()) != 0)
    SetError(DosCodeOfErrno(errno), memoName + routine);
}
