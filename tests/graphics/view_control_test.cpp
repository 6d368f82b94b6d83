// Zoom, pan, reset and rubber band: each changes exactly the view, never the picture.
#include <cmath>
#include <limits>

#include "graphics_fixture.h"

namespace {

class ViewControlTest : public GraphicsTest {
 protected:
  void SetUp() override {
    GraphicsTest::SetUp();
    // Whole screen, not framed, world 0..640 x 0..480: one unit per pixel.
    window_->SetWindow(false, false, 0, 0, 1, 1, 0, 0, 640, 480);
  }
  static std::array<int, 4> Rect() {
    const TZoomRect z = GraphicsVariables.ZoomRect;
    return {z.left, z.right, z.top, z.bottom};
  }
};

TEST_F(ViewControlTest, NumericPlusZoomsAboutTheCentre) {
  // round(640 / 1.2) div 2 = 266 and round(480 / 1.2) div 2 = 200 about the centre (320, 240).
  window_->processKey(kKeyNumPlus);
  EXPECT_EQ(Rect(), (std::array<int, 4>{54, 586, 40, 440}));
  EXPECT_EQ(ProgramSettings.ViewKey[1], '+');
  // World x 54 is now at the left of the viewport, and 586 at its right.
  EXPECT_EQ(WorldToScreenX(54), 0);
  EXPECT_EQ(WorldToScreenX(586), 640);
  const std::size_t records = List().Count();
  window_->processKey(kKeyNumMinus);
  EXPECT_EQ(List().Count(), records) << "keys never change the picture";
  // 532 * 1.2 = 638.4 -> 638 div 2 = 319; 400 * 1.2 = 480 div 2 = 240.
  EXPECT_EQ(Rect(), (std::array<int, 4>{1, 639, 0, 480}));
}

TEST_F(ViewControlTest, ArrowKeysPanByOneStepPageKeysByFive) {
  struct Case {
    const char* name;
    int key;
    std::array<int, 4> rect;
  } cases[] = {
      {"Left: the picture moves left, dx = round(640 * 0.1)", kKeyLeft, {64, 704, 0, 480}},
      {"Right", kKeyRight, {-64, 576, 0, 480}},
      {"Up: dy = round(480 * 0.1)", kKeyUp, {0, 640, -48, 432}},
      {"Down", kKeyDown, {0, 640, 48, 528}},
      {"Page Up: five steps", kKeyPageUp, {0, 640, -240, 240}},
      {"Page Down: five steps", kKeyPageDown, {0, 640, 240, 720}},
  };
  for (const auto& c : cases) {
    window_->ResetZoom();
    window_->processKey(c.key);
    EXPECT_EQ(Rect(), c.rect) << c.name;
  }
}

TEST_F(ViewControlTest, EscapeF5AndRightClickResetTheZoom) {
  for (int key : {kKeyEscape, kKeyF5}) {
    window_->processKey(kKeyNumPlus);
    window_->processKey(kKeyLeft);
    window_->processKey(key);
    EXPECT_EQ(Rect(), (std::array<int, 4>{0, 640, 0, 480})) << key;
  }
  window_->processKey(kKeyNumPlus);
  window_->FormMouseDown(TGraphicsWindow::TMouseButton::Right, 5, 5);
  EXPECT_EQ(Rect(), (std::array<int, 4>{0, 640, 0, 480}));
}

TEST_F(ViewControlTest, UnknownKeysDoNothing) {
  window_->processKey(kKeyLeft);
  const auto before = Rect();
  for (int key : {65, 13, 112, 0, 255}) window_->processKey(key);
  EXPECT_EQ(Rect(), before) << "an unknown key must not repeat the last pan";
}

TEST_F(ViewControlTest, ZoomingOutStopsBeforeOverflow) {
  for (int i = 0; i < 2000; ++i) window_->processKey(kKeyNumMinus);
  const auto r = Rect();
  EXPECT_LT(r[0], r[1]);
  EXPECT_LT(r[2], r[3]);
  EXPECT_TRUE(std::isfinite(static_cast<double>(ViewState.ScaleX)));
  EXPECT_GT(ViewState.ScaleX, 0);
  // Zooming back in still works from there.
  window_->processKey(kKeyNumPlus);
  EXPECT_LT(Rect()[1] - Rect()[0], r[1] - r[0]);
}

TEST_F(ViewControlTest, IsotropicScalesAreEqualOnA4To3Screen) {
  window_->SetWindow(true, false, 0, 0, 1, 1, 0, 0, 100, 50);
  // 640 / 100 = 6.4 and 480 / 50 = 9.6: the smaller wins on both axes.
  EXPECT_DOUBLE_EQ(static_cast<double>(ViewState.ScaleX), 6.4);
  EXPECT_DOUBLE_EQ(static_cast<double>(ViewState.ScaleY), 6.4);
}

TEST_F(ViewControlTest, IsotropicScalesAreEqualOnAnyScreenShape) {
  // A square and a wide screen: a circle must keep equal scales on both axes.
  for (auto [w, h] : {std::pair{600, 600}, std::pair{1920, 1080}}) {
    ProgramSettings.ScreenWidth = w;
    ProgramSettings.ScreenHeight = h;
    window_->SetWindow(true, false, 0, 0, 1, 1, 0, 0, 60, 60);
    EXPECT_DOUBLE_EQ(static_cast<double>(ViewState.ScaleX), static_cast<double>(ViewState.ScaleY))
        << w << "x" << h;
  }
}

TEST_F(ViewControlTest, RubberBandZoomsToTheDraggedWorldRectangle) {
  for (bool isotropic : {false, true}) {
    window_->SetWindow(isotropic, true, 0, 0, 1, 1, 0, 0, 160, 120);
    // World points under the band's corners before the zoom (inverse of the screen transform).
    auto worldX = [](int px) {
      return GraphicsVariables.ZoomWindow.xmin + (px - ViewState.Viewport.left) / ViewState.ScaleX;
    };
    auto worldY = [](int py) {
      return GraphicsVariables.ZoomWindow.ymin +
             (ViewState.Viewport.bottom - py) / ViewState.ScaleY;
    };
    const long double wx1 = worldX(100), wy1 = worldY(300), wx2 = worldX(300), wy2 = worldY(200);
    window_->FormMouseDown(TGraphicsWindow::TMouseButton::Left, 300, 200);
    window_->FormMouseMove(200, 250);
    window_->FormMouseUp(TGraphicsWindow::TMouseButton::Left, 100, 300);
    // The band's lower left corner is now the viewport's lower left corner.
    EXPECT_NEAR(WorldToScreenX(wx1), ViewState.Viewport.left, 1) << isotropic;
    EXPECT_NEAR(WorldToScreenY(wy1), ViewState.Viewport.bottom, 1) << isotropic;
    // The whole band is inside the viewport and fills it in one direction.
    const int right = WorldToScreenX(wx2), top = WorldToScreenY(wy2);
    EXPECT_LE(right, ViewState.Viewport.right + 1);
    EXPECT_GE(top, ViewState.Viewport.top - 1);
    EXPECT_TRUE(std::abs(right - ViewState.Viewport.right) <= 2 ||
                std::abs(top - ViewState.Viewport.top) <= 2)
        << isotropic;
  }
}

TEST_F(ViewControlTest, RubberBandWithoutAreaDoesNotZoom) {
  const auto before = Rect();
  window_->FormMouseDown(TGraphicsWindow::TMouseButton::Left, 50, 50);
  window_->FormMouseUp(TGraphicsWindow::TMouseButton::Left, 50, 90);
  EXPECT_EQ(Rect(), before);
  EXPECT_FALSE(window_->RubberBandActive);
}

TEST_F(ViewControlTest, PressAfterDoubleClickRestoresTheSavedWindow) {
  window_->Header(0, 0, 160, 120);
  window_->processKey(kKeyNumPlus);
  const std::size_t records = List().Count();
  window_->FormDblClick();
  window_->FormMouseDown(TGraphicsWindow::TMouseButton::Left, 10, 10);
  EXPECT_FALSE(window_->DoubleClicked);
  EXPECT_FALSE(window_->RubberBandActive);
  // RestoreLimit and ReSetWindow each append a window record.
  ASSERT_EQ(List().Count(), records + 2);
  EXPECT_EQ(Text(records), "10;1;1;639;479;0;0;160;120");
  EXPECT_EQ(Text(records + 1), "10;0;0;640;480;0;0;1;1");
  EXPECT_EQ(Rect(), (std::array<int, 4>{0, 640, 0, 480}));
}

TEST(RoundPixel, HalvesGoToEvenAndFarPointsAreHeld) {
  // Round half to even, as the C library's nearbyint does in the default rounding mode.
  for (long double v : {0.5L, 1.5L, 2.5L, -0.5L, -1.5L, -2.5L, 2.4999L, 7.5001L, -7.5001L})
    EXPECT_EQ(RoundPixel(v), static_cast<std::int32_t>(std::nearbyint(static_cast<double>(v))))
        << static_cast<double>(v);
  EXPECT_EQ(RoundPixel(1e300L), 100000000);
  EXPECT_EQ(RoundPixel(-1e300L), -100000000);
  EXPECT_EQ(RoundPixel(std::numeric_limits<long double>::quiet_NaN()), 0);
}

TEST_F(ViewControlTest, WorldToScreenAndPrinterTransforms) {
  window_->SetWindow(false, false, 0, 0, 1, 1, 0, 0, 160, 120);  // 4 pixels per unit
  EXPECT_EQ(WorldToScreenX(10), 40);
  EXPECT_EQ(WorldToScreenY(10), 440);
  EXPECT_EQ(ScreenLengthX(2.5), 10);
  // A 600 dpi page: a world unit prints as one millimetre at scale 1.
  TPrinterPage page{4960, 7016, 600 / 25.4L, 600 / 25.4L};
  EXPECT_EQ(WorldToPrinterX(page, 100) - WorldToPrinterX(page, 0), std::lround(100 * 600 / 25.4));
  EXPECT_EQ(WorldToPrinterY(page, 0) - WorldToPrinterY(page, 50), std::lround(50 * 600 / 25.4));
  PrintSettings.PrintScaleX = 0.5;
  PrintSettings.PrintOriginX = 10;
  EXPECT_EQ(WorldToPrinterX(page, 0), std::lround(10 * 600 / 25.4));
  EXPECT_EQ(PrinterLengthX(page, 100), std::lround(50 * 600 / 25.4));
}

}  // namespace
