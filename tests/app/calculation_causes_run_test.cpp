// Joints the calculation cannot list as they are, run through the built program as a user does
// (`vuko file /I`): each names its cause once, in the listing's remarks or on standard error,
// without the follow-on message the row names, and every message is explained.
#include <gtest/gtest.h>
#include <unistd.h>

#include <sstream>
#include <string>

#include "app_test_support.h"
#include "validator_support.h"

namespace {

const std::string kVuko = VUKO_BINARY_DIR "/vuko";

// Changes to lines of the shipped example, "line=text" (1-based): alpha on line 8, mn 9, z 10,
// x 21, k 23, over balls 24, root 27, hub kind 35, x 36, space width 45, clearances 46 to 49,
// part given 50. By tool factors 0.55 / 0.45 / 0.1 with x given and the program's balls and k:
const std::string kTool =
    "12=0 13=0 17=0.55 18=0.45 19=0.1 32=0.55 33=0.45 34=0.1 20=1 22=0 37=0 38=0 46=TRUE 47=0.1 "
    "48=0.1 23=0 ";

struct NamedCause {
  const char* name;
  std::string changes;
  int exitCode;         // 0 listed, 2 nothing listed
  const char* message;  // the message naming the cause, or "" for none
  const char* absent;   // a follow-on or false message, or ""
};

const NamedCause kCauses[] = {
    // Contact sqrt(319.423^2 + 251.423^2) = 406.5 above da 403.386.
    {"SpanOffTheFlank", kTool + "8=37.5 9=8.388 10=48 21=-0.4046 23=11", 0,
     "Warning: span W off flank (k = 11) !", ""},
    {"RootDiameterZero", "27=0", 2, "Fatal  : df <= 0 ! (1)", "dFf"},
    {"RootDiameterAtTheTip", "27=61", 2, "Fatal  : df beyond da ! (1)", "epsilon"},
    {"RootDiameterOfOne", "27=1", 0, "Error  : dFf undercut ! (1)", "dFf > da"},
    // 6 sin 30 - 2 (0.55 + 0.3 - 0.1 (1 - 0.5)) / 0.5 = -0.2 < 0: no root form circle.
    {"UndercutFormCircle", kTool + "9=1 10=6 21=-0.3", 0, "Error  : dFf undercut ! (1)",
     "dFf > da"},
    // DIN 5480 W 120x3x38 by its rounded 126.0949 over 6 mm balls, hub x -0.45: backlash 0.
    {"BacklashOfARoundedMeasurement", kTool + "9=3 10=38 20=3 22=6 24=126.0949 35=1 36=-0.45 50=0",
     0, "", "cp < 0"},
    // Tooth thickness 2 (pi / 2 + 6 tan 30) = 10.07 beyond the pitch 6.28.
    {"PointedTeeth", kTool + "9=2 10=6 21=3 35=1 36=0 50=0", 0,
     "Error  : sa <= 0, pointed teeth ! (1)", "sa < 0.15*m ! (1)"},
    // A space width of 21 against the pitch pi 6.5 = 20.42; a clearance of 1 mm in 0.8 mm teeth.
    {"SpaceWidthOfAPitch", "50=2 35=2 45=21", 2, "Fatal  : en >= pn ! (2)", "epsilon"},
    {"ClearanceDeeperThanTheTeeth", kTool + "9=0.8 21=0 46=FALSE 47=1 48=1 49=0", 2,
     "Fatal  : ci >= h1, no contact !", "epsilon"},
    {"OneTooth", "10=1", 2, "Fatal  : z < 2 !", "Dm"},
    {"ShiftAboveOneAndAHalf", kTool + "21=1.6", 0, "Warning: x > 1.5 !", "x > 1.5   ("},
    {"StandardBallAwayFromZeroShift", kTool + "9=2 10=20 21=0.8", 0, "", "Dm <> Dm DIN"},
};

using CalculationCause = ::testing::TestWithParam<NamedCause>;

TEST_P(CalculationCause, IsNamedOnceWithoutFollowOnMessages) {
  const NamedCause& c = GetParam();
  REQUIRE_OR_SKIP(access(kVuko.c_str(), X_OK) == 0, kVuko << " is not built",
                  kVuko << " is not built (build the vuko target first)");
  std::string edit = "sed";
  std::istringstream changes(c.changes);
  for (std::string ch; changes >> ch;)
    edit += " -e '" + ch.substr(0, ch.find('=')) + "s/.*/" + ch.substr(ch.find('=') + 1) + "/'";
  app_test::ScratchDir dir;
  const validator_support::ToolRun run = validator_support::Execute(
      "cd '" + dir.Path() + "' && " + edit + " '" VUKO_DATA_DIR "/example_x.vuk' > joint.vuk && " +
      "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_CONFIG_HOME=.xdg '" + kVuko +
      "' joint.vuk /I");
  ASSERT_EQ(run.status, c.exitCode) << run.output;
  std::string said = run.output;  // what the user reads: the remarks, or standard error
  if (c.exitCode == 0) {
    said = app_test::ReadBytes(dir / "joint.txt");
    said = said.substr(std::min(said.find("REMARKS"), said.size()));
  }
  const std::size_t at = said.find(c.message);
  EXPECT_NE(at, std::string::npos) << said;
  if (*c.message) EXPECT_EQ(said.find(c.message, at + 1), std::string::npos) << said;
  if (*c.absent) EXPECT_EQ(said.find(c.absent), std::string::npos) << said;
  EXPECT_EQ(said.find("no help description"), std::string::npos) << said;
}

INSTANTIATE_TEST_SUITE_P(Joints, CalculationCause, ::testing::ValuesIn(kCauses),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
