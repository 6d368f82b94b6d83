// Moving the position of an open NDX index: first and last key, next and previous key, and
// the search for a key. Every routine keeps the path from the root to the current leaf, so
// that stepping touches only the leaf until a leaf border is crossed.
#pragma once

#include <cstdint>
#include <string>

#include "xbase/ndx_sets.h"

// A node image fit to be used: a node number of the file (below blocks), an item count within
// the keys per node, and interior children that name other nodes of the file.
bool NdxNodeSound(const TNdxAnchor& anchor, std::uint32_t blocks, std::uint32_t node,
                  const unsigned char* image);
// Node n of the index file (n x 512). A short read or a damaged node gives 222 and false.
bool SeekAndRead(TIndexDescriptor& index, std::uint32_t node, unsigned char* buffer);
bool SeekAndWrite(TIndexDescriptor& index, std::uint32_t node, const unsigned char* buffer);

// Builds the path to the leaf for the key; the leaf item is the first key not less than it
// (the item count when the key is above all keys of the leaf). Result as the node search:
// -1 below item 0, -2 above the last item, else the index found; -3 after a read failure.
int DescendToKey(TIndexDescriptor& index, const unsigned char* key);
// Moves the path to the next item, across leaf borders; false at the end.
bool NextItemOnPath(TIndexDescriptor& index);
// Positions on the first key not less than the given key (key length bytes); sets IndexFound.
void SeekKey(TIndexDescriptor& index, const std::string& key);
// Record number of the first or last key; record count + 1 when the index is empty.
std::int32_t FindFirstLast(TIndexDescriptor& index, bool first);
// One step; record number of the new current key (see the BOF/EOF flags for the ends).
std::int32_t StepNext(TIndexDescriptor& index);
std::int32_t StepPrior(TIndexDescriptor& index);
// Moves past the last key: EOF, no position.
void GoPastEnd(TIndexDescriptor& index);
// Key and record number of the current item (false without a position).
bool CurrentItem(const TIndexDescriptor& index, std::string& key, std::uint32_t& record);

// Hook routines of the current area and the current order slot.
std::int32_t _FindNextRec();
std::int32_t _FindPriorRec();
std::int32_t _FindFirstLastRec(bool first);
std::int32_t IndexTop();
std::int32_t IndexBottom();
bool IndexEof();
bool IndexBof();
