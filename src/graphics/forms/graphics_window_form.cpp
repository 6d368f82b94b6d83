// Qt side of the graphics window: painter canvas, window, drawing area and step dialog.
#include "graphics/forms/graphics_window_form.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLine>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRubberBand>
#include <QThread>
#include <QTimer>
#include <QVector>
#include <cmath>
#include <memory>

#include "common/graphics_settings.h"
#include "common/program_state.h"
#include "graphics/display_list.h"
#include "graphics/hpgl_viewer.h"

namespace {

QColor ToQColor(TColourRef c) {
  return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

Qt::PenStyle ToQtStyle(TPenStyle s) {
  switch (s) {
    case TPenStyle::Dotted:
      return Qt::DotLine;
    case TPenStyle::DashDot:
      return Qt::DashDotLine;
    case TPenStyle::Dashed:
      return Qt::DashLine;
    case TPenStyle::Solid:
      break;
  }
  return Qt::SolidLine;
}

double RayAngle(double cx, double cy, int x, int y) {
  // Device rows grow downwards; angles are counted counterclockwise as seen.
  return std::atan2(-(y - cy), x - cx) * 180.0 / 3.14159265358979323846;
}

class TPainterCanvas : public TReplayCanvas {
 public:
  explicit TPainterCanvas(QPainter* p) : p_(p) {
    p_->setRenderHint(QPainter::Antialiasing, false);
    p_->setBrush(Qt::NoBrush);
    lines_.reserve(kBatch);
  }
  ~TPainterCanvas() override { Flush(); }
  void SetPen(TColourRef colour, int width, TPenStyle style) override {
    Flush();
    QPen pen(ToQColor(colour));
    // Width 0 and 1 are the one-pixel cosmetic pen, which the raster engine draws fastest.
    pen.setWidth(width <= 1 ? 0 : width);
    pen.setStyle(ToQtStyle(style));
    pen.setCapStyle(Qt::FlatCap);
    p_->setPen(pen);
  }
  void SetBrush(TColourRef colour) override { brush_ = ToQColor(colour); }
  void MoveTo(int x, int y) override { pos_ = QPoint(x, y); }
  void LineTo(int x, int y) override {
    // Lines are gathered and drawn together: one painter call for many records.
    const QPoint to(x, y);
    lines_.append(QLine(pos_, to));
    pos_ = to;
    if (lines_.size() >= kBatch) Flush();
  }
  void Flush() override {
    if (lines_.isEmpty()) return;
    p_->drawLines(lines_.constData(), static_cast<int>(lines_.size()));
    lines_.clear();
  }
  void Ellipse(int left, int top, int right, int bottom) override {
    Flush();
    p_->setBrush(Qt::NoBrush);
    p_->drawEllipse(QRectF(left, top, right - left, bottom - top));
  }
  void Arc(int left, int top, int right, int bottom, int xs, int ys, int xe, int ye) override {
    Flush();
    const double cx = (left + right) / 2.0, cy = (top + bottom) / 2.0;
    const double a0 = RayAngle(cx, cy, xs, ys);
    double span = RayAngle(cx, cy, xe, ye) - a0;
    while (span <= 0) span += 360;
    while (span > 360) span -= 360;
    p_->drawArc(QRectF(left, top, right - left, bottom - top),
                static_cast<int>(std::lround(a0 * 16)), static_cast<int>(std::lround(span * 16)));
  }
  void Polygon(const int (&xs)[4], const int (&ys)[4]) override {
    Flush();
    const QPoint pts[4] = {{xs[0], ys[0]}, {xs[1], ys[1]}, {xs[2], ys[2]}, {xs[3], ys[3]}};
    p_->setBrush(brush_);
    p_->drawPolygon(pts, 4);
    p_->setBrush(Qt::NoBrush);
  }
  void Text(int x, int y, const std::string& utf8, const TCanvasFont& f,
            TColourRef colour) override {
    Flush();
    if (f.heightPx <= 0) return;
    QFont font(QString::fromStdString(f.face));
    font.setBold(f.bold);
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strikeOut);
    // The capitals stand one CAD height tall and the width gives the em Arial would have,
    // whatever face stands in: line heights and average widths differ by a sixth between the
    // faces that do.
    const double emY = f.heightPx / kTextCellPerCadHeight / CapHeightPerEm(font);
    const double emX = f.widthPx > 0 ? f.widthPx / kTextAverageWidthEm : emY;
    const int size = std::max(1, static_cast<int>(std::lround(emY)));
    font.setPixelSize(size);
    p_->save();
    p_->setFont(font);
    p_->setPen(ToQColor(colour));
    p_->translate(x, y);
    p_->rotate(-f.angleDeg);
    p_->scale(emX / size, emY / size);
    p_->drawText(QPointF(0, kTextBaselineInCell * f.heightPx * size / emY),
                 QString::fromUtf8(utf8.c_str()));
    p_->restore();
  }

 private:
  // Height of the face's capitals per em, from the outline of "H" at a size where hinting
  // does not round it; remembered per face and style.
  static double CapHeightPerEm(const QFont& face) {
    static QHash<QString, double> known;
    const QString key = face.key();
    if (const auto it = known.constFind(key); it != known.constEnd()) return *it;
    constexpr int kReferencePx = 1000;
    QFont reference(face);
    reference.setPixelSize(kReferencePx);
    const QFontMetricsF metrics(reference);
    const double cap = metrics.tightBoundingRect("H").height();
    // A face that draws no "H" at all gets Arial's share.
    const double perEm = cap > 0 ? cap / kReferencePx : 0.716;
    known.insert(key, perEm);
    return perEm;
  }

  static constexpr int kBatch = 4096;
  QPainter* p_;
  QColor brush_ = Qt::white;
  QPoint pos_;
  QVector<QLine> lines_;
};

int VirtualKey(const QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_Escape:
      return kKeyEscape;
    case Qt::Key_PageUp:
      return kKeyPageUp;
    case Qt::Key_PageDown:
      return kKeyPageDown;
    case Qt::Key_Left:
      return kKeyLeft;
    case Qt::Key_Up:
      return kKeyUp;
    case Qt::Key_Right:
      return kKeyRight;
    case Qt::Key_Down:
      return kKeyDown;
    case Qt::Key_Plus:
      return (e->modifiers() & Qt::KeypadModifier) ? kKeyNumPlus : 0;
    case Qt::Key_Minus:
      return (e->modifiers() & Qt::KeypadModifier) ? kKeyNumMinus : 0;
    case Qt::Key_F5:
      return kKeyF5;
    default:
      return 0;
  }
}

TGraphicsWindow::TMouseButton Button(Qt::MouseButton b) {
  switch (b) {
    case Qt::RightButton:
      return TGraphicsWindow::TMouseButton::Right;
    case Qt::MiddleButton:
      return TGraphicsWindow::TMouseButton::Middle;
    default:
      return TGraphicsWindow::TMouseButton::Left;
  }
}

}  // namespace

TReplayCanvas* NewPainterCanvas(QPainter* painter) {
  return new TPainterCanvas(painter);
}

// ---------------------------------------------------------------------------------------------

TGraphicsCanvas::TGraphicsCanvas(TFtarvgra* window) : QWidget(window), window_(window) {
  setObjectName("GraphicsCanvas");
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(false);
}

void TGraphicsCanvas::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), ToQColor(GraphicsVariables.BackgroundColour));
  p.drawImage(0, 0, window_->front_);
  if (window_->dirty_) window_->ScheduleReplay();
}

void TGraphicsCanvas::resizeEvent(QResizeEvent*) {
  // The picture fills the drawing area; the configured pixel size is only its first size.
  SetDrawingArea(width(), height());
  window_->Invalidate();
}

void TGraphicsCanvas::mousePressEvent(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  window_->FormMouseDown(Button(e->button()), p.x(), p.y());
}
void TGraphicsCanvas::mouseMoveEvent(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  window_->FormMouseMove(p.x(), p.y());
}
void TGraphicsCanvas::mouseReleaseEvent(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  window_->FormMouseUp(Button(e->button()), p.x(), p.y());
}
void TGraphicsCanvas::mouseDoubleClickEvent(QMouseEvent* e) {
  // The second press of a double click arrives here; it is the press that follows the double
  // click.
  window_->FormDblClick();
  const QPoint p = e->position().toPoint();
  window_->FormMouseDown(Button(e->button()), p.x(), p.y());
}

// ---------------------------------------------------------------------------------------------

TFtarvgra::TFtarvgra(QWidget* parent) : QMainWindow(parent) {
  setObjectName("TFtarvgra");
  setWindowTitle("TarvGraf");
  canvas_ = new TGraphicsCanvas(this);
  setCentralWidget(canvas_);
  rubberBand_ = new QRubberBand(QRubberBand::Rectangle, canvas_);
  setFocusPolicy(Qt::StrongFocus);
  FormCreate();
  if (!GraphicsWindowInstance) GraphicsWindowInstance = this;
  InstallGraphicsHelpImageHook();
}

TFtarvgra::~TFtarvgra() {
  if (GraphicsWindowInstance == this) GraphicsWindowInstance = nullptr;
  CursorArrow();
}

void TFtarvgra::ScheduleReplay() {
  if (replayQueued_) return;
  replayQueued_ = true;
  QTimer::singleShot(0, this, [this] {
    replayQueued_ = false;
    // A replay that is running picks the request up when it ends.
    if (dirty_ && !Painting()) FormPaint();
  });
}

void TFtarvgra::Invalidate() {
  dirty_ = true;
  ScheduleReplay();
  if (isVisible()) raise();
}

void TFtarvgra::CursorWait() {
  if (waitCursorDepth_ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
  waitCursorDepth_ = 1;
}

void TFtarvgra::CursorArrow() {
  if (waitCursorDepth_ > 0) QApplication::restoreOverrideCursor();
  waitCursorDepth_ = 0;
}

TReplayCanvas* TFtarvgra::ScreenCanvas() {
  return screenCanvas_;
}

void TFtarvgra::BeginScreenPaint() {
  dirty_ = false;
  const QSize size = canvas_->size().expandedTo(QSize(1, 1));
  back_ = QImage(size, QImage::Format_RGB32);
  back_.fill(ToQColor(GraphicsVariables.BackgroundColour));
  screenPainter_ = new QPainter(&back_);
  screenCanvas_ = NewPainterCanvas(screenPainter_);
}

void TFtarvgra::EndScreenPaint() {
  delete screenCanvas_;
  screenCanvas_ = nullptr;
  delete screenPainter_;
  screenPainter_ = nullptr;
  front_ = back_;
  canvas_->update();
  if (dirty_) ScheduleReplay();  // the view changed while the picture was replayed
}

TReplayCanvas* TFtarvgra::BeginPrinterPaint(TPrinterPage& page) {
  if (!printerDevice_) return nullptr;
  printerPainter_ = new QPainter;
  if (!printerPainter_->begin(printerDevice_)) {
    delete printerPainter_;
    printerPainter_ = nullptr;
    return nullptr;
  }
  page.width = printerDevice_->width();
  page.height = printerDevice_->height();
  page.pixelsPerMmX = printerDevice_->logicalDpiX() / 25.4L;
  page.pixelsPerMmY = printerDevice_->logicalDpiY() / 25.4L;
  printerCanvas_ = NewPainterCanvas(printerPainter_);
  return printerCanvas_;
}

void TFtarvgra::EndPrinterPaint() {
  delete printerCanvas_;
  printerCanvas_ = nullptr;
  if (printerPainter_) printerPainter_->end();
  delete printerPainter_;
  printerPainter_ = nullptr;
}

void TFtarvgra::ProcessMessagesOnce() {
  QCoreApplication::processEvents();
}

bool TFtarvgra::ShowStepDialog() {
  TForm_anistep dialog(this);
  dialog.exec();
  // Closing the step dialog gives the window back its activation; that is no new picture.
  ignoreActivation_ = true;
  return dialog.RunToEnd();
}

void TFtarvgra::PauseMs(int ms) {
  QThread::msleep(static_cast<unsigned long>(std::max(0, ms)));
}

int TFtarvgra::ClientWidth() const {
  return canvas_->width();
}
int TFtarvgra::ClientHeight() const {
  return canvas_->height();
}

void TFtarvgra::CanvasMoveTo(int x, int y) {
  penPosition_ = QPoint(x, y);
}

void TFtarvgra::CanvasLineTo(int x, int y) {
  if (front_.isNull()) return;
  QPainter p(&front_);
  p.setPen(Qt::black);
  p.drawLine(penPosition_, QPoint(x, y));
  penPosition_ = QPoint(x, y);
  canvas_->update();
}

void TFtarvgra::ShowRubberBand(int x1, int y1, int x2, int y2, bool visible) {
  if (!visible) {
    rubberBand_->hide();
    return;
  }
  rubberBand_->setGeometry(QRect(QPoint(x1, y1), QPoint(x2, y2)).normalized());
  rubberBand_->show();
}

void TFtarvgra::RenderTo(QPaintDevice* device) {
  QPainter painter(device);
  painter.fillRect(QRect(0, 0, device->width(), device->height()),
                   ToQColor(GraphicsVariables.BackgroundColour));
  std::unique_ptr<TReplayCanvas> canvas(NewPainterCanvas(&painter));
  static const TDisplayList kEmpty;
  TReplay replay;
  replay.Begin(DisplayList ? *DisplayList : kEmpty, canvas.get(), nullptr, TPrinterPage{}, false);
  while (replay.Run() != TReplayStop::Done) {
  }
}

void TFtarvgra::keyPressEvent(QKeyEvent* event) {
  const int key = VirtualKey(event);
  if (key == 0) {
    QMainWindow::keyPressEvent(event);
    return;
  }
  FormKeyDown(key);
}

void TFtarvgra::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() != QEvent::ActivationChange || !isActiveWindow()) return;
  if (ignoreActivation_ || Painting()) {
    ignoreActivation_ = false;
    return;
  }
  Invalidate();
}

// ---------------------------------------------------------------------------------------------

TForm_anistep::TForm_anistep(QWidget* parent) : QDialog(parent) {
  setObjectName("TForm_anistep");
  setWindowTitle("Animation");
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  auto* next = new QPushButton("+", this);
  next->setObjectName("Button_nextstep");
  next->setDefault(true);
  auto* end = new QPushButton("++", this);
  end->setObjectName("Button_endstep");
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(next);
  layout->addWidget(end);
  connect(next, &QPushButton::clicked, this, &TForm_anistep::Button_nextstepClick);
  connect(end, &QPushButton::clicked, this, &TForm_anistep::Button_endstepClick);
  next->setFocus();
}

void TForm_anistep::Button_nextstepClick() {
  accept();
}

void TForm_anistep::Button_endstepClick() {
  runToEnd_ = true;
  accept();
}

void TForm_anistep::reject() {
  runToEnd_ = true;
  QDialog::reject();
}
