// Print settings of the print setup: which defaults each kind of picture gets, how the dialog's
// texts come back as settings (and which scales are refused), and the printer information rows.
#include "app/print_settings_logic.h"

#include <gtest/gtest.h>

#include "common/graphics_settings.h"
#include "common/program_state.h"

namespace {

class PrintSettingsLogic : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramStateForTests();
    InitGraphicsSettings();
    // A configuration unlike the built-in values, so that every taken default shows.
    PrintSettings.ScreendumpScale = 0.5;
    PrintSettings.PrintScaleVertical = 0.75;
    PrintSettings.ScreendumpOriginX = 12;
    PrintSettings.ScreendumpOriginY = 34;
    PrintSettings.ScreendumpBorder = true;
    PrintSettings.PrintOrientation = 1;
    // What the last print left.
    PrintSettings.PrintScaleX = 3.0;
    PrintSettings.PrintScaleY = 4.0;
    PrintSettings.PrintOriginX = 5;
    PrintSettings.PrintOriginY = 6;
    PrintSettings.PrintBorder = false;
  }
};

TEST_F(PrintSettingsLogic, OrientationCodeOneIsPortraitEveryOtherLandscape) {
  EXPECT_EQ(OrientationOfCode(1), TPrintOrientation::Portrait);
  for (int code : {0, 2, 3, -1, 99})
    EXPECT_EQ(OrientationOfCode(code), TPrintOrientation::Landscape);
}

struct KindCase {
  const char* name;
  int kind;
  double sx, sy;
  int ox, oy;
  bool border;
  std::optional<TPrintOrientation> orientation;
};

class DefaultsByKind : public PrintSettingsLogic, public ::testing::WithParamInterface<KindCase> {};

TEST_P(DefaultsByKind, TakesItsDefaults) {
  const KindCase& c = GetParam();
  PrintSettings.PictureKind = static_cast<std::int16_t>(c.kind);
  EXPECT_EQ(SetPrintDefaultsByKind(), c.orientation);
  EXPECT_DOUBLE_EQ(PrintSettings.PrintScaleX, c.sx);
  EXPECT_DOUBLE_EQ(PrintSettings.PrintScaleY, c.sy);
  EXPECT_EQ(PrintSettings.PrintOriginX, c.ox);
  EXPECT_EQ(PrintSettings.PrintOriginY, c.oy);
  EXPECT_EQ(PrintSettings.PrintBorder, c.border);
}

// Screen pictures, help images and A3 sheets take the configured screendump layout; the A4 sheet,
// drawn in millimetres, prints one to one in both directions from the corner, portrait; other
// kinds keep what the last print stored and leave the printer's orientation alone.
INSTANTIATE_TEST_SUITE_P(
    Kinds, DefaultsByKind,
    ::testing::Values(
        KindCase{"cad_screen", 0, 0.5, 0.75, 12, 34, true, TPrintOrientation::Portrait},
        KindCase{"aux_image", 1, 0.5, 0.75, 12, 34, true, TPrintOrientation::Portrait},
        KindCase{"a4_sheet", 2, 1.0, 1.0, 0, 0, false, TPrintOrientation::Portrait},
        KindCase{"a3_sheet", 3, 0.5, 0.75, 12, 34, true, TPrintOrientation::Portrait},
        KindCase{"other", 5, 3.0, 4.0, 5, 6, false, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PrintSettingsLogic, ConfiguredLandscapeCodeGivesLandscape) {
  PrintSettings.PrintOrientation = 2;
  EXPECT_EQ(SetPrintDefaultsByKind(), TPrintOrientation::Landscape);
}

TEST_F(PrintSettingsLogic, DialogShowsScalesWithThreeDigitsAndTheModeAsIndex) {
  PrintSettings.PrintScaleX = 1.0 / 3.0;
  PrintSettings.PrintScaleY = 2.5;
  PrintSettings.PrintOriginX = -7;
  ProgramSettings.WindowsPrintMode = 2;
  const TPrintDialogValues v = PrintDialogValuesOf(TPrintOrientation::Landscape);
  EXPECT_EQ(v.scaleX, "0.333");
  EXPECT_EQ(v.scaleY, "2.5");
  EXPECT_EQ(v.originX, "-7");
  EXPECT_EQ(v.printModeIndex, 1);
  EXPECT_EQ(v.orientationIndex, 1);
}

TEST_F(PrintSettingsLogic, StoresTheDialogsValues) {
  TPrintDialogValues v{"0,5", " 2 ", "15", "abc", true, 0, 0};
  std::string error;
  EXPECT_EQ(StorePrintDialogValues(v, error), TPrintOrientation::Portrait);
  EXPECT_TRUE(error.empty());
  EXPECT_DOUBLE_EQ(PrintSettings.PrintScaleX, 0.5) << "a decimal comma reads as a point";
  EXPECT_DOUBLE_EQ(PrintSettings.PrintScaleY, 2.0);
  EXPECT_EQ(PrintSettings.PrintOriginX, 15);
  EXPECT_EQ(PrintSettings.PrintOriginY, 0) << "an origin that is no number is 0";
  EXPECT_TRUE(PrintSettings.PrintBorder);
  EXPECT_EQ(ProgramSettings.WindowsPrintMode, 1);
  v.orientationIndex = 1;
  v.printModeIndex = 1;
  EXPECT_EQ(StorePrintDialogValues(v, error), TPrintOrientation::Landscape);
  EXPECT_EQ(ProgramSettings.WindowsPrintMode, 2);
  // The configured defaults are not the dialog's to change.
  EXPECT_DOUBLE_EQ(PrintSettings.ScreendumpScale, 0.5);
  EXPECT_EQ(PrintSettings.PrintOrientation, 1);
}

TEST_F(PrintSettingsLogic, RefusesScalesThatPrintNothing) {
  struct {
    const char* x;
    const char* y;
    const char* field;
  } cases[] = {{"abc", "1", "Scale x"},
               {"0", "1", "Scale x"},
               {"-1", "1", "Scale x"},
               {"1", "", "Scale y"},
               {"1", "0", "Scale y"}};
  for (const auto& c : cases) {
    std::string error;
    TPrintDialogValues v{c.x, c.y, "1", "1", true, 1, 1};
    EXPECT_FALSE(StorePrintDialogValues(v, error)) << c.x << " / " << c.y;
    EXPECT_EQ(error, c.field);
    EXPECT_DOUBLE_EQ(PrintSettings.PrintScaleX, 3.0) << "nothing is stored";
    EXPECT_EQ(PrintSettings.PrintOriginX, 5);
  }
}

TEST_F(PrintSettingsLogic, PrinterRowsInTheirPlacesAndOneRowPerFont) {
  TPrinterFacts f;
  f.name = "Laser";
  f.technology = 5;
  f.widthMm = 210;
  f.heightMm = 297;
  f.dpiX = 600;
  f.fonts = {"A", "B", "C", "D", "E", "F"};
  auto rows = PrinterInfoRows(f);
  ASSERT_EQ(rows.size(), 22u) << "16 fact rows and six font rows";
  EXPECT_EQ(rows[0], (std::pair<std::string, std::string>{"Name", "Laser"}));
  EXPECT_EQ(rows[1].second, "") << "a driver version nobody can tell stays empty";
  EXPECT_EQ(rows[2].second, "Metafile");
  EXPECT_EQ(rows[4], (std::pair<std::string, std::string>{"Druckhöhe (mm)", "297"}));
  EXPECT_EQ(rows[9], (std::pair<std::string, std::string>{"DPI (horizontal)", "600"}));
  EXPECT_EQ(rows[15], (std::pair<std::string, std::string>{"Schriften", "6"}));
  EXPECT_EQ(rows[16], (std::pair<std::string, std::string>{"", "A"}));
  EXPECT_EQ(rows[21].second, "F");

  f.fonts = {"Only"};
  EXPECT_EQ(PrinterInfoRows(f).size(), 20u) << "few fonts leave the grid at its 20 rows";
}

TEST_F(PrintSettingsLogic, TechnologyWords) {
  EXPECT_EQ(TechnologyWord(0), "Plotter");
  EXPECT_EQ(TechnologyWord(2), "Rasterdrucker");
  EXPECT_EQ(TechnologyWord(4), "Zeichendrucker");
  EXPECT_EQ(TechnologyWord(7), "?");
  EXPECT_EQ(TechnologyWord(-1), "?");
}

}  // namespace
