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
  values.Text(TDimensionEdit::cp) = "nan";  // no number: never taken for 0
  values.Text(TDimensionEdit::ce) = "";     // empty: 0
  ReadDimensionValues(values);
  EXPECT_NEAR(SplineInputData.daIn[1], 63.5L, 1e-12L);
  EXPECT_EQ(SplineInputData.cp, 0.3L);
  EXPECT_EQ(SplineInputData.ce, 0);
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

// The values the dialog takes pass the checks of the calculation's start before they are read;
// the example joint (shaft and clearances given, diameters entered) passes as it stands.
struct RefusedValue {
  const char* name;
  TDimensionEdit edit;
  const char* text;
  const char* message;
};

class DimensionRefusalTest : public DimensionModelTest,
                             public ::testing::WithParamInterface<RefusedValue> {};

TEST_P(DimensionRefusalTest, FieldIsNamedAndNothingIsRead) {
  TDimensionDialogValues values = DimensionValuesFromData();
  ASSERT_FALSE(CheckDimensionValues(values));
  const RefusedValue& c = GetParam();
  values.Text(c.edit) = c.text;
  const auto refusal = CheckDimensionValues(values);
  ASSERT_TRUE(refusal);
  EXPECT_EQ(refusal->field, DimensionEditName(c.edit));
  EXPECT_EQ(refusal->message, c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, DimensionRefusalTest,
    ::testing::Values(
        RefusedValue{"negative_fillet", TDimensionEdit::frf1, "-1",
                     "rf1/mn: \"-1\" is not accepted (< 0)"},
        RefusedValue{"negative_clearance", TDimensionEdit::ce, "-3",
                     "ce: \"-3\" is not accepted (< 0)"},
        RefusedValue{"absurd_tip", TDimensionEdit::da1, "1e9",
                     "da1: \"1e9\" is not accepted (out of range)"},
        RefusedValue{"absurd_module", TDimensionEdit::mn, "1e400",
                     "Normal module mn: \"1e400\" is not accepted (out of range)"},
        RefusedValue{"alpha_above_range", TDimensionEdit::wal, "47",
                     "Pressure angle alpha: \"47\" is not accepted (5 < alpha <= 45)"},
        RefusedValue{"nan", TDimensionEdit::mdr1, "nan", "MR1: \"nan\" is not a number"},
        RefusedValue{"inf", TDimensionEdit::dmess2, " inf ", "DM2: \"inf\" is not a number"},
        RefusedValue{"negative_ball", TDimensionEdit::dmess1, "-5",
                     "DM: \"-5\" is not accepted (< 0)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DimensionModelTest, ClosedFieldsAndTheSpanTeethAreJudgedAsTheCalculationUsesThem) {
  TDimensionDialogValues values = DimensionValuesFromData();
  // A closed field shows a calculated value and is no input: the hub's shift is derived here.
  values.Text(TDimensionEdit::xe2) = "nan";
  EXPECT_FALSE(CheckDimensionValues(values));
  // The hub's dimension between balls is typed with or without its sign.
  values.givenFor = 0;
  values.hubKindItem = 2;
  values.Text(TDimensionEdit::mdr2) = "-37.5";
  EXPECT_FALSE(CheckDimensionValues(values));
  values.k[1] = -5;
  ASSERT_TRUE(CheckDimensionValues(values));
  EXPECT_EQ(CheckDimensionValues(values)->field, "SpinEdit_kmess1");
  values.k[1] = 9;  // more teeth than the shaft has
  ASSERT_TRUE(CheckDimensionValues(values));
  EXPECT_EQ(CheckDimensionValues(values)->message, "k: \"9\" is not accepted (> z)");
}

}  // namespace
