// The replay of the display list onto one or two canvases (window, and printer while
// printing). The replay runs in slices: it stops where the window must let the message loop
// run, show the step dialog or pause, and is resumed by its driver, so a paint never
// re-enters the replay.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/graphics_settings.h"
#include "graphics/view_control.h"

class TDisplayList;

// Line styles of the pen.
enum class TPenStyle { Solid, Dotted, DashDot, Dashed };
TPenStyle MapLineStyle(int n);

// Contrast ratio of two colours (1 to 21), from their relative luminance in sRGB.
double ContrastRatio(TColourRef a, TColourRef b);
// The colour a table colour is shown in on the screen: on a light background a colour of
// contrast below 3:1 is shown in a darker shade of its hue (as CAD programs show white
// black), so light colours chosen for a dark screen stay readable. Printers and CAD files
// keep the colour itself.
TColourRef ScreenShade(TColourRef colour, TColourRef background);

// Font of one text, already scaled to device pixels.
struct TCanvasFont {
  std::string face;
  int heightPx = 0;
  int widthPx = 0;        // average character width
  double angleDeg = 0.0;  // counterclockwise
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
};

// A device the replay draws on. Coordinates are device pixels, y downwards.
class TReplayCanvas {
 public:
  virtual ~TReplayCanvas() = default;
  virtual void SetPen(TColourRef colour, int width, TPenStyle style) = 0;
  virtual void SetBrush(TColourRef colour) = 0;
  virtual void MoveTo(int x, int y) = 0;
  virtual void LineTo(int x, int y) = 0;
  virtual void Ellipse(int left, int top, int right, int bottom) = 0;  // not filled
  // Counterclockwise (as seen) from the ray through (xs, ys) to the ray through (xe, ye);
  // equal rays give the whole ellipse.
  virtual void Arc(int left, int top, int right, int bottom, int xs, int ys, int xe, int ye) = 0;
  virtual void Polygon(const int (&xs)[4], const int (&ys)[4]) = 0;  // filled with the brush
  // Text whose cell's top left corner is at (x, y) before the turn about that point.
  virtual void Text(int x, int y, const std::string& utf8, const TCanvasFont& font,
                    TColourRef colour) = 0;
  // Draws whatever the canvas has gathered; called before the replay stops or ends.
  virtual void Flush() {}
};

// Why a replay slice stopped.
enum class TReplayStop {
  Done,       // every record replayed
  Yield,      // let the message loop run once, then resume
  StepPoint,  // a step point in step mode: show the step dialog, then resume
  Pause,      // sleep pauseMs milliseconds, then resume
};

class TReplay {
 public:
  // screen may be null (printing only); printer is null unless printing.
  void Begin(const TDisplayList& list, TReplayCanvas* screen, TReplayCanvas* printer,
             const TPrinterPage& page, bool stepMode);
  TReplayStop Run();
  // After a StepPoint: whether step mode stays on (false after "++").
  void SetStepMode(bool on) { stepMode_ = on; }
  bool StepMode() const { return stepMode_; }
  int PauseMs() const { return pauseMs_; }
  std::size_t Position() const { return index_; }

  static constexpr std::size_t kYieldInterval = 50000;

 private:
  void DrawBorder();
  TReplayStop Stop(TReplayStop why);
  void Apply(std::size_t i);
  void SetColourRecord(int n);
  void DrawText(double x, double y, const std::string& text);

  const TDisplayList* list_ = nullptr;
  TReplayCanvas* screen_ = nullptr;
  TReplayCanvas* printer_ = nullptr;
  TPrinterPage page_;
  bool stepMode_ = false;
  bool stepPending_ = false;  // the step point at index_ was reported, apply it now
  bool yielded_ = false;      // the yield before index_ was reported
  std::size_t index_ = 0;
  int pauseMs_ = 0;

  // Drawing state of this replay.
  int textColour_ = 1;
  double textHeight_ = 3.5;
  double textWidth_ = 3.5;
  double textAngle_ = 0.0;
  TColourRef screenColours_[17] = {};  // the colour table as the screen shows it
  TColourRef screenPen_ = 0, screenBrush_ = 0, screenFont_ = 0;
  TColourRef printerPen_ = 0, printerBrush_ = 0, printerFont_ = 0;
  int penWidth_ = 1;
  TPenStyle penStyle_ = TPenStyle::Solid;
};
