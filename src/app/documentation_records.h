// The five document slots of a data set: each names a program and a document file that the
// documentation menu starts together. They travel with the data file; a new data set keeps
// them.
#pragma once

#include <string>

#include "common/range_array.h"

constexpr int kDocumentSlotCount = 5;

// A program and the file handed to it, both as typed (no code-page conversion).
struct TDocumentSlot {
  std::string program;
  std::string file;
  bool operator==(const TDocumentSlot&) const = default;
};

using TDocumentSlots = RangeArray<TDocumentSlot, 1, kDocumentSlotCount>;
extern TDocumentSlots DocumentSlots;

// Start values: "notepad.exe", "write.exe", "mspaint.exe", "notepad.exe", "notepad.exe", no
// files.
void InitDocumentSlots();
