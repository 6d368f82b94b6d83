// The choice of one gear of a pair.
#include "drawings/gear_selection.h"

#include "common/dialog_host.h"
#include "common/formatting.h"
#include "common/program_state.h"

namespace {
constexpr int kHelpSelectGear = 8220;
}

void SelectGear(std::uint16_t& gear) {
  ScreenLines[1] = "gear " + IntStr(1);
  ScreenLines[2] = "gear " + IntStr(2);
  SetHelpNumber(kHelpSelectGear);
  int choice = gear;
  InputCode("Select gear ...", 2, choice);
  gear = static_cast<std::uint16_t>(choice);
  ScreenLines[kGearChoiceLine] = IntStr(gear);
}
