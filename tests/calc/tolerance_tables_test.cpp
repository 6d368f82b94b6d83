// ISO 286 grades and DIN 3967 tooth thickness tables against the published standard values.
#include "calc/tolerance_tables.h"

#include <gtest/gtest.h>

namespace {

struct GradeCase {
  const char* source;
  int grade;  // 1..8 = IT4..IT11
  long double d;
  int expected;
};

class ToleranceGradeTest : public ::testing::TestWithParam<GradeCase> {};

TEST_P(ToleranceGradeTest, MatchesIso286) {
  const GradeCase& c = GetParam();
  EXPECT_EQ(ToleranceGradeIT(c.grade, c.d), c.expected) << c.source;
  // A hub of the same size carries a negative diameter and must find the same row.
  EXPECT_EQ(ToleranceGradeIT(c.grade, -c.d), c.expected) << c.source << " (hub)";
}

// Values of ISO 286-1:2010 Table 1 (standard tolerance grades, µm).
INSTANTIATE_TEST_SUITE_P(Iso286Table1, ToleranceGradeTest,
                         ::testing::Values(GradeCase{"ISO 286-1 up to 3, IT7", 4, 2.0L, 10},
                                           GradeCase{"ISO 286-1 18..30, IT6", 3, 25.0L, 13},
                                           GradeCase{"ISO 286-1 30..50, IT7", 4, 40.0L, 25},
                                           GradeCase{"ISO 286-1 50..80, IT8", 5, 65.0L, 46},
                                           GradeCase{"ISO 286-1 80..120, IT6", 3, 100.0L, 22},
                                           GradeCase{"ISO 286-1 120..180, IT11", 8, 150.0L, 250},
                                           GradeCase{"ISO 286-1 250..315, IT7", 4, 300.0L, 52},
                                           GradeCase{"ISO 286-1 400..500, IT9", 6, 450.0L, 155},
                                           GradeCase{"ISO 286-1 500..630, IT5", 2, 600.0L, 32},
                                           GradeCase{"ISO 286-1 500..630, IT9", 6, 600.0L, 175},
                                           GradeCase{"ISO 286-1 630..800, IT4", 1, 700.0L, 25},
                                           GradeCase{"ISO 286-1 630..800, IT5", 2, 700.0L, 36},
                                           GradeCase{"ISO 286-1 630..800, IT8", 5, 700.0L, 125},
                                           GradeCase{"ISO 286-1 800..1000, IT5", 2, 900.0L, 40},
                                           GradeCase{"ISO 286-1 1000..1250, IT4", 1, 1100.0L, 33},
                                           GradeCase{"ISO 286-1 1000..1250, IT5", 2, 1100.0L, 47},
                                           GradeCase{"ISO 286-1 1000..1250, IT7", 4, 1100.0L, 105},
                                           GradeCase{"ISO 286-1 1000..1250, IT8", 5, 1100.0L, 165},
                                           GradeCase{"ISO 286-1 1250..1600, IT4", 1, 1400.0L, 39},
                                           GradeCase{"ISO 286-1 1250..1600, IT5", 2, 1400.0L, 55},
                                           GradeCase{"ISO 286-1 1250..1600, IT7", 4, 1400.0L, 125},
                                           GradeCase{"ISO 286-1 1250..1600, IT8", 5, 1400.0L, 195},
                                           GradeCase{"ISO 286-1 1600..2000, IT4", 1, 1800.0L, 46},
                                           GradeCase{"ISO 286-1 1600..2000, IT5", 2, 1800.0L, 65},
                                           GradeCase{"ISO 286-1 2000..2500, IT4", 1, 2200.0L, 55},
                                           GradeCase{"ISO 286-1 2000..2500, IT5", 2, 2200.0L, 78},
                                           GradeCase{"ISO 286-1 2000..2500, IT7", 4, 2200.0L, 175},
                                           GradeCase{"ISO 286-1 2500..3150, IT4", 1, 2800.0L, 68},
                                           GradeCase{"ISO 286-1 2500..3150, IT5", 2, 2800.0L, 96},
                                           GradeCase{"ISO 286-1 2500..3150, IT6", 3, 2800.0L, 135},
                                           GradeCase{"ISO 286-1 2500..3150, IT11", 8, 2800.0L,
                                                     1350}));

TEST(ToleranceGradeIT, RangeLimitsBelongToTheLowerRow) {
  // ISO ranges run "over a up to b": 3.0 is in the first row, just above it in the second.
  EXPECT_EQ(ToleranceGradeIT(4, 3.0L), 10);
  EXPECT_EQ(ToleranceGradeIT(4, 3.02L), 12);
  EXPECT_EQ(ToleranceGradeIT(4, -3.0L), 10);
  EXPECT_EQ(ToleranceGradeIT(4, -3.02L), 12);
  EXPECT_EQ(ToleranceGradeIT(8, 2500.0L), 1100);
  EXPECT_EQ(ToleranceGradeIT(8, 2500.01L), 1350);
  EXPECT_EQ(ToleranceGradeIT(8, 1e7L), 1350);
}

TEST(ToleranceGradeIT, GradeOutsideTheTableGivesZero) {
  EXPECT_EQ(ToleranceGradeIT(0, 50), 0);
  EXPECT_EQ(ToleranceGradeIT(9, 50), 0);
}

TEST(DiameterSteps, RowBoundaries) {
  EXPECT_EQ(ISODiameterStep(2), 1);
  EXPECT_EQ(ISODiameterStep(3), 2);
  EXPECT_EQ(ISODiameterStep(499), 13);
  EXPECT_EQ(ISODiameterStep(500), 14);
  EXPECT_EQ(ISODiameterStep(2499), 20);
  EXPECT_EQ(ISODiameterStep(2500), 21);
  EXPECT_EQ(DINDiameterStep(9), 1);
  EXPECT_EQ(DINDiameterStep(10), 2);
  EXPECT_EQ(DINDiameterStep(124), 3);
  EXPECT_EQ(DINDiameterStep(125), 4);
  EXPECT_EQ(DINDiameterStep(6299), 10);
  EXPECT_EQ(DINDiameterStep(6300), 11);
  EXPECT_EQ(DINDiameterStep(20000), 11);
}

TEST(ToothThickness, Din3967Series27cdAt100mm) {
  // DIN 3967, d over 50 up to 125: deviation cd = -70 µm, tolerance series 27 = 100 µm,
  // so the tooth thickness lies between -70 and -170 µm.
  const int upper = -ToothThicknessDeviation(6, 100.0L);
  const int lower = upper - ToothThicknessTolerance(7, 100.0L);
  EXPECT_EQ(upper, -70);
  EXPECT_EQ(lower, -170);
  // The hub of the same size (negative diameter) gets the same allowances.
  EXPECT_EQ(ToothThicknessDeviation(6, -100.0L), 70);
  EXPECT_EQ(ToothThicknessTolerance(7, -100.0L), 100);
}

TEST(ToothThickness, FieldHIsZeroInEveryRow) {
  for (long double d :
       {5.0L, 30.0L, 100.0L, 200.0L, 400.0L, 800.0L, 1200.0L, 2000.0L, 3000.0L, 5000.0L, 8000.0L}) {
    EXPECT_EQ(ToothThicknessDeviation(11, d), 0) << static_cast<double>(d);
  }
}

TEST(ToothThickness, OutOfRangeIndexesGiveZero) {
  EXPECT_EQ(ToothThicknessDeviation(0, 100), 0);
  EXPECT_EQ(ToothThicknessDeviation(12, 100), 0);
  EXPECT_EQ(ToothThicknessTolerance(0, 100), 0);
  EXPECT_EQ(ToothThicknessTolerance(11, 100), 0);
}

}  // namespace
