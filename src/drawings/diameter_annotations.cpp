// Diameter arcs and the diameter legend of the tooth pictures.
#include "drawings/diameter_annotations.h"

#include <cmath>
#include <vector>

#include "calc/toothing_data.h"
#include "common/formatting.h"
#include "common/guarded_math.h"
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
      {"dFf", t.dFf[n], 20, "dFf = ", 20, !legend || t.dFf[n] != t.db[n],
       std::fabs(t.dFf[n] - t.db[n]) < 0.1L * mn},
      {"dFa" + part, t.dFa[n], 29, "dFa = ", 29, t.dFa[n] != t.da[n]},
      {"dNf" + part, t.dNf[n], 24, "dNf = ", 24, true,
       std::fabs(t.db[n] - t.dNf[n]) < 0.15L * mn || std::fabs(t.d[n] - t.dNf[n]) < 0.15L * mn},
  };
  return rows;
}

}  // namespace

void DrawDiameterArc(const std::string& label, bool inside, long double cx, long double cy,
                     long double half, long double d, long double dir) {
  const long double mn = ToothingData.mn;
  CadTextHeight(2, -half, 0.1L * mn, 0.08L * mn);
  if (d >= 0) {
    CadArc(cx, cy, dir - half, dir + half, d / 2);
  } else {
    CadArc(cx, cy, dir + 180 + half, dir + 180 - half, -d / 2);
  }
  const long double t = DegToRad(dir - 90) + DegToRad(0.8L * half);
  long double x, y;
  if (inside) {
    x = cx + (d / 2 - 0.12L * mn) * std::sin(t);
    y = cy + (d / 2 - 0.12L * mn) * std::cos(t);
  } else {
    x = cx + (d / 2 + 0.08L * mn) * std::sin(t);
    y = cy + (d / 2 + 0.05L * mn) * std::cos(t);
  }
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
