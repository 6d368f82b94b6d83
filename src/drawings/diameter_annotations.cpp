// Diameter arcs and the diameter legend of the tooth pictures.
#include "drawings/diameter_annotations.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

#include "calc/toothing_data.h"
#include "common/formatting.h"
#include "common/guarded_math.h"
#include "common/program_state.h"
#include "graphics/cad_blocks.h"

namespace {

struct TDiameterRow {
  std::string label;
  long double d = 0;
  int arcColour = 0;
  std::string legend;
  int legendColour = 0;
  bool shown = true;     // dFa only when it differs from da, in the legend also dFf
  bool widened = false;  // arc 1.2 times as wide
};

std::vector<TDiameterRow> DiameterRows(int n, bool legend) {
  const TToothingData& t = ToothingData;
  const TToothGraphicsSettings& g = ToothGraphicsSettings;
  const std::string part = IntStr(n);
  const long double mn = t.mn;
  std::vector<TDiameterRow> rows = {
      {"dw" + part, g.dwGen[n], 18, "dw = ", 18},
      {"d" + part, t.d[n], 17, "d = ", 17, true, std::fabs(t.d[n] - t.dw[n]) < 0.1L * mn},
      {"db" + part, t.db[n], 25, "db = ", 29},
      {"df" + part, g.dfGen[n], 19, "df = ", 19},
      {"da" + part, g.daGen[n], 21, "da = ", 21},
      {"dFf" + part, t.dFf[n], 20, "dFf = ", 20, !legend || t.dFf[n] != t.db[n],
       std::fabs(t.dFf[n] - t.db[n]) < 0.1L * mn},
      {"dFa" + part, t.dFa[n], 29, "dFa = ", 29, t.dFa[n] != t.da[n]},
      {"dNf" + part, t.dNf[n], 24, "dNf = ", 24, true,
       std::fabs(t.db[n] - t.dNf[n]) < 0.15L * mn || std::fabs(t.d[n] - t.dNf[n]) < 0.15L * mn},
  };
  return rows;
}

}  // namespace

namespace {

// Corners of the labels written since the last ClearDiameterLabels, so that a label that would
// cover one of them moves along its own arc.
using TCorners = std::array<std::pair<long double, long double>, 4>;
std::vector<TCorners> gLabels;

TCorners LabelCorners(long double x, long double y, long double angleDeg, long double length,
                      long double height) {
  const long double a = DegToRad(angleDeg);
  const long double ux = std::cos(a), uy = std::sin(a);
  // A margin of a fifth of the height about the text: a CAD font's letters reach a little past
  // their nominal box, and labels packed edge to edge read as one.
  const long double m = 0.2L * height;
  TCorners c;
  const long double s[4] = {-m, length + m, length + m, -m},
                    t[4] = {-m, -m, height + m, height + m};
  for (int i = 0; i < 4; ++i) c[i] = {x + ux * s[i] - uy * t[i], y + uy * s[i] + ux * t[i]};
  return c;
}

// Separating axes of two convex quadrilaterals.
bool Cover(const TCorners& a, const TCorners& b) {
  for (const TCorners* q : {&a, &b}) {
    for (int i = 0; i < 4; ++i) {
      const auto& p1 = (*q)[i];
      const auto& p2 = (*q)[(i + 1) % 4];
      const long double nx = p2.second - p1.second, ny = p1.first - p2.first;
      long double aMin = 1e300L, aMax = -1e300L, bMin = 1e300L, bMax = -1e300L;
      for (const auto& p : a) {
        const long double v = p.first * nx + p.second * ny;
        aMin = std::min(aMin, v);
        aMax = std::max(aMax, v);
      }
      for (const auto& p : b) {
        const long double v = p.first * nx + p.second * ny;
        bMin = std::min(bMin, v);
        bMax = std::max(bMax, v);
      }
      if (aMax <= bMin || bMax <= aMin) return false;
    }
  }
  return true;
}

bool Free(const TCorners& c) {
  return std::none_of(gLabels.begin(), gLabels.end(),
                      [&](const TCorners& other) { return Cover(c, other); });
}

}  // namespace

void ClearDiameterLabels() {
  gLabels.clear();
}

void DrawDiameterArc(const std::string& label, bool inside, long double cx, long double cy,
                     long double half, long double d, long double dir) {
  const long double mn = ToothingData.mn;
  CadTextHeight(2, -half, 0.1L * mn, 0.08L * mn);
  if (d >= 0) {
    CadArc(cx, cy, dir - half, dir + half, d / 2);
  } else {
    CadArc(cx, cy, dir + 180 + half, dir + 180 - half, -d / 2);
  }
  const long double rx = inside ? d / 2 - 0.12L * mn : d / 2 + 0.08L * mn;
  const long double ry = inside ? d / 2 - 0.12L * mn : d / 2 + 0.05L * mn;
  const long double length = static_cast<long double>(label.size()) * PlotSettings.textHeight *
                             PlotSettings.textWidthFactor;
  auto corners = [&](long double f, long double& x, long double& y) {
    const long double t = DegToRad(dir - 90) + DegToRad(f * half);
    x = cx + rx * std::sin(t);
    y = cy + ry * std::cos(t);
    return LabelCorners(x, y, -half, length, PlotSettings.textHeight);
  };
  // The label's place on its arc (0.8 of the half angle), or the nearest free one along it.
  long double x, y;
  TCorners c = corners(0.8L, x, y);
  for (int k = 1; k <= 36 && !Free(c); ++k) {
    for (const long double f : {0.8L - 0.05L * k, 0.8L + 0.05L * k}) {
      if (f < -1 || f > 1) continue;
      long double fx, fy;
      const TCorners moved = corners(f, fx, fy);
      if (Free(moved)) {
        c = moved;
        x = fx;
        y = fy;
        break;
      }
    }
  }
  gLabels.push_back(c);
  CadText(x, y, label);
}

void DrawLimitedDiameterArc(const std::string& label, bool inside, long double cx, long double cy,
                            long double half, long double d, long double dir, long double yLimit) {
  if (d == 0) return;
  const long double c = std::fabs((yLimit - cy) / (d / 2));
  if (c > 1) return;
  const long double a = RadToDeg(ArcCosMsg("Warning: ArcLimit", c));
  // The clipped half angle keeps its sign: a hub arc stays on the short side.
  if (a < std::fabs(half) && a != 0) half = half < 0 ? -a : a;
  DrawDiameterArc(label, inside, cx, cy, half, d, dir);
}

void DrawAuxDiameters(int n, long double dir, long double cx, long double cy) {
  ClearDiameterLabels();
  const int z = ToothingData.z[n];
  const long double spread = (z == 0 ? 0 : 180.0L / z) * 1.5L;
  CadColour(0);
  for (const TDiameterRow& row : DiameterRows(n, false)) {
    if (!row.shown) continue;
    CadColour(row.arcColour);
    DrawDiameterArc(row.label, false, cx, cy, row.widened ? 1.2L * spread : spread, row.d, dir);
  }
  CadColour(0);
}

void DrawDiameterLegend(int n, long double cx, long double cy) {
  const long double size = std::fabs(ToothGraphicsSettings.dfGen[n]);
  CadMoveTo(cx - size / 4, cy + size / 4);
  for (const TDiameterRow& row : DiameterRows(n, true)) {
    if (!row.shown) continue;
    CadColour(row.legendColour);
    DrawLegendLine(row.legend + LengthStrN(3, std::fabs(row.d)), cx, cy, 0, row.d, size);
  }
  CadColour(0);
}

void DrawLegendLine(const std::string& text, long double cx, long double cy, long double /*a*/,
                    long double d, long double size) {
  CadCircle(cx, cy, std::fabs(d) / 2);
  CadTextHeight(2, 0, size / 25, size / 35);
  CadTextLine(text);
}
