// The toolkit-free part of the graphics window: drawing operations that append records to the
// display list, view operations, key and mouse handling, and the driver of the replay. The Qt
// window derives from it and supplies the hooks (repaint, cursor, canvases, step dialog).
#pragma once

#include <cstdint>
#include <string>

#include "graphics/step_animation.h"
#include "graphics/view_control.h"

class TGraphicsWindow {
 public:
  TGraphicsWindow() = default;
  virtual ~TGraphicsWindow() = default;
  TGraphicsWindow(const TGraphicsWindow&) = delete;
  TGraphicsWindow& operator=(const TGraphicsWindow&) = delete;

  // Creation: resets the view state and the fields below.
  void FormCreate();
  // Replays the display list onto the window (and onto the printer while PrintingFlag is set).
  void FormPaint();

  // Drawing operations: each appends records, none draws.
  void SetWindow(bool isotropic, bool framed, long double fx1, long double fy1, long double fx2,
                 long double fy2, long double xmin, long double ymin, long double xmax,
                 long double ymax);
  void circle(long double x, long double y, long double r);
  void line(long double x1, long double y1, long double x2, long double y2);
  void Arc(long double x, long double y, long double startAngle, long double endAngle,
           long double r);
  void Rectangle(long double x1, long double y1, long double x2, long double y2);
  void OutTextXY(long double x, long double y, const std::string& text);
  void Solid(long double x1, long double y1, long double x2, long double y2, long double x3,
             long double y3, long double x4, long double y4);
  void SetColor(int n);
  int GetColor() const { return CurrentColour; }
  void SetLineStyle(std::int16_t n);
  void SetLineWidth(std::int16_t n);
  void SetLineStyleName(const std::string& name);
  void SleepMs(std::int32_t ms);
  void SetTextStyle(int font, long double angle, long double height, long double width);
  void Header(long double xmin, long double ymin, long double xmax, long double ymax);
  void DrawTarvenoLogo();

  // View operations.
  void SetScale(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
  void SaveLimit();
  void RestoreLimit();
  void SaveViewPort();
  void RetrieveViewPort();
  void ReSetWindow();
  void ResetZoom();
  void Regen();
  void Clear();
  void ClearViewPort();
  long double EinX(long double f) const;
  long double EinY(long double f) const;
  static int GetDirection(long double angle);
  void MoveTo(long double x, long double y);
  void LineTo(long double x, long double y);
  void SetWaitCursor() { CursorWait(); }
  void SetOldCursor() { CursorArrow(); }
  void SetTextSizeMode(std::int32_t n) { TextSizeMode = n; }

  // Keys and mouse (device pixels of the client area).
  void processKey(int key);
  void FormKeyDown(int key) { processKey(key); }
  enum class TMouseButton { Left, Right, Middle };
  void FormMouseDown(TMouseButton button, int x, int y);
  void FormMouseMove(int x, int y);
  void FormMouseUp(TMouseButton button, int x, int y);
  void FormDblClick() { DoubleClicked = true; }
  void DrawRectangle(int x1, int y1, int x2, int y2);

  std::int32_t TextSizeMode = 0;
  bool RubberBandActive = false;
  bool DoubleClicked = false;
  std::int32_t CurrentColour = -1;
  std::int16_t LastLineStyle = 99;
  std::int16_t LastLineWidth = 1;
  bool StepMode = false;

 protected:
  // Hooks of the window system; the defaults do nothing, which serves a window without screen.
  virtual void Invalidate() {}  // request a repaint and bring the window to the front
  virtual void CursorWait();    // default: the application cursor of the dialog host
  virtual void CursorArrow();
  virtual TReplayCanvas* ScreenCanvas() { return nullptr; }  // between Begin/EndScreenPaint
  virtual void BeginScreenPaint() {}
  virtual void EndScreenPaint() {}
  // The printer canvas and its page while PrintingFlag is set; null when no printer is ready.
  virtual TReplayCanvas* BeginPrinterPaint(TPrinterPage& page) { return nullptr; }
  virtual void EndPrinterPaint() {}
  virtual void ProcessMessagesOnce() {}
  virtual bool ShowStepDialog() { return false; }  // true when the user chose to run to the end
  virtual void PauseMs(int ms) {}
  virtual int ClientWidth() const { return 0; }
  virtual int ClientHeight() const { return 0; }
  // Immediate drawing on the window (no record): pen moves, lines and the rubber band outline.
  virtual void CanvasMoveTo(int x, int y) {}
  virtual void CanvasLineTo(int x, int y) {}
  virtual void ShowRubberBand(int x1, int y1, int x2, int y2, bool visible) {}

  bool Painting() const { return painting_; }

 private:
  void AppendWindowRecord(std::int32_t left, std::int32_t top, std::int32_t right,
                          std::int32_t bottom, long double xmin, long double ymin, long double xmax,
                          long double ymax);
  bool painting_ = false;
  bool repaintAgain_ = false;
};

// The one graphics window; set when the main window is created.
extern TGraphicsWindow* GraphicsWindowInstance;
