// Memo operations of the dBASE table library: opening, closing and creating the memo file of a
// table, reading and adding memos, rewriting them (in their old blocks where dBASE IV allows),
// and the lock byte that serialises writers of a shared memo file. The text-file view of a memo
// is memo_text_file.h. The core reaches the unit through MemoHooks, filled by InitXbaseMemo.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "xbase/memo_format.h"
#include "xbase/memo_text_file.h"
#include "xbase/work_areas.h"

// Settings.
extern bool MemoNetworkOn;                  // lock writers of shared memo files (true)
extern std::uint16_t MemoFileModeOverride;  // 65535 = none; 18 exclusive, 66 shared

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

// Stores a text as a new memo; its first block, 0 when nothing was stored.
std::int32_t AddMemo(const std::string& text);
// Reads memo `block` of the current area as text (the memo's bytes, line ends included).
bool ReadMemoText(std::int32_t block, std::string& text);
// Stores text in place of memo oldBlock (a new memo when oldBlock is 0); the memo's block, 0
// when nothing was stored. dBASE IV files reuse the old blocks when they suffice.
std::int32_t ReplaceMemo(std::int32_t oldBlock, std::string_view text);

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
