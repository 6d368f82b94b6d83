// `vuko file /I` on joints it cannot list as they are: each cause named once, no follow-on message.
#include <gtest/gtest.h>
#include <unistd.h>

#include <regex>
#include <string>

#include "app_test_support.h"
#include "validator_support.h"

namespace {

const std::string kVuko = VUKO_BINARY_DIR "/vuko";
// clang-format off
// "line=text" edits of the shipped example; kT: by tool factors with x given, the program's balls.
const std::string kT = "12=0 13=0 17=0.55 18=0.45 19=0.1 32=0.55 33=0.45 34=0.1 20=1 22=0 37=0 38=0 46=TRUE 47=0.1 48=0.1 23=0 ";
// Exit code 0 listed, 2 nothing listed; the message naming the cause; a follow-on or false one.
struct NamedCause { const char* name; std::string edits; int exitCode; const char *said, *absent; };
// By hand: contact 406.5 > da 403.4; T < 0; DIN 5480 W 120x3x38 has cp 0; s 10.07 > pitch 6.28;
// en 21 > pitch 20.42 is x2 -1.44, whose hub teeth come to a point.
const NamedCause kCauses[] = {
  {"SpanOffTheFlank", kT + "8=37.5 9=8.388 10=48 21=-0.4046 23=11", 0, "Warning: span W off flank (k = 11) !", ""},
  {"RootDiameterZero", "27=0", 2, "Fatal  : df <= 0 ! (1)", "dFf"},
  {"UndercutFormCircle", kT + "9=1 10=6 21=-0.3", 0, "Error  : dFf undercut ! (1)", "dFf > da"},
  {"BacklashOfARoundedMeasurement", kT + "9=3 10=38 20=3 22=6 24=126.0949 35=1 36=-0.45 50=0", 0, "", "cp < 0"},
  {"PointedTeeth", kT + "9=2 10=6 21=3 35=1 36=0 50=0", 0, "Error  : sa <= 0, pointed teeth ! (1)", "sa < 0.15*m ! (1)"},
  {"SpaceWidthOfAPitch", "50=2 35=2 45=21", 0, "Error  : sa <= 0, pointed teeth ! (2)", "en >= pn"},
  {"ClearanceDeeperThanTheTeeth", kT + "9=0.8 21=0 46=FALSE 47=1 48=1 49=0", 2, "Fatal  : ci >= h1, no contact !", "epsilon"},
  {"OneTooth", "10=1", 2, "Fatal  : z < 2 !", "Dm"},
  {"ShiftAboveOneAndAHalf", kT + "21=1.6", 0, "Warning: x > 1.5 !", "x > 1.5   ("},
  {"StandardBallAwayFromZeroShift", kT + "9=2 10=20 21=0.8", 0, "", "Dm <> Dm DIN"},
  // DIN 5480 W 10x1.25x6: the hub's 2.4 mm ball rests on both flanks at 8.526 (tip 7.5, dFf 9.875).
  {"SmallHubOnItsOwnBall", kT + "9=1.25 10=6 21=0.45 35=1 36=-0.45 50=0", 0, "", "Dm ball"},
  // 12 teeth by a span of 5.070363 with k open: only 1 tooth reaches it (x -0.68), off the flank.
  {"SpanOverTheOnlyTeethItFits", kT + "9=4.0961 10=12 20=4 25=5.070363 35=1 36=0.6601 50=0", 0, "Warning: span W off flank (k = 1) !", "Fatal"},
};
// clang-format on

TEST(CalculationCauses, EachIsNamedOnceWithoutFollowOnMessages) {
  REQUIRE_OR_SKIP(access(kVuko.c_str(), X_OK) == 0, kVuko << " is not built", "build vuko first");
  for (const NamedCause& c : kCauses) {
    SCOPED_TRACE(c.name);
    app_test::ScratchDir dir;
    const auto run = validator_support::Execute(
        "cd " + validator_support::Quote(dir.Path()) + " && sed " +
        std::regex_replace(c.edits, std::regex(R"((\d+)=(\S+))"), "-e '$1s/.*/$2/'") + " " +
        validator_support::Quote(VUKO_DATA_DIR "/example_x.vuk") + " > joint.vuk && " +
        "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_CONFIG_HOME=.xdg " +
        validator_support::Quote(kVuko) + " joint.vuk /I");
    EXPECT_EQ(run.status, c.exitCode) << run.output;
    std::string said = run.output;  // standard error, or the listing's remarks
    if (!c.exitCode)
      said = app_test::ReadBytes(dir / "joint.txt"), said.erase(0, said.find("REMARKS"));
    const std::size_t at = said.find(c.said);
    EXPECT_NE(at, std::string::npos) << said;
    if (*c.said) EXPECT_EQ(said.find(c.said, at + 1), std::string::npos) << said;
    if (*c.absent) EXPECT_EQ(said.find(c.absent), std::string::npos) << said;
  }
}

}  // namespace
