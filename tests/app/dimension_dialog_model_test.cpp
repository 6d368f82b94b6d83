// The dimension dialog's values without widgets: the dimension command around the dialog, and
// reading the values back without rounding what was not typed.
#include "app/dimension_dialog_model.h"

#include <gtest/gtest.h>

#include "app/startup.h"
#include "calc/toothing_data.h"
#include "common/formatting.h"
#include "common/program_state.h"

namespace {

class DimensionModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitModules();
    NewSplineExample();
  }
  void TearDown() override {
    InstallDimensionDialog(nullptr);
    ConfigVariables.UnitSystem = 0;
  }
};

TEST_F(DimensionModelTest, CommandWithoutAWindowIsCancelled) {
  DataModified = false;
  EditDimensions();
  EXPECT_TRUE(AbortFlag);
  EXPECT_FALSE(DataModified);
}

TEST_F(DimensionModelTest, CommandCalculatesAfterOk) {
  AbortFlag = true;  // left over from an earlier command
  bool shown = false;
  InstallDimensionDialog([&] {
    shown = true;
    EXPECT_FALSE(AbortFlag);
  });
  EditDimensions();
  EXPECT_TRUE(shown);
  EXPECT_FALSE(AbortFlag);
  EXPECT_TRUE(DataModified);
  // Reference diameter of the example, z m = 8 x 6.5.
  EXPECT_NEAR(ToothingData.d[1], 52.0L, 1e-12L);
}

TEST_F(DimensionModelTest, CommandCancelledChangesNothing) {
  DataModified = false;
  InstallDimensionDialog([] { AbortFlag = true; });
  EditDimensions();
  EXPECT_TRUE(AbortFlag);
  EXPECT_FALSE(DataModified);
  EXPECT_EQ(ToothingData.d[1], 0);  // not calculated
}

TEST_F(DimensionModelTest, UntouchedInchFieldsKeepTheirMillimetres) {
  ConfigVariables.UnitSystem = 1;
  TDimensionDialogValues values = DimensionValuesFromData();
  // 6.5 mm shows as 0.25591 in; read back from that text it would be 6.500114 mm.
  ASSERT_NE(StrToReal(values.Text(TDimensionEdit::mn)) * 25.4L, 6.5L);
  ReadDimensionValues(values);
  EXPECT_EQ(ToothingData.mn, 6.5L);
  EXPECT_EQ(SplineInputData.MdRIn[1], 82.0L);
  EXPECT_EQ(SplineInputData.daIn[1], 61.0L);
  // What is typed is read in inches.
  values.Text(TDimensionEdit::da1) = "2,5";
  values.Text(TDimensionEdit::cp) = "abc";
  ReadDimensionValues(values);
  EXPECT_NEAR(SplineInputData.daIn[1], 63.5L, 1e-12L);
  EXPECT_EQ(SplineInputData.cp, 0);
  EXPECT_EQ(ToothingData.mn, 6.5L);
}

TEST_F(DimensionModelTest, ZeroModuleIsNotCalculated) {
  ToothingData.mn = 0;
  EXPECT_FALSE(RecalcDimensionData());
  EXPECT_FALSE(RecalcDimensionData());
  EXPECT_EQ(ErrorCount(), 1);  // once, however often it is met
  EXPECT_EQ(ErrorText(1), "Fatal  : mn = 0 !");
  EXPECT_TRUE(CalcFatalFlag);
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(ToothingData.d[1], 0);
}

}  // namespace
