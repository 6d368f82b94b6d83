// Free places for the text blocks of a sheet.
#include "drawings/sheet_layout.h"

#include <algorithm>
#include <cmath>

#include "common/program_state.h"

namespace {

// Positions tried across the window in each direction.
constexpr int kSteps = 320;

bool Overlap(const TSheetBox& a, const TSheetBox& b) {
  return a.left < b.right && b.left < a.right && a.bottom < b.top && b.bottom < a.top;
}

// Liang-Barsky: does the segment reach into the box?
bool SegmentInBox(long double x1, long double y1, long double x2, long double y2,
                  const TSheetBox& b) {
  long double t0 = 0, t1 = 1;
  const long double dx = x2 - x1, dy = y2 - y1;
  const long double p[4] = {-dx, dx, -dy, dy};
  const long double q[4] = {x1 - b.left, b.right - x1, y1 - b.bottom, b.top - y1};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const long double t = q[i] / p[i];
    if (p[i] < 0) {
      t0 = std::max(t0, t);
    } else {
      t1 = std::min(t1, t);
    }
    if (t0 > t1) return false;
  }
  return true;
}

}  // namespace

void TSheetLayout::AddDisc(long double cx, long double cy, long double r) {
  discs_.push_back({cx, cy, std::fabs(r)});
}

void TSheetLayout::AddBox(const TSheetBox& box) {
  boxes_.push_back(box);
}

void TSheetLayout::AddSegment(long double x1, long double y1, long double x2, long double y2) {
  segments_.push_back({x1, y1, x2, y2});
}

bool TSheetLayout::Free(const TSheetBox& box, long double gap) const {
  const TSheetBox wide{box.left - gap, box.bottom - gap, box.right + gap, box.top + gap};
  for (const TDisc& d : discs_) {
    const long double nx = std::clamp(d.x, wide.left, wide.right);
    const long double ny = std::clamp(d.y, wide.bottom, wide.top);
    if (std::hypot(nx - d.x, ny - d.y) < d.r) return false;
  }
  for (const TSheetBox& b : boxes_) {
    if (Overlap(wide, b)) return false;
  }
  for (const TSegment& s : segments_) {
    if (SegmentInBox(s.x1, s.y1, s.x2, s.y2, wide)) return false;
  }
  return true;
}

bool TSheetLayout::Search(const TSheetBox& area, long double& left, long double& top,
                          long double width, long double height, long double gap) const {
  const long double x0 = area.left, x1 = area.right - width;
  const long double y0 = area.bottom + height, y1 = area.top;
  if (x1 < x0 || y1 < y0) return false;
  const long double step = std::max(area.right - area.left, area.top - area.bottom) / kSteps;
  bool found = false;
  long double best = 0, bestX = left, bestY = top;
  // Whole steps from the given place, so that a block nudged in one direction keeps the other.
  const long double sx = std::clamp(left, x0, x1), sy = std::clamp(top, y0, y1);
  const int ix0 = static_cast<int>(std::floor((x0 - sx) / step));
  const int ix1 = static_cast<int>(std::ceil((x1 - sx) / step));
  const int iy0 = static_cast<int>(std::floor((y0 - sy) / step));
  const int iy1 = static_cast<int>(std::ceil((y1 - sy) / step));
  for (int i = ix0; i <= ix1; ++i) {
    const long double x = std::clamp(sx + i * step, x0, x1);
    for (int j = iy0; j <= iy1; ++j) {
      const long double y = std::clamp(sy + j * step, y0, y1);
      const long double distance = std::hypot(x - left, y - top);
      if (found && distance >= best) continue;
      if (!Free({x, y - height, x + width, y}, gap)) continue;
      found = true;
      best = distance;
      bestX = x;
      bestY = y;
    }
  }
  if (found) {
    left = bestX;
    top = bestY;
  }
  return found;
}

void TSheetLayout::Place(long double& left, long double& top, long double width, long double height,
                         long double gap) {
  const TSheetBox given{left, top - height, left + width, top};
  const bool inside = given.left >= window_.left && given.right <= window_.right &&
                      given.bottom >= window_.bottom && given.top <= window_.top;
  if (!(inside && Free(given, gap)) && !Search(window_, left, top, width, height, gap)) {
    TSheetBox wider = window_;
    wider.right += width + 2 * gap;
    if (Search(wider, left, top, width, height, gap)) {
      window_.right = std::max(window_.right, left + width + gap);
    }
  }
  boxes_.push_back({left, top - height, left + width, top});
}

TSheetBox TextLinesBox(long double x, long double y, int lines, int chars, long double h,
                       long double w) {
  const long double step = 1.6L * h * PlotSettings.lineSpacing;
  const long double length = chars * w * PlotSettings.cadTextWidthRatio;
  return {x, y - (std::max(lines, 1) - 1) * step - 0.3L * h, x + length, y + h};
}
