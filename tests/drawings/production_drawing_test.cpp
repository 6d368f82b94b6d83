// Production drawings and result sheets: dimensions that measure what they say, the sheet
// list, the Quick sheet's wheels, the result picture by the configuration, and the message
// list instead of a drawing.
#include "drawings/production_drawing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "drawings/production_fixture.h"

namespace {

using ProductionDrawingTest = ProductionTest;

TEST_F(ProductionDrawingTest, ViewDimensionsMeasureWhatTheySay) {
  for (const auto kind : {kSheetDrawingShaft, kSheetDrawingHub}) {
    TCadRecorder rec;
    ProductionDrawing(kCadScreen, kind);
    const auto texts = rec.OfKind(Kind::Text);  // a copy: `text` points into it
    const TCadPrimitive* text = nullptr;        // the one vertical text: the dimension's
    for (const auto& p : texts)
      if (std::fabs(D(p.angle) - 90) < 1e-9) text = &p;
    ASSERT_NE(text, nullptr);
    const double value = std::strtod(text->text.c_str(), nullptr);
    EXPECT_NEAR(value, std::fabs(D(ToothingData.da[kind])), 6e-4);
    // The two extension lines (colour 3, horizontal) end one size beyond the dimension line,
    // which runs one size beyond the text.
    const long double end = text->x[0] + 2 * PlotSettings.dimensionSize;
    std::vector<double> ys;
    for (const auto& p : rec.OfKind(Kind::Line))
      if (p.colour == 3 && p.y[0] == p.y[1] && std::fabs(D(p.x[1] - end)) < 1e-9)
        ys.push_back(D(p.y[0]));
    ASSERT_EQ(ys.size(), 2u);
    EXPECT_NEAR(std::fabs(ys[0] - ys[1]), value, 6e-4);
  }
}

TEST_F(ProductionDrawingTest, NoDrawingAfterAFatalCalculationOrForAnUnknownKind) {
  TCadRecorder rec;
  for (int kind : {-1, 17}) ProductionDrawing(kCadDxf, static_cast<std::int16_t>(kind));
  EXPECT_TRUE(host_->Records().empty());
  CalcFatalFlag = true;
  AddError("Fatal  : mn = 0 !");
  ProductionDrawing(kCadDxf, kSheetQuick3);
  ShowResultPicture();
  EXPECT_TRUE(rec.Items().empty());
  EXPECT_FALSE(std::filesystem::exists(CurrentFileName + ".dxf"));
  EXPECT_FALSE(host_->Records().empty());  // the message list instead
}

TEST_F(ProductionDrawingTest, ChoiceListProposesTheNextSheet) {
  host_->AnswerChoice(3);
  host_->AnswerChoice(16);
  TCadRecorder rec;
  ProductionDrawing(kCadScreen, kSheetChoose);
  const auto asked = host_->RecordsOf(TDialogKind::Choice);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].entries.size(), 16u);
  EXPECT_EQ(asked[0].entries[15], "return ..");
  EXPECT_EQ(asked[0].selected, 0);
  EXPECT_EQ(asked[1].selected, 3);  // entry 4, after the table of the shaft (entry 3)
  EXPECT_TRUE(HasText(rec, "External involute spline 01 (External spline)"));
}

TEST_F(ProductionDrawingTest, QuickSheetWheelsShareTheirCentre) {
  const TToothingData& t = ToothingData;
  // Tool limit diameter: root diameter plus twice the tool's whole depth.
  const double scale = 115 / D(t.dfLimit[1] + 2 * (t.hfP0[1] + t.haP0[1]));
  ClearErrors();
  TCadRecorder rec;
  ProductionDrawing(kCadDxf, kSheetQuick);
  int found = 0;
  for (const auto& p : rec.OfKind(Kind::Insert)) {
    if (p.inBlock) continue;
    ++found;
    EXPECT_EQ(std::hypot(D(p.x[0]) - 60, D(p.y[0]) - 60), 0);
    EXPECT_NEAR(D(p.a1), p.text == "RAD2" ? 180 + 180.0 / t.z[1] : 0, 1e-9);
    EXPECT_NEAR(D(p.sx), scale, 1e-9);
  }
  EXPECT_EQ(found, 2);
  EXPECT_FALSE(HasText(rec, "error messages"));
}

TEST_F(ProductionDrawingTest, ResultPictureByConfiguration) {
  struct Case {
    int setting;
    double sheetWidth;
    bool quick3;  // its "DIMENSIONS" table
  };
  // The Quick sheet (1) grows to the right: its data fields find no free place beside the
  // wheel inside 160 mm.
  for (const Case& c : {Case{0, 160, true}, Case{1, 0, false}, Case{3, 440, false},
                        Case{6, 160, true}, Case{42, 160, true}}) {
    ConfigVariables.ResultScreen = c.setting;
    TCadRecorder rec;
    ShowResultPicture();
    EXPECT_EQ(PlotSettings.CadCode, kCadScreen) << c.setting;
    if (c.sheetWidth > 0) {
      EXPECT_NEAR(D(PlotSettings.sheetWidth), c.sheetWidth, 1e-9) << c.setting;
    } else {
      EXPECT_GT(D(PlotSettings.sheetWidth), 160 + 20) << c.setting;
    }
    EXPECT_EQ(HasText(rec, "DIMENSIONS"), c.quick3) << c.setting;
  }
}

}  // namespace
