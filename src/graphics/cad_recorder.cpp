// The recorder of drawn primitives: installs itself as the driver's sink and measures what it
// received.
#include "graphics/cad_recorder.h"

#include <algorithm>
#include <cmath>
#include <numbers>

TCadRecorder::TCadRecorder() {
  InstallCadSink(this);
}

TCadRecorder::~TCadRecorder() {
  if (InstalledCadSink() == this) InstallCadSink(nullptr);
}

std::vector<TCadPrimitive> TCadRecorder::OfKind(TCadPrimitive::Kind kind) const {
  std::vector<TCadPrimitive> result;
  for (const TCadPrimitive& p : items_) {
    if (p.kind == kind) result.push_back(p);
  }
  return result;
}

std::size_t TCadRecorder::Count(TCadPrimitive::Kind kind) const {
  return static_cast<std::size_t>(std::count_if(
      items_.begin(), items_.end(), [&](const TCadPrimitive& p) { return p.kind == kind; }));
}

namespace {

void Include(TCadRecorder::TExtents& e, long double x, long double y) {
  if (e.empty) {
    e.empty = false;
    e.xMin = e.xMax = x;
    e.yMin = e.yMax = y;
    return;
  }
  e.xMin = std::min(e.xMin, x);
  e.xMax = std::max(e.xMax, x);
  e.yMin = std::min(e.yMin, y);
  e.yMax = std::max(e.yMax, y);
}

// Whether the counter-clockwise arc from a1 to a2 (degrees) passes the direction d.
bool ArcPasses(long double a1, long double a2, long double d) {
  auto norm = [](long double a) {
    a = std::fmod(a, 360.0L);
    return a < 0.0L ? a + 360.0L : a;
  };
  const long double span = a1 == a2 ? 360.0L : norm(a2 - a1);
  return norm(d - a1) <= span;
}

}  // namespace

TCadRecorder::TExtents TCadRecorder::Extents() const {
  constexpr long double kRad = std::numbers::pi_v<long double> / 180.0L;
  TExtents e;
  for (const TCadPrimitive& p : items_) {
    if (p.inBlock) continue;
    switch (p.kind) {
      case TCadPrimitive::Kind::Line:
        Include(e, p.x[0], p.y[0]);
        Include(e, p.x[1], p.y[1]);
        break;
      case TCadPrimitive::Kind::Circle: {
        const long double r = std::fabs(p.r);
        Include(e, p.x[0] - r, p.y[0] - r);
        Include(e, p.x[0] + r, p.y[0] + r);
        break;
      }
      case TCadPrimitive::Kind::Arc: {
        const long double r = p.r;
        Include(e, p.x[0] + r * std::cos(p.a1 * kRad), p.y[0] + r * std::sin(p.a1 * kRad));
        Include(e, p.x[0] + r * std::cos(p.a2 * kRad), p.y[0] + r * std::sin(p.a2 * kRad));
        for (int q = 0; q < 4; ++q) {
          if (ArcPasses(p.a1, p.a2, 90.0L * q)) {
            Include(e, p.x[0] + r * std::cos(90.0L * q * kRad),
                    p.y[0] + r * std::sin(90.0L * q * kRad));
          }
        }
        break;
      }
      case TCadPrimitive::Kind::Solid:
        for (int i = 0; i < 4; ++i) Include(e, p.x[i], p.y[i]);
        break;
      case TCadPrimitive::Kind::Text:
        Include(e, p.x[0], p.y[0]);
        break;
      default:
        break;
    }
  }
  return e;
}
