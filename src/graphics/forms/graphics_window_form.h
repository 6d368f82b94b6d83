// The graphics window as a Qt main window: replays the display list into an image that the
// drawing area shows, onto a printer while printing, and turns keys and the mouse into view
// changes. The main window of the program derives from it.
#pragma once

#include <QDialog>
#include <QImage>
#include <QMainWindow>
#include <QPoint>
#include <QWidget>

#include "graphics/graphics_window.h"

class QPainter;
class QPaintDevice;
class QRubberBand;
class TFtarvgra;

// The drawing area: shows the last replayed picture and passes the mouse to the window.
class TGraphicsCanvas : public QWidget {
  Q_OBJECT
 public:
  explicit TGraphicsCanvas(TFtarvgra* window);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  TFtarvgra* window_;
};

class TFtarvgra : public QMainWindow, public TGraphicsWindow {
  Q_OBJECT
 public:
  explicit TFtarvgra(QWidget* parent = nullptr);
  ~TFtarvgra() override;

  // Replays the display list onto the image and returns it (what the window shows).
  const QImage& Picture() const { return front_; }
  // Renders the display list onto any paint device (an offscreen image in tests); the view
  // state is used as it stands.
  void RenderTo(QPaintDevice* device);
  // The device FormPaint prints on while PrintingFlag is set (a QPrinter); null for none.
  void SetPrinterDevice(QPaintDevice* device) { printerDevice_ = device; }
  TGraphicsCanvas* Canvas() const { return canvas_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;

  void Invalidate() override;
  void CursorWait() override;
  void CursorArrow() override;
  TReplayCanvas* ScreenCanvas() override;
  void BeginScreenPaint() override;
  void EndScreenPaint() override;
  TReplayCanvas* BeginPrinterPaint(TPrinterPage& page) override;
  void EndPrinterPaint() override;
  void ProcessMessagesOnce() override;
  bool ShowStepDialog() override;
  void PauseMs(int ms) override;
  int ClientWidth() const override;
  int ClientHeight() const override;
  void CanvasMoveTo(int x, int y) override;
  void CanvasLineTo(int x, int y) override;
  void ShowRubberBand(int x1, int y1, int x2, int y2, bool visible) override;

 private:
  friend class TGraphicsCanvas;
  void ScheduleReplay();

  TGraphicsCanvas* canvas_ = nullptr;
  QRubberBand* rubberBand_ = nullptr;
  QImage back_;
  QImage front_;
  QPainter* screenPainter_ = nullptr;
  QPainter* printerPainter_ = nullptr;
  TReplayCanvas* screenCanvas_ = nullptr;
  TReplayCanvas* printerCanvas_ = nullptr;
  QPaintDevice* printerDevice_ = nullptr;
  QPoint penPosition_;
  bool dirty_ = true;
  bool replayQueued_ = false;
  bool ignoreActivation_ = false;
  int waitCursorDepth_ = 0;
};

// Modal dialog at each step point of an animation: "+" next step, "++" run to the end.
class TForm_anistep : public QDialog {
  Q_OBJECT
 public:
  explicit TForm_anistep(QWidget* parent = nullptr);
  bool RunToEnd() const { return runToEnd_; }
  void Button_nextstepClick();
  void Button_endstepClick();
  void reject() override;  // Escape is "++"

 private:
  bool runToEnd_ = false;
};

// Paints display-list records with a QPainter.
TReplayCanvas* NewPainterCanvas(QPainter* painter);
