// Tooth-profile blocks of shaft and hub for the production drawings and result sheets.
#include "drawings/profile_blocks.h"

#include <cmath>
#include <numbers>
#include <string>

#include "calc/toothing_data.h"
#include "drawings/tool_profile.h"
#include "drawings/tooth_graphics_support.h"
#include "drawings/tooth_outline.h"
#include "drawings/whole_wheel.h"
#include "graphics/cad_blocks.h"

namespace {

constexpr int kMarkColour = 5;
constexpr long double kMarkRadius = 0.15L;  // of the module

// Two small circles that show how a wheel block is turned: one on the pitch circle in the
// middle of a tooth gap, one at the centre.
void ReferenceMarks(int part) {
  const TToothingData& t = ToothingData;
  const long double pi = std::numbers::pi_v<long double>;
  const long double z = static_cast<long double>(t.z[part]);
  if (z == 0) return;
  long double angle = pi / 2 - pi / z;
  long double radius = t.d[part] / 2;
  if (t.z[part] < 0) {
    // The hub's mark lies below the centre.
    angle = -pi / 2 - pi / z;
    radius = -t.d[part] / 2;
  }
  const long double r = kMarkRadius * t.mn;
  CadColour(kMarkColour);
  CadCircle(radius * std::cos(angle), radius * std::sin(angle), r);
  CadCircle(0, 0, r);
}

}  // namespace

void ToothProfileBlocks(int mode) {
  PrepareGeneratingDiameters(TGeneratingShift::Involute);
  for (int part = 1; part <= 2; ++part) {
    CadBeginBlock("EVOLV" + std::to_string(part));
    DrawToothOutline(part, false);
    CadEndBlock();
  }
  for (int part = 1; part <= 2; ++part) {
    CadBeginBlock("RAD" + std::to_string(part));
    if (mode == 1) ReferenceMarks(part);
    DrawGearWheel(part, false);
    CadEndBlock();
  }
  if (mode != 0) return;
  for (int part = 1; part <= 2; ++part) {
    CadBeginBlock("WERKZ" + std::to_string(part));
    DrawToolProfile(part, false, 1);
    CadEndBlock();
  }
}
