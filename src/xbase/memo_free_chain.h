// The free block groups of a dBASE IV memo file: a chain in ascending block order whose links
// (next group, size in blocks) stand at the start of each free group; header offset 0 holds the
// first. Used when a memo is rewritten.
#pragma once

#include <cstdint>
#include <string>

#include "xbase/memo_format.h"

// First block for a memo needing n blocks whose old group starts at oldBlock (0: none):
// the old group when it suffices, else the first free group that does, else the end of the file
// (endPosition). 0 after an error, which is reported with the routine's name.
std::uint32_t AllocateDbase4(TMemoDescriptor& memo, std::uint32_t n, std::uint32_t oldBlock,
                             std::int64_t endPosition, const std::string& routine);
// Gives the group of a moved memo back to the chain, once the memo is safe in its new place.
bool ReleaseOldGroup(TMemoDescriptor& memo, std::uint32_t oldBlock, const std::string& routine);
