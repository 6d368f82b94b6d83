// Byte layouts of the memo files that sit beside a table: dBASE III and dBASE IV ".dbt" and
// FoxPro ".fpt" files, their headers, the 8-byte block header in front of a memo, how a stored
// memo is recognised, and the descriptor an open memo file keeps in its work area.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// Memo types: the version byte of the table the memo file belongs to.
constexpr std::uint8_t kMemoDbase3 = 0x83;
constexpr std::uint8_t kMemoDbase4 = 0x8B;
constexpr std::uint8_t kMemoDbase4Sql = 0x8C;
constexpr std::uint8_t kMemoFoxPro = 0xF5;

constexpr std::uint16_t kDbase3BlockSize = 512;
constexpr std::uint8_t kMemoEnd = 0x1A;     // end of a dBASE III memo text
constexpr std::uint8_t kSoftReturn = 0x8D;  // line end where the text was wrapped
constexpr std::size_t kMemoBlockHeaderSize = 8;
constexpr std::size_t kMemoLockOffset = 10;       // the byte that serialises writers
constexpr std::size_t kDbase4CounterOffset = 32;  // grows with every write
constexpr std::size_t kMemoHeaderBlock = 512;     // size of the header block readers expect

// Settings.
extern std::uint16_t DefaultMemoBlockSize;  // 512
extern std::uint16_t MemoWorkBufferSize;    // 512: buffer of writing and copying

bool IsMemoType(std::uint8_t type);
bool IsDbase4Memo(std::uint8_t type);  // 0x8B, 0x8C
bool IsFoxProMemo(std::uint8_t type);  // 0xF5

// Little- and big-endian numbers inside memo files.
std::uint32_t GetLe32(const std::uint8_t* p);
std::uint16_t GetLe16(const std::uint8_t* p);
std::uint32_t GetBe32(const std::uint8_t* p);
std::uint16_t GetBe16(const std::uint8_t* p);
void PutLe32(std::uint8_t* p, std::uint32_t value);
void PutBe32(std::uint8_t* p, std::uint32_t value);

// Block size stored in a header (first 24 bytes at least), or fallback when it holds 0; a
// dBASE III file always has 512-byte blocks.
std::uint16_t HeaderBlockSize(std::uint8_t type, const std::uint8_t* header,
                              std::uint16_t fallback);

// The next-free value at header offset 0, in the byte order of the type.
void PutNextFreeBlock(std::uint8_t type, std::uint8_t* header, std::uint32_t block);
std::uint32_t GetNextFreeBlock(std::uint8_t type, const std::uint8_t* header);

// The 8 bytes in front of a dBASE IV or FoxPro memo holding textLength bytes of text.
std::array<std::uint8_t, kMemoBlockHeaderSize> MemoBlockHeader(std::uint8_t type,
                                                               std::uint32_t textLength);

// How a stored memo starts.
enum class TMemoLayout { Dbase3Text, Dbase4Group, FoxPro };

// The layout of the memo whose first 8 bytes are given: FoxPro for a FoxPro table, a dBASE IV
// group when the first word is 0xFFFF and the second 8, dBASE III text otherwise.
TMemoLayout RecogniseMemo(std::uint8_t type, const std::uint8_t* first8);

// Text length held in a dBASE IV or FoxPro block header (0 for dBASE III text and for a group
// whose stored length is below its own header).
std::uint32_t StoredTextLength(TMemoLayout layout, const std::uint8_t* first8);

// Blocks a dBASE IV group of textLength bytes of text occupies.
std::uint32_t Dbase4GroupBlocks(std::uint32_t textLength, std::uint16_t blockSize);

// State of the current read in an open memo file.
struct TMemoReadState {
  std::int64_t position = 0;
  std::int64_t remaining = 0;
};

// One per work area whose table has a memo file open.
struct TMemoDescriptor {
  int file = -1;     // open file descriptor
  std::string name;  // full name of the memo file
  std::uint8_t memoType = kMemoDbase4;
  std::uint16_t blockSize = 512;
  bool locked = false;  // the lock byte is held
  TMemoReadState readState;
  std::uint32_t bufferFills = 0;  // work-buffer fills since the last read, for the counter
};
