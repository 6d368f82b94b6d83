// Rules of the configuration dialog without a window: window and text-window checks, sizes from
// the screen, colour names and panel numbers, and stored values that the configuration reader
// gives back unchanged.
#include "app/config_dialog_logic.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "app/app_test_support.h"
#include "common/config_file.h"

namespace {

TEST(ConfigDialogLogic, WindowSizeIsKeptWithinTheScreenRange) {
  struct TCase {
    const char* why;
    int typed, screen, frame, stored;
  };
  const TCase cases[] = {
      {"typed 801 is stored as size - 1", 801, 1024, 8, 800},
      {"6000 is cut to 5000", 6000, 1024, 8, 5000},
      {"0 takes the screen less the frame", 0, 1024, 8, 1016},
      {"1 gives 0, which takes the screen too", 1, 1024, 8, 1016},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(StoredWindowSize(c.typed, c.screen, c.frame), c.stored) << c.why;
  }
}

TEST(ConfigDialogLogic, TextWindowOutsideItsLimitsTakesItsDefaults) {
  struct TCase {
    const char* why;
    int left, top, width, height, client;
    TTextWindowRect expected;
  };
  const TCase cases[] = {
      {"within the limits", 0, 450, 1000, 300, 480, {0, 450, 1000, 300}},
      {"2000, -5 and 20 are out of range", 2000, -5, 20, 300, 480, {10, 40, 700, 300}},
      {"higher than the main window", 10, 40, 700, 500, 480, {10, 40, 700, 460}},
      {"lower than 50", 10, 40, 700, 40, 480, {10, 40, 700, 460}},
      {"a tiny main window still leaves a usable height", 10, 40, 700, 40, 30, {10, 40, 700, 50}},
  };
  for (const TCase& c : cases) {
    const TTextWindowRect r = CheckedTextWindow(c.left, c.top, c.width, c.height, c.client);
    EXPECT_EQ(r.left, c.expected.left) << c.why;
    EXPECT_EQ(r.top, c.expected.top) << c.why;
    EXPECT_EQ(r.width, c.expected.width) << c.why;
    EXPECT_EQ(r.height, c.expected.height) << c.why;
  }
}

TEST(ConfigDialogLogic, TextWindowDefaultWidthFollowsScreenAndFontSize) {
  EXPECT_EQ(TextWindowDefaultWidth(640, 10), 620);   // narrow screen
  EXPECT_EQ(TextWindowDefaultWidth(641, 10), 700);   // 10 points: 700 pixels
  EXPECT_EQ(TextWindowDefaultWidth(1024, 12), 840);  // 700 per 10 points
  EXPECT_EQ(TextWindowDefaultWidth(1024, 0), 700);   // no size: the default width
}

TEST(ConfigDialogLogic, DialogScalesFromTheScreen) {
  // Outer height 768 over client 722 + 46 is 1; plus 0.009 gives 100.9 % at 96 dpi.
  EXPECT_EQ(DialogScaleFromScreen(768, 722, 96), 101);
  EXPECT_EQ(DialogScaleFromScreen(768, 722, 120), 126);  // 1.009 * 1.25 = 126.1 %
  // The content scale is the window scale relative to the full screen scale.
  EXPECT_EQ(ContentScaleFromScreen(101, 768, 722, 96), 100);
  EXPECT_EQ(ContentScaleFromScreen(202, 768, 722, 96), 200);
}

TEST(ConfigDialogLogic, ColourNamesAndPanelNumbers) {
  ColourNames();
  EXPECT_EQ(ScreenLines[1], "red");
  EXPECT_EQ(ScreenLines[5], "blue");
  EXPECT_EQ(ScreenLines[16], "black");
  // The table of colour-table entries and the numbers the user knows them by.
  const int entries[16] = {12, 14, 10, 11, 9, 13, 15, 1, 2, 3, 4, 5, 6, 7, 8, 0};
  for (int caption = 1; caption <= 16; ++caption) {
    EXPECT_EQ(ColourPanelCaption(entries[caption - 1]), caption);
  }
}

TEST(ConfigDialogLogic, OutputDeviceByItsName) {
  const std::vector<std::string> names = {
      "Screen",   "Text printer", "File", "Windows printer", "external word processor",
      "TXT File", "HTML File"};
  EXPECT_EQ(OutputDeviceOfName("File", names, 1), 3);
  EXPECT_EQ(OutputDeviceOfName("HTML File", names, 1), 7);
  EXPECT_EQ(OutputDeviceOfName("Plotter", names, 4), 4);
}

// A page holds its header (14 lines and the header space lines) and one line besides; more than
// 999 lines would not fit the field.
TEST(ConfigDialogLogic, LinesPerPageFitTheHeaderAndTheField) {
  const struct {
    const char *lines, *spaceLines, *refused;  // refused: nullptr when taken
  } cases[] = {
      {"10", "0", "< 15"},   {"15", "0", nullptr},   {"10", "10", "< 25"},
      {"20", "10", "< 25"},  {"25", "10", nullptr},  {"44", "30", "< 45"},
      {"999", "0", nullptr}, {"1000", "0", "> 999"}, {"x", "0", "not a whole number"},
  };
  for (const auto& c : cases) {
    const TShownTexts typed = {{kLinesPerPageField, c.lines},
                               {kHeaderSpaceLinesField, c.spaceLines}};
    const std::optional<TDimensionRefusal> refusal = CheckConfigNumbers({}, typed);
    const std::string why = std::string(c.lines) + " lines, " + c.spaceLines + " space lines";
    ASSERT_EQ(refusal.has_value(), c.refused != nullptr) << why;
    if (!refusal) continue;
    EXPECT_EQ(refusal->field, kLinesPerPageField) << why;
    EXPECT_EQ(refusal->message, "Max. lines per page for printer: \"" + std::string(c.lines) +
                                    "\" is not accepted (" + c.refused + ")")
        << why;
  }
}

// The configuration reader is the reference: what the dialog stores must come back unchanged.
TEST(ConfigDialogLogic, StoredValuesComeBackFromTheConfigurationFile) {
  app_test::ScratchDir dir;
  setenv("XDG_CONFIG_HOME", dir.Make("xdg").c_str(), 1);
  auto fresh = [&] {
    ResetProgramStateForTests();
    InitGraphicsSettings();
    SetProgramIdentity();
    ConfigVariables.ConfigDirectory = dir.Path();
    ProgramSettings.ScreenWidth = 799;
    ProgramSettings.ScreenHeight = 599;
  };
  auto bytes = [&] {
    WriteConfigFile(dir / "probe.cfg");
    return app_test::ReadBytes(dir / "probe.cfg");
  };
  fresh();
  PlotSettings.LayerLineWidths[2] = 0;
  PlotSettings.LayerLineWidths[3] = 300;
  PlotSettings.PenNumbers[20] = 0;
  PlotSettings.cadTextWidthRatio = 0;
  GraphicsVariables.PanStep = 0;
  GraphicsVariables.TextHeightFactor = 0.05L;
  PrintSettings.ScreendumpScale = 0;
  PrintSettings.PrintScaleVertical = 2;
  PrintSettings.PrintoutTextSize = 0;
  KeepConfigValuesReadable();
  const std::string stored = bytes();
  WriteConfig();
  fresh();
  ReadConfig();
  ASSERT_FALSE(AbortFlag);
  EXPECT_EQ(bytes(), stored);
  EXPECT_EQ(PlotSettings.LayerLineWidths[2], 1);
  EXPECT_EQ(PrintSettings.ScreendumpScale, 1.0);
}

TEST(ConfigDialogLogic, ExportWritesThereAndKeepsTheUsualFileName) {
  app_test::ScratchDir dir;
  ResetProgramStateForTests();
  InitGraphicsSettings();
  SetProgramIdentity();
  ConfigVariables.ConfigDirectory = dir.Path();
  AbortFlag = false;
  ExportConfiguration(dir.Make("sub") + "/mine.cfg");
  EXPECT_TRUE(app_test::Exists(dir / "sub/mine.cfg"));
  EXPECT_EQ(ConfigVariables.ConfigDirectory, dir.Path());
  EXPECT_EQ(ProgramIdentity.fileStem, "vuko");
  // The file names itself after its stem on the first line.
  EXPECT_EQ(app_test::ReadBytes(dir / "sub/mine.cfg").substr(0, 19), "mine Configuration\n");

  TConfigRecords imported;
  GraphicsVariables.ZoomFactor = 3;
  ASSERT_TRUE(ImportConfiguration(dir / "sub/mine.cfg", imported));
  EXPECT_EQ(GraphicsVariables.ZoomFactor, 3.0L);  // memory untouched
  EXPECT_EQ(imported.graphicsVariables.ZoomFactor, TGraphicsVariables().ZoomFactor);
}

}  // namespace
