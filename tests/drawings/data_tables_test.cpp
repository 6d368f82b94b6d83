// The spline data tables show the calculated values of the joint, in the unit system chosen;
// diameters of the dimensions table agree with the textbook formulas d = z mn / cos(beta) and
// db = d cos(alpha_t).
#include "drawings/data_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "drawings/production_fixture.h"

namespace {

using DataTablesTest = ProductionTest;

TEST_F(DataTablesTest, DataFieldsShowTheCalculatedValues) {
  const TToothingData& t = ToothingData;
  struct Case {
    int part;
    const char* meaning;
    long double expected;
  };
  const Case cases[] = {
      {1, "tip diameter", t.da[1]},
      {1, "root form diameter", t.dFf[1]},
      {1, "root diameter", t.df[1]},
      {1, "tooth thickness", t.sn[1]},
      {1, "Pin diameter", t.Dm[1]},
      {1, "Measurement over pins", std::fabs(t.M[1])},
      {2, "tip diameter", -t.da[2]},
      {2, "root form diameter", std::fabs(t.dFf[2])},
      {2, "root diameter", -t.df[2]},
      {2, "tooth gap", t.en[2]},
      {2, "Pin diameter", t.Dm[2]},
      {2, "Measurement between pins", std::fabs(t.M[2])},
      {1, "no.of teeth", 1.0L * t.z[1]},
      {2, "no.of teeth", 1.0L * t.z[1]},
      {1, "module", t.mn},
  };
  for (int part = 1; part <= 2; ++part) {
    TCadRecorder rec;
    CadOpen(kCadScreen);
    SplineDataField(part, 0, 125, 3.5L);
    CadClose();
    EXPECT_TRUE(HasText(rec, TrimStr(SplineTableTitle(part))));
    for (const Case& c : cases) {
      if (c.part != part) continue;
      EXPECT_NEAR(RowValue(rec, c.meaning), D(c.expected), 6e-4) << part << " " << c.meaning;
    }
    const std::string span = "span measurement (k=" + IntStr(t.k[1]) + ")";
    if (part == 1) EXPECT_NEAR(RowValue(rec, span), D(t.W[1]), 6e-4);
  }
}

TEST_F(DataTablesTest, DataTablesOfBothParts) {
  const TToothingData& t = ToothingData;
  TCadRecorder rec;
  CadOpen(kCadScreen);
  SplineDataTable(1, 0, 125, 3.5L);
  CadClose();
  EXPECT_TRUE(HasText(rec, "External involute spline 01 (External spline)"));
  EXPECT_NEAR(RowValue(rec, "module m"), D(t.mn), 1e-9);
  EXPECT_NEAR(RowValue(rec, "no.of teeth z"), t.z[1], 0);
  EXPECT_NEAR(RowValue(rec, "profile shift x*m"), D(t.x[1] * t.mn), 6e-4);
  EXPECT_NEAR(RowValue(rec, "tooth depth h"), D(t.h[1]), 6e-4);
  EXPECT_EQ(RowTexts(rec, "Complement. part").back(), "02");

  rec.Clear();
  CadOpen(kCadScreen);
  SplineDataTable(2, 0, 125, 3.5L);
  CadClose();
  EXPECT_TRUE(HasText(rec, "Internal involute spline 02 (Internal spline)"));
  const std::string pins = "Meas. Dim. Mi (DM=" + LengthStr(t.Dm[2]) + ") nom";
  EXPECT_NEAR(RowValue(rec, pins), std::fabs(D(t.M2Nominal[2])), 6e-4);
  EXPECT_EQ(RowTexts(rec, "Complement. part").back(), "01");
}

TEST_F(DataTablesTest, DimensionsAgreeWithTextbookDiameters) {
  const TToothingData& t = ToothingData;
  const double pi = std::numbers::pi;
  const double d = t.z[1] * D(t.mn) / std::cos(D(t.beta) * pi / 180);
  const double alphaT = std::atan(std::tan(D(t.alpha) * pi / 180) / std::cos(D(t.beta) * pi / 180));
  TCadRecorder rec;
  CadOpen(kCadScreen);
  DimensionsTable(0, 120, 2);
  ToolDimensionsTable(0, 50, 2);
  CadClose();
  const auto pitch = RowTexts(rec, "pitch circle diameter");
  ASSERT_EQ(pitch.size(), 5u);  // meaning, symbol, unit, shaft, hub
  EXPECT_EQ(pitch[2], "mm");
  EXPECT_NEAR(std::strtod(pitch[3].c_str(), nullptr), d, 6e-4);
  EXPECT_NEAR(std::strtod(pitch[4].c_str(), nullptr), d, 6e-4);
  const auto base = RowTexts(rec, "base circle diameter");
  EXPECT_NEAR(std::strtod(base[3].c_str(), nullptr), d * std::cos(alphaT), 6e-4);
  EXPECT_NEAR(std::strtod(base[4].c_str(), nullptr), d * std::cos(alphaT), 6e-4);
  const auto shift = RowTexts(rec, "profile shift coeff.");
  ASSERT_EQ(shift.size(), 5u);
  EXPECT_EQ(shift[2], "");  // no unit for a coefficient
  EXPECT_NEAR(std::strtod(shift[3].c_str(), nullptr), D(t.x[1]), 6e-6);
  EXPECT_NEAR(RowValue(rec, "dedendum of tool"), D(t.hfP0[2]), 6e-4);
  EXPECT_NEAR(RowValue(rec, "addendum coeff of tool"), D(t.haP0mn[2]), 6e-4);
  EXPECT_TRUE(HasText(rec, "DIMENSIONS"));
  EXPECT_TRUE(HasText(rec, "Dimensions of tool"));
}

TEST_F(DataTablesTest, InchUnitsDivideLengthsBy25_4) {
  ConfigVariables.UnitSystem = 1;
  TCadRecorder rec;
  CadOpen(kCadScreen);
  SplineDataField(1, 0, 125, 3.5L);
  CadClose();
  EXPECT_NEAR(RowValue(rec, "tip diameter"), D(ToothingData.da[1]) / 25.4, 6e-4);
}

TEST_F(DataTablesTest, PartOtherThanShaftOrHubDrawsNothing) {
  TCadRecorder rec;
  CadOpen(kCadScreen);
  rec.Clear();
  ClearErrors();
  SplineDataTable(3, 0, 125, 3.5L);
  SplineDataField(0, 0, 125, 3.5L);
  EXPECT_TRUE(rec.Items().empty());
  ASSERT_EQ(ErrorCount(), 1);  // one text is held once
  EXPECT_EQ(ErrorText(1), "Error Radnr !");
  CadClose();
}

}  // namespace
