// Byte layouts of dBASE III, dBASE IV and FoxPro memo files.
#include "xbase/memo_format.h"

std::uint16_t DefaultMemoBlockSize = 512;
std::uint16_t MemoWorkBufferSize = 512;

bool IsMemoType(std::uint8_t type) {
  return type == kMemoDbase3 || IsDbase4Memo(type) || IsFoxProMemo(type);
}
bool IsDbase4Memo(std::uint8_t type) {
  return type == kMemoDbase4 || type == kMemoDbase4Sql;
}
bool IsFoxProMemo(std::uint8_t type) {
  return type == kMemoFoxPro;
}

std::uint32_t GetLe32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
         std::uint32_t(p[3]) << 24;
}
std::uint16_t GetLe16(const std::uint8_t* p) {
  return std::uint16_t(p[0] | p[1] << 8);
}
std::uint32_t GetBe32(const std::uint8_t* p) {
  return std::uint32_t(p[3]) | std::uint32_t(p[2]) << 8 | std::uint32_t(p[1]) << 16 |
         std::uint32_t(p[0]) << 24;
}
std::uint16_t GetBe16(const std::uint8_t* p) {
  return std::uint16_t(p[1] | p[0] << 8);
}
void PutLe32(std::uint8_t* p, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(value >> (8 * i));
}
void PutBe32(std::uint8_t* p, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) p[3 - i] = std::uint8_t(value >> (8 * i));
}

std::uint16_t HeaderBlockSize(std::uint8_t type, const std::uint8_t* header,
                              std::uint16_t fallback) {
  if (type == kMemoDbase3) return kDbase3BlockSize;
  const std::uint16_t stored = IsFoxProMemo(type) ? GetBe16(header + 6) : GetLe16(header + 20);
  // A block must hold at least its own header; a smaller size is a damaged header.
  return stored < kMemoBlockHeaderSize ? fallback : stored;
}

void PutNextFreeBlock(std::uint8_t type, std::uint8_t* header, std::uint32_t block) {
  if (IsFoxProMemo(type))
    PutBe32(header, block);
  else
    PutLe32(header, block);
}

std::uint32_t GetNextFreeBlock(std::uint8_t type, const std::uint8_t* header) {
  return IsFoxProMemo(type) ? GetBe32(header) : GetLe32(header);
}

std::array<std::uint8_t, kMemoBlockHeaderSize> MemoBlockHeader(std::uint8_t type,
                                                               std::uint32_t textLength) {
  std::array<std::uint8_t, kMemoBlockHeaderSize> h{};
  if (IsFoxProMemo(type)) {
    PutBe32(h.data(), 1);  // 1: text
    PutBe32(h.data() + 4, textLength);
  } else {
    h[0] = 0xFF;
    h[1] = 0xFF;
    h[2] = 0x08;
    h[3] = 0x00;
    // dBASE IV counts its own 8 header bytes in the length.
    PutLe32(h.data() + 4, textLength + std::uint32_t(kMemoBlockHeaderSize));
  }
  return h;
}

TMemoLayout RecogniseMemo(std::uint8_t type, const std::uint8_t* first8) {
  if (IsFoxProMemo(type)) return TMemoLayout::FoxPro;
  if (GetLe16(first8) == 0xFFFF && GetLe16(first8 + 2) == 8) return TMemoLayout::Dbase4Group;
  return TMemoLayout::Dbase3Text;
}

std::uint32_t StoredTextLength(TMemoLayout layout, const std::uint8_t* first8) {
  switch (layout) {
    case TMemoLayout::FoxPro:
      return GetBe32(first8 + 4);
    case TMemoLayout::Dbase4Group: {
      const std::uint32_t stored = GetLe32(first8 + 4);
      return stored < kMemoBlockHeaderSize ? 0 : stored - std::uint32_t(kMemoBlockHeaderSize);
    }
    case TMemoLayout::Dbase3Text:
      break;
  }
  return 0;
}

std::uint32_t Dbase4GroupBlocks(std::uint32_t textLength, std::uint16_t blockSize) {
  return (textLength + std::uint32_t(kMemoBlockHeaderSize)) / blockSize + 1;
}
