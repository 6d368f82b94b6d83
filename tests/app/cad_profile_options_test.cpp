// The settings behind the tooth-profile dialogs, and the CAD profile and CAD setup commands
// with stand-in dialogs: what each stores, that one part's values leave the other's alone,
// and that a cancelled dialog stops the command before the CAD code is asked for.
#include "app/cad_profile_options.h"

#include <gtest/gtest.h>

#include "app/startup.h"
#include "calc/spline_joint.h"
#include "calc/toothing_data.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"

namespace {

class CadProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitModules();
    SetProgramIdentity();
    AbortFlag = false;
  }
  void TearDown() override { InstallCadProfileDialogs(nullptr, nullptr); }
  ScriptedDialogHost host_;
};

TEST_F(CadProfileTest, ShownValuesComeFromTheRecords) {
  TToothGraphicsSettings& g = ToothGraphicsSettings;
  g.InvolutePoints = 37;
  PlotSettings.involuteAsPolyline = true;
  g.auxDiameterOption = 1;
  g.drawRootCurve = false;
  g.xeInvolute[1] = 0.1L;
  g.xeInvolute[2] = -0.125L;
  const TCadProfileValues hub = CadProfileValues(2);
  EXPECT_EQ(hub.involutePoints, 37);
  EXPECT_TRUE(hub.polyline);
  EXPECT_EQ(hub.xeText, "-0.125");
  EXPECT_FALSE(hub.drawDiameters);
  EXPECT_FALSE(hub.rootCurve);
  EXPECT_EQ(CadProfileValues(1).xeText, "0.1");
  g.auxDiameterOption = 2;
  EXPECT_TRUE(CadProfileValues(1).drawDiameters);
}

// Texts typed into the addendum modification field: "," counts as the decimal point, a text
// that is no number stores 0.
TEST_F(CadProfileTest, StoresTheEnteredShiftForOnePartOnly) {
  struct Case {
    const char* text;
    long double value;
  };
  for (const Case& c : {Case{"0.3", 0.3L}, Case{"-0,25", -0.25L}, Case{"abc", 0.0L}}) {
    TToothGraphicsSettings& g = ToothGraphicsSettings;
    g.xeInvolute[1] = g.xeShape[1] = g.xeFillet[1] = 0.7L;
    TCadProfileValues v = CadProfileValues(2);
    v.xeText = c.text;
    v.involutePoints = 0;
    v.polyline = true;
    v.drawDiameters = false;
    v.rootCurve = true;
    StoreCadProfileValues(2, v);
    EXPECT_EQ(g.xeInvolute[2], c.value) << c.text;
    EXPECT_EQ(g.xeShape[2], c.value) << c.text;
    EXPECT_EQ(g.xeFillet[2], c.value) << c.text;
    EXPECT_EQ(g.xeInvolute[1], 0.7L);
    EXPECT_EQ(g.xeShape[1], 0.7L);
    EXPECT_EQ(g.InvolutePoints, 0);  // 0 stays: the drawings take their default for it
    EXPECT_TRUE(PlotSettings.involuteAsPolyline);
    EXPECT_EQ(g.auxDiameterOption, 1);
    EXPECT_TRUE(g.drawRootCurve);
  }
}

TEST_F(CadProfileTest, ProfileDrawingSettingsRoundTrip) {
  TProfileDrawingValues v;
  v.rootCurve = false;
  v.involutePoints = 12;
  v.polyline = true;
  v.filletSteps = 0;
  v.shapeSteps = 45;
  v.drawDiameters = true;
  StoreProfileDrawingValues(v);
  const TToothGraphicsSettings& g = ToothGraphicsSettings;
  EXPECT_FALSE(g.drawRootCurve);
  EXPECT_EQ(g.InvolutePoints, 12);
  EXPECT_TRUE(PlotSettings.involuteAsPolyline);
  EXPECT_EQ(g.FilletSteps, 0);
  EXPECT_EQ(g.ShapeSteps, 45);
  EXPECT_EQ(g.auxDiameterOption, 2);
  const TProfileDrawingValues back = ProfileDrawingValues();
  EXPECT_EQ(back.filletSteps, 0);
  EXPECT_EQ(back.shapeSteps, 45);
  EXPECT_FALSE(back.rootCurve);
}

TEST_F(CadProfileTest, CaptionNamesThePart) {
  EXPECT_EQ(CadProfileCaption(1), "VUKO CAD shaft");
  EXPECT_EQ(CadProfileCaption(2), "VUKO CAD hub");
}

// The command on the calculated example: OK goes on to the CAD code question of the tooth
// profile, Cancel stops before it; the dialog gets the part of the menu item.
TEST_F(CadProfileTest, CancelledDialogStopsTheCommand) {
  NewSplineExample();
  CalcSplineJoint();
  ASSERT_FALSE(CalcFatalFlag);
  for (const bool ok : {true, false}) {
    host_.Clear();
    int shownFor = 0;
    InstallCadProfileDialogs(
        [&](int part) {
          shownFor = part;
          AbortFlag = !ok;
        },
        nullptr);
    host_.AnswerCancel();  // the CAD code question, when it comes
    CadProfileCommand(2);
    EXPECT_EQ(shownFor, 2);
    EXPECT_EQ(host_.RecordsOf(TDialogKind::Choice).size(), ok ? 1u : 0u) << ok;
    EXPECT_TRUE(AbortFlag);  // Cancel of the dialog, or of the CAD code
  }
}

TEST_F(CadProfileTest, WithoutDialogsTheCommandsAreCancelled) {
  CadProfileCommand(1);
  EXPECT_TRUE(AbortFlag);
  EXPECT_TRUE(host_.Records().empty());
  AbortFlag = false;
  ProfileDrawingSetup();
  EXPECT_TRUE(AbortFlag);
  bool shown = false;
  InstallCadProfileDialogs(nullptr, [&] { shown = true; });
  ProfileDrawingSetup();
  EXPECT_TRUE(shown);
  EXPECT_FALSE(AbortFlag);
}

}  // namespace
