// The graphics window on an offscreen screen: pictures land on the pixels their world
// coordinates give, in colour and in monochrome; the picture fills the drawing area through
// every resize; every table colour reads on the default background; keys and the mouse change
// exactly the view; a print at scale 1 measures its world lengths in millimetres; capitals stand
// one CAD height tall on screen and on paper in every face that stands in for Arial.
#include "graphics/forms/graphics_window_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPdfWriter>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <tuple>

#include "common/graphics_settings.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "graphics/display_list.h"
#include "graphics/graphics_facade.h"
#include "graphics/view_control.h"

namespace {

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlack = qRgb(0, 0, 0);

class GraphicsWindowGui : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramStateForTests();
    InitGraphicsSettings();
    InitViewState();
    ProgramSettings.ScreenWidth = 640;
    ProgramSettings.ScreenHeight = 480;
    host_ = std::make_unique<ScriptedDialogHost>();
    facade_ = std::make_unique<TGraphicsFacade>();
    window_ = std::make_unique<TFtarvgra>();
    window_->resize(640, 480);
    window_->Canvas()->resize(640, 480);
    GraphicsWindowInstance = window_.get();
    AbortFlag = false;
  }
  void TearDown() override {
    GraphicsWindowInstance = nullptr;
    window_.reset();
    facade_.reset();
    host_.reset();
  }
  // World 0..160 x 0..120 on the whole 640 x 480 screen: 4 pixels per unit, y up.
  void Window4PixelsPerUnit() { facade_->GrSetWindow(false, false, 0, 0, 1, 1, 0, 0, 160, 120); }
  QImage Paint() {
    window_->FormPaint();
    return window_->Picture().convertToFormat(QImage::Format_RGB32);
  }
  static int Px(double x) { return static_cast<int>(std::lround(x * 4)); }
  static int Py(double y) { return 480 - static_cast<int>(std::lround(y * 4)); }
  // Bounding box of the pixels that are not background.
  static QRect Ink(const QImage& img) {
    QRect box;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x)
        if (img.pixel(x, y) != kWhite) box |= QRect(x, y, 1, 1);
    return box;
  }

  // The faces a Debian machine may give for Arial that are installed here. A CI machine must
  // have them all; elsewhere a missing one is left out.
  static std::vector<QString> StandInFaces() {
    std::vector<QString> faces;
    for (const char* face : {"DejaVu Sans", "Liberation Sans", "Nimbus Sans"}) {
      if (QFontDatabase::hasFamily(face))
        faces.push_back(face);
      else if (qEnvironmentVariable("CI") == "true")
        ADD_FAILURE() << face << " is not installed";
    }
    return faces;
  }
  // Box of the pixels darker than mid grey within the rows top..bottom.
  static QRect DarkBox(const QImage& img, int top, int bottom) {
    QRect box;
    for (int y = std::max(0, top); y <= std::min(bottom, img.height() - 1); ++y) {
      const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
      for (int x = 0; x < img.width(); ++x)
        if (qGray(row[x]) < 128) box |= QRect(x, y, 1, 1);
    }
    return box;
  }

  // Prints the picture on A4 into a PDF and reads the top left w x h pixels of it back with
  // pdftoppm at dpi; null when pdftoppm is missing.
  QImage PrintAndRender(int dpi, int w = 0, int h = 0) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath("print.pdf");
    {
      QPrinter printer(QPrinter::HighResolution);
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(pdf);
      printer.setPageSize(QPageSize(QPageSize::A4));
      printer.setFullPage(true);
      window_->SetPrinterDevice(&printer);
      ViewState.PrintingFlag = true;
      window_->FormPaint();
      ViewState.PrintingFlag = false;
      window_->SetPrinterDevice(nullptr);
    }
    QStringList crop;
    if (w > 0) crop = {"-W", QString::number(w), "-H", QString::number(h)};
    QProcess render;
    render.start("pdftoppm", QStringList{"-r", QString::number(dpi), "-gray", "-singlefile"}
                                 << crop << pdf << dir.filePath("page"));
    if (!render.waitForStarted()) return {};
    render.waitForFinished(60000);
    return QImage(dir.filePath("page.pgm")).convertToFormat(QImage::Format_RGB32);
  }

  std::unique_ptr<ScriptedDialogHost> host_;
  std::unique_ptr<TGraphicsFacade> facade_;
  std::unique_ptr<TFtarvgra> window_;
};

// Three CAD heights of "HHHH" (height, width, baseline y), far enough apart that their cells
// (1.6 h from 1.2 h above the baseline) never meet; width 0 is the face's own.
struct HText {
  double height, width, y;
};
constexpr HText kHTexts[] = {{3.5, 0, 40}, {5, 3.5, 28}, {10, 7, 8}};
// Arial's "H" is 0.722 em wide with 0.08 em on either side, its capitals 0.716 em high; its
// average character (what a style's width gives, times 1.1 and the width ratio) is 0.441 em.
// Four capitals thus ink 2.728 em, in pixels of `across` and `up` per unit; a face's own width
// keeps its shape on the device.
double HhhhInkWidth(const HText& t, double across, double up) {
  const double ratio = static_cast<double>(GraphicsVariables.TextWidthRatio);
  return 2.728 * (t.width > 0 ? 1.1 * t.width * ratio / 0.441 * across : t.height / 0.716 * up);
}

TEST_F(GraphicsWindowGui, LineEndsAndCircleRadiusInColour) {
  Window4PixelsPerUnit();
  facade_->GrSetColor(12);
  facade_->GrLine(10, 10, 150, 10);
  facade_->GrSetColor(9);
  facade_->GrCircle(80, 60, 20);
  const QImage img = Paint();
  ASSERT_EQ(img.size(), QSize(640, 480));
  // Line from pixel (40, 440) to (600, 440).
  EXPECT_EQ(img.pixel(Px(10), Py(10)), kRed);
  EXPECT_EQ(img.pixel(Px(80), Py(10)), kRed);
  EXPECT_EQ(img.pixel(Px(150) - 1, Py(10)), kRed);
  EXPECT_EQ(img.pixel(Px(150) + 3, Py(10)), kWhite);
  EXPECT_EQ(img.pixel(Px(10) - 3, Py(10)), kWhite);
  // Circle: centre (320, 240), radius 80 pixels, drawn in blue, hollow.
  const QRgb blue = qRgb(0, 0, 255);
  const QRect box = [&] {
    QRect b;
    for (int y = 0; y < 430; ++y)
      for (int x = 0; x < 640; ++x)
        if (img.pixel(x, y) == blue) b |= QRect(x, y, 1, 1);
    return b;
  }();
  EXPECT_NEAR(box.center().x(), 320, 1);
  EXPECT_NEAR(box.center().y(), 240, 1);
  EXPECT_NEAR(box.width() / 2.0, 80, 1.5);
  EXPECT_NEAR(box.height() / 2.0, 80, 1.5);
  EXPECT_EQ(img.pixel(320, 240), kWhite);
}

TEST_F(GraphicsWindowGui, MonochromeDrawsBlackOnTheBackground) {
  ProgramSettings.ColourOutputFlag = false;
  Window4PixelsPerUnit();
  facade_->GrSetColor(12);
  facade_->GrLine(10, 10, 150, 10);
  facade_->GrSolid(20, 50, 40, 50, 40, 70, 20, 70);
  const QImage img = Paint();
  EXPECT_EQ(img.pixel(Px(80), Py(10)), kBlack);
  EXPECT_EQ(img.pixel(Px(30), Py(60)), kBlack) << "filled areas are black in monochrome";
}

TEST_F(GraphicsWindowGui, ColourZeroDrawsInTheBackgroundColour) {
  GraphicsVariables.BackgroundColour = RgbValue(0, 0, 0);
  Window4PixelsPerUnit();
  facade_->GrSetColor(15);
  facade_->GrLine(10, 10, 150, 10);
  facade_->GrSetColor(0);
  facade_->GrLine(10, 20, 150, 20);
  const QImage img = Paint();
  EXPECT_EQ(img.pixel(Px(80), Py(10)), kWhite);
  EXPECT_EQ(img.pixel(Px(80), Py(20)), kBlack);
}

// Relative luminance and contrast ratio of two screen colours (the sRGB definition).
double Luminance(QRgb c) {
  auto lin = [](int v) {
    const double x = v / 255.0;
    return x <= 0.04045 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * lin(qRed(c)) + 0.7152 * lin(qGreen(c)) + 0.0722 * lin(qBlue(c));
}
double Contrast(QRgb a, QRgb b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST_F(GraphicsWindowGui, EveryTableColourReadsOnTheDefaultBackground) {
  Window4PixelsPerUnit();
  for (int n = 1; n <= 16; ++n) {
    facade_->GrSetColor(static_cast<std::uint8_t>(n));
    const double x = n * 9.0;
    facade_->GrSolid(x, 50, x + 6, 50, x + 6, 70, x, 70);
  }
  const QImage img = Paint();
  const QRgb background = img.pixel(2, 2);
  ASSERT_EQ(background, kWhite);
  for (int n = 1; n <= 16; ++n) {
    const QRgb shown = img.pixel(Px(n * 9.0 + 3), Py(60));
    const TColourRef table = GraphicsVariables.ColourTable[static_cast<std::size_t>(n)];
    EXPECT_GE(Contrast(shown, background), 3.0) << "colour " << n;
    // A darker shade of the same hue: the channels keep their order and zeros.
    const int t[3] = {RedOf(table), GreenOf(table), BlueOf(table)};
    const int v[3] = {qRed(shown), qGreen(shown), qBlue(shown)};
    for (int i = 0; i < 3; ++i) {
      EXPECT_LE(v[i], t[i]) << "colour " << n;
      EXPECT_EQ(v[i] == 0, t[i] == 0) << "colour " << n;
      for (int j = 0; j < 3; ++j)
        if (t[i] > t[j]) EXPECT_GE(v[i], v[j]) << "colour " << n;
    }
  }
  // Colours that read well are shown as they are.
  EXPECT_EQ(img.pixel(Px(12 * 9.0 + 3), Py(60)), kRed);
}

TEST_F(GraphicsWindowGui, ThePictureFillsTheDrawingAreaThroughEveryResize) {
  window_->show();
  auto resizeTo = [&](int w, int h) {
    window_->resize(w, h);
    QApplication::processEvents();
    return window_->Canvas()->size();
  };
  auto frameOf = [](const QImage& img) {
    QRect box;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x)
        if (img.pixel(x, y) == kRed) box |= QRect(x, y, 1, 1);
    return box;
  };
  facade_->GrHeader(0, 0, 160, 120);
  facade_->GrSetColor(12);
  for (auto [x1, y1, x2, y2] :
       {std::array<int, 4>{0, 0, 160, 0}, {160, 0, 160, 120}, {160, 120, 0, 120}, {0, 120, 0, 0}})
    facade_->GrLine(x1, y1, x2, y2);  // the picture's frame
  for (const QSize want : {QSize(640, 480), QSize(1200, 800), QSize(640, 480)}) {
    const QSize area = resizeTo(want.width(), want.height());
    ASSERT_EQ(area, want);
    const QImage img = Paint();
    ASSERT_EQ(img.size(), area);
    const QRect frame = frameOf(img);
    const std::string at = std::to_string(area.width()) + "x" + std::to_string(area.height());
    // Framed: one pixel in from the edges; the picture keeps its shape, so it reaches the
    // edges of the side that limits it.
    EXPECT_LE(frame.left(), 1) << at;
    EXPECT_LE(frame.top(), 1) << at;
    const int right = area.width() - 1 - frame.right(), bottom = area.height() - 1 - frame.bottom();
    EXPECT_GE(std::min(right, bottom), 0) << at;
    EXPECT_LE(std::min(right, bottom), 1) << at;
    EXPECT_NEAR(static_cast<double>(frame.width() - 1) / (frame.height() - 1), 4.0 / 3.0, 0.01)
        << at;
  }
  // A zoom by keys stays on its world rectangle while the window changes its size.
  QKeyEvent plus(QEvent::KeyPress, Qt::Key_Plus, Qt::KeypadModifier);
  QApplication::sendEvent(window_.get(), &plus);
  QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
  QApplication::sendEvent(window_.get(), &left);
  Paint();
  const TZoomWindow zoomed = GraphicsVariables.ZoomWindow;
  ASSERT_GT(zoomed.xmin, 0.0L);
  for (const QSize want : {QSize(1200, 800), QSize(640, 480)}) {
    const QSize area = resizeTo(want.width(), want.height());
    Paint();
    const TZoomWindow& z = GraphicsVariables.ZoomWindow;
    // Within the pixel the zoom rectangle is held in.
    const double pixel = static_cast<double>(zoomed.xmax - zoomed.xmin) / 600;
    EXPECT_NEAR(static_cast<double>(z.xmin), static_cast<double>(zoomed.xmin), pixel);
    EXPECT_NEAR(static_cast<double>(z.xmax), static_cast<double>(zoomed.xmax), pixel);
    EXPECT_NEAR(static_cast<double>(z.ymin), static_cast<double>(zoomed.ymin), pixel);
    EXPECT_NEAR(static_cast<double>(z.ymax), static_cast<double>(zoomed.ymax), pixel);
    // The zoomed rectangle's left edge is the viewport's left edge.
    EXPECT_EQ(WorldToScreenX(zoomed.xmin), ViewState.Viewport.left) << area.width();
  }
}

TEST_F(GraphicsWindowGui, TextStartsAtItsAnchor) {
  Window4PixelsPerUnit();
  facade_->GrSetColor(16);
  // Height 5 becomes 5 * 1.6 = 8 world units (32 pixels); the cell's top is 0.75 h above y.
  facade_->GrSetTextStyle(0, 0, 5, 5);
  facade_->GrOutTextXY(20, 40, "HHHH");
  for (const QString& face : StandInFaces()) {
    SCOPED_TRACE(face.toStdString());
    GraphicsVariables.GraphicsFont = face.toStdString();
    const QRect ink = Ink(Paint());
    ASSERT_FALSE(ink.isEmpty());
    const int anchorX = Px(20), cellTop = Py(40 + 0.75 * 8);
    EXPECT_NEAR(ink.left(), anchorX, 4);
    EXPECT_GE(ink.top(), cellTop - 1);
    EXPECT_LE(ink.top(), cellTop + 16);
    EXPECT_LE(ink.bottom(), cellTop + 32 + 2);
    EXPECT_GT(ink.width(), 32) << "four letters of about 5 * 1.1 * 0.8 units each";
    // Capitals stand 5 units tall, as a DXF reader draws them, on the baseline y.
    EXPECT_NEAR(ink.height(), 4 * 5, 1.2);
    EXPECT_NEAR(ink.bottom() + 1, Py(40), 1.2);
  }
}

// "HHHH" at three CAD heights in each face: on the screen at 10 by 10 and 5 by 10 pixels per
// unit, and on paper (a PDF read back by pdftoppm at 20 pixels per mm) at print scales 1 by 1
// and 1 by 2, so that a height taken across shows. Capitals stand one CAD height tall on the
// baseline, four of them as wide as Arial's.
TEST_F(GraphicsWindowGui, CapitalsStandOneCadHeightTallInEveryFace) {
  const struct {
    const char* name;
    double xmax, sy;  // world 0..xmax x 0..48 on 640 x 480; print scale 1 across, sy up
  } cases[] = {{"square", 64, 1}, {"5 across by 10 up, printed twice as high", 128, 2}};
  int measured = 0;
  for (const QString& face : StandInFaces()) {
    GraphicsVariables.GraphicsFont = face.toStdString();
    for (const auto& c : cases) {
      facade_->GrClear();
      facade_->GrSetWindow(false, false, 0, 0, 1, 1, 0, 0, c.xmax, 48);
      facade_->GrSetColor(16);
      for (const HText& t : kHTexts) {
        facade_->GrSetTextStyle(0, 0, t.height, t.width);
        facade_->GrOutTextXY(2, t.y, "HHHH");
      }
      const QImage screen = Paint();
      PrintSettings = {.PrintScaleX = 1, .PrintScaleY = c.sy};
      const QImage paper = PrintAndRender(508, 2400, 2200);  // the top 120 by 110 mm
      if (paper.isNull()) GTEST_SKIP() << "pdftoppm is not installed";
      for (const HText& t : kHTexts) {
        // Pixels per unit across and up, and the baseline's row: on paper the world window's
        // top (48) is the page's edge.
        for (const auto& [where, img, across, up, baseline] :
             {std::tuple(" on screen", screen, 640 / c.xmax, 10.0, WorldToScreenY(t.y) + 0.0),
              std::tuple(" on paper", paper, 20.0, 20 * c.sy, (48 - t.y) * 20 * c.sy)}) {
          SCOPED_TRACE(face.toStdString() + ", " + c.name + ", height " + std::to_string(t.height) +
                       where);
          const double cap = t.height * up, wide = HhhhInkWidth(t, across, up);
          const QRect ink = DarkBox(img, baseline - 1.2 * cap - 4, baseline + 0.5 * cap);
          EXPECT_NEAR(ink.height(), cap, 0.05 * cap);
          EXPECT_NEAR(ink.bottom() + 1, baseline, 0.05 * cap) << "on the baseline";
          EXPECT_NEAR(ink.width(), wide, 0.06 * wide);
          ++measured;
        }
      }
    }
  }
  if (measured == 0) GTEST_SKIP() << "none of the faces is installed";
}

TEST_F(GraphicsWindowGui, EveryPaintShowsTheSamePicture) {
  Window4PixelsPerUnit();
  facade_->GrSetColor(12);
  facade_->GrLine(10, 10, 150, 10);
  const QImage first = Paint();
  const QImage second = Paint();
  EXPECT_EQ(first, second);
}

TEST_F(GraphicsWindowGui, KeysZoomAndPanThePicture) {
  Window4PixelsPerUnit();
  facade_->GrSetColor(12);
  facade_->GrLine(0, 60, 160, 60);  // across the middle
  facade_->GrLine(80, 0, 80, 120);
  QKeyEvent plus(QEvent::KeyPress, Qt::Key_Plus, Qt::KeypadModifier);
  QApplication::sendEvent(window_.get(), &plus);
  // Zoom rectangle 54..586 x 40..440: world x 80 stays at 320 + 0 (the centre), world 13.5 at 0.
  QImage img = Paint();
  EXPECT_EQ(img.pixel(WorldToScreenX(80), 100), kRed);
  EXPECT_EQ(WorldToScreenX(13.5), 0);
  QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
  QApplication::sendEvent(window_.get(), &left);
  img = Paint();
  // Pan left by round(532 * 0.1) = 53 zoom units = 13.25 world units.
  EXPECT_EQ(WorldToScreenX(13.5 + 13.25), 0);
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(window_.get(), &escape);
  img = Paint();
  EXPECT_EQ(img.pixel(320, 100), kRed);
  EXPECT_EQ(WorldToScreenX(0), 0);
}

TEST_F(GraphicsWindowGui, RubberBandZoomsToTheDraggedRectangle) {
  Window4PixelsPerUnit();
  facade_->GrLine(0, 0, 160, 120);
  auto send = [&](QEvent::Type type, QPoint p, Qt::MouseButton b, Qt::MouseButtons bs) {
    QMouseEvent e(type, QPointF(p), QPointF(window_->Canvas()->mapToGlobal(p)), b, bs,
                  Qt::NoModifier);
    QApplication::sendEvent(window_->Canvas(), &e);
  };
  // Drag from pixel (160, 360) to (480, 120): world (40, 30) to (120, 90).
  send(QEvent::MouseButtonPress, {160, 360}, Qt::LeftButton, Qt::LeftButton);
  send(QEvent::MouseMove, {300, 200}, Qt::NoButton, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, {480, 120}, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(WorldToScreenX(40), 0);
  EXPECT_EQ(WorldToScreenY(30), 480);
  EXPECT_EQ(WorldToScreenX(120), 640);
  EXPECT_EQ(WorldToScreenY(90), 0);
  // Right click resets.
  send(QEvent::MouseButtonPress, {10, 10}, Qt::RightButton, Qt::RightButton);
  EXPECT_EQ(WorldToScreenX(40), 160);
}

TEST_F(GraphicsWindowGui, StepDialogRunsToTheEndWithDoublePlus) {
  Window4PixelsPerUnit();
  for (int i = 0; i < 3; ++i) {
    facade_->GrSetColor(0);
    facade_->GrSetColor(12);
    facade_->GrLine(10, 10 + i * 10, 150, 10 + i * 10);
  }
  window_->StepMode = true;
  int dialogs = 0;
  // The timer dies with the test, so no answer reaches the next one.
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible()) return;
    ++dialogs;
    dialog->findChild<QPushButton*>(dialogs == 1 ? "Button_nextstep" : "Button_endstep")->click();
  });
  answer.start(10);
  const QImage img = Paint();
  answer.stop();
  EXPECT_EQ(dialogs, 2) << "'+' goes to the next step point, '++' runs to the end";
  EXPECT_FALSE(window_->StepMode);
  EXPECT_EQ(img.pixel(Px(80), Py(30)), kRed);
}

TEST_F(GraphicsWindowGui, PrintAtScaleOneMeasuresWorldLengthsInMillimetres) {
  // The same picture from a window of the picture's shape and from a tall one: the print
  // depends on the world window and the print origin only.
  for (bool tall : {false, true}) {
    if (tall) {
      window_->show();
      window_->resize(640, 900);
      QApplication::processEvents();
      facade_->GrClear();
      facade_->GrHeader(0, 0, 160, 120);
    } else {
      Window4PixelsPerUnit();
    }
    facade_->GrSetColor(16);
    facade_->GrLine(10, 100, 110, 100);  // 100 mm
    facade_->GrLine(10, 100, 10, 40);    // 60 mm
    // Read the page back at 254 dpi: ten pixels per millimetre.
    const QImage page = PrintAndRender(254);
    if (page.isNull()) GTEST_SKIP() << "pdftoppm is not installed";
    const QRect ink = DarkBox(page, 0, page.height());
    // Lines one print pixel wide or more: the extents equal the lengths within a pixel or two.
    EXPECT_NEAR(ink.width() / 10.0, 100.0, 0.3) << tall;
    EXPECT_NEAR(ink.height() / 10.0, 60.0, 0.3) << tall;
    // The top left corner of the world window (0, 120) is the page's corner: 10 mm, 20 mm
    // away, however much room the window has around the picture.
    EXPECT_NEAR(ink.left() / 10.0, 10.0, 0.3) << tall;
    EXPECT_NEAR(ink.top() / 10.0, 20.0, 0.3) << tall;
  }
}

}  // namespace
