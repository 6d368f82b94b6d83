// Virtual files: work areas whose records live in memory as a doubly linked list of record
// copies, kept appended, pushed, inserted or sorted by a caller's key maker. The table core
// reaches them through its virtual-file dispatcher.
#pragma once

#include <cstdint>
#include <string>

#include "xbase/dbf_file.h"  // kVFileClose, kVFileGoto, kVFileReplace
#include "xbase/work_areas.h"

// One record of a virtual file.
struct VFileNode {
  VFileNode* Prev = nullptr;  // nil at the head
  VFileNode* Next = nullptr;  // nil at the tail
  std::uint16_t Length = 0;   // bytes of the record copy
  unsigned char* Record = nullptr;
};

// Orders of a virtual file (VFileMode).
constexpr std::uint8_t kVFileAppend = 0;
constexpr std::uint8_t kVFilePush = 1;
constexpr std::uint8_t kVFileInsert = 2;
constexpr std::uint8_t kVFileAscending = 3;
constexpr std::uint8_t kVFileDescending = 4;

// Requests (VFileRequest) besides the file layer's close (1), go to (3) and replace (8).
constexpr std::uint8_t kVFileDelete = 2;
constexpr std::uint8_t kVFileInit = 4;
constexpr std::uint8_t kVFilePack = 5;
constexpr std::uint8_t kVFilePop = 6;
constexpr std::uint8_t kVFileAppendRecord = 7;
constexpr std::uint8_t kVFileRecall = 9;
constexpr std::uint8_t kVFileRemove = 10;
constexpr std::uint8_t kVFileFreeAll = 12;

// Runs the area's VFileRequest on its list.
void VFileDispatch(WorkAreaRecord& area);

// The operations behind the requests (each on the given area).
void VFileGoto(WorkAreaRecord& area);
void VFileAdd(WorkAreaRecord& area);
void VFileReplace(WorkAreaRecord& area);
void VFileRemoveCurrent(WorkAreaRecord& area);
void VFilePack(WorkAreaRecord& area);
void VFilePop(WorkAreaRecord& area);
// Positions the area's current node at record target (1..count).
void VFileSeek(WorkAreaRecord& area, std::int32_t target);

// Key of the record in the area's record buffer, made by its key maker.
struct TVFileKey {
  std::string text;  // at most 100 characters
  bool numeric = false;
  double number = 0;
};
TVFileKey VFileMakeKey(WorkAreaRecord& area);
// Relations of VFileCompareKeys.
enum class TKeyRelation { Equal, Less, Greater, LessOrEqual, GreaterOrEqual };
bool VFileCompareKeys(const TVFileKey& a, const TVFileKey& b, TKeyRelation relation);

// Stores VFileDispatch in the core's virtual-file dispatcher.
void InstallVFileDispatch();
// Program end: from now on closing a virtual area frees nothing.
void DoneVFiles();
