// The generating rack profile and its legend.
#include "drawings/tool_profile.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "calc/toothing_data.h"
#include "common/formatting.h"
#include "common/guarded_math.h"
#include "common/plane_geometry.h"
#include "common/program_state.h"
#include "drawings/sheet_layout.h"
#include "graphics/cad_blocks.h"

namespace {

struct TToolSide {
  long double f = 1;     // x divisor
  bool ellipse = false;  // radius arcs seen as ellipse arcs

  void Line(long double x1, long double y1, long double x2, long double y2) const {
    CadLine(x1 / f, y1, x2 / f, y2);
  }
  void Arc(long double cx, long double cy, long double a1, long double a2, long double r) const {
    if (ellipse) {
      CadEllipseArc(cx / f, cy, a1, a2, r, 1 / f, 1, 5);
    } else {
      CadArc(cx / f, cy, a1, a2, r);
    }
  }
};

std::string Length(long double mm) {
  return LengthStr(mm) + " " + LengthUnitStr();
}

std::vector<std::string> DataLines(int n) {
  const TToothingData& t = ToothingData;
  const long double mn = t.mn;
  std::vector<std::string> lines = {
      "gear " + IntStr(n),
      "mn = " + Length(mn),
      "hfP0 = " + RealStr(t.hfP0mn[n]) + " * mn = " + Length(t.hfP0[n]),
      "haP0 = " + RealStr(t.haP0mn[n]) + " * mn = " + Length(t.haP0[n]),
      "hP0 = " + RealStr(t.haP0mn[n] + t.hfP0mn[n]) + " * mn = " + Length(t.haP0[n] + t.hfP0[n]),
      "raP0 = " + RealStr(t.rhoaP0mn[n]) + " * mn = " + Length(t.rhoaP0[n])};
  if (t.rhofP0mn[n] > 0) {
    lines.push_back("rfP0 = " + RealStr(t.rhofP0mn[n]) + " * mn = " + Length(t.rhofP0[n]));
  }
  if (t.prP0mn[n] > 0) {
    lines.push_back("prP0 = " + RealStr(t.prP0mn[n]) + " * mn = " + Length(t.prP0[n]));
    lines.push_back("alpha prP0 = " + RealStr(t.alphaprP0[n]) + AngleUnitStr());
  }
  if (t.toolAngleFlag[n] != 0) {
    lines.push_back("hFfP0 = " + RealStr(t.hFfP0mn[n]) + " * mn = " + LengthStr(t.hFfP0[n]));
    lines.push_back("alpha kP0 = " + RealStr(t.alphakP0[n]) + AngleUnitStr());
  }
  return lines;
}

// Writes the lines from the pen at (x, y), moved first to the nearest place inside the
// basic-rack window where they cross no line of the profile.
void LegendBlock(TSheetLayout& layout, long double x, long double y,
                 const std::vector<std::string>& lines, long double h, long double w) {
  std::size_t longest = 0;
  for (const std::string& line : lines) longest = std::max(longest, line.size());
  const TSheetBox box =
      TextLinesBox(x, y, static_cast<int>(lines.size()), static_cast<int>(longest), h, w);
  long double left = box.left, top = box.top;
  layout.Place(left, top, box.right - box.left, box.top - box.bottom, 0.25L * h);
  CadMoveTo(x + left - box.left, y + top - box.top);
  for (const std::string& line : lines) CadTextLine(line);
}

void DrawLegend(int n, long double h0) {
  const TToothingData& t = ToothingData;
  const long double mn = t.mn;
  const long double datum = -h0 + t.haP0[n];
  const long double yRoot = datum + t.hfP0[n];
  CadColour(1);
  CadLine(0, -h0 - 0.1L * mn, 0, yRoot + 0.1L * mn);
  CadLine(-mn, datum, mn, datum);
  CadColour(4);
  const long double h = 0.08L * mn, w = 0.06L * mn;
  CadTextHeight(2, 0, h, w);

  // The picture window of the basic rack, and the profile as straight flanks, tip and root lines.
  TSheetLayout layout({-2 * mn, -2 * mn, 2 * mn, 2 * mn});
  const long double tanAlpha = std::tan(t.alphaRad);
  const long double quarter = kPi * mn / 4, half = kPi * mn / 2;
  const long double xTip = quarter - (datum + h0) * tanAlpha;
  const long double xRoot = quarter + (yRoot - datum) * tanAlpha;
  for (int s = 1; s >= -1; s -= 2) {
    layout.AddSegment(s * xTip, -h0, s * xRoot, yRoot);
    layout.AddSegment(s * xRoot, yRoot, s * half, yRoot);
  }
  layout.AddSegment(-xTip, -h0, xTip, -h0);

  // The tool's name stays on its tooth, clear of the flanks.
  LegendBlock(layout, 0.05L * mn, datum + 0.03L * mn,
              {PartNames.drawingNumber[n], PartNames.partName[n], "(Tool)"}, h, w);
  // The data stand in the free space on the gear's side of the rack, off its body above the
  // root line.
  layout.AddBox({-2 * mn, yRoot, 2 * mn, 2 * mn});
  LegendBlock(layout, 1.5L * mn, yRoot - 0.15L * mn, DataLines(n), h, w);
}

}  // namespace

void DrawToolProfile(int n, bool transverse, int mode) {
  if (AbortFlag) return;
  const TToothingData& t = ToothingData;
  const long double mn = t.mn;
  const long double alpha = t.alphaRad;
  const long double alphaDeg = t.alpha;
  const long double haP0 = t.haP0[n];
  const long double hfP0 = t.hfP0[n];
  const long double rho = t.rhoaP0[n];
  const long double rf = t.rhofP0[n];
  const long double hFf = t.hFfP0[n];
  const long double h0 = (t.d[n] - ToothGraphicsSettings.dfGen[n]) / 2;
  const long double quarter = kPi * mn / 4;
  const long double half = kPi * mn / 2;
  const long double datum = -h0 + haP0;
  const long double yRoot = datum + hfP0;
  const bool protuberance = t.prP0mn[n] != 0;
  const long double alphaPr = DegToRad(t.alphaprP0[n]);
  const long double alphaK = DegToRad(t.alphakP0[n]);
  const bool chamfer = t.toolAngleFlag[n] != 0;

  TToolSide side;
  side.f = transverse ? std::cos(t.betaRad) : 1;
  side.ellipse = transverse && t.betaRad != 0;

  // Tip radius, protuberance flank and the point where the flank pieces meet.
  long double mx, my, ax, ay, bx, by, cx, cy;
  if (protuberance) {
    const long double x0 = t.prP0[n] / std::cos(alpha) + quarter - (haP0 - rho) * std::tan(alpha);
    mx = x0 - rho / std::cos(alpha);
    my = -h0 + rho;
    ax = mx;
    ay = -h0;
    RotateAboutPoint(bx, by, ax, ay, mx, my, kPi / 2 - alphaPr);
    cx = cy = 0;
    IntersectRays(cx, cy, bx, by, kPi / 2 - alphaPr, quarter, datum, kPi / 2 - alpha);
  } else {
    const long double x0 = quarter - (haP0 - rho) * std::tan(alpha);
    mx = x0 - rho / std::cos(alpha);
    my = -h0 + rho;
    ax = mx;
    ay = -h0;
    bx = mx + rho * std::cos(alpha);
    by = my - rho * std::sin(alpha);
    cx = bx;
    cy = by;
  }
  // A tool whose tip radii cross the tooth's centre line is pointed: its flanks meet above the
  // tip line. The round then sits between the flanks, centred on that line, touching the flank
  // it leaves; the tool does not reach its tip line.
  bool protuberanceFlank = protuberance;
  if (mx < 0) {
    const long double aPr = protuberance ? alphaPr : alpha;
    const long double shift = std::sin(aPr) > 0 ? -mx / std::sin(aPr) : 0;
    if (protuberance && by + shift * std::cos(aPr) <= cy) {
      my += shift * std::cos(aPr);
      bx += shift * std::sin(aPr);
      by += shift * std::cos(aPr);
    } else if (std::sin(alpha) > 0) {
      // On the main flank: the centre lies rho inside the flank through (pi m / 4, datum).
      my = datum + (rho - quarter * std::cos(alpha)) / std::sin(alpha);
      bx = rho * std::cos(alpha);
      by = my - rho * std::sin(alpha);
      cx = bx;
      cy = by;
      protuberanceFlank = false;
    }
    mx = ax = 0;
    ay = my - rho;
  }
  const long double xRoot = hfP0 * std::tan(alpha) + quarter;
  const long double xK1 = xRoot - (hfP0 - hFf) * std::tan(alpha);
  const long double yK1 = datum + hFf;
  const long double xK2 = xK1 + (hfP0 - hFf) * std::tan(alphaK);
  const long double tipEndDeg = 360 - (protuberanceFlank ? t.alphaprP0[n] : alphaDeg);

  CadColour(3);
  for (int s = 1; s >= -1; s -= 2) {
    // s = 1 the right half, s = -1 its mirror image; mirrored arcs run from 180 - a2 to 180 - a1.
    auto line = [&](long double x1, long double y1, long double x2, long double y2) {
      side.Line(s * x1, y1, s * x2, y2);
    };
    auto arc = [&](long double xc, long double yc, long double a1, long double a2, long double r) {
      if (s > 0) {
        side.Arc(xc, yc, a1, a2, r);
      } else {
        side.Arc(-xc, yc, 180 - a2, 180 - a1, r);
      }
    };
    if (t.rhofP0mn[n] > 0) {
      const long double a = chamfer ? alphaK : alpha;
      const long double aDeg = chamfer ? t.alphakP0[n] : alphaDeg;
      const long double rx =
          xK2 + rf * (std::cos(a) + (std::sin(a) * std::sin(a) - std::sin(a)) / std::cos(a));
      const long double ry = yRoot - rf;
      line(half, yRoot, rx, yRoot);
      arc(rx, ry, 90, 180 - aDeg, rf);
      const long double ex = rx - rf * std::cos(a);
      const long double ey = ry + rf * std::sin(a);
      if (chamfer) {
        line(ex, ey, xK1, yK1);
        line(xK1, yK1, cx, cy);
      } else {
        line(ex, ey, cx, cy);
      }
    } else {
      line(half, yRoot, xK2, yRoot);
      line(xK2, yRoot, xK1, yK1);
      line(xK1, yK1, cx, cy);
    }
    if (protuberanceFlank) line(cx, cy, bx, by);
    arc(mx, my, 270, tipEndDeg, rho);
  }
  if (ax != 0) side.Line(ax, ay, -ax, ay);

  if (mode == 1) DrawLegend(n, h0);
}
