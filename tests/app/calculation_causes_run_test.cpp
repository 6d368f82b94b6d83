// Joints the calculation cannot list as they are, run through the built program as a user runs
// them (`vuko file /I`): each names its cause, in the remarks of the listing or on standard
// error when nothing is listed, without the follow-on messages the cause would drag along.
// Where a case states a geometric fact the comment gives the textbook reason. Needs the `vuko`
// target built.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app_test_support.h"
#include "validator_support.h"

namespace {

using app_test::ReadBytes;
using app_test::ScratchDir;
using app_test::WriteBytes;

const std::string kVuko = VUKO_BINARY_DIR "/vuko";

using Lines = std::vector<std::pair<int, std::string>>;

// The shipped example with lines replaced (1-based): alpha 8, mn 9, z 10, diameter modes 12 and
// 13; the shaft's tool factors 17 to 19, input kind 20, x 21, ball 22, teeth spanned 23, over
// balls 24, tip 26, root 27; the hub's from 32 on (kind 35, x 36, ball 37, space width 45);
// clearances as factors 46, ce 47, ci 48, cp 49, the part given 50.
std::string ExampleWith(const Lines& lines) {
  std::vector<std::string> all;
  std::istringstream in(ReadBytes(VUKO_DATA_DIR "/example_x.vuk"));
  for (std::string line; std::getline(in, line);) all.push_back(line);
  for (const auto& [n, text] : lines) all.at(static_cast<std::size_t>(n - 1)) = text;
  std::string out;
  for (const std::string& line : all) out += line + "\n";
  return out;
}

// Tool factors instead of diameters (0.55 / 0.45 / 0.1), x given, the program's balls and
// clearances of 0.1 module: the joint a sweep would make.
Lines ByTool(Lines more) {
  Lines lines = {{12, "0"},    {13, "0"},    {17, "0.55"}, {18, "0.45"}, {19, "0.1"},
                 {32, "0.55"}, {33, "0.45"}, {34, "0.1"},  {20, "1"},    {22, "0"},
                 {37, "0"},    {38, "0"},    {46, "TRUE"}, {47, "0.1"},  {48, "0.1"}};
  lines.insert(lines.end(), more.begin(), more.end());
  return lines;
}

struct NamedCause {
  const char* name;
  Lines lines;
  int exitCode;                     // 0 listed, 2 nothing listed
  const char* message;              // the message naming the cause; null: none expected
  std::vector<const char*> absent;  // texts that must not appear
};

void PrintTo(const NamedCause& c, std::ostream* os) {
  *os << c.name;
}

const NamedCause kCauses[] = {
    // z 48, m 8.388, alpha 37.5, x -0.4046, k 11: W = 251.423 touches at sqrt(319.423^2 +
    // 251.423^2) = 406.5, above da = 403.386.
    {"SpanTouchingAboveTheTip",
     ByTool({{8, "37.5"}, {9, "8.388"}, {10, "48"}, {21, "-0.4046"}, {23, "11"}}),
     0,
     "Warning: span W off flank (k = 11) !",
     {}},
    // z 44, m 1.847, alpha 45, x 0.5525, k 11: the contact 80.8 lies below dFf = 81.386.
    {"SpanTouchingBelowTheRootForm",
     ByTool({{8, "45"}, {9, "1.847"}, {10, "44"}, {21, "0.5525"}, {23, "11"}}),
     0,
     "Warning: span W off flank (k = 11) !",
     {}},
    {"RootDiameterZero", {{27, "0"}}, 2, "Fatal  : df <= 0 ! (1)", {"dFf", "epsilon"}},
    {"RootDiameterAtTheTip", {{27, "61"}}, 2, "Fatal  : df beyond da ! (1)", {"epsilon"}},
    // Root 1 under tip 61: the tool addendum (61 - 1) / 2 - ... puts the fillet far below the
    // base circle, where the form circle formula has no answer.
    {"RootDiameterOfOne", {{27, "1"}}, 0, "Error  : dFf undercut ! (1)", {"dFf > da"}},
    // z 6, m 1, x -0.3: 6 sin 30 - 2 (0.55 + 0.3 - 0.1 (1 - 0.5)) / 0.5 = -0.2 < 0.
    {"UndercutFormCircle",
     ByTool({{9, "1"}, {10, "6"}, {21, "-0.3"}, {23, "0"}}),
     0,
     "Error  : dFf undercut ! (1)",
     {}},
    // z 6, m 2, x 3: the tooth thickness 2 (pi / 2 + 6 tan 30) = 10.07 exceeds the pitch 6.28;
    // the flanks cross below the tip.
    {"PointedTeeth",
     ByTool({{9, "2"}, {10, "6"}, {21, "3"}, {23, "0"}, {35, "1"}, {36, "0"}, {50, "0"}}),
     0,
     "Error  : sa <= 0, pointed teeth ! (1)",
     {"sa < 0.15*m ! (1)", "ce < rf2", "ci < rf1"}},
    // pi * 6.5 = 20.42: a space width of 21 leaves no hub tooth.
    {"SpaceWidthOfAPitch",
     {{50, "2"}, {35, "2"}, {45, "21"}},
     2,
     "Fatal  : en >= pn ! (2)",
     {"epsilon"}},
    // m 0.8 with tool factors 0.55 + 0.45: tooth depth 0.8 mm, clearance 1 mm.
    {"ClearanceDeeperThanTheTeeth",
     ByTool({{9, "0.8"}, {21, "0"}, {23, "0"}, {46, "FALSE"}, {47, "1"}, {48, "1"}, {49, "0"}}),
     2,
     "Fatal  : ci >= h1, no contact !",
     {"epsilon"}},
    {"OneTooth", {{10, "1"}}, 2, "Fatal  : z < 2 !", {"Dm", "k > z", "-4"}},
    {"ShiftAboveOneAndAHalf",
     ByTool({{21, "1.6"}, {23, "0"}}),
     0,
     "Warning: x > 1.5 !",
     {"x > 1.5   ("}},
    // z 20, m 2, x 0.8: the standard ball is 4.8 at x 0.8 against 3.8 at x 0, 26 % apart.
    {"ProgramsOwnBallAwayFromZeroShift",
     ByTool({{9, "2"}, {10, "20"}, {21, "0.8"}, {23, "0"}}),
     0,
     nullptr,
     {"Dm <> Dm DIN"}},
    // DIN 5480 W 120x3x38 (x 0.45) entered by its rounded dimension over 6 mm balls,
    // 126.0949, with the hub at x -0.45: the backlash -2 m tan(a) (x1 + x2) is 0 to the print.
    {"BacklashOfARoundedMeasurement",
     ByTool({{9, "3"},
             {10, "38"},
             {20, "3"},
             {22, "6"},
             {24, "126.0949"},
             {23, "0"},
             {35, "1"},
             {36, "-0.45"},
             {50, "0"}}),
     0,
     nullptr,
     {"cp < 0"}},
};

class CalculationCause : public ::testing::TestWithParam<NamedCause> {
 protected:
  void SetUp() override {
    REQUIRE_OR_SKIP(access(kVuko.c_str(), X_OK) == 0, kVuko << " is not built",
                    kVuko << " is not built (build the vuko target first)");
  }
  ScratchDir dir_;
};

// Rows of the tab-separated listing: symbol -> the shaft's printed value.
double ShaftValue(const std::string& listing, const std::string& symbol) {
  std::istringstream in(listing);
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> cells;
    std::istringstream cellStream(line);
    for (std::string cell; std::getline(cellStream, cell, '\t');) cells.push_back(cell);
    if (cells.size() >= 4 && cells[1] == symbol) return std::stod(cells[3]);
  }
  return NAN;
}

TEST_P(CalculationCause, IsNamedWithoutFollowOnMessages) {
  const NamedCause& c = GetParam();
  WriteBytes(dir_ / "joint.vuk", ExampleWith(c.lines));
  const std::string command = "cd " + validator_support::Quote(dir_.Path()) +
                              " && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
                              "XDG_CONFIG_HOME=" + validator_support::Quote(dir_.Make(".xdg")) +
                              " " + validator_support::Quote(kVuko) + " joint.vuk /I";
  const validator_support::ToolRun run = validator_support::Execute(command);
  ASSERT_EQ(run.status, c.exitCode) << run.output;
  // What the user reads: the listing's remarks, or the messages on standard error.
  std::string said = run.output;
  if (c.exitCode == 0) {
    const std::string listing = ReadBytes(dir_ / "joint.txt");
    const std::size_t remarks = listing.find("REMARKS");
    said = remarks == std::string::npos ? "" : listing.substr(remarks);
    if (std::string(c.name) == "BacklashOfARoundedMeasurement") {
      EXPECT_EQ(ShaftValue(listing, "cp"), 0.0) << listing;
    }
  }
  if (c.message) {
    const std::size_t at = said.find(c.message);
    EXPECT_NE(at, std::string::npos) << said;
    EXPECT_EQ(said.find(c.message, at + 1), std::string::npos) << "listed twice:\n" << said;
  }
  for (const char* text : c.absent) EXPECT_EQ(said.find(text), std::string::npos) << said;
  // Every message comes with its explanation from the program's file.
  EXPECT_EQ(said.find("no help description"), std::string::npos) << said;
}

INSTANTIATE_TEST_SUITE_P(Joints, CalculationCause, ::testing::ValuesIn(kCauses),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
