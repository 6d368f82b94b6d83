// Every tooth picture painted by the graphics window offscreen: each one puts its ink inside
// the window and in more than a token number of pixels. With VUKO_RENDER_DIR set, the
// pictures are also saved there as PNG files for a look.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <cstdlib>
#include <memory>
#include <string>

#include "calc/gear_checks.h"
#include "calc/spline_joint.h"
#include "calc/toothing_data.h"
#include "common/graphics_settings.h"
#include "common/message_list.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "drawings/tooth_graphics.h"
#include "graphics/cad_blocks.h"
#include "graphics/forms/tftarvgra.h"
#include "graphics/graphics_facade.h"
#include "graphics/view_control.h"

namespace {

class ToothViewsRender : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramStateForTests();
    InitGraphicsSettings();
    InitViewState();
    ResetErrors();
    ProgramSettings.ScreenWidth = 640;
    ProgramSettings.ScreenHeight = 480;
    host_ = std::make_unique<ScriptedDialogHost>();
    facade_ = std::make_unique<TGraphicsFacade>();
    window_ = std::make_unique<TFtarvgra>();
    window_->resize(640, 480);
    window_->Canvas()->resize(640, 480);
    GraphicsWindowInstance = window_.get();
    ResetCadDriverForTests();
    PlotSettings.HideFooterLine = true;
    AbortFlag = false;
    InitMessageList();
    InitToothingData();
    ResetSplineData();
    NewSplineExample();
    CalcSplineJoint();
    ToothGraphicsSettings.xeInvolute = ToothingData.x;
    ToothGraphicsSettings.xeShape = ToothingData.x;
    CalcGearDiameters(ToothingData.x);
    ToothGraphicsSettings.WheelImagingCount = 24;
  }
  void TearDown() override {
    ResetCadDriverForTests();
    GraphicsWindowInstance = nullptr;
    window_.reset();
    facade_.reset();
    host_.reset();
  }
  std::unique_ptr<ScriptedDialogHost> host_;
  std::unique_ptr<TGraphicsFacade> facade_;
  std::unique_ptr<TFtarvgra> window_;
};

}  // namespace

TEST_F(ToothViewsRender, EveryViewPaintsItsPicture) {
  struct Case {
    const char* name;
    int part, view;
  };
  const Case cases[] = {{"tooth_shaft", 1, 1}, {"gap_hub", 2, 2},       {"shape_shaft", 1, 3},
                        {"wheel_shaft", 1, 4}, {"ring_hub", 2, 5},      {"rack_shaft", 1, 6},
                        {"contact", 1, 7},     {"shaft_and_hub", 1, 8}, {"wheel_hub", 2, 4}};
  const char* dir = std::getenv("VUKO_RENDER_DIR");
  ASSERT_FALSE(CalcFatalFlag);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CallToothGraphics(3, static_cast<int16_t>(c.part), static_cast<int16_t>(c.view), 1, 1);
    ASSERT_FALSE(AbortFlag);
    QImage image(640, 480, QImage::Format_RGB32);
    window_->RenderTo(&image);
    const QRgb background = image.pixel(1, 1);
    int ink = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) ink += image.pixel(x, y) != background;
    }
    EXPECT_GT(ink, 2000);
    EXPECT_LT(ink, 640 * 480 / 2);
    if (dir) image.save(QDir(dir).filePath(QString(c.name) + ".png"));
  }
}
