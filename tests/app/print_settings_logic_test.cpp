// Print settings of the print setup: the defaults each kind of picture gets, the scales that are
// refused, and where the printer information rows stand.
#include "app/print_settings_logic.h"

#include <gtest/gtest.h>

#include "common/graphics_settings.h"
#include "common/program_state.h"
#include "graphics/graphics_facade.h"
#include "graphics/graphics_window.h"

namespace {

// A picture whose ink is the frame of its window, drawn without a screen; `left` and `below`
// bulge half circles of that radius out of the left and the bottom edge (a centre line or a
// dimension standing out of its sheet), their farthest points none of their ends.
class FramePicture {
 public:
  explicit FramePicture(const TZoomWindow& w, double left = 0, double below = 0,
                        bool framed = true) {
    InitViewState();
    ProgramSettings.ScreenWidth = 640;
    ProgramSettings.ScreenHeight = 480;
    window_.FormCreate();
    GraphicsWindowInstance = &window_;
    facade_.GrSetWindow(false, false, 0, 0, 1, 1, w.xmin, w.ymin, w.xmax, w.ymax);
    if (!framed) return;
    facade_.GrLine(w.xmin, w.ymin, w.xmax, w.ymin);
    facade_.GrLine(w.xmax, w.ymin, w.xmax, w.ymax);
    facade_.GrLine(w.xmax, w.ymax, w.xmin, w.ymax);
    facade_.GrLine(w.xmin, w.ymax, w.xmin, w.ymin);
    if (left > 0) facade_.GrArc(w.xmin, (w.ymin + w.ymax) / 2, 100, 260, left);
    if (below > 0) facade_.GrArc((w.xmin + w.xmax) / 2, w.ymin, 190, 350, below);
  }
  ~FramePicture() { GraphicsWindowInstance = nullptr; }

 private:
  TGraphicsFacade facade_;
  TGraphicsWindow window_;
};

struct KindCase {
  const char* name;
  int kind;
  double sx, sy;
  int ox, oy;
  bool border;
  std::optional<TPrintOrientation> orientation;
  TPrintableArea printable = {};          // as the printer stands before it turns
  TZoomWindow window = {0, 100, 0, 100};  // xmin, xmax, ymin, ymax
  double overhang = 0;                    // a half circle bulging out of its left edge
  std::optional<TPrintOrientation> turnTo = {};
};

class DefaultsByKind : public ::testing::TestWithParam<KindCase> {};

// Screen pictures, help images and A3 sheets take the configured screendump layout; the A4
// sheet, drawn in millimetres, prints one to one from the corner, portrait; other kinds keep
// what the last print stored and leave the printer's orientation alone.
TEST_P(DefaultsByKind, TakesItsDefaults) {
  const KindCase& c = GetParam();
  InitGraphicsSettings();
  PrintSettings = {.PrintScaleX = 3, .PrintScaleY = 4, .PrintOriginX = 5, .PrintOriginY = 6};
  PrintSettings.ScreendumpScale = 0.5;
  PrintSettings.PrintScaleVertical = 0.75;
  PrintSettings.ScreendumpOriginX = 12;
  PrintSettings.ScreendumpOriginY = 34;
  PrintSettings.ScreendumpBorder = true;
  PrintSettings.PrintOrientation = 1;
  PrintSettings.PictureKind = static_cast<std::int16_t>(c.kind);
  std::optional<FramePicture> picture;  // none for an empty window
  if (c.window.xmax > c.window.xmin) picture.emplace(c.window, c.overhang);
  EXPECT_EQ(SetPrintDefaultsByKind(c.printable, c.turnTo), c.orientation);
  EXPECT_DOUBLE_EQ(PrintSettings.PrintScaleX, c.sx);
  EXPECT_DOUBLE_EQ(PrintSettings.PrintScaleY, c.sy);
  EXPECT_EQ(PrintSettings.PrintOriginX, c.ox);
  EXPECT_EQ(PrintSettings.PrintOriginY, c.oy);
  EXPECT_EQ(PrintSettings.PrintBorder, c.border);
}

constexpr auto kPortrait = TPrintOrientation::Portrait;
constexpr auto kLandscape = TPrintOrientation::Landscape;
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Kinds, DefaultsByKind,
    ::testing::Values(KindCase{"cad_screen", 0, 0.5, 0.75, 12, 34, true, kPortrait},
                      KindCase{"aux_image", 1, 0.5, 0.75, 12, 34, true, kPortrait},
                      KindCase{"a4_sheet", 2, 1.0, 1.0, 0, 0, false, kPortrait},
                      KindCase{"a3_sheet", 3, 0.5, 0.75, 12, 34, true, kPortrait},
                      KindCase{"other", 5, 3.0, 4.0, 5, 6, false, std::nullopt},
                      // 400 units at 0.5 need 200 of 210 - 12 mm: the origin moves to 10
                      // rather than the scale going down.
                      KindCase{"a3_sheet_wider_than_the_page", 3, 0.5, 0.75, 10, 34, true,
                               kPortrait, {297, 210}, {0, 400, 0, 300}},
                      // 230 x 315 mm on 210 x 297: min(210 / 230, 297 / 315) = 0.913.
                      KindCase{"a4_sheet_larger_than_the_page", 2, 0.913, 0.913, 0, 0, false,
                               kPortrait, {210, 297}, {-5, 225, -5, 310}},
                      KindCase{"fitting_window_keeps_its_scale", 3, 0.5, 0.75, 12, 34, true,
                               kPortrait, {210, 297}, {0, 390, 0, 340}},
                      KindCase{"other_kind_is_not_fitted", 5, 3.0, 4.0, 5, 6, false,
                               std::nullopt, {210, 297}, {0, 400, 0, 300}},
                      KindCase{"no_picture_keeps_the_defaults", 2, 1.0, 1.0, 0, 0, false,
                               kPortrait, {210, 297}, {0, 0, 0, 0}},
                      // Ink 1.2 mm left of an A4 window: 211.2 mm on 210 need a lower scale and
                      // the origin moved right; with the origin whole, 209 / 211.2 = 0.989.
                      KindCase{"ink_left_of_the_window_moves_the_origin", 2, 0.989, 0.989, 2, 0,
                               false, kPortrait, {210, 297}, {0, 210, 0, 297}, 1.2},
                      // The same sheet turned: 315 mm high on 210, 210 / 315 = 0.666.
                      KindCase{"a4_sheet_turned_fits_the_turned_page", 2, 0.666, 0.666, 0, 0,
                               false, kLandscape, {210, 297}, {-5, 225, -5, 310}, 0,
                               kLandscape},
                      // 255 mm high from 34 x 297 / 210 = 48.1 mm on 210: 210 / 255 lowers the
                      // scales to 0.411 / 0.617, and 0.617 x 340 = 209.8 mm fit from origin 0.
                      KindCase{"a3_sheet_turned_lowers_the_scales_and_raises_the_origin", 3,
                               0.411, 0.617, 12, 0, true, kLandscape, {297, 210},
                               {0, 390, 0, 340}, 0, kLandscape}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(PrintSettingsLogic, OrientationCodeOneIsPortraitEveryOtherLandscape) {
  EXPECT_EQ(OrientationOfCode(1), TPrintOrientation::Portrait);
  for (int code : {0, 2, 3, -1}) EXPECT_EQ(OrientationOfCode(code), TPrintOrientation::Landscape);
}

// A scale of 0 or below (also what a text that is no number reads as) would print an empty
// sheet: refused, nothing stored. Origins that are no number are 0, as before.
TEST(PrintSettingsLogic, RefusesScalesThatPrintNothing) {
  struct {
    const char *x, *y, *field;
  } cases[] = {{"abc", "1", "Scale x"}, {"0", "1", "Scale x"}, {"-1", "1", "Scale x"},
               {"1", "", "Scale y"},    {"1", "0", "Scale y"}, {"0,5", "2", ""}};
  for (const auto& c : cases) {
    InitGraphicsSettings();
    PrintSettings.PrintScaleX = 3.0;
    std::string error;
    const auto stored = StorePrintDialogValues({c.x, c.y, "15", "abc", true, 1, 1}, error);
    EXPECT_EQ(error, c.field) << c.x << " / " << c.y;
    EXPECT_EQ(stored.has_value(), error.empty());
    EXPECT_DOUBLE_EQ(PrintSettings.PrintScaleX, error.empty() ? 0.5 : 3.0);
    EXPECT_EQ(PrintSettings.PrintOriginX, error.empty() ? 15 : 0);
  }
  EXPECT_EQ(PrintSettings.PrintOriginY, 0);
}

// How far a picture reaches past each edge of 297 x 210 mm (origins x 297 / 210), what would fit.
TEST(PrintSettingsLogic, SaysHowMuchFallsOffThePage) {
  struct {
    double sx, sy;
    int ox, oy;
    TZoomWindow window;
    double left, below;  // half circles out of the left and the bottom edge
    const char* message;
  } cases[] = {
      // clang-format off
      {1, 1, 0, 0, {0, 297, 0, 210}, 0, 0, ""},
      {1, 1, 0, 0, {-5, 225, -5, 310}, 0, 0,
       "105.0 mm at the bottom fall off. Scale 0.666 / 0.666 fits."},
      // 14 mm of a 210 mm page are 19.8 mm here: 19.8 + 280 reaches 2.8 mm past 297; the
      // origin moves, the scale stays.
      {1, 1, 14, 0, {0, 280, 0, 100}, 0, 0, "2.8 mm at the right fall off. Origin 12 / 0 fits."},
      {2, 1, -10, -21, {0, 100, 0, 50}, 0, 0,
       "14.1 mm at the left, 29.7 mm at the top fall off. Origin 0 / 0 fits."},
      {1, 1, 0, -10, {0, 100, 0, 50}, 0, 0, "14.1 mm at the top fall off. Origin 0 / 0 fits."},
      // What is drawn counts, not the window: a line 3 units left of it, 1.5 mm at scale 0.5.
      {0.5, 0.5, 0, 0, {0, 100, 0, 100}, 3, 0, "1.5 mm at the left fall off. Origin 2 / 0 fits."},
      {1, 1, 0, 0, {0, 297, 0, 210}, 2, 0,
       "2.0 mm at the left fall off. Scale 0.988 / 0.988 at origin 2 / 0 fits."},
      // A 10 mm frame at the page's top: the half circle below it stays below it; one 10 mm
      // wide 0.9 mm from the right edge: the half circle left of it stays left of it.
      {1, 1, 0, 0, {0, 297, 195, 205}, 0, 15, ""},
      {1, 1, 200, 0, {0, 10, 0, 100}, 15, 0, ""},
      {1, 1, 0, 0, {0, 0, 0, 0}, 0, 0, ""},  // no picture
      // 200 + 15 mm on 210: 210 / 215 = 0.976.
      {1, 1, 0, 0, {0, 297, 0, 200}, 0, 15,
       "5.0 mm at the bottom fall off. Scale 0.976 / 0.976 fits."}};
  // clang-format on
  for (const auto& c : cases) {
    InitGraphicsSettings();
    PrintSettings.PrintScaleX = c.sx;
    PrintSettings.PrintScaleY = c.sy;
    PrintSettings.PrintOriginX = c.ox;
    PrintSettings.PrintOriginY = c.oy;
    std::optional<FramePicture> picture;
    if (c.window.xmax > c.window.xmin) picture.emplace(c.window, c.left, c.below);
    EXPECT_EQ(PageOverhangMessage({297, 210}),
              *c.message ? "The picture does not fit the page: " + std::string(c.message) : "");
  }
}

// "HHHH" of CAD height 10 at (100, 100) on a 297 x 210 window at scale 1: its cell is 1.6 x 10
// high from 1.2 x 10 above the baseline (turned: 0.7 x 16 to the left), four Arial capitals
// long (an "H" is 0.722 em; the em is 10 / 0.716 mm, or the style's width x 1.1 x 0.8 / 0.441).
TEST(PrintSettingsLogic, ATextInksItsCellAsLongAsItsCapitals) {
  const double natural = 4 * 0.722 * 10 / 0.716, styled = 4 * 0.722 * 5 * 1.1 * 0.8 / 0.441;
  const struct {
    double angle, width, left, top, right, bottom;  // mm from the page's top left corner
  } cases[] = {{0, 0, 100, 98, 100 + natural, 114},
               {0, 5, 100, 98, 100 + styled, 114},
               {90, 0, 88.8, 110 - natural, 104.8, 110}};
  for (const auto& c : cases) {
    InitGraphicsSettings();
    const FramePicture picture({0, 297, 0, 210}, 0, 0, false);
    GraphicsFacade->GrSetTextStyle(0, c.angle, 10, c.width);
    GraphicsFacade->GrOutTextXY(100, 100, "HHHH");
    const auto ink = PrintedInkMm(297);
    ASSERT_TRUE(ink.has_value());
    EXPECT_NEAR(static_cast<double>(ink->left), c.left, 0.1) << c.angle << " " << c.width;
    EXPECT_NEAR(static_cast<double>(ink->top), c.top, 0.1) << c.angle << " " << c.width;
    EXPECT_NEAR(static_cast<double>(ink->right), c.right, 0.1) << c.angle << " " << c.width;
    EXPECT_NEAR(static_cast<double>(ink->bottom), c.bottom, 0.1) << c.angle << " " << c.width;
  }
}

// A text's cell keeps whole pixels, so its ink does not shrink exactly with the scale: the
// defaults of an A4 sheet of one long line (a deep data file's name) put it on the page by the
// measure the message takes, and lower the scale little below what its width at 1 asks.
TEST(PrintSettingsLogic, DefaultsPutALongLineOnThePage) {
  InitGraphicsSettings();
  const FramePicture picture({0, 297, 0, 210}, 0, 0, false);
  GraphicsFacade->GrSetTextStyle(0, 0, 3.0, 0);
  GraphicsFacade->GrOutTextXY(1, 5, std::string(198, 'x'));
  const TPrintedRect whole = PrintedInkMm(297).value();
  PrintSettings.PictureKind = 2;
  SetPrintDefaultsByKind({297, 210}, TPrintOrientation::Landscape);
  EXPECT_EQ(PageOverhangMessage({297, 210}), "");
  EXPECT_GT(PrintSettings.PrintScaleX, 297 / (whole.right - whole.left) - 0.01);
}

TEST(PrintSettingsLogic, PrinterRowsInTheirPlacesAndOneRowPerFont) {
  TPrinterFacts f{.name = "Laser", .technology = 5, .heightMm = 297, .dpiX = 600};
  f.fonts = {"A", "B", "C", "D", "E", "F"};
  const auto rows = PrinterInfoRows(f);
  using Row = std::pair<std::string, std::string>;
  ASSERT_EQ(rows.size(), 22u) << "16 fact rows and six font rows";
  EXPECT_EQ(rows[0], Row("Name", "Laser"));
  EXPECT_EQ(rows[1].second, "") << "a driver version nobody can tell stays empty";
  EXPECT_EQ(rows[2], Row("Technologie", "Metafile"));
  EXPECT_EQ(rows[4], Row("Druckhöhe (mm)", "297"));
  EXPECT_EQ(rows[9], Row("DPI (horizontal)", "600"));
  EXPECT_EQ(rows[15], Row("Schriften", "6"));
  EXPECT_EQ(rows[16], Row("", "A"));
  EXPECT_EQ(rows[21].second, "F");
  f.fonts = {"Only"};
  f.technology = 7;
  EXPECT_EQ(PrinterInfoRows(f).size(), 20u) << "few fonts leave the grid at its 20 rows";
  EXPECT_EQ(PrinterInfoRows(f)[2].second, "?") << "no word for technology 7";
}

}  // namespace
