// The CAD profile and CAD setup commands with stand-in dialogs: the dialog gets the part of the
// menu item, and a cancelled dialog stops the command before the CAD code is asked for.
#include "app/cad_profile_options.h"

#include <gtest/gtest.h>

#include "app/startup.h"
#include "calc/spline_joint.h"
#include "calc/toothing_data.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "drawings/production_drawing.h"

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

// The profile shift typed in the tooth-profile options is the pictures' until the next
// calculation hands them the calculated part again (the example has no tooth thickness
// allowances: its mean finishing shift is x).
TEST_F(CadProfileTest, TypedShiftLastsUntilTheNextCalculation) {
  NewSplineExample();
  CalcSplineJoint();
  ASSERT_FALSE(CalcFatalFlag);
  const long double x1 = ToothingData.x[1];
  EXPECT_NEAR(static_cast<double>(ToothGraphicsSettings.xeInvolute[1]), static_cast<double>(x1),
              1e-12);
  TCadProfileValues values = CadProfileValues(1);
  values.xeText = "0.1";
  StoreCadProfileValues(1, values);
  ShowResultPicture();
  EXPECT_EQ(ToothGraphicsSettings.xeInvolute[1], 0.1L);
  EXPECT_EQ(ToothGraphicsSettings.xeShape[1], 0.1L);
  CalcSplineJoint();
  EXPECT_NEAR(static_cast<double>(ToothGraphicsSettings.xeInvolute[1]), static_cast<double>(x1),
              1e-12);
  EXPECT_NEAR(static_cast<double>(ToothGraphicsSettings.xeShape[1]), static_cast<double>(x1),
              1e-12);
}

// Without a window there is no dialog: the commands are cancelled and ask nothing.
TEST_F(CadProfileTest, WithoutDialogsTheCommandsAreCancelled) {
  CadProfileCommand(1);
  EXPECT_TRUE(AbortFlag);
  AbortFlag = false;
  ProfileDrawingSetup();
  EXPECT_TRUE(AbortFlag);
  EXPECT_TRUE(host_.Records().empty());
}

}  // namespace
