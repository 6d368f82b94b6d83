// The document slots and their start values.
#include "app/documentation_records.h"

#include "common/codepage.h"

TDocumentSlots DocumentSlots;

void InitDocumentSlots() {
  static const char* const kPrograms[kDocumentSlotCount] = {
      "notepad.exe", "write.exe", "mspaint.exe", "notepad.exe", "notepad.exe"};
  for (int n = 1; n <= kDocumentSlotCount; ++n) {
    DocumentSlots[n].program = kPrograms[n - 1];
    DocumentSlots[n].file.clear();
  }
}

std::string SeparatorIn(std::string_view text, TFieldPlace place) {
  const bool barRefused = place != TFieldPlace::OwnLine;
  const bool breakRefused = place != TFieldPlace::Description;
  for (char c : text) {
    if (barRefused && c == '|') return "\"|\"";
    // The reader ends a line at a CR as at an LF.
    if (breakRefused && (c == '\r' || c == '\n')) return "a line break";
  }
  return {};
}

std::string SeparatorRefusal(std::string_view field, std::string_view separator) {
  return std::string(field) + ": " + std::string(separator) +
         " cannot be stored there, it separates the fields of the data file";
}

std::string CodePageRefusal(std::string_view field, std::string_view character) {
  return std::string(field) + ": \"" + NameText(character) +
         "\" cannot be stored there, the file holds only the characters of code page 850";
}
