// The drawing documentation records and their start state.
#include "drawings/drawing_documentation.h"

#include <algorithm>

#include "common/system_info.h"

TChangeRecords ChangeRecords;

void InitChangeRecords() {
  ChangeRecords = TChangeRecords{};
  const std::string today = DateStr();
  ChangeRecords.drawingInfo[kComplDate] = today;
  ChangeRecords.drawingInfo[kCheckDate] = today;
  ChangeRecords.drawingInfo[kStandDate] = today;
}

int UsedChangeCount() {
  return std::min<int>(ChangeRecords.count, kMaxChangeRecords);
}

int UsedDrawingTextCount() {
  return std::min<int>(ChangeRecords.textCount, kMaxDrawingTextRecords);
}
