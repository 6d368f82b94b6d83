// Hatching of closed contours and freehand break lines.
//
// The hatch lines are found in a frame turned by the hatch angle: v measures across the lines,
// u along them. A scan line v = c meets an edge when c lies in the half-open range between the
// edge's end values, so a line through a corner counts the corner once where the outline
// passes through it and twice (or not at all) where the outline turns back. Every scan line
// therefore meets a closed outline an even number of times, and joining the meeting points in
// pairs along the line keeps every piece inside the contour, concave or holed alike.
#include "drawings/hatching.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <vector>

#include "common/guarded_math.h"
#include "common/message_list.h"
#include "common/program_state.h"
#include "graphics/cad_primitives.h"

THatchStore HatchStore;

namespace {

constexpr std::uint32_t kDefaultSeed = 1;
// Two meeting points closer than this along a scan line are one point (a corner touched).
constexpr long double kSamePoint = 1e-9L;

std::mt19937 gBreakLineRandom{kDefaultSeed};

// Uniform in [0, 1) from the raw generator output, the same on every platform.
long double NextUniform() {
  return static_cast<long double>(gBreakLineRandom()) / 4294967296.0L;
}

struct TCrossing {
  long double x = 0.0L;
  long double y = 0.0L;
  long double along = 0.0L;
};

}  // namespace

void InitHatching() {
  HatchStore.points.Fill(THatchPoint{});
  HatchStore.count = 0;
  SetFreehandSeed(kDefaultSeed);
}

void SetFreehandSeed(std::uint32_t seed) {
  gBreakLineRandom.seed(seed);
}

void AddHatchPoint(long double x, long double y) {
  // The count stays above the store's size after an overflow (it must not wrap back to a
  // valid number), so a later hatching of the collected points reports the overflow again.
  if (HatchStore.count < UINT16_MAX) ++HatchStore.count;
  if (HatchStore.count >= 1 && HatchStore.count <= kHatchPointCount) {
    HatchStore.points[HatchStore.count] = {x, y};
  } else {
    AddError("Schraffurfehler");
  }
}

void ClearHatchPoints() {
  HatchStore.count = 0;
}

void SetHatchMode(std::uint16_t mode) {
  PlotSettings.HatchMode = mode;
}

void SortWithIndex(std::span<double> values, std::span<int> index) {
  if (values.size() != index.size()) {
    AddError("Fatal  : QSORT2 error");
    AbortFlag = true;
    return;
  }
  std::iota(index.begin(), index.end(), 0);
  std::stable_sort(index.begin(), index.end(), [&](int a, int b) {
    return values[static_cast<std::size_t>(a)] < values[static_cast<std::size_t>(b)];
  });
  std::vector<double> sorted(values.size());
  for (std::size_t k = 0; k < index.size(); ++k) {
    sorted[k] = values[static_cast<std::size_t>(index[k])];
  }
  std::copy(sorted.begin(), sorted.end(), values.begin());
}

void HatchContour(int n, long double spacing, long double angle) {
  if (n > kHatchPointCount) {
    AddError("Fatal  : n schraff !");
    return;
  }
  if (n < 1) return;  // nothing collected: there is no first point to look at
  auto& point = HatchStore.points;
  if (point[n].x != point[1].x || point[n].y != point[1].y) {
    point[n + 1] = point[1];  // slot 101 exists for a full contour
    ++n;
  }

  const std::uint16_t mode = PlotSettings.HatchMode;
  if (mode == 1) CadColour(5);
  if (mode != 2) {
    CadPolylineBegin(0);
    for (int i = 1; i <= n; ++i) CadPolylineVertex(point[i].x, point[i].y, 0.0L);
    CadPolylineEnd();
  }
  if (angle == 0.0L) return;
  // Closed, the contour needs three corners and the copy of the first to enclose an area.
  if (n < 4) return;

  const long double a = DegToRad(angle);
  long double ca = std::cos(a);
  long double sa = std::sin(a);
  if (ca < 0.0L) {  // lines at a and a + 180 degrees are the same lines
    ca = -ca;
    sa = -sa;
  }
  std::vector<long double> u(static_cast<std::size_t>(n) + 1);
  std::vector<long double> v(static_cast<std::size_t>(n) + 1);
  long double vMin = 1e30L;
  long double vMax = -1e30L;
  for (int i = 1; i <= n; ++i) {
    u[i] = point[i].x * ca + point[i].y * sa;
    v[i] = point[i].y * ca - point[i].x * sa;
    vMin = std::min(vMin, v[i]);
    vMax = std::max(vMax, v[i]);
  }
  const long double step = spacing == 0.0L ? (vMax - vMin) / 10.0L : spacing;
  // A negative spacing, or a contour without width across the lines, gives no lines (a step
  // that does not advance would never reach the far side).
  if (!(step > 0.0L) || !std::isfinite(step) || !std::isfinite(vMax - vMin)) return;
  if (mode == 1 || mode == 2) CadColour(3);

  std::vector<TCrossing> crossings;
  std::vector<double> along;
  std::vector<int> order;
  for (long long k = 1;; ++k) {
    const long double c = vMin + static_cast<long double>(k) * step;
    crossings.clear();
    for (int i = 2; i <= n; ++i) {
      const long double v0 = v[i - 1];
      const long double v1 = v[i];
      if (!((v0 <= c && c < v1) || (v1 <= c && c < v0))) continue;
      TCrossing p;
      if (c == v0) {
        p = {point[i - 1].x, point[i - 1].y, u[i - 1]};
      } else if (c == v1) {
        p = {point[i].x, point[i].y, u[i]};
      } else {
        const long double t = (c - v0) / (v1 - v0);
        p.x = point[i - 1].x + t * (point[i].x - point[i - 1].x);
        p.y = point[i - 1].y + t * (point[i].y - point[i - 1].y);
        p.along = u[i - 1] + t * (u[i] - u[i - 1]);
      }
      crossings.push_back(p);
    }
    if (!crossings.empty()) {
      along.resize(crossings.size());
      order.resize(crossings.size());
      for (std::size_t j = 0; j < crossings.size(); ++j) {
        along[j] = static_cast<double>(crossings[j].along);
      }
      SortWithIndex(along, order);
      // Pairs in order along the line; an unpaired last point draws nothing.
      for (std::size_t j = 0; j + 1 < order.size(); j += 2) {
        const TCrossing& p = crossings[static_cast<std::size_t>(order[j])];
        const TCrossing& q = crossings[static_cast<std::size_t>(order[j + 1])];
        if (std::fabs(q.along - p.along) <= kSamePoint) continue;
        CadLine(p.x, p.y, q.x, q.y);
      }
    }
    if (c >= vMax) break;
  }
}

void HatchPoints(int n, long double spacing, long double angle) {
  HatchContour(n == 0 ? static_cast<int>(HatchStore.count) : n, spacing, angle);
}

void FreehandLine(bool feed, long double x1, long double y1, long double x2, long double y2,
                  long double amplitude) {
  const long double dx = x2 - x1;
  const long double dy = y2 - y1;
  const long double length = Hypot(dx, dy);
  const long double direction = RadToDeg(ArcTanYX(dy, dx));
  const long double piece = length / 6.0L;
  CadMoveTo(x1, y1);
  if (feed) AddHatchPoint(x1, y1);
  for (int i = 1; i <= 5; ++i) {
    const long double r1 = NextUniform();
    const long double r2 = NextUniform();
    const long double offset = (r1 - r2) * 2.0L * amplitude;
    long double x = 0.0L;
    long double y = 0.0L;
    RotateTranslate(x, y, x1, y1, direction, i * piece, offset);
    CadLineTo(x, y);
    if (feed) AddHatchPoint(x, y);
  }
  CadLineTo(x2, y2);
  if (feed) AddHatchPoint(x2, y2);
}
