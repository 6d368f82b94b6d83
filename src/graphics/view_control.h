// View state of the graphics window: viewport, world window, zoom rectangle, scales, and the
// arithmetic of zoom, pan and the rubber band. Keys and the mouse change only this state.
#pragma once

#include <cstdint>

class TDisplayList;

struct TDeviceRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 1;
  std::int32_t bottom = 1;
};

struct TWorldRect {
  long double xmin = 0.0L;
  long double ymin = 0.0L;
  long double xmax = 1.0L;
  long double ymax = 1.0L;
};

struct TViewState {
  bool PrintingFlag = false;
  std::int32_t rubberStartX = 0;
  std::int32_t rubberStartY = 0;
  std::int32_t rubberEndX = 0;
  std::int32_t rubberEndY = 0;
  TDeviceRect Viewport;
  TWorldRect WorldWindow;
  TDeviceRect SavedViewport;
  TWorldRect SavedWorldWindow;
  long double ScaleX = 1.0L;
  long double ScaleY = 1.0L;
  // The drawing area the picture fills, in pixels; 0 while no window has reported one (then
  // the configured screen size is the area, as in batch runs and before the window shows).
  std::int32_t AreaWidth = 0;
  std::int32_t AreaHeight = 0;
  // The viewport as the window record gives it, in units of the configured screen size;
  // Viewport is the same rectangle on the drawing area.
  TDeviceRect RecordedViewport;
  // The configured screen size when the last window was set (0: none set yet).
  std::int32_t ReferenceWidth = 0;
  std::int32_t ReferenceHeight = 0;
};
extern TViewState ViewState;

// The picture of the graphics window; created by the drawing facade, null before.
extern TDisplayList* DisplayList;

// Resets ViewState and the graphics-window settings it goes with (extension and iso factors,
// zoom factor 1.2, pan step 0.1, printing off). The display list is kept.
void InitViewState();

// Rounds to the nearest integer, halves to even, held within a range a painter can take.
std::int32_t RoundPixel(long double v);

// A window record's viewport (in units of the configured screen size, "Horizontal/Vertical
// Pixels") placed on the drawing area: stretched to the area, a one-pixel inset from an edge
// kept one pixel.
TDeviceRect AreaRect(const TDeviceRect& recorded);
// Notes the configured screen size as the one new window records are made in.
void NoteReferenceSize();
// Makes `recorded` the current window's viewport, placed on the drawing area.
void SetRecordedViewport(const TDeviceRect& recorded);
// The drawing area got a new size: the viewport follows it and the zoom keeps showing the
// same world rectangle.
void SetDrawingArea(std::int32_t width, std::int32_t height);

// Zooms to the device rectangle (rows counted from the viewport's top, mapped from ymin up).
// Nothing happens for an empty rectangle or a degenerate viewport or world window.
void ZoomToRect(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);

std::int32_t WorldToScreenX(long double x);
std::int32_t WorldToScreenY(long double y);
std::int32_t ScreenLengthX(long double l);
std::int32_t ScreenLengthY(long double l);

// Printer page geometry for the print transform: device pixels and pixels per millimetre.
struct TPrinterPage {
  long double width = 0.0L;
  long double height = 0.0L;
  long double pixelsPerMmX = 1.0L;
  long double pixelsPerMmY = 1.0L;
};

// One world unit prints as PrintScaleX (PrintScaleY) millimetres; the top left corner of the
// zoomed world window sits at the print origin, whatever shape the window on the screen has.
// Both origins count millimetres of a page 210 mm wide (A4 portrait): on a printable area of
// another width they stretch with it, so a stored layout lands where it always did.
std::int32_t WorldToPrinterX(const TPrinterPage& page, long double x);
std::int32_t WorldToPrinterY(const TPrinterPage& page, long double y);
std::int32_t PrinterLengthX(const TPrinterPage& page, long double l);
std::int32_t PrinterLengthY(const TPrinterPage& page, long double l);

constexpr long double kPrintOriginPageWidthMm = 210.0L;
// An origin in millimetres on a printable area pageWidthMm wide.
long double PrintOriginMm(std::int32_t origin, long double pageWidthMm);

// Where the zoomed world window lands on a printable area pageWidthMm wide: its edges in
// millimetres from the area's top left corner.
struct TPrintedRect {
  long double left = 0.0L;
  long double top = 0.0L;
  long double right = 0.0L;
  long double bottom = 0.0L;
};
TPrintedRect PrintedWindowMm(long double pageWidthMm);

// Virtual-key codes the window understands.
constexpr int kKeyEscape = 27;
constexpr int kKeyPageUp = 33;
constexpr int kKeyPageDown = 34;
constexpr int kKeyLeft = 37;
constexpr int kKeyUp = 38;
constexpr int kKeyRight = 39;
constexpr int kKeyDown = 40;
constexpr int kKeyNumPlus = 107;
constexpr int kKeyNumMinus = 109;
constexpr int kKeyF5 = 116;

// What a key asks of the window after the view state has been changed.
enum class TKeyResult { Ignored, Repaint, ResetAndRepaint };

// Remembers a recognised key in ViewKey and changes the zoom rectangle accordingly; keys
// outside the table change nothing. The caller resets the zoom for ResetAndRepaint.
TKeyResult ApplyViewKey(int key);

// Zoom rectangle that shows what a rubber band dragged from (sx, sy) to (ex, ey) covers on the
// window (device pixels): the band's corners go back through the present transformation to
// the world and from there into the viewport's rows and columns. False when the band has no
// area or the view has no scale.
bool RubberBandZoomRect(int sx, int sy, int ex, int ey, std::int32_t& x1, std::int32_t& y1,
                        std::int32_t& x2, std::int32_t& y2);
