// Shaft and hub teeth in mesh, with frame, legend and the main diameter arcs.
#include "drawings/tooth_contact.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "calc/toothing_data.h"
#include "common/formatting.h"
#include "common/program_state.h"
#include "drawings/diameter_annotations.h"
#include "drawings/root_fillet.h"
#include "graphics/cad_blocks.h"

namespace {

constexpr long double kSameDiameter = 1e-6L;

bool Differs(long double a, long double b) {
  return std::fabs(a - b) > kSameDiameter;
}

void Legend(long double w, long double b, long double rotationDeg) {
  const TToothingData& t = ToothingData;
  const TToothGraphicsSettings& g = ToothGraphicsSettings;
  const long double h = w / 22;
  CadTextHeight(2, 0, h, 0.8L * h);
  CadRectangle(-w, b, w, b - 9.5L * h);
  const std::string deg = AngleUnitStr();
  const std::string joint[6] = {
      "mn = " + LengthStr(t.mn),         "alpha= " + RealStr(t.alpha) + deg,
      "beta = " + RealStr(t.beta) + deg, "a = " + LengthStrN(3, g.aDraw),
      "x1 = " + RealStrN(3, t.x[1]),     "phi = " + RealStrN(2, rotationDeg) + deg};
  long double y = b;
  for (const std::string& line : joint) {
    y -= 1.5L * h;
    CadText(-w + h, y, line);
  }
  for (int k = 1; k <= 2; ++k) {
    const std::string n = IntStr(k);
    const std::string part[6] = {"z" + n + "  = " + IntStr(t.z[k]),
                                 "dw" + n + " = " + LengthStrN(2, g.dwGen[k]),
                                 "df" + n + " = " + LengthStrN(2, g.dfGen[k]),
                                 "da" + n + " = " + LengthStrN(2, g.daGen[k]),
                                 "db" + n + " = " + LengthStrN(2, t.db[k]),
                                 "xe" + n + " = " + RealStrW(1, 3, g.xeInvolute[k])};
    const long double x = -w + 2 * w * k / 3;
    y = b;
    for (const std::string& line : part) {
      y -= 1.5L * h;
      CadText(x, y, line);
    }
  }
}

// Half angle of a dNf arc: wider when it would sit on the db or d label.
long double NfHalfAngle(int k, long double g) {
  const TToothingData& t = ToothingData;
  const long double near = 0.15L * t.mn;
  const bool crowded = std::fabs(t.dNf[k] - t.db[k]) < near || std::fabs(t.dNf[k] - t.d[k]) < near;
  return crowded ? g * 1.2L : g;
}

void DiameterArcs(long double b, long double top) {
  const TToothingData& t = ToothingData;
  const TToothGraphicsSettings& g = ToothGraphicsSettings;
  const long double a = g.aDraw;
  const long double g1 = std::min<long double>(720.0L / t.z[1], 90);
  const long double g2 = std::min<long double>(720.0L / t.z[2], 90);
  const long double dwMargin = 0.05L * t.mn;

  if (t.db[1] / 2 > b) DrawLimitedDiameterArc("db1", false, 0, 0, g1, t.db[1], 90, b);
  if (t.df[1] / 2 > b && FilletReachesBaseCircle(1))
    DrawLimitedDiameterArc("df1", true, 0, 0, g1, g.dfGen[1], 90, b);
  DrawLimitedDiameterArc("d1", false, 0, 0, g1, t.d[1], 90, b);
  if (std::fabs(t.dw[1] - t.d[1]) > dwMargin)
    DrawLimitedDiameterArc("dw1", false, 0, 0, g1, t.dw[1], 90, b);

  if (t.z[2] > 0) {
    if (a - t.db[2] / 2 < top) DrawLimitedDiameterArc("db2", false, 0, a, g2, t.db[2], 270, top);
    if (a - t.df[2] / 2 < top && FilletReachesBaseCircle(2))
      DrawLimitedDiameterArc("df2", false, 0, a, g2, g.dfGen[2], 270, top);
    DrawLimitedDiameterArc("d2", false, 0, a, g2, t.d[2], 270, top);
    if (std::fabs(t.dw[2] - t.d[2]) > dwMargin)
      DrawLimitedDiameterArc("dw2", false, 0, a, g2, t.dw[2], 270, top);
  } else {
    DrawLimitedDiameterArc("db2", true, 0, a, -g2, std::fabs(t.db[2]), 90, b);
    DrawLimitedDiameterArc("df2", true, 0, a, -g2, std::fabs(g.dfGen[2]), 90, b);
    DrawLimitedDiameterArc("d2", true, 0, a, -g2, std::fabs(t.d[2]), 90, b);
    if (std::fabs(t.dw[2] - t.d[2]) > dwMargin)
      DrawLimitedDiameterArc("dw2", true, 0, a, -g2, std::fabs(t.dw[2]), 90, b);
  }

  if (g.auxDiameterOption != 2) return;
  if (Differs(t.dFa[1], t.da[1])) {
    CadColour(29);
    DrawLimitedDiameterArc("dFa1", false, 0, 0, g1, t.dFa[1], 90, b);
  }
  CadColour(24);
  DrawLimitedDiameterArc("dNf1", false, 0, 0, NfHalfAngle(1, g1), t.dNf[1], 90, b);
  // The hub's arcs come from the same side as its main diameter arcs: from the top line for
  // an external second gear, from the bottom line, labelled inside, for the internal hub.
  const bool internal = t.z[2] <= 0;
  auto hubArc = [&](const char* label, long double half, long double d) {
    if (internal) {
      DrawLimitedDiameterArc(label, true, 0, a, -half, std::fabs(d), 90, b);
    } else {
      DrawLimitedDiameterArc(label, false, 0, a, half, d, 270, top);
    }
  };
  if (Differs(t.dFa[2], t.da[2])) {
    CadColour(29);
    hubArc("dFa2", g2, t.dFa[2]);
  }
  CadColour(24);
  hubArc("dNf2", NfHalfAngle(2, g2), t.dNf[2]);
}

}  // namespace

void DrawToothContact(bool withLegend, long double w, long double b, long double t,
                      long double rotationDeg) {
  if (AbortFlag) return;
  const TToothingData& td = ToothingData;
  const int z1 = td.z[1];
  const int z2 = td.z[2];
  if (z1 == 0 || z2 == 0) return;
  const long double a = ToothGraphicsSettings.aDraw;
  const long double t1 = 360.0L / z1;
  const long double t2 = 360.0L / z2;
  const long double c = -rotationDeg * z1 / z2;

  CadColour(0);
  CadInsertBlock("EVOLV1", 0, 0, rotationDeg, 1, 1);
  CadInsertBlock("EVOLV1", 0, 0, rotationDeg + t1, 1, 1);
  CadInsertBlock("EVOLV1", 0, 0, rotationDeg - t1, 1, 1);
  CadColour(0);
  for (int k = 0; k <= 1; ++k) {
    CadInsertBlock("EVOLV2", 0, a, 180 + t2 / 2 + k * t2 + c, 1, 1);
    CadInsertBlock("EVOLV2", 0, a, 180 - t2 / 2 - k * t2 + c, 1, 1);
  }
  if (!withLegend) return;

  CadColour(3);
  CadRectangle(-w, b, w, t);
  Legend(w, b, rotationDeg);
  CadColour(1);
  CadLine(0, b, 0, t);
  ClearDiameterLabels();
  DiameterArcs(b, t);
  CadColour(0);
}
