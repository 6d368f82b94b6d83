// Drawing and view operations of the graphics window, key and mouse handling, replay driver.
#include "graphics/graphics_window.h"

#include <cmath>

#include "common/dialog_host.h"
#include "common/graphics_settings.h"
#include "common/program_state.h"
#include "graphics/display_list.h"

TGraphicsWindow* GraphicsWindowInstance = nullptr;

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;

std::int32_t FractionToColumn(long double f) {
  return RoundPixel(ProgramSettings.ScreenWidth * f);
}
std::int32_t FractionToRow(long double f) {
  return RoundPixel(ProgramSettings.ScreenHeight * f);
}

double D(long double v) {
  return static_cast<double>(v);
}

bool Finite(std::initializer_list<long double> values) {
  for (long double v : values)
    if (!std::isfinite(v)) return false;
  return true;
}

}  // namespace

void TGraphicsWindow::CursorWait() {
  ::CursorWait();
}
void TGraphicsWindow::CursorArrow() {
  ::CursorArrow();
}

void TGraphicsWindow::FormCreate() {
  InitViewState();
  ViewState.PrintingFlag = false;
  RubberBandActive = false;
  DoubleClicked = false;
  CurrentColour = -1;
  LastLineStyle = 99;
  LastLineWidth = 1;
  StepMode = false;
}

void TGraphicsWindow::AppendWindowRecord(std::int32_t left, std::int32_t top, std::int32_t right,
                                         std::int32_t bottom, long double xmin, long double ymin,
                                         long double xmax, long double ymax) {
  if (DisplayList)
    DisplayList->Append(TDisplayOp::Window, {double(left), double(top), double(right),
                                             double(bottom), D(xmin), D(ymin), D(xmax), D(ymax)});
}

void TGraphicsWindow::SetWindow(bool isotropic, bool framed, long double fx1, long double fy1,
                                long double fx2, long double fy2, long double xmin,
                                long double ymin, long double xmax, long double ymax) {
  std::int32_t left = FractionToColumn(fx1);
  std::int32_t right = FractionToColumn(fx2);
  std::int32_t top = FractionToRow(1 - fy2);
  std::int32_t bottom = FractionToRow(1 - fy1);
  if (framed) {
    ++left;
    ++top;
    --right;
    --bottom;
  }
  // A window without area cannot be shown; it is refused and never reaches the list, so a
  // paint never meets it.
  if (xmin == xmax || ymin == ymax || !Finite({xmin, ymin, xmax, ymax, fx1, fy1, fx2, fy2})) {
    AbortFlag = true;
    return;
  }
  AppendWindowRecord(left, top, right, bottom, xmin, ymin, xmax, ymax);
  NoteReferenceSize();
  SetRecordedViewport({left, top, right, bottom});
  ViewState.WorldWindow = {xmin, ymin, xmax, ymax};
  GraphicsVariables.Isotropic = isotropic;
  const TDeviceRect& v = ViewState.Viewport;
  SetScale(v.left, v.top, v.right, v.bottom);
}

void TGraphicsWindow::circle(long double x, long double y, long double r) {
  if (DisplayList) DisplayList->Append(TDisplayOp::Circle, {D(x), D(y), D(r)});
}

void TGraphicsWindow::line(long double x1, long double y1, long double x2, long double y2) {
  if (DisplayList) DisplayList->Append(TDisplayOp::Line, {D(x1), D(y1), D(x2), D(y2)});
}

void TGraphicsWindow::Rectangle(long double x1, long double y1, long double x2, long double y2) {
  line(x1, y1, x2, y1);
  line(x2, y1, x2, y2);
  line(x2, y2, x1, y2);
  line(x1, y2, x1, y1);
}

void TGraphicsWindow::Arc(long double x, long double y, long double startAngle,
                          long double endAngle, long double r) {
  if (!Finite({x, y, startAngle, endAngle, r})) return;
  const long double diff = endAngle - startAngle;
  long double sweep = (std::fmod(endAngle / 360, 1.0L) - std::fmod(startAngle / 360, 1.0L)) * 360;
  if (sweep < 0) sweep += 360;
  // A sweep of whole turns is a full circle, not the empty arc the modulo makes of it.
  const long double turns = std::fabs(diff) / 360;
  if (std::fabs(diff) >= 4 && std::fabs(turns - std::nearbyint(turns)) < 1e-9L) {
    circle(x, y, r);
    return;
  }
  const long double s = startAngle * kPi / 180;
  const long double e = endAngle * kPi / 180;
  const long double xs = x + r * std::cos(s), ys = y + r * std::sin(s);
  const long double xe = x + r * std::cos(e), ye = y + r * std::sin(e);
  if (std::fabs(sweep) < 4) {
    line(xs, ys, xe, ye);
    return;
  }
  if (DisplayList)
    DisplayList->Append(TDisplayOp::Arc,
                        {D(x - r), D(y - r), D(x + r), D(y + r), D(xs), D(ys), D(xe), D(ye)});
}

void TGraphicsWindow::OutTextXY(long double x, long double y, const std::string& text) {
  if (DisplayList) DisplayList->AppendText(D(x), D(y), text);
}

void TGraphicsWindow::Solid(long double x1, long double y1, long double x2, long double y2,
                            long double x3, long double y3, long double x4, long double y4) {
  if (DisplayList)
    DisplayList->Append(TDisplayOp::Solid,
                        {D(x1), D(y1), D(x2), D(y2), D(x3), D(y3), D(x4), D(y4)});
}

void TGraphicsWindow::SetColor(int n) {
  if (n < 0 || n > ProgramSettings.MaxColourNumber || n == CurrentColour) return;
  if (DisplayList) DisplayList->Append(TDisplayOp::Colour, {double(n)});
  CurrentColour = n;
}

void TGraphicsWindow::SetLineStyle(std::int16_t n) {
  if (n == LastLineStyle) return;
  if (DisplayList) DisplayList->Append(TDisplayOp::LineStyle, {double(n)});
  LastLineStyle = n;
}

void TGraphicsWindow::SetLineWidth(std::int16_t n) {
  if (n == LastLineWidth) return;
  if (DisplayList) DisplayList->Append(TDisplayOp::LineWidth, {double(n)});
  LastLineWidth = n;
}

void TGraphicsWindow::SetLineStyleName(const std::string& name) {
  std::int16_t style = 0;
  if (name == "DOTTED" || name == "PUNKT")
    style = 1;
  else if (name == "CENTER" || name == "DASHDOT" || name == "STRICHPUNKT")
    style = 2;
  else if (name == "DASHED" || name == "HIDDEN" || name == "VERDECKT")
    style = 3;
  SetLineStyle(style);
}

void TGraphicsWindow::SleepMs(std::int32_t ms) {
  if (DisplayList) DisplayList->Append(TDisplayOp::Sleep, {double(ms)});
}

void TGraphicsWindow::SetTextStyle(int font, long double angle, long double height,
                                   long double width) {
  if (DisplayList)
    DisplayList->Append(TDisplayOp::TextStyle, {D(height), D(width), double(font), D(angle)});
}

void TGraphicsWindow::Header(long double xmin, long double ymin, long double xmax,
                             long double ymax) {
  const TWorldRect& w = ViewState.WorldWindow;
  const long double sw = ProgramSettings.ScreenWidth, sh = ProgramSettings.ScreenHeight;
  if (sh > 0 && w.xmax != w.xmin && w.ymax != w.ymin) {
    const long double f = sw * 0.75L / sh * 640 / (w.xmax - w.xmin) / (480 / (w.ymax - w.ymin));
    if (std::isfinite(f)) GraphicsVariables.IsoXFactor = f;
  }
  SetWindow(true, true, 0, 0, 1, 1, xmin, ymin, xmax, ymax);
  SetLineStyle(0);
  SaveLimit();
}

void TGraphicsWindow::DrawTarvenoLogo() {
  Header(0, 0, 160, 120);
  // Two slanted bars forming a V over a base plate, in three colours.
  SetColor(9);
  Solid(50, 90, 62, 90, 82, 40, 74, 40);
  SetColor(12);
  Solid(110, 90, 98, 90, 78, 40, 86, 40);
  SetColor(8);
  Solid(40, 30, 120, 30, 120, 24, 40, 24);
  MoveTo(0, 0);
}

void TGraphicsWindow::SetScale(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
  ZoomToRect(x1, y1, x2, y2);
}

void TGraphicsWindow::SaveLimit() {
  ViewState.SavedWorldWindow = ViewState.WorldWindow;
}

void TGraphicsWindow::RestoreLimit() {
  const TWorldRect s = ViewState.SavedWorldWindow;
  SetWindow(true, true, 0, 0, 1, 1, s.xmin, s.ymin, s.xmax, s.ymax);
}

void TGraphicsWindow::SaveViewPort() {
  ViewState.SavedViewport = ViewState.Viewport;
}
void TGraphicsWindow::RetrieveViewPort() {
  ViewState.Viewport = ViewState.SavedViewport;
}

void TGraphicsWindow::ReSetWindow() {
  SetWindow(false, false, 0, 0, 1, 1, 0, 0, 1, 1);
  ResetZoom();
}

void TGraphicsWindow::ResetZoom() {
  const TDeviceRect v = ViewState.Viewport;
  SetScale(v.left, v.top, v.right, v.bottom);
}

void TGraphicsWindow::Regen() {
  RestoreLimit();
  SetWindow(true, true, 0, 0, 1, 1, 0, 0, 1, 1);
  ResetZoom();
  const TZoomRect z = GraphicsVariables.ZoomRect;
  SetScale(z.left, z.top, z.right, z.bottom);
  ClearViewPort();
}

void TGraphicsWindow::Clear() {
  if (DisplayList) DisplayList->Clear();
  // A new picture starts with fresh memos, so its first colour, style and width are recorded.
  CurrentColour = -1;
  LastLineStyle = 99;
  LastLineWidth = 1;
  Invalidate();
}

void TGraphicsWindow::ClearViewPort() {
  CursorWait();
  Invalidate();
}

long double TGraphicsWindow::EinX(long double f) const {
  return (ViewState.WorldWindow.xmax - ViewState.WorldWindow.xmin) * f;
}
long double TGraphicsWindow::EinY(long double f) const {
  return (ViewState.WorldWindow.ymax - ViewState.WorldWindow.ymin) * f;
}

int TGraphicsWindow::GetDirection(long double a) {
  return ((a > 45 && a < 135) || (a > 225 && a < 315) || (a > -135 && a < -45)) ? 1 : 0;
}

void TGraphicsWindow::MoveTo(long double x, long double y) {
  CanvasMoveTo(WorldToScreenX(x), WorldToScreenY(y));
}
void TGraphicsWindow::LineTo(long double x, long double y) {
  CanvasLineTo(WorldToScreenX(x), WorldToScreenY(y));
}

void TGraphicsWindow::processKey(int key) {
  switch (ApplyViewKey(key)) {
    case TKeyResult::Ignored:
      break;
    case TKeyResult::Repaint:
      ClearViewPort();
      break;
    case TKeyResult::ResetAndRepaint:
      ResetZoom();
      ClearViewPort();
      break;
  }
}

void TGraphicsWindow::FormMouseDown(TMouseButton button, int x, int y) {
  if (button == TMouseButton::Right) {
    ResetZoom();
    ClearViewPort();
  } else if (button == TMouseButton::Left && DoubleClicked) {
    RestoreLimit();
    ResetZoom();
    ReSetWindow();
    ClearViewPort();
  } else if (button == TMouseButton::Left && !RubberBandActive) {
    RubberBandActive = true;
    ViewState.rubberStartX = ViewState.rubberEndX = x;
    ViewState.rubberStartY = ViewState.rubberEndY = y;
    ShowRubberBand(x, y, x, y, true);
  }
  DoubleClicked = false;
}

void TGraphicsWindow::FormMouseMove(int x, int y) {
  if (!RubberBandActive) return;
  ViewState.rubberEndX = x;
  ViewState.rubberEndY = y;
  ShowRubberBand(ViewState.rubberStartX, ViewState.rubberStartY, x, y, true);
}

void TGraphicsWindow::FormMouseUp(TMouseButton button, int x, int y) {
  if (!RubberBandActive) return;
  ViewState.rubberEndX = x;
  ViewState.rubberEndY = y;
  RubberBandActive = false;
  ShowRubberBand(ViewState.rubberStartX, ViewState.rubberStartY, x, y, false);
  std::int32_t x1, y1, x2, y2;
  if (!RubberBandZoomRect(ViewState.rubberStartX, ViewState.rubberStartY, x, y, x1, y1, x2, y2))
    return;
  CursorWait();
  SetScale(x1, y1, x2, y2);
  ClearViewPort();
}

void TGraphicsWindow::DrawRectangle(int x1, int y1, int x2, int y2) {
  CanvasMoveTo(x1, y1);
  CanvasLineTo(x2, y1);
  CanvasLineTo(x2, y2);
  CanvasLineTo(x1, y2);
  CanvasLineTo(x1, y1);
}

void TGraphicsWindow::FormPaint() {
  // A paint asked for while a replay is running (from the message loop it lets run) is done
  // after it, never inside it.
  if (painting_) {
    repaintAgain_ = true;
    return;
  }
  painting_ = true;
  do {
    repaintAgain_ = false;
    CursorWait();
    BeginScreenPaint();
    TReplayCanvas* screen = ScreenCanvas();
    TPrinterPage page;
    TReplayCanvas* printer = ViewState.PrintingFlag ? BeginPrinterPaint(page) : nullptr;
    static const TDisplayList kEmpty;
    TReplay replay;
    replay.Begin(DisplayList ? *DisplayList : kEmpty, screen, printer, page, StepMode);
    bool done = false;
    while (!done) {
      switch (replay.Run()) {
        case TReplayStop::Done:
          done = true;
          break;
        case TReplayStop::Yield:
          ProcessMessagesOnce();
          // The picture was changed meanwhile: start over on the screen.
          if (repaintAgain_ && !printer) done = true;
          break;
        case TReplayStop::StepPoint:
          if (ShowStepDialog()) StepMode = false;
          replay.SetStepMode(StepMode);
          break;
        case TReplayStop::Pause:
          PauseMs(replay.PauseMs());
          break;
      }
    }
    if (printer) EndPrinterPaint();
    EndScreenPaint();
    CursorArrow();
  } while (repaintAgain_ && !ViewState.PrintingFlag);
  painting_ = false;
}
