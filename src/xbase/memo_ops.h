// Memo operations of the dBASE table library: opening, closing and creating the memo file of a
// table, reading a memo into the line table, adding and rewriting memos, the lock byte that
// serialises writers of a shared memo file, and a memo field used as a text file (assign, open
// for reading, writing or appending, read and write lines, close). The core reaches it through
// MemoHooks, filled by InitXbaseMemo.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "xbase/memo_format.h"
#include "xbase/work_areas.h"

// Settings.
extern bool MemoNetworkOn;                  // lock writers of shared memo files (true)
extern std::uint16_t MemoFileModeOverride;  // 65535 = none; 18 exclusive, 66 shared
extern std::uint16_t MemoMaxLines;          // capacity of the line table (1024)
extern bool MemoWrapOn;                     // read lines at MemoWrapWidth (false)
extern int MemoWrapWidth;                   // 78
constexpr std::size_t kMemoLineMax = 255;   // a stored line holds at most this many characters

// The line table: one memo as lines, each with its line end (13 hard, 141 soft, 0 none).
struct TMemoLineTable {
  std::vector<std::string> lines;
  std::vector<std::uint8_t> lineEnds;
  std::size_t current = 0;  // next line to read
  std::string pending;      // partial line of text-file output
  bool afterLineEnd = false;
  void Clear();
};
extern TMemoLineTable MemoLines;

// A memo field as a text file.
enum class TMemoFileMode : std::uint16_t {
  Closed = 0xD7B0,
  Input = 0xD7B1,
  Output = 0xD7B2,
};
struct TMemoTextFile {
  std::uint16_t handle = 0xFFFF;
  TMemoFileMode mode = TMemoFileMode::Closed;
  std::int32_t* block = nullptr;  // the caller's block number
  std::uint8_t area = 0;
  std::string name;
};

// Fills MemoHooks and sets the memo settings to their start values. Call after InitXbaseCore.
void InitXbaseMemo();
void InstallMemoHooks();

// The memo descriptor of an area (nullptr when the area has no memo file open).
TMemoDescriptor* MemoDescriptorOf(int area);
TMemoDescriptor* CurrentMemo();

void OpenMemofile(const std::string& tableName);
void CloseMemofile();
void CreateMemofile(const std::string& tableName);
// Closes an open memo file of the current area, creates a new one and opens it.
void CreateAndOpenMemofile(const std::string& tableName);
std::uint8_t GetMemoType();

// Reads memo `block` into MemoLines; true on success (and for block 0, no memo).
bool GetMemo(std::int32_t block);
// The line table as text: each line with its stored line end (CR LF or 0x8D LF).
std::string MemoLinesText();
// Stores a text as a new memo; its first block, 0 when nothing was stored.
std::int32_t AddMemo(const std::string& text);
// Reads memo `block` of the current area as text (the memo's bytes, line ends included).
bool ReadMemoText(std::int32_t block, std::string& text);
// Stores text in place of memo oldBlock (a new memo when oldBlock is 0); the memo's block, 0
// when nothing was stored. dBASE IV files reuse the old blocks when they suffice.
std::int32_t ReplaceMemo(std::int32_t oldBlock, std::string_view text);

// The memo as a text file.
void AssignMemo(TMemoTextFile& file, std::int32_t& block);
void MemoReset(TMemoTextFile& file);    // open for reading
void MemoRewrite(TMemoTextFile& file);  // open for writing: a new memo
void MemoAppend(TMemoTextFile& file);   // open for appending
// Next line up to a hard line end (soft-wrapped pieces joined); false at the end.
bool MemoReadLn(TMemoTextFile& file, std::string& line);
bool MemoEof(const TMemoTextFile& file);
void MemoWrite(TMemoTextFile& file, std::string_view text);
void MemoWriteLn(TMemoTextFile& file, std::string_view text);
void MemoClose(TMemoTextFile& file);

// Building blocks, on the current area's memo file.
std::int64_t LockMemoPadAndSeekEOF(const std::string& routine);
bool MainHeaderWrite(std::uint32_t nextBlock);
void UpdateMemoHeader();
bool ReadGroupHeader(std::int32_t& block, std::uint8_t header[8]);
bool WriteGroupHeader(std::int64_t position, std::uint32_t length, int file);
// Releases the lock byte when held, then SetError.
void MemoError(std::uint16_t code, const std::string& message);
void UnlockMemo(TMemoDescriptor& memo);

// Byte access used by the memo units; 0 or a DOS code (30 for a short read).
std::uint16_t MemoReadAt(int file, std::int64_t position, void* data, std::size_t count);
std::uint16_t MemoWriteAt(int file, std::int64_t position, const void* data, std::size_t count);
// Pads the file with zero bytes to a multiple of blockSize; 0 or a DOS code.
std::uint16_t PadToBlock(int file, std::uint16_t blockSize, std::int64_t& size);
// A fresh dBASE IV file gets its whole header block, so every reader accepts it; 0 or a code.
std::uint16_t CompleteHeaderBlock(int file, std::uint8_t type, std::uint16_t blockSize);

// Text conversions of an area for memo bytes (OEM page and record hooks), in place.
void MemoInputConversion(const WorkAreaRecord& area, std::string& bytes);
void MemoOutputConversion(const WorkAreaRecord& area, std::string& bytes);
