// Centre lines, section outlines, rulings and the hatched shaft-end symbol.
#include "drawings/centre_lines.h"

#include <array>

#include "common/program_state.h"
#include "drawings/hatching.h"
#include "graphics/cad_primitives.h"

namespace {

// Ordinates of the symbol's wave, as fractions of half its size.
constexpr std::array<long double, 22> kWave = {
    0.043L, 0.079L, 0.129L, 0.177L, 0.221L, 0.268L, 0.321L, 0.379L, 0.464L, 0.564L, 0.618L,
    0.714L, 0.804L, 0.846L, 0.879L, 0.914L, 0.936L, 0.954L, 0.968L, 0.979L, 0.986L, 0.9964L};
constexpr long double kWaveHeight = 0.15L;
constexpr int kUpperPoints = 24;
constexpr int kSymbolPoints = 47;

}  // namespace

void DrawHatchedSymbol(long double x, long double y, long double s) {
  const long double h = s / 2.0L;
  auto& point = HatchStore.points;
  point[1].x = x;
  for (int k = 2; k <= 23; ++k) point[k].x = x + h * kWave[static_cast<std::size_t>(k - 2)];
  point[kUpperPoints].x = x + h;
  for (int k = 1; k <= 11; ++k) point[k].y = y + kWaveHeight * h * (k - 1) / 11.0L;
  point[12].y = y + kWaveHeight * h * 10.5L / 11.0L;
  point[13].y = y + kWaveHeight * h;
  for (int k = 14; k <= kUpperPoints; ++k) point[k].y = point[26 - k].y;
  for (int j = 1; j <= 23; ++j) {
    point[kUpperPoints + j].x = point[kUpperPoints - j].x;
    point[kUpperPoints + j].y = 2.0L * y - point[j].y;
  }
  HatchPoints(kSymbolPoints, 0.0L, 45.0L);
  if (PlotSettings.HatchMode == 1) CadColour(5);
  CadMoveTo(point[1].x, point[1].y);
  for (int k = 2; k <= kUpperPoints; ++k) CadLineTo(2.0L * x - point[k].x, point[k].y);
}

void DrawCenterLine(long double x, long double y, long double l) {
  CadLine(x, y - l / 2.0L, x, y + l / 2.0L);
}

void DrawConeOutline(long double x1, long double y, long double x2, long double d1,
                     long double d2) {
  CadLine(x1, y - d1 / 2.0L, x2, y - d2 / 2.0L);
  CadLine(x1, y + d1 / 2.0L, x2, y + d2 / 2.0L);
}

void DrawCylinderOutline(long double x1, long double y, long double x2, long double d) {
  DrawConeOutline(x1, y, x2, d, d);
}

void DrawLineSeries(int n, double x, double y, double l, double step) {
  for (int i = 1; i <= n; ++i) CadLine(x, y - i * step, x + l, y - i * step);
}
