// The grammar of the command line, the drawing numbers of the CAD switch, the help screen and
// the display test that decides whether a window can be shown.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <ostream>

#include "app/startup.h"
#include "common/program_state.h"

namespace {

struct ParseCase {
  const char* name;
  std::vector<std::string> args;
  TCommandAction action;
  int format = 0;
  int drawing = 0;
  bool drawingValid = true;
};

// Test names in CTest show the case name.
void PrintTo(const ParseCase& c, std::ostream* os) {
  *os << c.name;
}

// Expected actions from the documented grammar: exact switches, "DEMO" and "/CAD" case-blind.
const ParseCase kParseCases[] = {
    {"NoArgument", {}, TCommandAction::NormalStart},
    {"QuestionMark", {"?"}, TCommandAction::Help},
    {"SlashQuestionWithMore", {"/?", "/I"}, TCommandAction::Help},
    {"DemoLowerCase", {"demo"}, TCommandAction::Demo},
    {"DemoMixedCaseWithSwitch", {"DeMo", "/I"}, TCommandAction::Demo},
    {"EditUpper", {"a.vuk", "/E"}, TCommandAction::Edit},
    {"EditLower", {"a.vuk", "/e"}, TCommandAction::Edit},
    {"EditG", {"a.vuk", "/G"}, TCommandAction::Edit},
    {"GLowerIsNoSwitch", {"a.vuk", "/g"}, TCommandAction::Interactive},
    {"ListingSlashUpper", {"a.vuk", "/I"}, TCommandAction::Listing},
    {"ListingSlashLower", {"a.vuk", "/i"}, TCommandAction::Listing},
    {"ListingDashUpper", {"a.vuk", "-I"}, TCommandAction::Listing},
    {"ListingDashLower", {"a", "-i"}, TCommandAction::Listing},
    {"ListingLongerIsNoSwitch", {"a.vuk", "/IX"}, TCommandAction::Interactive},
    {"CadDxf", {"a.vuk", "/CAD1:1"}, TCommandAction::Cad, 1, 1},
    {"CadLowerIges13", {"a.vuk", "/cad2:13"}, TCommandAction::Cad, 2, 13},
    {"CadDashText", {"a.vuk", "-Cad5:7"}, TCommandAction::Cad, 5, 7},
    {"CadAnySeparator", {"a.vuk", "/CAD1x12"}, TCommandAction::Cad, 1, 12},
    {"CadOutsideRange", {"a.vuk", "/CAD1:14"}, TCommandAction::Cad, 1, 14},
    {"CadWithoutFormat", {"a.vuk", "/CAD"}, TCommandAction::Cad, 0, 0},
    {"CadLetterFormat", {"a.vuk", "/CADx:3"}, TCommandAction::Cad, 0, 3},
    {"CadLetterDrawing", {"a.vuk", "/CAD1:x"}, TCommandAction::Cad, 1, 0, false},
    {"CadDrawingWithTail", {"a.vuk", "/CAD1:3x"}, TCommandAction::Cad, 1, 0, false},
    {"ListingWithoutFile", {"/I"}, TCommandAction::FileMissing},
    {"CadWithoutFile", {"-cad1:1", "a.vuk"}, TCommandAction::FileMissing},
    {"FileOnly", {"a.vuk"}, TCommandAction::Interactive},
    {"FileWithNogui", {"a.vuk", "/NOGUI"}, TCommandAction::Interactive},
};

class ParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseTest, ActionAndCadNumbers) {
  const ParseCase& c = GetParam();
  const TCommandLine cl = ParseCommandLine(c.args);
  EXPECT_EQ(cl.action, c.action);
  if (c.action == TCommandAction::Cad) {
    EXPECT_EQ(cl.cadFormat, c.format);
    EXPECT_EQ(cl.drawingNumber, c.drawing);
    EXPECT_EQ(cl.drawingNumberValid, c.drawingValid);
  }
  if (c.action != TCommandAction::NormalStart && c.action != TCommandAction::Help &&
      c.action != TCommandAction::FileMissing) {
    EXPECT_EQ(cl.fileName, c.args[0]);  // kept exactly as typed
  }
}

INSTANTIATE_TEST_SUITE_P(Grammar, ParseTest, ::testing::ValuesIn(kParseCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The drawing numbers of the CAD switch: 1-7 production drawings of that kind, 8-12 tooth
// drawings 1-5, 13 the production drawing of kind 10; nothing else.
TEST(CadBatch, DrawingNumbersSelectTheDocumentedEntry) {
  for (int j = 1; j <= 7; ++j) {
    const TCadBatchCall call = CadBatchCall(j);
    EXPECT_EQ(call.entry, TCadBatchEntry::ProductionDrawing) << j;
    EXPECT_EQ(call.argument, j);
  }
  for (int j = 8; j <= 12; ++j) {
    const TCadBatchCall call = CadBatchCall(j);
    EXPECT_EQ(call.entry, TCadBatchEntry::ToothGraphics) << j;
    EXPECT_EQ(call.argument, j - 7);
  }
  EXPECT_EQ(CadBatchCall(13).entry, TCadBatchEntry::ProductionDrawing);
  EXPECT_EQ(CadBatchCall(13).argument, 10);
  for (int j : {-1, 0, 14, 100}) EXPECT_EQ(CadBatchCall(j).entry, TCadBatchEntry::None) << j;
}

TEST(HelpScreen, RowsOfTheTextScreen) {
  InitProgramState();
  SetProgramIdentity();
  FillCommandLineHelp();
  // Screen row r is entry r + 1; rows not listed stay blank.
  EXPECT_EQ(ScreenLines[1], "VUKO Command Line Mode");
  EXPECT_EQ(ScreenLines[3], "wvuko Filename [/I] [/CADi:j] [/NOGUI]");
  EXPECT_EQ(ScreenLines[8], "            i: 1=DXF, 2=IGS, 5=TXT");
  EXPECT_EQ(ScreenLines[15], "/?       -> Help");
  EXPECT_EQ(ScreenLines[20], "Example: wvuko test.vuk /CAD1:1     ->  test.dxf");
  EXPECT_EQ(ScreenLines[21], "Example: wvuko test.edi /E /NOGUI   ->  test.edi");
  for (int blank : {2, 4, 6, 10, 12, 13, 14, 16, 17, 22}) {
    EXPECT_EQ(ScreenLines[blank].find_first_not_of(' '), std::string::npos) << blank;
  }
}

struct DisplayCase {
  const char* name;
  const char* display;
  const char* wayland;
  const char* platform;
  bool available;
};

// Test names in CTest show the case name.
void PrintTo(const DisplayCase& c, std::ostream* os) {
  *os << c.name;
}

// What Qt needs: xcb an X display, wayland a Wayland display, the others nothing.
const DisplayCase kDisplayCases[] = {
    {"Nothing", nullptr, nullptr, nullptr, false},
    {"EmptyValues", "", "", "", false},
    {"X11", ":0", nullptr, nullptr, true},
    {"Wayland", nullptr, "wayland-0", nullptr, true},
    {"Offscreen", nullptr, nullptr, "offscreen", true},
    {"MinimalWithOptions", nullptr, nullptr, "minimal:enable_fonts", true},
    {"XcbWithoutDisplay", nullptr, nullptr, "xcb", false},
    {"XcbWithDisplay", ":1", nullptr, "xcb", true},
    {"WaylandEglWithoutDisplay", ":0", nullptr, "wayland-egl", false},
    {"FallbackListFindsXcb", ":0", nullptr, "wayland;xcb", true},
    {"FallbackListNone", nullptr, nullptr, "wayland;xcb", false},
};

class DisplayTest : public ::testing::TestWithParam<DisplayCase> {};

TEST_P(DisplayTest, WindowPossible) {
  const DisplayCase& c = GetParam();
  EXPECT_EQ(DisplayAvailable(c.display, c.wayland, c.platform), c.available);
}

INSTANTIATE_TEST_SUITE_P(Platforms, DisplayTest, ::testing::ValuesIn(kDisplayCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
