// Generating simulation of the tooth gap.
#include "drawings/generating.h"

#include <cmath>

#include "calc/toothing_data.h"
#include "common/formatting.h"
#include "common/guarded_math.h"
#include "common/program_state.h"
#include "graphics/cad_blocks.h"

namespace {
constexpr int kDefaultShapeSteps = 30;
}

std::string ToolBlockName(int n) {
  return "WERKZS" + IntStr(n);
}

void GenerateToothShape(int n) {
  if (AbortFlag) return;
  const TToothingData& t = ToothingData;
  int& steps = ToothGraphicsSettings.ShapeSteps;
  if (steps == 0) steps = kDefaultShapeSteps;
  const int count = steps < 1 ? 1 : steps;
  const long double r = t.d[n] / 2;
  const long double df = ToothGraphicsSettings.dfGen[n];
  const long double h0 = (t.d[n] - df) / 2;
  const int z = t.z[n];
  // Rolling range wide enough to carry the tool through the whole gap.
  const long double range = z > 1 ? 0.69L / std::log(static_cast<long double>(z)) + 4.5L / z : 0.3L;
  const long double step = range / count;
  const std::string block = ToolBlockName(n);
  // Counted positions: exactly 2 N of them, whatever the rounding of the steps.
  for (int i = 0; i < 2 * count; ++i) {
    const long double phi = -range + step * i;
    const long double a = r * (phi - std::sin(phi));
    const long double b = r * (1 - std::cos(phi));
    const long double x = TurnedX(a, b, -phi);
    const long double y = TurnedY(a, b, -phi);
    CadColour(0);
    CadInsertBlock(block, x, y + h0 + df / 2, RadToDeg(phi), 1, 1);
  }
}
