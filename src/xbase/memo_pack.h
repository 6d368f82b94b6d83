// Moving memo texts between memo files: copying one memo of another work area into the current
// area's memo file (converting between the dBASE III, dBASE IV and FoxPro layouts and passing
// the text through both areas' character conversions), and packing the current area's memo
// file so that it holds only the memos its records refer to, in record order.
#pragma once

#include <cstdint>
#include <string>

#include "xbase/memo_format.h"
#include "xbase/work_areas.h"

// One memo as it travels between two memo files.
struct TMemoCopyEnd {
  int file = -1;
  std::int64_t position = 0;
  std::uint8_t type = 0;
  std::uint16_t blockSize = 512;
  const WorkAreaRecord* area = nullptr;  // its conversion applies; nullptr for none
  std::string name;                      // for messages
};

// Copies the memo at source.position to target.position; 0 or the error code (already
// reported). The written bytes end where the memo ends (no padding).
std::uint16_t CopyMemoBlocks(const TMemoCopyEnd& source, const TMemoCopyEnd& target);

// Copies memo `block` of sourceArea's memo file into the current area's: mode 0 appends at the
// end, mode 1 writes at the same block number. The new block; 0 for block 0 and after errors.
std::int32_t CopyMemo(std::uint8_t sourceArea, std::int32_t block, int mode);

// Rebuilds the current area's memo file with only the memos its records refer to. The new file
// is complete under the name "<stem>.$$$" before any record points into it.
void PackMemofile();

// On opening the memo file memoName of the current area: a complete packed file left beside it
// by a pack that was cut short takes its place, and the records that do not yet point into it
// are made to. Reports 1003, and changes nothing, when the file does not fit the records.
void FinishInterruptedPack(const std::string& memoName);
