// Zoom, pan and the transformation from world to device coordinates.
#include "graphics/view_control.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/graphics_settings.h"
#include "common/program_state.h"

TViewState ViewState;
TDisplayList* DisplayList = nullptr;

namespace {

// Coordinates beyond this are off any device; holding them keeps the painter's integers sane.
constexpr long double kPixelLimit = 1.0e8L;

// The screen size the window records were made in: the configured one when the last window
// was set, so that a picture keeps its place when the configuration changes afterwards.
long double ScreenW() {
  return ViewState.ReferenceWidth > 0 ? ViewState.ReferenceWidth : ProgramSettings.ScreenWidth;
}
long double ScreenH() {
  return ViewState.ReferenceHeight > 0 ? ViewState.ReferenceHeight : ProgramSettings.ScreenHeight;
}

}  // namespace

void InitViewState() {
  ViewState = TViewState{};
  GraphicsVariables.GraphicExtensionFactor = 1.0L;
  GraphicsVariables.IsoXFactor = 1.0L;
  GraphicsVariables.ZoomFactor = 1.2L;
  GraphicsVariables.PanStep = 0.1L;
}

std::int32_t RoundPixel(long double v) {
  if (std::isnan(v)) return 0;
  // Adding and taking away 1.5 * 2^52 rounds a double to the nearest integer, halves to even,
  // in the default rounding mode; much cheaper than the library call on every vertex.
  volatile double d = static_cast<double>(std::clamp(v, -kPixelLimit, kPixelLimit));
  constexpr double kMagic = 6755399441055744.0;
  const double r = (d + kMagic) - kMagic;
  return static_cast<std::int32_t>(r);
}

namespace {

// One coordinate of a recorded viewport on an area of `area` pixels (coordinates 0 to
// area - 1) when the records count `reference` units across.
std::int32_t AreaCoordinate(std::int32_t v, long double reference, std::int32_t area) {
  const long double span = area - 1;
  if (area <= 1 || reference <= 0 || span == reference) return v;
  if (v <= 1) return v;
  if (v >= reference - 1) return RoundPixel(span - (reference - v));
  return RoundPixel(v * span / reference);
}

}  // namespace

TDeviceRect AreaRect(const TDeviceRect& r) {
  const std::int32_t w = ViewState.AreaWidth, h = ViewState.AreaHeight;
  if (w <= 0 || h <= 0) return r;
  return {AreaCoordinate(r.left, ScreenW(), w), AreaCoordinate(r.top, ScreenH(), h),
          AreaCoordinate(r.right, ScreenW(), w), AreaCoordinate(r.bottom, ScreenH(), h)};
}

void NoteReferenceSize() {
  ViewState.ReferenceWidth = ProgramSettings.ScreenWidth;
  ViewState.ReferenceHeight = ProgramSettings.ScreenHeight;
}

void SetRecordedViewport(const TDeviceRect& recorded) {
  ViewState.RecordedViewport = recorded;
  ViewState.Viewport = AreaRect(recorded);
}

void SetDrawingArea(std::int32_t width, std::int32_t height) {
  if (width <= 0 || height <= 0) return;
  if (width == ViewState.AreaWidth && height == ViewState.AreaHeight) return;
  const TDeviceRect old = ViewState.Viewport;
  const TZoomRect z = GraphicsVariables.ZoomRect;
  ViewState.AreaWidth = width;
  ViewState.AreaHeight = height;
  const TDeviceRect now = AreaRect(ViewState.RecordedViewport);
  ViewState.Viewport = now;
  if (old.right == old.left || old.bottom == old.top) {
    ZoomToRect(now.left, now.top, now.right, now.bottom);
    return;
  }
  // The zoom rectangle keeps its place relative to the viewport, so every window of the
  // picture shows the same world rectangle as before.
  auto column = [&](std::int32_t v) {
    return RoundPixel(now.left + static_cast<long double>(v - old.left) * (now.right - now.left) /
                                     (old.right - old.left));
  };
  auto row = [&](std::int32_t v) {
    return RoundPixel(now.top + static_cast<long double>(v - old.top) * (now.bottom - now.top) /
                                    (old.bottom - old.top));
  };
  ZoomToRect(column(z.left), row(z.top), column(z.right), row(z.bottom));
}

void ZoomToRect(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
  if (x1 == x2 || y1 == y2) return;
  const TDeviceRect& vp = ViewState.Viewport;
  const TWorldRect& w = ViewState.WorldWindow;
  if (vp.right == vp.left || vp.bottom == vp.top || w.xmax == w.xmin || w.ymax == w.ymin) return;
  const long double zxmin =
      w.xmin + static_cast<long double>(x1 - vp.left) / (vp.right - vp.left) * (w.xmax - w.xmin);
  const long double zxmax =
      w.xmin + static_cast<long double>(x2 - vp.left) / (vp.right - vp.left) * (w.xmax - w.xmin);
  const long double zymin =
      w.ymin + static_cast<long double>(y1 - vp.top) / (vp.bottom - vp.top) * (w.ymax - w.ymin);
  const long double zymax =
      w.ymin + static_cast<long double>(y2 - vp.top) / (vp.bottom - vp.top) * (w.ymax - w.ymin);
  long double sx = (vp.right - vp.left) / (zxmax - zxmin);
  long double sy = (vp.bottom - vp.top) / (zymax - zymin);
  if (!std::isfinite(sx) || !std::isfinite(sy) || sx == 0 || sy == 0) return;
  GraphicsVariables.ZoomRect = {x1, x2, y1, y2};
  GraphicsVariables.ZoomWindow = {zxmin, zxmax, zymin, zymax};
  // Pixels are square: an isotropic window takes the smaller scale on both axes, so circles stay
  // round on screens of any shape (a 4:3-only correction would stretch them elsewhere).
  if (GraphicsVariables.Isotropic) {
    if (sx >= sy)
      sx = sy;
    else
      sy = sx;
  }
  ViewState.ScaleX = sx;
  ViewState.ScaleY = sy;
}

std::int32_t WorldToScreenX(long double x) {
  return RoundPixel((x - GraphicsVariables.ZoomWindow.xmin) * ViewState.ScaleX +
                    ViewState.Viewport.left);
}
std::int32_t WorldToScreenY(long double y) {
  return RoundPixel(ViewState.Viewport.bottom -
                    (y - GraphicsVariables.ZoomWindow.ymin) * ViewState.ScaleY);
}
std::int32_t ScreenLengthX(long double l) {
  return RoundPixel(ViewState.ScaleX * l);
}
std::int32_t ScreenLengthY(long double l) {
  return RoundPixel(ViewState.ScaleY * l);
}

long double PrintOriginMm(std::int32_t origin, long double pageWidthMm) {
  return origin * pageWidthMm / kPrintOriginPageWidthMm;
}

namespace {

long double PageWidthMm(const TPrinterPage& page) {
  return page.pixelsPerMmX > 0 ? page.width / page.pixelsPerMmX : 0.0L;
}

}  // namespace

std::int32_t WorldToPrinterX(const TPrinterPage& page, long double x) {
  return RoundPixel(page.pixelsPerMmX *
                    PrintOriginMm(PrintSettings.PrintOriginX, PageWidthMm(page))) +
         RoundPixel(page.pixelsPerMmX * (x - GraphicsVariables.ZoomWindow.xmin) *
                    PrintSettings.PrintScaleX);
}
std::int32_t WorldToPrinterY(const TPrinterPage& page, long double y) {
  return RoundPixel(page.pixelsPerMmY *
                    PrintOriginMm(PrintSettings.PrintOriginY, PageWidthMm(page))) +
         RoundPixel(page.pixelsPerMmY * (GraphicsVariables.ZoomWindow.ymax - y) *
                    PrintSettings.PrintScaleY);
}
std::int32_t PrinterLengthX(const TPrinterPage& page, long double l) {
  return RoundPixel(page.pixelsPerMmX * l * PrintSettings.PrintScaleX);
}
std::int32_t PrinterLengthY(const TPrinterPage& page, long double l) {
  return RoundPixel(page.pixelsPerMmY * l * PrintSettings.PrintScaleY);
}

TPrintedRect PrintedWindowMm(long double pageWidthMm) {
  const TZoomWindow& z = GraphicsVariables.ZoomWindow;
  TPrintedRect r;
  r.left = PrintOriginMm(PrintSettings.PrintOriginX, pageWidthMm);
  r.top = PrintOriginMm(PrintSettings.PrintOriginY, pageWidthMm);
  r.right = r.left + (z.xmax - z.xmin) * PrintSettings.PrintScaleX;
  r.bottom = r.top + (z.ymax - z.ymin) * PrintSettings.PrintScaleY;
  return r;
}

TKeyResult ApplyViewKey(int key) {
  char zoom = 0;
  char pan = 0;
  switch (key) {
    case kKeyEscape:
    case kKeyF5:
      pan = '?';
      break;
    case kKeyPageUp:
      pan = 'I';
      break;
    case kKeyPageDown:
      pan = 'Q';
      break;
    case kKeyLeft:
      pan = 'K';
      break;
    case kKeyUp:
      pan = 'H';
      break;
    case kKeyRight:
      pan = 'M';
      break;
    case kKeyDown:
      pan = 'P';
      break;
    case kKeyNumPlus:
      zoom = '+';
      pan = ' ';
      break;
    case kKeyNumMinus:
      zoom = '-';
      pan = ' ';
      break;
    default:
      return TKeyResult::Ignored;  // an unknown key does nothing
  }
  ProgramSettings.ViewKey[1] = zoom == 0 ? '0' : zoom;
  ProgramSettings.ViewKey[2] = pan;

  const TZoomRect z = GraphicsVariables.ZoomRect;
  const long double w = static_cast<long double>(z.right) - z.left;
  const long double h = static_cast<long double>(z.bottom) - z.top;
  if (zoom == '+' || zoom == '-') {
    const std::int32_t cx =
        static_cast<std::int32_t>((static_cast<std::int64_t>(z.right) + z.left) / 2);
    const std::int32_t cy =
        static_cast<std::int32_t>((static_cast<std::int64_t>(z.bottom) + z.top) / 2);
    const long double f =
        zoom == '+' ? 1.0L / GraphicsVariables.ZoomFactor : GraphicsVariables.ZoomFactor;
    const long double hwRaw = std::nearbyint(w * f);
    const long double hhRaw = std::nearbyint(h * f);
    // Zooming out stops where the rectangle would leave the integers a device takes.
    constexpr long double kLimit = 1.0e8L;
    if (!std::isfinite(hwRaw) || !std::isfinite(hhRaw) || std::fabs(hwRaw) > kLimit ||
        std::fabs(hhRaw) > kLimit)
      return TKeyResult::Repaint;
    const auto hw = static_cast<std::int32_t>(hwRaw) / 2;
    const auto hh = static_cast<std::int32_t>(hhRaw) / 2;
    ZoomToRect(cx - hw, cy - hh, cx + hw, cy + hh);
    return TKeyResult::Repaint;
  }
  const auto dx = RoundPixel(w * GraphicsVariables.PanStep);
  const auto dy = RoundPixel(h * GraphicsVariables.PanStep);
  const auto dy5 = RoundPixel(h * GraphicsVariables.PanStep * 5);
  switch (pan) {
    case '?':
      return TKeyResult::ResetAndRepaint;
    case 'H':
      ZoomToRect(z.left, z.top - dy, z.right, z.bottom - dy);
      break;
    case 'I':
      ZoomToRect(z.left, z.top - dy5, z.right, z.bottom - dy5);
      break;
    case 'K':
      ZoomToRect(z.left + dx, z.top, z.right + dx, z.bottom);
      break;
    case 'M':
      ZoomToRect(z.left - dx, z.top, z.right - dx, z.bottom);
      break;
    case 'P':
      ZoomToRect(z.left, z.top + dy, z.right, z.bottom + dy);
      break;
    case 'Q':
      ZoomToRect(z.left, z.top + dy5, z.right, z.bottom + dy5);
      break;
    default:
      break;
  }
  return TKeyResult::Repaint;
}

bool RubberBandZoomRect(int sx, int sy, int ex, int ey, std::int32_t& x1, std::int32_t& y1,
                        std::int32_t& x2, std::int32_t& y2) {
  if (sx == ex || sy == ey) return false;
  const TDeviceRect& vp = ViewState.Viewport;
  const TWorldRect& w = ViewState.WorldWindow;
  const TZoomWindow& z = GraphicsVariables.ZoomWindow;
  if (ViewState.ScaleX == 0 || ViewState.ScaleY == 0 || w.xmax == w.xmin || w.ymax == w.ymin)
    return false;
  // Device pixel -> world -> zoom-rectangle units (rows from the top, mapped from ymin up).
  auto column = [&](int px) {
    const long double wx = z.xmin + (px - vp.left) / ViewState.ScaleX;
    return vp.left + (wx - w.xmin) / (w.xmax - w.xmin) * (vp.right - vp.left);
  };
  auto row = [&](int py) {
    const long double wy = z.ymin + (vp.bottom - py) / ViewState.ScaleY;
    return vp.top + (wy - w.ymin) / (w.ymax - w.ymin) * (vp.bottom - vp.top);
  };
  x1 = RoundPixel(column(std::min(sx, ex)));
  x2 = RoundPixel(column(std::max(sx, ex)));
  y1 = RoundPixel(row(std::max(sy, ey)));
  y2 = RoundPixel(row(std::min(sy, ey)));
  return x1 != x2 && y1 != y2;
}
