// Start values, the spline input reset and the example joint of the data set.
#include "calc/toothing_data.h"

#include <gtest/gtest.h>

#include <string>

#include "common/program_state.h"

namespace {

class ToothingDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramStateForTests();
    InitToothingData();
    ResetSplineData();
  }
};

TEST_F(ToothingDataTest, StartValuesBeforeAnyReset) {
  InitToothingData();
  const TToothingData& t = ToothingData;
  EXPECT_EQ(t.alpha, 20);
  EXPECT_EQ(t.mn, 6.5L);
  // The start values hold the hub's teeth as a positive count; the first calculation
  // replaces it by minus the shaft's.
  EXPECT_EQ(t.z[1], 16);
  EXPECT_EQ(t.z[2], 58);
  EXPECT_EQ(t.Dm[1], 12);
  EXPECT_EQ(t.Dm[2], 12);
  EXPECT_EQ(t.toothToleranceText[1], "6 e 27");
  EXPECT_EQ(t.isoToleranceText, "js11");
  EXPECT_EQ(PartNames.partName[1], "Helical Gear");
  EXPECT_EQ(PartNames.drawingNumber[2], "000000");
  EXPECT_EQ(GearMaterialData.GearVariant, 0);
  EXPECT_EQ(GearMaterialData.name[2], "17CrNiMo6");
}

TEST_F(ToothingDataTest, DrawingCountsHaveTheirDefaults) {
  EXPECT_EQ(ToothGraphicsSettings.InvolutePoints, 20);
  EXPECT_EQ(ToothGraphicsSettings.WheelImagingCount, 200);
  EXPECT_EQ(ToothGraphicsSettings.ShapeSteps, 30);
  EXPECT_EQ(ToothGraphicsSettings.FilletSteps, 30);
  EXPECT_EQ(ToothGraphicsSettings.PlanetCount, 3);
  // The reset switches the outline option from its start value 2 to 1.
  EXPECT_EQ(ToothGraphicsSettings.outlineOption, 1);
}

TEST_F(ToothingDataTest, ResetGivesTheSplineDefaults) {
  SplineInputData.MdRIn[1] = 50;
  SplineInputData.ce = 2;
  DrawingTexts[1] = "old title";
  ResetSplineData();
  const TToothingData& t = ToothingData;
  const TSplineInputData& s = SplineInputData;
  EXPECT_EQ(s.MdRIn[1], 0);
  EXPECT_EQ(s.ce, 0);
  EXPECT_TRUE(DrawingTexts[1].empty());
  EXPECT_EQ(t.alpha, 30);
  EXPECT_EQ(t.k[1], 1);
  EXPECT_EQ(t.hfP0mn[2], 0.45L);
  EXPECT_EQ(t.haP0mn[1], 0.55L);
  EXPECT_EQ(t.rhoaP0mn[1], 0.1L);
  EXPECT_EQ(s.PitchMode, 1);
  EXPECT_EQ(s.InputKind[1], 1);
  EXPECT_TRUE(s.ClearanceAsFactor);
  EXPECT_EQ(PartNames.partName[2], "Internal spline");
  EXPECT_EQ(PartNames.drawingNumber[1], "01");
}

TEST_F(ToothingDataTest, NewGivesTheExampleJoint) {
  NewSplineExample();
  const TToothingData& t = ToothingData;
  const TSplineInputData& s = SplineInputData;
  EXPECT_EQ(t.mn, 6.5L);
  EXPECT_EQ(t.alpha, 30);
  EXPECT_EQ(t.z[1], 8);
  EXPECT_EQ(s.MdRIn[1], 82);
  EXPECT_EQ(t.Dm[1], 16);
  EXPECT_EQ(t.Dm[2], 12);
  EXPECT_EQ(t.k[1], 2);
  EXPECT_EQ(s.ShiftGivenFor, 1);
  EXPECT_EQ(s.InputKind[1], 3);
  EXPECT_EQ(s.ShaftDiamMode, 1);
  EXPECT_EQ(s.HubDiamMode, 1);
  EXPECT_FALSE(s.ClearanceAsFactor);
  EXPECT_EQ(s.ce, 1.0L);
  EXPECT_EQ(s.ci, 1.0L);
  EXPECT_EQ(s.cp, 0.3L);
  EXPECT_EQ(t.rhoaP0mn[2], 0.15L);
  EXPECT_EQ(PartNames.partName[1], "External spline");
}

TEST(ToothingTexts, DeviationLettersFollowTheToleranceFields) {
  EXPECT_STREQ(DeviationLetters[5], "cd");
  EXPECT_STREQ(DeviationLetters[10], "h");
  EXPECT_STREQ(ToleranceLabels[3], "js 7");
}

}  // namespace
