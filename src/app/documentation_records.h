// The five document slots of a data set: each names a program and a document file that the
// documentation menu starts together. They travel with the data file; a new data set keeps
// them.
#pragma once

#include <string>
#include <string_view>

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

// How a text sits in the data file, and so which of the file's separators it cannot hold: the
// file's layout has no escapes, so a separator inside a text would shift every later field.
enum class TFieldPlace {
  OwnLine,      // a line of its own: no line break
  JoinedField,  // one of several fields joined by "|" on one line: no "|", no line break
  Description,  // its line breaks are written as "|": no "|"
};

// The name of the first separator in the text that its place cannot keep ("\"|\"" or "a line
// break"); empty when the text travels whole.
std::string SeparatorIn(std::string_view text, TFieldPlace place);
// The message that refuses a separator in a field.
std::string SeparatorRefusal(std::string_view field, std::string_view separator);
// The message that refuses a typed character (UTF-8) that the file's code page cannot hold:
// stored, it would come back as "?".
std::string CodePageRefusal(std::string_view field, std::string_view character);
