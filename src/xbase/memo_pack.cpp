// Copying memos between memo files of any layout, and packing a memo file.
#include "xbase/memo_pack.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

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

struct TFieldChange {
  std::int32_t record;
  int field;
  std::string oldText;
  std::string newText;
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
  // Another program reading the table would take the new block numbers into the old file:
  // the pack needs the table to itself, as when it was opened exclusively.
  const bool reopened = !area->exclusive;
  if (reopened) {
    Unlock();
    if (OpenDbfFile(true) != 0) {
      SetError(225, area->tableName + " [PackMemofile]");
      return;
    }
  }
  struct ShareAgainAtEnd {
    bool active;
    ~ShareAgainAtEnd() {
      if (!active) return;
      const std::uint16_t code = XbaseErrorCode;
      const std::string message = XbaseErrorMessage;
      OpenDbfFile(false);
      XbaseErrorCode = code;
      XbaseErrorMessage = message;
    }
  } shareAgain{reopened};

  const std::string memoName = memo->name;
  const std::uint8_t type = memo->memoType;
  const std::uint16_t blockSize = memo->blockSize;
  PackWorkFile work(directory + stem + ".$$$");
  XbaseErrorCode = 0;
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

  // Every memo is copied first; the records change only once the whole new file is there.
  std::vector<TFieldChange> changes;
  const std::int32_t count = RecCount();
  const int fields = FieldCount();
  for (std::int32_t r = 1; r <= count; ++r) {
    for (int f = 1; f <= fields; ++f) {
      if (FieldType(f) != 'M') continue;
      const std::string raw = Peek(f, r);
      const std::string trimmed = AllTrim(raw);
      const std::int32_t block = trimmed.empty() ? 0 : std::atoi(trimmed.c_str());
      if (block == 0) continue;
      const std::int32_t moved = PackMemo(*memo, work, block, r);
      if (moved == 0) return;
      changes.push_back({r, f, raw, FieldBlockText(moved, int(raw.size()))});
    }
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

  auto restoreFields = [&](std::size_t upTo) {
    const bool handling = SetErrorHandling(false);
    for (std::size_t i = 0; i < upTo; ++i)
      Poke(changes[i].oldText, changes[i].field, changes[i].record);
    SetErrorHandling(handling);
  };
  for (std::size_t i = 0; i < changes.size(); ++i) {
    XbaseErrorCode = 0;
    const bool handling = SetErrorHandling(false);
    Poke(changes[i].newText, changes[i].field, changes[i].record);
    SetErrorHandling(handling);
    if (XbaseErrorCode != 0) {
      const std::uint16_t code = XbaseErrorCode;
      const std::string message = XbaseErrorMessage;
      restoreFields(i);
      SetError(code, message);
      return;
    }
  }

  // The packed file takes the old one's name in one step.
  CloseMemofile();
  if (std::rename(work.name().c_str(), memoName.c_str()) != 0) {
    const std::uint16_t code = DosCodeOfErrno(errno);
    restoreFields(changes.size());
    OpenMemofile(memoName);
    SetError(code, memoName + " [PackMemofile]");
    return;
  }
  work.Keep();
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
