// The data tables show the calculated values of the joint; the dimensions table's diameters
// agree with the textbook d = z mn / cos(beta) and db = d cos(alpha_t).
#include "drawings/data_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <numbers>

#include "drawings/production_fixture.h"

namespace {

using DataTablesTest = ProductionTest;

TEST_F(DataTablesTest, TablesShowTheCalculatedValues) {
  const TToothingData& t = ToothingData;
  const double rad = std::numbers::pi / 180;
  const double d = t.z[1] * D(t.mn) / std::cos(D(t.beta) * rad);
  const double db = d * std::cos(std::atan(std::tan(D(t.alpha) * rad) / std::cos(D(t.beta) * rad)));
  TCadRecorder rec;
  CadOpen(kCadScreen);
  SplineDataField(1, 0, 300, 2);
  SplineDataField(2, 100, 300, 2);
  SplineDataTable(1, 0, 200, 2);
  SplineDataTable(2, 100, 200, 2);
  DimensionsTable(0, 100, 2);
  CadClose();
  struct Case {
    const char* first;
    std::size_t cell;
    double expected;
  };
  const std::string pins = "Meas. Dim. Mi (DM=" + LengthStr(t.Dm[2]) + ") nom";
  const Case cases[] = {
      {"tip diameter", 2, D(t.da[1])},
      {"root form diameter", 2, D(t.dFf[1])},
      {"tooth thickness", 2, D(t.sn[1])},
      {"Measurement over pins", 2, D(t.M[1])},
      {"tooth gap", 2, D(t.en[2])},
      {"Measurement between pins", 2, -D(t.M[2])},
      {"module m", 1, D(t.mn)},
      {"tooth depth h", 1, D(t.h[1])},
      {"profile shift x*m", 1, D(t.x[1] * t.mn)},
      {pins.c_str(), 1, -D(t.M2Nominal[2])},
      {"pitch circle diameter", 3, d},
      {"pitch circle diameter", 4, d},
      {"base circle diameter", 3, db},
      {"base circle diameter", 4, db},
      {"profile shift coeff.", 4, D(t.x[2])},
  };
  for (const Case& c : cases) {
    const auto cells = RowTexts(rec, c.first);
    ASSERT_GT(cells.size(), c.cell) << c.first;
    EXPECT_NEAR(std::strtod(cells[c.cell].c_str(), nullptr), c.expected, 6e-4) << c.first;
  }
  EXPECT_TRUE(HasText(rec, "External involute spline 01 (External spline)"));
  // Each part names the other: shaft table left, hub table right on the same row.
  EXPECT_EQ(RowTexts(rec, "Complement. part"),
            (std::vector<std::string>{"Complement. part", "02", "Complement. part", "01"}));
  EXPECT_EQ(RowTexts(rec, "pitch circle diameter")[2], "mm");
}

TEST_F(DataTablesTest, PartOtherThanShaftOrHubDrawsNothing) {
  TCadRecorder rec;
  CadOpen(kCadScreen);
  rec.Clear();
  ClearErrors();
  SplineDataTable(3, 0, 125, 3.5L);
  SplineDataField(0, 0, 125, 3.5L);
  EXPECT_TRUE(rec.Items().empty());
  ASSERT_EQ(ErrorCount(), 1);
  EXPECT_EQ(ErrorText(1), "Error Radnr !");
  CadClose();
}

}  // namespace
