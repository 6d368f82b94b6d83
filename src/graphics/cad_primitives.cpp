// The drawing primitives: origin, justification and polyline pieces, then one dispatch to the
// file writer, the screen's block file or the graphics window, and the hand-over to the sink.
#include "graphics/cad_primitives.h"

#include <cmath>
#include <numbers>

#include "common/message_list.h"
#include "common/plane_geometry.h"
#include "common/program_state.h"
#include "graphics/cad_driver_internal.h"
#include "graphics/cad_writer.h"
#include "graphics/graphics_facade.h"

namespace {

using cad_internal::TRoute;

constexpr long double kPi = std::numbers::pi_v<long double>;
constexpr long double kRadPerDeg = kPi / 180.0L;
constexpr long double kDegPerRad = 180.0L / kPi;
// Steps of the ellipse arc: the default for a step that is no step, and the most pieces one
// arc may have.
constexpr long double kDefaultEllipseStep = 5.0L;
constexpr long double kMaxEllipsePieces = 100000.0L;

// The current polyline is written as one DXF POLYLINE entity.
bool gEntityPolyline = false;

// No sheet is a million kilometres wide: a number beyond this, or one that is not finite, is
// a fault of the drawing code, and the element that carries it is left out on every target.
constexpr long double kNumberLimit = 1.0e9L;
// The drawing has been told about such a number already.
bool gBadNumberReported = false;

bool Drawable(std::initializer_list<long double> values) {
  for (long double v : values) {
    if (std::fabs(v) <= kNumberLimit) continue;  // false for NaN as well
    if (!gBadNumberReported) {
      gBadNumberReported = true;
      AddError("Warning: number out of range in drawing, element left out !");
    }
    return false;
  }
  return true;
}

TCadPrimitive Primitive(TCadPrimitive::Kind kind) {
  TCadPrimitive p;
  p.kind = kind;
  return p;
}

bool Recording(TRoute route) {
  // Inside a screen block file nothing is drawn yet: the replay hands the pieces over.
  return route != TRoute::BlockFile && cad_internal::SinkInstalled();
}

void EmitLine(long double x1, long double y1, long double x2, long double y2) {
  TCadPrimitive p = Primitive(TCadPrimitive::Kind::Line);
  p.x[0] = x1;
  p.y[0] = y1;
  p.x[1] = x2;
  p.y[1] = y2;
  cad_internal::Emit(p);
}

void EmitArc(long double x, long double y, long double a1, long double a2, long double r) {
  TCadPrimitive p = Primitive(TCadPrimitive::Kind::Arc);
  p.x[0] = x;
  p.y[0] = y;
  p.a1 = a1;
  p.a2 = a2;
  p.r = r;
  cad_internal::Emit(p);
}

}  // namespace

namespace cad_internal {
void ResetNumberCheck() {
  gBadNumberReported = false;
}
bool DrawableNumbers(std::initializer_list<long double> values) {
  return Drawable(values);
}
}  // namespace cad_internal

void CadLine(long double x1, long double y1, long double x2, long double y2) {
  const TRoute route = cad_internal::Route();
  if (route == TRoute::Nothing) return;
  x1 += PlotSettings.originX;
  y1 += PlotSettings.originY;
  x2 += PlotSettings.originX;
  y2 += PlotSettings.originY;
  if (!Drawable({x1, y1, x2, y2})) return;
  if (route == TRoute::Screen) {
    if (GraphicsFacade) GraphicsFacade->GrLine(x1, y1, x2, y2);
  } else {
    cad_internal::RouteWriter()->Line(x1, y1, x2, y2);
  }
  if (Recording(route)) EmitLine(x1, y1, x2, y2);
}

void CadCircle(long double x, long double y, long double r) {
  const TRoute route = cad_internal::Route();
  if (route == TRoute::Nothing) return;
  x += PlotSettings.originX;
  y += PlotSettings.originY;
  if (!Drawable({x, y, r})) return;
  if (route == TRoute::Screen) {
    if (GraphicsFacade) GraphicsFacade->GrCircle(x, y, r);
  } else {
    cad_internal::RouteWriter()->Circle(x, y, r);
  }
  if (Recording(route)) {
    TCadPrimitive p = Primitive(TCadPrimitive::Kind::Circle);
    p.x[0] = x;
    p.y[0] = y;
    p.r = r;
    cad_internal::Emit(p);
  }
}

void CadArc(long double x, long double y, long double a1, long double a2, long double r) {
  const TRoute route = cad_internal::Route();
  if (route == TRoute::Nothing || r == 0.0L) return;
  x += PlotSettings.originX;
  y += PlotSettings.originY;
  if (!Drawable({x, y, r, a1, a2})) return;
  if (route == TRoute::Screen) {
    if (GraphicsFacade) GraphicsFacade->GrArc(x, y, a1, a2, r);
  } else {
    cad_internal::RouteWriter()->Arc(x, y, a1, a2, r);
  }
  if (Recording(route)) EmitArc(x, y, a1, a2, r);
}

void CadText(long double x, long double y, const std::string& text) {
  const TRoute route = cad_internal::Route();
  if (route == TRoute::Nothing || text.empty()) return;
  if (!cad_internal::ReplayActive()) {
    const long double length = static_cast<long double>(text.size());
    const long double width = length * PlotSettings.textHeight * PlotSettings.textWidthFactor;
    if (PlotSettings.justifyH == 1) x -= 0.5L * width;
    if (PlotSettings.justifyH == 2) x -= width;
    if (PlotSettings.justifyV == 1) y -= 0.5L * PlotSettings.textHeight;
    if (PlotSettings.justifyV == 2) y -= PlotSettings.textHeight;
  }
  x += PlotSettings.originX;
  y += PlotSettings.originY;
  if (!Drawable({x, y, PlotSettings.textHeight, PlotSettings.textWidthFactor,
                 PlotSettings.textAngle, PlotSettings.obliqueAngle}))
    return;
  if (route == TRoute::Screen) {
    if (GraphicsFacade) GraphicsFacade->GrOutTextXY(x, y, text);
  } else {
    CadWriter* writer = cad_internal::RouteWriter();
    cad_internal::SyncTextStyle(*writer);
    writer->Text(x, y, text);
  }
  if (Recording(route)) {
    TCadPrimitive p = Primitive(TCadPrimitive::Kind::Text);
    p.x[0] = x;
    p.y[0] = y;
    p.text = text;
    p.height = PlotSettings.textHeight;
    p.widthFactor = PlotSettings.textWidthFactor;
    p.angle = PlotSettings.textAngle;
    p.oblique = PlotSettings.obliqueAngle;
    cad_internal::Emit(p);
  }
}

void CadSolid(long double x1, long double y1, long double x2, long double y2, long double x3,
              long double y3, long double x4, long double y4) {
  const TRoute route = cad_internal::Route();
  if (route == TRoute::Nothing) return;
  const long double ox = PlotSettings.originX;
  const long double oy = PlotSettings.originY;
  x1 += ox, x2 += ox, x3 += ox, x4 += ox;
  y1 += oy, y2 += oy, y3 += oy, y4 += oy;
  if (!Drawable({x1, y1, x2, y2, x3, y3, x4, y4})) return;
  if (route == TRoute::Screen) {
    // The window fills its corners in the order given; a solid's outline runs 1, 2, 4, 3.
    if (GraphicsFacade) GraphicsFacade->GrSolid(x1, y1, x2, y2, x4, y4, x3, y3);
  } else {
    cad_internal::RouteWriter()->Solid(x1, y1, x2, y2, x3, y3, x4, y4);
  }
  if (Recording(route)) {
    TCadPrimitive p = Primitive(TCadPrimitive::Kind::Solid);
    const long double xs[4] = {x1, x2, x3, x4};
    const long double ys[4] = {y1, y2, y3, y4};
    for (int i = 0; i < 4; ++i) {
      p.x[i] = xs[i];
      p.y[i] = ys[i];
    }
    cad_internal::Emit(p);
  }
}

// ---------------------------------------------------------------------------------------------
// Polylines

void CadPolylineBegin(int flags) {
  const TRoute route = cad_internal::Route();
  const std::uint16_t code = PlotSettings.CadCode;
  gEntityPolyline = false;
  if (route == TRoute::Writer && (code == kCadDxf || code == kCadPlot) &&
      cad_internal::RouteWriter()->Options().polylineEntities) {
    cad_internal::RouteWriter()->PolylineBegin(flags);
    gEntityPolyline = true;
  }
  PlotSettings.polylineVertexCount = 1;
  PlotSettings.previousArcAngle = 0.0L;
}

void CadPolylineVertex(long double x, long double y, long double angle) {
  const long double previous = PlotSettings.previousArcAngle;
  const bool first = PlotSettings.polylineVertexCount <= 1;
  const long double penX = PlotSettings.penX;
  const long double penY = PlotSettings.penY;
  if (!Drawable({x + PlotSettings.originX, y + PlotSettings.originY, angle})) {
    // The outline is broken here: the pieces to and from this vertex are left out, and the
    // next vertex starts afresh (a new entity when the polyline is one).
    if (gEntityPolyline && cad_internal::Route() == TRoute::Writer) {
      cad_internal::RouteWriter()->PolylineEnd();
      cad_internal::RouteWriter()->PolylineBegin(0);
    }
    PlotSettings.polylineVertexCount = 1;
    PlotSettings.previousArcAngle = 0.0L;
    return;
  }
  if (gEntityPolyline && cad_internal::Route() == TRoute::Writer) {
    const long double ox = PlotSettings.originX;
    const long double oy = PlotSettings.originY;
    cad_internal::RouteWriter()->PolylineVertex(x + ox, y + oy, angle);
    if (!first && cad_internal::SinkInstalled()) {
      TCadArc arc;
      if (previous != 0.0L &&
          CadArcFromChord(penX + ox, penY + oy, x + ox, y + oy, previous, arc)) {
        EmitArc(arc.x, arc.y, arc.a1, arc.a2, arc.r);
      } else {
        EmitLine(penX + ox, penY + oy, x + ox, y + oy);
      }
    }
  } else if (!first) {
    if (previous == 0.0L) {
      CadLine(penX, penY, x, y);
    } else {
      long double xc = (penX + x) / 2.0L, yc = (penY + y) / 2.0L, a1 = 0.0L, a2 = 0.0L, r = 0.0L;
      GetArcCenter(xc, yc, a1, penX, penY, x, y, previous, a2, r);
      CadArc(xc, yc, a1 * kDegPerRad, a2 * kDegPerRad, r);
    }
  }
  PlotSettings.penX = x;
  PlotSettings.penY = y;
  PlotSettings.previousArcAngle = angle;
  ++PlotSettings.polylineVertexCount;
}

void CadPolylineEnd() {
  if (gEntityPolyline && cad_internal::Route() == TRoute::Writer) {
    cad_internal::RouteWriter()->PolylineEnd();
  }
  gEntityPolyline = false;
}

// ---------------------------------------------------------------------------------------------
// Pen operations

void CadMoveTo(long double x, long double y) {
  PlotSettings.penX = x;
  PlotSettings.penY = y;
}

void CadLineTo(long double x, long double y) {
  CadLine(PlotSettings.penX, PlotSettings.penY, x, y);
  CadMoveTo(x, y);
}

void CadRectangle(long double x1, long double y1, long double x2, long double y2) {
  CadMoveTo(x1, y1);
  CadLineTo(x1, y2);
  CadLineTo(x2, y2);
  CadLineTo(x2, y1);
  CadLineTo(x1, y1);
}

void CadTextLine(const std::string& text) {
  if (text.empty()) return;
  CadText(PlotSettings.penX, PlotSettings.penY, text);
  PlotSettings.penY -= 1.6L * PlotSettings.textHeight * PlotSettings.lineSpacing;
}

// ---------------------------------------------------------------------------------------------
// Ellipses

void CadEllipse(long double cx, long double cy, long double rx, long double ry) {
  CadMoveTo(cx + rx, cy);
  // The last piece reaches just past the start, which closes the outline.
  for (int i = 1;; ++i) {
    const long double t = 0.05L * i;
    CadLineTo(cx + rx * std::cos(t), cy + ry * std::sin(t));
    if (t >= 2.0L * kPi) break;
  }
}

void CadEllipseArc(long double cx, long double cy, long double a1, long double a2, long double r,
                   long double fx, long double fy, long double step) {
  if (r == 0.0L || !std::isfinite(a1) || !std::isfinite(a2)) return;
  // Arcs run counter-clockwise from a1 to a2, as every other arc does.
  if (a2 < a1) a2 += 360.0L * std::ceil((a1 - a2) / 360.0L);
  if (!(step > 0.0L)) step = kDefaultEllipseStep;
  if ((a2 - a1) / step > kMaxEllipsePieces) step = (a2 - a1) / kMaxEllipsePieces;
  const long double t1 = a1 * kRadPerDeg;
  const long double t2 = a2 * kRadPerDeg;
  const long double dt = step * kRadPerDeg;
  CadPolylineBegin(0);
  for (long i = 0;; ++i) {
    const long double t = t1 + dt * static_cast<long double>(i);
    if (!(t < t2)) break;
    CadPolylineVertex(cx + r * fx * std::cos(t), cy + r * fy * std::sin(t), 0.0L);
  }
  CadPolylineVertex(cx + r * fx * std::cos(t2), cy + r * fy * std::sin(t2), 0.0L);
  CadPolylineEnd();
}
