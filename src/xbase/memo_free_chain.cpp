// The chain of free block groups in a dBASE IV memo file, and how a memo finds its blocks: in
// its old group when that suffices (the surplus goes back to the chain), in the first free group
// large enough, or at the end of the file.
#include "xbase/memo_free_chain.h"

#include <algorithm>

#include "xbase/memo_ops.h"
#include "xbase/xbase_platform.h"

namespace {

constexpr int kChainLimit = 100;

// A block that lies in the file's header block is never a memo's: a damaged pointer or chain
// link to it must not make a memo overwrite the header, or the header the memo.
bool InHeaderBlock(const TMemoDescriptor& memo, std::uint32_t block) {
  return std::int64_t(block) * memo.blockSize < std::int64_t(kMemoHeaderBlock);
}

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
  if (count == 0 || InHeaderBlock(io.memo, first)) return true;
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
    if (InHeaderBlock(io.memo, group)) break;
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

}  // namespace

std::uint32_t AllocateDbase4(TMemoDescriptor& memo, std::uint32_t n, std::uint32_t oldBlock,
                             std::int64_t endPosition, const std::string& routine) {
  TChainIo io{memo, routine};
  if (oldBlock != 0 && !InHeaderBlock(memo, oldBlock)) {
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

bool ReleaseOldGroup(TMemoDescriptor& memo, std::uint32_t oldBlock, const std::string& routine) {
  std::uint8_t header[8];
  const std::int64_t size = XbFileSize(memo.file);
  if (oldBlock == 0 || InHeaderBlock(memo, oldBlock) ||
      std::int64_t(oldBlock) * memo.blockSize + 8 > size)
    return true;
  if (MemoReadAt(memo.file, std::int64_t(oldBlock) * memo.blockSize, header, 8) != 0) return true;
  if (RecogniseMemo(memo.memoType, header) != TMemoLayout::Dbase4Group) return true;
  const std::uint32_t have =
      StoredTextLength(TMemoLayout::Dbase4Group, header) / memo.blockSize + 1;
  TChainIo io{memo, routine};
  return GiveBackBlocks(io, oldBlock, have);
}
