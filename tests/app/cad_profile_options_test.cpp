// The CAD profile and CAD setup commands with stand-in dialogs: the dialog gets the part of the
// menu item, and a cancelled dialog stops the command before the CAD code is asked for.
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
