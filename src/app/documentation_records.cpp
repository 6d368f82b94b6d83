// The document slots and their start values.
#include "app/documentation_records.h"

TDocumentSlots DocumentSlots;

void InitDocumentSlots() {
  static const char* const kPrograms[kDocumentSlotCount] = {
      "notepad.exe", "write.exe", "mspaint.exe", "notepad.exe", "notepad.exe"};
  for (int n = 1; n <= kDocumentSlotCount; ++n) {
    DocumentSlots[n].program = kPrograms[n - 1];
    DocumentSlots[n].file.clear();
  }
}
