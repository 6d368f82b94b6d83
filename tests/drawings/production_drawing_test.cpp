// Production drawings and result sheets: dimensions that measure what they say, the sheet
// list, the placements of the Quick sheets, the result picture by the configuration, and the
// message list instead of a drawing after a fatal calculation.
#include "drawings/production_drawing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "drawings/production_fixture.h"

namespace {

using ProductionDrawingTest = ProductionTest;

// Value of the single vertical dimension text, and the distance of the two extension lines
// (colour 3, horizontal) that end at its dimension line.
void CheckDimension(const TCadRecorder& rec, double expected) {
  const TCadPrimitive* text = nullptr;
  for (const auto& p : rec.Items())
    if (p.kind == Kind::Text && std::fabs(D(p.angle) - 90) < 1e-9) text = &p;
  ASSERT_NE(text, nullptr);
  const double value = std::strtod(text->text.c_str(), nullptr);
  EXPECT_NEAR(value, expected, 6e-4);
  std::vector<double> ys;
  for (const auto& p : rec.OfKind(Kind::Line)) {
    if (p.colour != 3 || std::fabs(D(p.y[0] - p.y[1])) > 1e-9) continue;
    // The extension line ends one dimensioning size beyond the text's line.
    if (std::fabs(D(p.x[1] - text->x[0])) < 2 * std::fabs(D(p.x[1] - p.x[0])) &&
        D(p.x[1]) > D(text->x[0]))
      ys.push_back(D(p.y[0]));
  }
  ASSERT_EQ(ys.size(), 2u);
  EXPECT_NEAR(std::fabs(ys[0] - ys[1]), value, 6e-4);
}

TEST_F(ProductionDrawingTest, ViewDimensionsMeasureWhatTheySay) {
  {
    TCadRecorder rec;
    ProductionDrawing(kCadScreen, kSheetDrawingShaft);
    CheckDimension(rec, D(ToothingData.da[1]));
  }
  {
    TCadRecorder rec;
    ProductionDrawing(kCadScreen, kSheetDrawingHub);
    CheckDimension(rec, -D(ToothingData.da[2]));
  }
  EXPECT_FALSE(AbortFlag);
}

TEST_F(ProductionDrawingTest, SheetWindowsOfTheKinds) {
  struct Case {
    int kind;
    double x1, y1, x2, y2;
  };
  const TToothingData& t = ToothingData;
  const double mn = D(t.mn), da1 = D(t.da[1]);
  const Case cases[] = {
      {1, -5 * mn, -0.6 * da1, da1 / 2 + D(t.bGear[1]) + 10 * mn, 0.6 * da1},
      {2, -5 * mn, -1.1 * da1, D(t.bGear[2]) + 5 * mn, 1.1 * da1},
      {3, -5, -5, 130, 130},
      {6, -5, -5, 225, 310},
      {8, -5, -5, 435, 310},
      {10, 0, 0, 160, 120},
      {15, -2, -5, 422, 305},  // the A3 sheet
  };
  for (const Case& c : cases) {
    ProductionDrawing(kCadDxf, static_cast<std::int16_t>(c.kind));
    EXPECT_NEAR(D(PlotSettings.sheetXMin), c.x1, 1e-9) << c.kind;
    EXPECT_NEAR(D(PlotSettings.sheetYMin), c.y1, 1e-9) << c.kind;
    EXPECT_NEAR(D(PlotSettings.sheetXMax), c.x2, 1e-9) << c.kind;
    EXPECT_NEAR(D(PlotSettings.sheetYMax), c.y2, 1e-9) << c.kind;
  }
}

TEST_F(ProductionDrawingTest, ToleranceSheetIsEmpty) {
  TCadRecorder rec;
  ProductionDrawing(kCadDxf, kSheetToleranceToothThickness);
  EXPECT_TRUE(rec.Items().empty());
  EXPECT_TRUE(std::filesystem::exists(CurrentFileName + ".dxf"));
}

TEST_F(ProductionDrawingTest, FatalCalculationShowsMessagesInsteadOfDrawing) {
  AddError("Fatal  : mn = 0 !");
  CalcFatalFlag = true;
  TCadRecorder rec;
  ProductionDrawing(kCadDxf, kSheetQuick3);
  ShowResultPicture();
  EXPECT_TRUE(rec.Items().empty());
  EXPECT_FALSE(std::filesystem::exists(CurrentFileName + ".dxf"));
  EXPECT_FALSE(host_->Records().empty());  // the message list was offered
}

TEST_F(ProductionDrawingTest, KindOutsideTheListWritesNoFile) {
  for (int kind : {-1, 17, 99}) {
    ProductionDrawing(kCadDxf, static_cast<std::int16_t>(kind));
    EXPECT_FALSE(std::filesystem::exists(CurrentFileName + ".dxf")) << kind;
  }
  EXPECT_TRUE(host_->Records().empty());
}

TEST_F(ProductionDrawingTest, ChoiceListProposesTheNextSheet) {
  host_->AnswerChoice(3);
  host_->AnswerChoice(16);
  TCadRecorder rec;
  ProductionDrawing(kCadScreen, kSheetChoose);
  const auto asked = host_->RecordsOf(TDialogKind::Choice);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].prompt, "Please make a choice ..");
  ASSERT_EQ(asked[0].entries.size(), 16u);
  EXPECT_EQ(asked[0].entries[0], "Drawing Shaft");
  EXPECT_EQ(asked[0].entries[15], "return ..");
  EXPECT_EQ(asked[0].helpNumber, 8270);
  EXPECT_EQ(asked[0].selected, 0);
  EXPECT_EQ(asked[1].selected, 3);  // entry 4, after the table of the shaft
  EXPECT_TRUE(HasText(rec, "External involute spline 01 (External spline)"));
  EXPECT_FALSE(AbortFlag);
}

TEST_F(ProductionDrawingTest, QuickSheetWheelsShareTheirCentre) {
  const TToothingData& t = ToothingData;
  // Tool limit diameter: root diameter plus twice the tool's whole depth.
  const double dT = D(t.dfLimit[1] + 2 * (t.hfP0[1] + t.haP0[1]));
  TCadRecorder rec;
  ProductionDrawing(kCadDxf, kSheetQuick);
  int found = 0;
  for (const auto& p : rec.OfKind(Kind::Insert)) {
    if (p.inBlock) continue;
    const double angle = p.text == "RAD2" ? 180 + 180.0 / t.z[1] : 0;
    EXPECT_NEAR(D(p.x[0]), 60, 1e-9);
    EXPECT_NEAR(D(p.y[0]), 60, 1e-9);
    EXPECT_NEAR(D(p.a1), angle, 1e-9);
    EXPECT_NEAR(D(p.sx), 115 / dT, 1e-9);
    ++found;
  }
  EXPECT_EQ(found, 2);
  EXPECT_EQ(HasText(rec, "error messages"), ErrorCount() > 0);

  ClearErrors();
  AddError("Warning: sample");
  rec.Clear();
  ProductionDrawing(kCadDxf, kSheetQuick);
  EXPECT_TRUE(HasText(rec, "error messages"));
  EXPECT_TRUE(HasText(rec, "Warning: sample"));
}

TEST_F(ProductionDrawingTest, Quick3MovesLongTextsAside) {
  for (const bool longText : {false, true}) {
    DrawingTexts[1] = longText ? std::string(35, 'L') : "short one";
    DrawingTexts[2] = "second";
    TCadRecorder rec;
    ProductionDrawing(kCadScreen, kSheetQuick3);
    double x = -1;
    for (const auto& p : rec.OfKind(Kind::Text))
      if (p.text == DrawingTexts[1]) x = D(p.x[0]);
    EXPECT_NEAR(x, longText ? 62 : 12, 1e-9) << longText;
  }
}

TEST_F(ProductionDrawingTest, ResultPictureByConfiguration) {
  struct Case {
    int setting;
    double sheetWidth;
    bool dimensions;  // the "DIMENSIONS" table of the Quick 3 sheet
  };
  const Case cases[] = {{0, 160, true},  {1, 160, false}, {2, 160, true},
                        {3, 440, false}, {6, 160, true},  {42, 160, true}};
  for (const Case& c : cases) {
    ConfigVariables.ResultScreen = c.setting;
    TCadRecorder rec;
    ShowResultPicture();
    EXPECT_EQ(PlotSettings.CadCode, kCadScreen) << c.setting;
    EXPECT_NEAR(D(PlotSettings.sheetWidth), c.sheetWidth, 1e-9) << c.setting;
    EXPECT_EQ(HasText(rec, "DIMENSIONS"), c.dimensions) << c.setting;
    EXPECT_EQ(PrintSettings.PictureKind, c.setting == 3 ? 1 : 3) << c.setting;
  }
}

}  // namespace
