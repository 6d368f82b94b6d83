// Scaling and centring of dialogs: the placement rule applied to known window sizes.
#include <QDialog>
#include <QMainWindow>
#include <QMenuBar>
#include <QVBoxLayout>

#include "common/forms/gui_test_support.h"
#include "common/graphics_settings.h"

using namespace gui_test;

namespace {

class PlacementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramStateForTests();
    main_.setGeometry(100, 100, 800, 600);
    SetDialogMainWindow(&main_);
  }
  void TearDown() override { SetDialogMainWindow(nullptr); }

  // A dialog whose natural size is exactly width x height.
  static QDialog* NewDialog(int width, int height) {
    auto* dialog = new QDialog();
    auto* layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* body = new QWidget(dialog);
    body->setFixedSize(width, height);
    layout->addWidget(body);
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    return dialog;
  }

  QWidget main_;
};

// left = max((main width - width) div 2, 0) + main left;
// top = max((main height - height) div 2, 0) + main top + 20.
struct PlaceCase {
  const char* name;
  int percent;
  int width, height;  // natural size
  QRect expected;
};

class CenterTest : public PlacementTest, public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(CenterTest, SizeAndPosition) {
  const PlaceCase c = GetParam();
  ConfigVariables.DialogScalePercent = c.percent;
  QDialog* dialog = NewDialog(c.width, c.height);
  ScaleAndCenterForm(dialog);
  EXPECT_EQ(dialog->geometry(), c.expected);
  delete dialog;
}

INSTANTIATE_TEST_SUITE_P(
    Rule, CenterTest,
    ::testing::Values(
        // 300 x 150: (800 - 300) / 2 + 100 = 350, (600 - 150) / 2 + 100 + 20 = 345
        PlaceCase{"unscaled", 100, 300, 150, QRect(350, 345, 300, 150)},
        // 200 x 100 at 150 % = 300 x 150, placed as above
        PlaceCase{"scaled_150", 150, 200, 100, QRect(350, 345, 300, 150)},
        // 250 x 150 at the default 102 %: 255 x 153 (integer division), (800 - 255) / 2 = 272
        PlaceCase{"default_102", 102, 250, 150, QRect(372, 343, 255, 153)},
        // wider and taller than the main window: its left edge, 20 below its top
        PlaceCase{"larger_than_main", 100, 900, 700, QRect(100, 120, 900, 700)},
        // a percent that is not above 0 leaves the size alone instead of shrinking it to nothing
        PlaceCase{"zero_percent", 0, 300, 150, QRect(350, 345, 300, 150)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlacementTest, ScalingModeTwoKeepsSizeAndPosition) {
  ConfigVariables.FormScalingMode = 2;
  ConfigVariables.DialogScalePercent = 150;
  QDialog* dialog = NewDialog(200, 100);
  dialog->setGeometry(7, 9, 200, 100);
  ScaleAndCenterForm(dialog);
  ScaleForm(dialog);
  ScaleAndPlaceForm(dialog);
  EXPECT_EQ(dialog->geometry(), QRect(7, 9, 200, 100));
  delete dialog;
}

TEST_F(PlacementTest, ContentScaleEnlargesTheMainWindowFont) {
  QFont font = main_.font();
  font.setPointSizeF(10);
  main_.setFont(font);
  ConfigVariables.ContentScalePercent = 150;
  QDialog* dialog = NewDialog(100, 50);
  ScaleAndCenterForm(dialog);
  EXPECT_DOUBLE_EQ(dialog->font().pointSizeF(), 15.0);
  EXPECT_EQ(dialog->font().family(), font.family());
  delete dialog;
}

TEST_F(PlacementTest, PlaceFormUsesTheStoredPosition) {
  ConfigVariables.formLeft = 33;
  ConfigVariables.formTop = 44;
  ConfigVariables.DialogScalePercent = 100;
  QDialog* dialog = NewDialog(120, 80);
  ScaleAndPlaceForm(dialog);
  EXPECT_EQ(dialog->geometry(), QRect(33, 44, 120, 80));
  delete dialog;
}

TEST_F(PlacementTest, DialogNeverGrowsBeyondTheScreen) {
  ConfigVariables.DialogScalePercent = 5000;
  QDialog* dialog = NewDialog(200, 100);
  ScaleAndCenterForm(dialog);
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_LE(dialog->width(), screen.width());
  EXPECT_LE(dialog->height(), screen.height());
  delete dialog;
}

}  // namespace

namespace {

// The main window's client area (below the menu bar) is the configured screen size + 1.
TEST(MainWindowSetup, ClientAreaAndBackground) {
  ResetProgramStateForTests();
  ProgramSettings.ScreenWidth = 639;
  ProgramSettings.ScreenHeight = 399;
  GraphicsVariables.BackgroundColour = RgbValue(10, 20, 30);
  QMainWindow main;
  main.menuBar()->addMenu("&File");
  main.setCentralWidget(new QWidget(&main));
  SetupMainWindow(&main);
  main.show();
  EXPECT_EQ(main.centralWidget()->size(), QSize(640, 400));
  EXPECT_EQ(main.pos(), QPoint(0, 0));
  EXPECT_EQ(main.palette().color(QPalette::Window), QColor(10, 20, 30));
}

}  // namespace
