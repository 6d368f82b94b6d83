// The print dialog on an offscreen screen: what OK stores, the defaults each picture kind opens
// with, pictures printed to PDF and measured on the page by an outside renderer, refused scales,
// and the printer information in setup mode.
#include "app/forms/print_setup.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>

#include "app/app_test_support.h"
#include "app/data_file.h"
#include "calc/spline_joint.h"
#include "calc/toothing_data.h"
#include "common/forms/gui_test_support.h"
#include "common/graphics_settings.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "drawings/production_drawing.h"
#include "drawings/tooth_graphics.h"
#include "graphics/cad_driver.h"
#include "graphics/display_list.h"
#include "graphics/forms/graphics_window_form.h"
#include "graphics/forms/plot_program_dialog.h"
#include "graphics/graphics_facade.h"
#include "graphics/view_control.h"
#include "gui_environment.h"

namespace {

using app_test::Exists;
using app_test::ScratchDir;

class PrintSetupGui : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramStateForTests();
    InitGraphicsSettings();
    InitViewState();
    ResetPrinterObject();
    GraphicsVariables.BackgroundColour = RgbValue(255, 255, 255);
    ProgramSettings.ScreenWidth = 640;
    ProgramSettings.ScreenHeight = 480;
    DataDirectory = dir_.Path();
    CurrentFileName = "probe";
    host_ = std::make_unique<ScriptedDialogHost>();
    facade_ = std::make_unique<TGraphicsFacade>();
    window_ = std::make_unique<TFtarvgra>();
    window_->resize(640, 480);
    window_->Canvas()->resize(640, 480);
    GraphicsWindowInstance = window_.get();
    // Whatever printers the machine has, the tests print into a file.
    pdf_ = dir_ / "print.pdf";
    ThePrinter().setOutputFormat(QPrinter::PdfFormat);
    ThePrinter().setOutputFileName(QString::fromStdString(pdf_));
    ThePrinter().setPageSize(QPageSize(QPageSize::A4));
  }
  void TearDown() override {
    GraphicsWindowInstance = nullptr;
    window_.reset();
    facade_.reset();
    host_.reset();
    ResetPrinterObject();
  }
  template <class T>
  T* Find(TForm_printconf& form, const char* name) {
    T* w = form.findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  void Fill(TForm_printconf& form, const char* sx, const char* sy, const char* ox, const char* oy) {
    Find<QLineEdit>(form, "Edit_scalex")->setText(sx);
    Find<QLineEdit>(form, "Edit_scaley")->setText(sy);
    Find<QLineEdit>(form, "Edit_xorigin")->setText(ox);
    Find<QLineEdit>(form, "Edit_yorigin")->setText(oy);
  }
  // World 0..160 x 0..120 on the whole window; an L of 100 by 60 world units with its corner at
  // (10, 100).
  void DrawKnownPicture() {
    facade_->GrSetWindow(false, false, 0, 0, 1, 1, 0, 0, 160, 120);
    facade_->GrSetColor(16);
    facade_->GrLine(10, 100, 110, 100);
    facade_->GrLine(10, 100, 10, 40);
  }
  // The frame of a 230 x 315 mm sheet, lines only, so no face can change what it inks.
  void DrawSheetFrame() {
    facade_->GrHeader(0, 0, 230, 315);
    facade_->GrSetColor(16);
    const double x[] = {0, 230, 230, 0}, y[] = {0, 0, 315, 315};
    for (int i = 0; i < 4; ++i) facade_->GrLine(x[i], y[i], x[(i + 1) % 4], y[(i + 1) % 4]);
  }

  ScratchDir dir_;
  std::string pdf_;
  std::unique_ptr<ScriptedDialogHost> host_;
  std::unique_ptr<TGraphicsFacade> facade_;
  std::unique_ptr<TFtarvgra> window_;
};

QString RunTool(const QString& program, const QStringList& args, int* exitCode = nullptr) {
  QProcess p;
  p.start(program, args);
  if (!p.waitForStarted()) return {};
  p.waitForFinished(60000);
  if (exitCode) *exitCode = p.exitCode();
  return QString::fromUtf8(p.readAllStandardOutput());
}

// Ink of page 1 in mm from its top left (poppler); `around` gets the page size, shows ink off it.
bool InkOfPdf(const std::string& pdf, const std::string& dir, QRectF& ink,
              QSizeF* around = nullptr) {
  QString file = QString::fromStdString(pdf);
  double perMm = 10, offX = 0, offY = 0;
  if (around) {
    const std::string open = dir + "/open.pdf";
    RunTool("qpdf", {"--qdf", "--object-streams=disable", file, QString::fromStdString(open)});
    std::string text = app_test::ReadBytes(open);
    const std::size_t at = text.find("/MediaBox");
    double w = 0, h = 0;
    int used = 0;
    if (at == std::string::npos ||
        std::sscanf(text.c_str() + at, "/MediaBox [ 0 0 %lf %lf ]%n", &w, &h, &used) != 2 || !used)
      return false;
    text.replace(at, static_cast<std::size_t>(used),
                 "/MediaBox [" + std::to_string(-w) + " " + std::to_string(-h) + " " +
                     std::to_string(2 * w) + " " + std::to_string(2 * h) + "]");
    app_test::WriteBytes(open, text);
    file = QString::fromStdString(dir + "/wide.pdf");
    RunTool("qpdf", {QString::fromStdString(open), file});  // rebuilds the cross-references
    perMm = 2;
    *around = QSizeF(w * 25.4 / 72, h * 25.4 / 72);
    offX = around->width(), offY = around->height();
  }
  RunTool("pdftoppm", {"-r", QString::number(perMm * 25.4), "-gray", "-singlefile", file,
                       QString::fromStdString(dir + "/page")});
  QImage page(QString::fromStdString(dir + "/page.pgm"));
  if (page.isNull()) return false;
  QRect px;
  for (int y = 0; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x)
      if (qGray(page.pixel(x, y)) < 128) px |= QRect(x, y, 1, 1);
  ink = px.isEmpty() ? QRectF()
                     : QRectF(px.left() / perMm - offX, px.top() / perMm - offY, px.width() / perMm,
                              px.height() / perMm);
  // Thin glyphs may leave no dark pixel: texts count by the boxes the PDF gives their words.
  static const QRegularExpression word(
      R"re(<word xMin="([\d.-]+)" yMin="([\d.-]+)" xMax="([\d.-]+)" yMax="([\d.-]+)")re");
  const QString words = RunTool("pdftotext", {"-bbox", file, "-"});
  for (auto it = word.globalMatch(words); it.hasNext();) {
    const QRegularExpressionMatch m = it.next();
    auto mm = [&](int i, double off) { return m.captured(i).toDouble() * 25.4 / 72 - off; };
    ink |= QRectF(QPointF(mm(1, offX), mm(2, offY)), QPointF(mm(3, offX), mm(4, offY)));
  }
  return true;
}

// Loads the example data file with another joint (pressure angle, module, teeth, shaft shift;
// da1, df1, da2, df2 given, or with no diameters the tool's factors); false unless calculated.
bool LoadJoint(const std::string& file, double alpha, double mn, int z, double x,
               const std::array<double, 4>& diameters) {
  std::istringstream in(app_test::ReadBytes(VUKO_TEST_DATA_DIR "/alpha37_5_z13.vuk"));
  std::vector<std::string> l;
  for (std::string line; std::getline(in, line);) l.push_back(line);
  const bool given = diameters[0] > 0;
  l[7] = std::to_string(alpha), l[8] = std::to_string(mn), l[9] = std::to_string(z);
  l[11] = l[12] = given ? "1" : "0", l[50] = "0";
  for (int i = 0; i < 4; ++i) {
    l[16 + 15 * (i / 2) + i % 2] = std::to_string(0.55 - 0.1 * (i % 2));
    l[25 + 15 * (i / 2) + i % 2] = std::to_string(given ? diameters[i] : 0);
  }
  for (int p = 0; p < 2; ++p) l[18 + 15 * p] = "0.16", l[20 + 15 * p] = std::to_string(p ? -x : x);
  std::string text;
  for (const std::string& line : l) text += line + "\n";
  app_test::WriteBytes(file, text);
  AbortFlag = false;
  LoadDataFile(file);
  return !(CalcFatalFlag || AbortFlag);
}

TEST_F(PrintSetupGui, OkStoresTheLayoutAndThePrinterTakesTheOrientation) {
  PrintSettings.PictureKind = 5;
  DrawKnownPicture();
  TForm_printconf form;
  form.FormActivate();
  Fill(form, "0,5", "2", "15", "25");
  Find<QCheckBox>(form, "CheckBox_umrandung")->setChecked(true);
  Find<TRadioGroup>(form, "RadioGroup_printmono")->SetItemIndex(1);
  Find<TRadioGroup>(form, "RadioGroup_hochquer")->SetItemIndex(1);
  app_test::WriteBytes(pdf_ + ".part", "a file of the user's");
  form.Button_okClick();
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_DOUBLE_EQ(PrintSettings.PrintScaleX, 0.5);
  EXPECT_DOUBLE_EQ(PrintSettings.PrintScaleY, 2.0);
  EXPECT_EQ(PrintSettings.PrintOriginX, 15);
  EXPECT_EQ(PrintSettings.PrintOriginY, 25);
  EXPECT_TRUE(PrintSettings.PrintBorder);
  EXPECT_EQ(ProgramSettings.WindowsPrintMode, 2);
  EXPECT_EQ(ThePrinter().pageLayout().orientation(), QPageLayout::Landscape);
  EXPECT_TRUE(Find<QPushButton>(form, "Button_db")->isEnabled());
  ASSERT_TRUE(Exists(pdf_));
  EXPECT_EQ(app_test::ReadBytes(pdf_ + ".part"), "a file of the user's");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.Path()), {}), 2)
      << "the work file became the PDF";
  // The page itself is landscape A4, as a PDF reader sees it.
  const QString info = RunTool("pdfinfo", {QString::fromStdString(pdf_)});
  const QRegularExpressionMatch size =
      QRegularExpression(R"(Page size:\s+([\d.]+) x ([\d.]+) pts)").match(info);
  if (size.hasMatch()) {
    EXPECT_NEAR(size.captured(1).toDouble(), 842, 1) << "297 mm wide";
    EXPECT_NEAR(size.captured(2).toDouble(), 595, 1) << "210 mm high";
  }
}

// World length times scale in mm; the origin in mm of a 210 mm wide page (landscape x 297/210).
TEST_F(PrintSetupGui, PrintedPictureMeasuresWorldLengthsTimesScale) {
  struct {
    const char* name;
    const char *sx, *sy, *ox, *oy;
    int landscape;
    bool border;
    double left, top, width, height;
  } cases[] = {{"scale 1", "1", "1", "10", "20", 0, false, 20, 40, 100, 60},
               {"scale 0.5 by 2", "0.5", "2", "0", "0", 0, false, 5, 40, 50, 120},
               {"border portrait", "0.5", "0.5", "20", "30", 0, true, 20, 30, 80, 60},
               {"border landscape", "0.5", "0.5", "20", "30", 1, true, 20 * 297 / 210.0,
                30 * 297 / 210.0, 80, 60}};
  ProgramSettings.ColourOutputFlag = false;  // the border line in black, which the reader sees
  DrawKnownPicture();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PrintSettings.PictureKind = 5;
    TForm_printconf form;
    form.FormActivate();
    Fill(form, c.sx, c.sy, c.ox, c.oy);
    Find<TRadioGroup>(form, "RadioGroup_hochquer")->SetItemIndex(c.landscape);
    Find<QCheckBox>(form, "CheckBox_umrandung")->setChecked(c.border);
    // The PDF of the first case is replaced only when agreed, and the file's path is told.
    const bool replacing = Exists(pdf_);
    host_->Clear();
    if (replacing) host_->AnswerYes();
    form.Button_okClick();
    ASSERT_TRUE(Exists(pdf_));
    EXPECT_EQ(host_->RecordsOf(TDialogKind::YesNo).size() +
                  host_->RecordsOf(TDialogKind::Question).size(),
              replacing ? 1u : 0u);
    EXPECT_EQ(host_->Messages().back(), "saved as " + pdf_);
    int status = -1;
    RunTool("qpdf", {"--check", QString::fromStdString(pdf_)}, &status);
    EXPECT_EQ(status, 0) << "qpdf finds the PDF sound";
    QRectF ink;
    if (!InkOfPdf(pdf_, dir_.Path(), ink)) GTEST_SKIP() << "pdftoppm is not installed";
    EXPECT_NEAR(ink.left(), c.left, 0.3);
    EXPECT_NEAR(ink.top(), c.top, 0.3);
    EXPECT_NEAR(ink.width(), c.width, 0.3);
    EXPECT_NEAR(ink.height(), c.height, 0.3);
  }
}

// Replacing a PDF, agreed in the print dialog, is not asked again when printing.
TEST_F(PrintSetupGui, APdfConfirmedInThePrintDialogIsNotAskedForAgain) {
  DrawKnownPicture();
  PrintSettings.PictureKind = 5;
  app_test::WriteBytes(pdf_, "the earlier printout");
  TForm_printconf form;
  form.FormActivate();
  gui_test::Seen asked;
  gui_test::ModalDriver person;
  person.Then([](QWidget* w) {
    auto* dialog = qobject_cast<QPrintDialog*>(w);
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  });
  person.Then(gui_test::Note(asked, QMessageBox::Yes));
  Find<QPushButton>(form, "Button_printer")->click();
  EXPECT_NE(asked.text.find(pdf_ + " already exists"), std::string::npos) << asked.text;
  form.Button_okClick();
  EXPECT_EQ(person.Remaining(), 0);
  EXPECT_TRUE(person.Unexpected().empty());
  EXPECT_TRUE(host_->RecordsOf(TDialogKind::YesNo).empty());
  EXPECT_EQ(host_->Messages(), std::vector<std::string>{"saved as " + pdf_});
  int status = -1;
  RunTool("qpdf", {"--check", QString::fromStdString(pdf_)}, &status);
  EXPECT_EQ(status, 0) << "the earlier printout was replaced by a sound PDF";
}

// Defaults put every drawing and tooth picture wholly on the page: of the example joint, of a
// z 6 undercut shaft (whose quick sheet's centre line stands out of its window) and of DIN 5480
// N 120x3x38 (d = 3 x 38 = 114, dimensioned outside the hub's window). Sheet 10 draws only its
// footer; texts count by their words' boxes, however thin the face.
TEST_F(PrintSetupGui, DefaultsPutEveryPictureWholeOnThePage) {
  const struct {
    const char* name;
    double alpha, mn;
    int z;
    double x;
    std::array<double, 4> diameters;  // da1 df1 da2 df2, or none
  } joints[] = {{"example", 0, 0, 0, 0, {}},
                {"z 6 undercut shaft", 30, 2.5, 6, 0, {}},
                {"N 120x3x38", 30, 3, 38, 0.45, {119.4, 113.4, 114, 120}}};
  const int sheets = kSheetReturn - kSheetDrawingShaft;
  QRectF ink;
  QSizeF page;
  for (const auto& j : joints) {
    InitToothingData();
    NewSplineExample();
    CalcSplineJoint();
    if (j.z > 0) ASSERT_TRUE(LoadJoint(dir_ / "joint.vuk", j.alpha, j.mn, j.z, j.x, j.diameters));
    ASSERT_FALSE(CalcFatalFlag);
    for (int k = 0; k < sheets + 6; ++k) {  // tooth graphics entries 7 and 8 are no pictures
      SCOPED_TRACE(std::string(j.name) + ", picture " + std::to_string(k));
      facade_->GrClear();
      if (k < sheets)
        ProductionDrawing(kCadScreen, static_cast<std::int16_t>(kSheetDrawingShaft + k));
      else
        SplineToothGraphicsMenu(kCadScreen, static_cast<std::int16_t>(k - sheets + 1));
      ASSERT_GT(DisplayList->Count(), 0u);
      TForm_printconf form;
      form.FormActivate();
      host_->Clear();
      if (Exists(pdf_)) host_->AnswerYes();
      form.Button_okClick();
      ASSERT_TRUE(Exists(pdf_));
      if (!InkOfPdf(pdf_, dir_.Path(), ink, &page)) GTEST_SKIP() << "qpdf or poppler missing";
      EXPECT_EQ(host_->Messages(), std::vector<std::string>{"saved as " + pdf_});
      EXPECT_FALSE(ink.isEmpty());
      EXPECT_TRUE(  // half a millimetre: the reader's pixel
          QRectF(QPointF(-0.5, -0.5), page + QSizeF(1, 1)).contains(ink))
          << ink.left() << " " << ink.top() << " " << ink.right() << " " << ink.bottom();
    }
  }
}

// A 230 x 315 mm sheet at scale 1: what falls off is told, and it is printed as asked all the
// same; turned, a layout the dialog fitted is fitted again, a typed one stays as typed.
TEST_F(PrintSetupGui, ScaleOneTellsWhatFallsOffAndPrintsAsAsked) {
  const struct {
    int landscape;
    const char* message;
    double right, bottom;  // how far the ink reaches past the page
  } cases[] = {
      {1, "105.0 mm at the bottom fall off. Scale 0.666 / 0.666 fits.", -67, 105},
      {0, "20.0 mm at the right, 18.0 mm at the bottom fall off. Scale 0.913 / 0.913 fits.", 20,
       18}};
  PrintSettings.PictureKind = 5;
  ProgramSettings.ColourOutputFlag = false;
  DrawSheetFrame();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    TForm_printconf form;
    Fill(form, "1", "1", "0", "0");
    Find<TRadioGroup>(form, "RadioGroup_hochquer")->SetItemIndex(c.landscape);
    host_->Clear();
    if (Exists(pdf_)) host_->AnswerYes();
    form.Button_okClick();
    EXPECT_EQ(host_->Messages(), (std::vector<std::string>{
                                     "The picture does not fit the page: " + std::string(c.message),
                                     "saved as " + pdf_}));
    QRectF ink;
    QSizeF page;
    if (!InkOfPdf(pdf_, dir_.Path(), ink, &page)) GTEST_SKIP() << "qpdf or poppler missing";
    EXPECT_NEAR(ink.right() - page.width(), c.right, 1);
    EXPECT_NEAR(ink.bottom() - page.height(), c.bottom, 1);
  }
}

TEST_F(PrintSetupGui, TurningThePageRefitsAFittedLayout) {
  const struct {
    const char* typed;  // scale typed first, or none
    std::vector<int> turns;
    const char* scale;
  } cases[] = {{nullptr, {}, "0.913"},   // portrait: 210 / 230
               {nullptr, {1}, "0.666"},  // landscape: 210 / 315
               {nullptr, {1, 0}, "0.913"},
               {"0.8", {1}, "0.8"}};
  DrawSheetFrame();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.scale);
    ThePrinter().setPageOrientation(QPageLayout::Portrait);
    PrintSettings.PictureKind = 2;  // an A4 sheet: scale 1, portrait, unless it does not fit
    TForm_printconf form;
    if (c.typed) Fill(form, c.typed, c.typed, "0", "0");
    const auto items =
        Find<TRadioGroup>(form, "RadioGroup_hochquer")->findChildren<QRadioButton*>();
    for (int turn : c.turns) items[turn]->click();
    EXPECT_EQ(Find<QLineEdit>(form, "Edit_scalex")->text().toStdString(), c.scale);
    EXPECT_EQ(Find<QLineEdit>(form, "Edit_scaley")->text().toStdString(), c.scale);
  }
}

TEST_F(PrintSetupGui, ScaleThatIsNoNumberKeepsTheDialogOpenCancelStoresNothing) {
  PrintSettings.PictureKind = 5;
  PrintSettings.PrintScaleX = 3.0;
  DrawKnownPicture();
  TForm_printconf form;
  Fill(form, "abc", "1", "7", "7");
  form.Button_okClick();
  EXPECT_NE(form.result(), QDialog::Accepted);
  ASSERT_EQ(host_->Messages().size(), 1u);
  EXPECT_NE(host_->Messages()[0].find("Scale x"), std::string::npos) << host_->Messages()[0];
  form.Button_cancelClick();
  EXPECT_TRUE(AbortFlag);
  EXPECT_DOUBLE_EQ(PrintSettings.PrintScaleX, 3.0);
  EXPECT_NE(PrintSettings.PrintOriginX, 7);
  EXPECT_FALSE(Exists(pdf_));
}

TEST_F(PrintSetupGui, FitLimitsPrintsTheWholePictureAndLeavesItOnScreen) {
  PrintSettings.PictureKind = 5;
  DrawKnownPicture();
  window_->FormPaint();
  ASSERT_EQ(WorldToScreenX(0), 0);
  QKeyEvent plus(QEvent::KeyPress, Qt::Key_Plus, Qt::KeypadModifier);
  QApplication::sendEvent(window_.get(), &plus);
  window_->FormPaint();
  ASSERT_LT(WorldToScreenX(0), 0) << "zoomed in, the left edge is off the window";
  TForm_printconf form;
  Fill(form, "1", "1", "0", "0");
  Find<QCheckBox>(form, "CheckBox_anpassen")->setChecked(true);
  form.Button_okClick();
  EXPECT_EQ(WorldToScreenX(0), 0) << "the window shows the whole picture again";
  QRectF ink;
  if (!InkOfPdf(pdf_, dir_.Path(), ink)) GTEST_SKIP() << "pdftoppm is not installed";
  EXPECT_NEAR(ink.width(), 100, 0.3) << "the whole L is on the page";
  EXPECT_NEAR(ink.height(), 60, 0.3);
}

TEST_F(PrintSetupGui, SetupModeShowsThePrinterWithoutPrinting) {
  PrintSettings.PictureKind = 5;
  TForm_printconf form;
  form.SetupMode = true;
  form.FormActivate();
  app_test::WriteBytes(pdf_, "earlier printout");
  int rows = 0;
  QString name;
  gui_test::After(0, [&] {
    QWidget* info = QApplication::activeModalWidget();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->objectName(), "TForm_printerinfo");
    auto* grid = info->findChild<QTableWidget*>("StringGrid1");
    ASSERT_NE(grid, nullptr);
    rows = grid->rowCount();
    name = grid->item(0, 1)->text();
    EXPECT_EQ(grid->item(3, 0)->text(), "Druckbreite (mm)");
    static_cast<QDialog*>(info)->accept();
  });
  form.Button_okClick();
  EXPECT_GE(rows, 20);
  EXPECT_EQ(name, "print.pdf");
  EXPECT_EQ(app_test::ReadBytes(pdf_), "earlier printout") << "no empty document replaces it";
}

TEST_F(PrintSetupGui, PrinterNameIsCutToFortyCharacters) {
  const std::string longName = std::string(50, 'n') + ".pdf";
  ThePrinter().setOutputFileName(QString::fromStdString(dir_ / longName));
  TForm_printconf form;
  form.FormActivate();
  const QString label = Find<QLabel>(form, "Label_printer")->text();
  EXPECT_EQ(label, QString(40, 'n'));
  EXPECT_EQ(ThePrinter().docName(), "probe") << "the job is named after the data file";
}

TEST_F(PrintSetupGui, WithoutPrintersThePictureGoesToAPdfNamedAfterTheDataFile) {
  ResetPrinterObject();
  if (ThePrinter().outputFormat() != QPrinter::PdfFormat) GTEST_SKIP() << "a printer exists";
  // Not "<data file>.pdf": a printed listing of the same file must not replace the picture.
  EXPECT_EQ(ThePrinter().outputFileName().toStdString(), dir_ / "probe_picture.pdf");
  CurrentFileName = "other";
  TForm_printconf form;
  form.FormActivate();
  EXPECT_EQ(ThePrinter().outputFileName().toStdString(), dir_ / "other_picture.pdf");
}

}  // namespace
