// The spline joint calculation: the example joint, a DIN 5480 joint, round trips from every
// kind of input, repeatability and bad inputs. Reference values come from the involute
// formulas evaluated independently (DIN 5480 dimensions, ISO 21771 over-ball geometry).
#include "calc/spline_joint.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "calc/explained_messages.h"
#include "calc/toothing_data.h"
#include "common/guarded_math.h"
#include "common/message_list.h"
#include "common/program_state.h"

namespace {

bool Listed(const std::string& text) {
  for (int i = 1; i <= ErrorList.count; ++i) {
    if (ErrorList.messages[i] == text) return true;
  }
  return false;
}

bool ListedStartingWith(const std::string& text) {
  for (int i = 1; i <= ErrorList.count; ++i) {
    if (ErrorList.messages[i].rfind(text, 0) == 0) return true;
  }
  return false;
}

std::string Messages() {
  std::string all;
  for (int i = 1; i <= ErrorList.count; ++i) all += ErrorList.messages[i] + "\n";
  return all;
}

double D(long double v) {
  return static_cast<double>(v);
}

// DIN 5480 W 45x2x21: m 2, z 21, alpha 30, shaft x 0.2; the reset tool factors
// (0.45 / 0.55 / 0.1) and clearances of 0.1 m.
void Din5480W45x2x21() {
  TToothingData& t = ToothingData;
  t.mn = 2, t.alpha = 30, t.z[1] = 21, t.x[1] = 0.2L, t.k[1] = t.k[2] = 0, t.Dm[1] = t.Dm[2] = 0;
  TSplineInputData& s = SplineInputData;
  s.ShiftGivenFor = 1, s.InputKind[1] = 1, s.ClearanceAsFactor = true;
  s.cemn = s.cimn = 0.1L, s.cpmn = 0;
}

class SplineJointTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramStateForTests();
    InitMessageList();
    InitToothingData();
    ResetSplineData();
  }
};

TEST_F(SplineJointTest, ExampleJoint) {
  NewSplineExample();
  CalcSplineJoint();
  const TToothingData& t = ToothingData;
  const TSplineInputData& s = SplineInputData;
  EXPECT_FALSE(CalcFatalFlag);
  EXPECT_EQ(ErrorList.count, 0) << Messages();

  // x of the shaft: root of M(x) = 82 for z 8, m 6.5, alpha 30, ball 16 (0.269225 by an
  // independent high-precision solve of the over-ball equation).
  EXPECT_NEAR(D(t.x[1]), 0.269225, 2e-5);
  // Hub: space width = shaft tooth thickness + 0.3, so x2 = -x1 - cp / (2 m tan alpha).
  EXPECT_NEAR(D(t.x[2]), D(-t.x[1] - 0.3L / (2 * 6.5L * std::tan(kPi / 6))), 1e-9);
  EXPECT_NEAR(D(t.x[2]), -0.3092, 1e-4);
  EXPECT_NEAR(D(s.enIn[2]), D(s.snIn[1] + s.cp), 1e-9);
  EXPECT_NEAR(D(t.en[2]), D(t.sn[1] + 0.3L), 1e-6);
  EXPECT_EQ(t.k[1], 2);
  // Span over 2 teeth: m cos(alpha) (1.5 pi + z inv(alpha)) + 2 x m sin(alpha).
  EXPECT_NEAR(D(s.WIn[1]), 30.697, 1e-3);
  EXPECT_NEAR(D(s.MdRIn[1]), 82.000, 1e-6);
  // The standard ball at the shift found (x1 0.269), not at x = 0 (13.5).
  EXPECT_NEAR(D(s.DmDIN[1]), 16.2, 1e-9);
  // Between balls in the hub (ball 12): -37.5044 by the independent solve.
  EXPECT_NEAR(D(s.MdRIn[2]), -37.5044, 1e-3);
  // Root form diameter of the shaft.
  EXPECT_NEAR(D(t.dFf[1]), 49.254, 1e-3);

  // Engine values: d = z m, db = d cos(alpha), and the entered diameters with clearances 1.
  EXPECT_NEAR(D(t.d[1]), 52, 1e-9);
  EXPECT_NEAR(D(t.db[1]), 45.033, 1e-3);
  EXPECT_NEAR(D(t.df[1]), 48, 1e-6);
  EXPECT_NEAR(D(t.da[1]), 61, 1e-6);
  EXPECT_NEAR(D(t.df[2]), -63, 1e-6);
  EXPECT_NEAR(D(t.da[2]), -50, 1e-6);
}

TEST_F(SplineJointTest, Din5480W45x2x21) {
  Din5480W45x2x21();
  CalcSplineJoint();
  const TToothingData& t = ToothingData;
  const TSplineInputData& s = SplineInputData;
  ASSERT_FALSE(CalcFatalFlag) << Messages();
  // DIN 5480 W 45x2x21: da1 = 44.6, df1 = 40.6, hub da2 = 41, df2 = 45 (shown positive).
  EXPECT_NEAR(D(t.da[1]), 44.6, 1e-6);
  EXPECT_NEAR(D(t.df[1]), 40.6, 1e-6);
  EXPECT_NEAR(D(t.da[2]), -41, 1e-6);
  EXPECT_NEAR(D(t.df[2]), -45, 1e-6);
  EXPECT_NEAR(D(s.daIn[1]), 44.6, 1e-9);
  EXPECT_NEAR(D(s.dfIn[2]), 45, 1e-9);
  EXPECT_NEAR(D(s.ce), 0.2, 1e-9);
  EXPECT_NEAR(D(s.ci), 0.2, 1e-9);
  EXPECT_NEAR(D(t.x[2]), -0.2, 1e-9);
  EXPECT_NEAR(D(s.cp), 0, 1e-12);
  EXPECT_NEAR(D(t.en[2] - t.sn[1]), 0, 1e-9);
}

TEST_F(SplineJointTest, BacklashIsAResultWhenEachPartIsGiven) {
  Din5480W45x2x21();
  SplineInputData.ShiftGivenFor = 0;
  SplineInputData.InputKind[2] = 1;
  ToothingData.x[2] = -0.25L;
  CalcSplineJoint();
  ASSERT_FALSE(CalcFatalFlag) << Messages();
  // en2 - sn1 = m (pi/2 - 2 x2 tan a) - m (pi/2 + 2 x1 tan a) = -2 m tan a (x1 + x2).
  const long double expected = -2 * 2 * std::tan(kPi / 6) * (0.2L - 0.25L);
  EXPECT_NEAR(D(SplineInputData.cp), D(expected), 1e-9);
  EXPECT_NEAR(D(SplineInputData.cpmn), D(expected / 2), 1e-9);
}

// The diameters derived from the mating part follow the final diameter of the given part, so
// the entered clearance holds after one calculation whatever the stored diameters were.
struct DiameterCase {
  const char* name;
  int given;
};

class DerivedDiameterTest : public SplineJointTest,
                            public ::testing::WithParamInterface<DiameterCase> {};

TEST_P(DerivedDiameterTest, OneCalculationGivesTheEnteredClearance) {
  Din5480W45x2x21();
  SplineInputData.ShiftGivenFor = GetParam().given;
  SplineInputData.InputKind[2] = 1;
  ToothingData.x[2] = -0.2L;
  SplineInputData.ShaftDiamMode = 0;
  SplineInputData.HubDiamMode = 0;
  // Stale diameters from an earlier data set.
  SplineInputData.daIn[1] = 10;
  SplineInputData.dfIn[1] = 10;
  SplineInputData.daIn[2] = 10;
  SplineInputData.dfIn[2] = 10;
  CalcSplineJoint();
  ASSERT_FALSE(CalcFatalFlag) << Messages();
  const TSplineInputData& s = SplineInputData;
  const TToothingData& t = ToothingData;
  EXPECT_NEAR(D((s.dfIn[2] - s.daIn[1]) / 2), 0.2, 1e-9);
  EXPECT_NEAR(D((s.daIn[2] - s.dfIn[1]) / 2), 0.2, 1e-9);
  // The engine's clearances between tip and mating root agree.
  EXPECT_NEAR(D(t.c[1]), 0.2, 1e-9);
  EXPECT_NEAR(D(t.c[2]), 0.2, 1e-9);
  // DIN 5480 W 45x2x21 diameters of the given part from the reset tool factors.
  if (GetParam().given == 1) {
    EXPECT_NEAR(D(s.daIn[1]), 44.6, 1e-9);
    EXPECT_NEAR(D(s.dfIn[1]), 40.6, 1e-9);
  } else {
    EXPECT_NEAR(D(s.dfIn[2]), 45, 1e-9);
    EXPECT_NEAR(D(s.daIn[2]), 41, 1e-9);
  }
}

INSTANTIATE_TEST_SUITE_P(GivenPart, DerivedDiameterTest,
                         ::testing::Values(DiameterCase{"shaft", 1}, DiameterCase{"hub", 2}),
                         [](const auto& info) { return std::string(info.param.name); });

// Round trips: x -> measurements -> x, for every way the data can be given. At x 1.3 the span
// (29.04 over 5 teeth) lies beyond the 24 mm that 4 teeth, the standard at x = 0, reach; at 45
// degrees and 28 teeth, x 0.2408, the 8 teeth picked at x = 0 give x -1.33, off the flank.
struct RoundTripCase {
  const char* name;
  int given;  // ShiftGivenFor
  int part;   // the part whose x is derived from a measurement
  int kind;   // 2 sn/en, 3 over balls, 4 span
  int z;
  long double mn, x1, x2, Dm1, Dm2;
  bool teethOpen = false;  // the span given without the numbers of teeth
  long double alpha = 30;
};

class RoundTripTest : public SplineJointTest,
                      public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(RoundTripTest, ShiftComesBack) {
  const RoundTripCase& c = GetParam();
  TToothingData& t = ToothingData;
  TSplineInputData& s = SplineInputData;
  t.mn = c.mn;
  t.alpha = c.alpha;
  t.z[1] = c.z;
  t.x[1] = c.x1;
  t.x[2] = c.x2;
  t.Dm[1] = c.Dm1;
  t.Dm[2] = c.Dm2;
  t.k[1] = 0;
  t.k[2] = c.teethOpen ? 0 : 1;
  s.ShiftGivenFor = c.given;
  s.InputKind[1] = 1;
  s.InputKind[2] = 1;
  s.ClearanceAsFactor = true;
  s.cemn = s.cimn = 0.1L;
  s.cpmn = 0.05L;
  CalcSplineJoint();
  ASSERT_FALSE(CalcFatalFlag) << Messages();
  const long double expected = t.x[c.part];
  const int32_t teeth = t.k[1], hubTeeth = t.k[2];

  s.InputKind[c.part] = static_cast<int16_t>(c.kind);
  t.x[c.part] = 0.9L;  // must be replaced
  if (c.teethOpen) t.k[1] = t.k[2] = 0;
  CalcSplineJoint();
  ASSERT_FALSE(CalcFatalFlag) << Messages();
  EXPECT_NEAR(D(t.x[c.part]), D(expected), 1e-4);
  // The same teeth, and the finishing limit a span over them at its own shift:
  // m cos a ((k - 0.5) pi + z inv a) + 2 x m sin a.
  EXPECT_EQ(t.k[1], teeth);
  EXPECT_EQ(t.k[2], hubTeeth);
  const long double a = c.alpha * kPi / 180;
  EXPECT_NEAR(D(t.WFinMax[1]),
              D(c.mn * std::cos(a) * ((teeth - 0.5L) * kPi + c.z * Inv(a)) +
                2 * t.xeFinMax[1] * c.mn * std::sin(a)),
              1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    EveryInput, RoundTripTest,
    ::testing::Values(
        RoundTripCase{"each_shaft_thickness", 0, 1, 2, 21, 2, 0.2L, -0.3L, 0, 0},
        RoundTripCase{"each_shaft_balls", 0, 1, 3, 21, 2, 0.2L, -0.3L, 0, 0},
        RoundTripCase{"each_shaft_span", 0, 1, 4, 21, 2, 0.2L, -0.3L, 0, 0},
        RoundTripCase{"each_hub_space", 0, 2, 2, 21, 2, 0.2L, -0.3L, 0, 0},
        RoundTripCase{"each_hub_balls", 0, 2, 3, 21, 2, 0.2L, -0.3L, 0, 0},
        RoundTripCase{"each_hub_span", 0, 2, 4, 21, 2, 0.2L, -0.3L, 0, 0},
        RoundTripCase{"shaft_given_thickness", 1, 1, 2, 8, 6.5L, 0.27L, 0, 16, 12},
        RoundTripCase{"shaft_given_balls", 1, 1, 3, 8, 6.5L, 0.27L, 0, 16, 12},
        RoundTripCase{"shaft_given_span", 1, 1, 4, 8, 6.5L, 0.27L, 0, 16, 12},
        RoundTripCase{"hub_given_space", 2, 2, 2, 8, 6.5L, 0, -0.31L, 16, 12},
        RoundTripCase{"hub_given_balls_large_ball", 2, 2, 3, 8, 6.5L, 0, -0.31L, 16, 12},
        RoundTripCase{"hub_given_span", 2, 2, 4, 8, 6.5L, 0, -0.31L, 16, 12},
        RoundTripCase{"each_hub_balls_odd", 0, 2, 3, 13, 1.25L, 0.4L, -0.2L, 0, 0},
        RoundTripCase{"shaft_span_x_1_3_teeth_open", 0, 1, 4, 21, 2, 1.3L, -1.3L, 0, 0, true},
        RoundTripCase{"shaft_span_first_teeth_off_the_flank", 1, 1, 4, 28, 2, 0.2408L, 0, 0, 0,
                      true, 45},
        RoundTripCase{"shaft_span_at_the_top_of_its_range", 0, 1, 4, 21, 2, 1.5L, -1.5L, 0, 0},
        RoundTripCase{"shaft_span_at_the_foot_of_its_range", 0, 1, 4, 21, 2, -1.5L, 1.5L, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SplineJointTest, HubWithLargeBallFoundAwayFromZeroShift) {
  // The 12 mm ball rests on the flanks of the example hub only below x = -0.11; the search
  // must still find x2 = -0.3092 (between-ball dimension -37.5044 by the independent solve).
  NewSplineExample();
  SplineInputData.ShiftGivenFor = 0;
  SplineInputData.InputKind[1] = 1;
  ToothingData.x[1] = 0.269225L;
  // Each part given on its own: the hub's entered diameters are its own inputs now.
  SplineInputData.dfIn[2] = 63;
  SplineInputData.daIn[2] = 50;
  SplineInputData.InputKind[2] = 3;
  SplineInputData.MdRIn[2] = -37.504429L;
  CalcSplineJoint();
  ASSERT_FALSE(CalcFatalFlag) << Messages();
  EXPECT_NEAR(D(ToothingData.x[2]), -0.309196, 1e-5);
}

TEST_F(SplineJointTest, SecondCalculationChangesNothing) {
  NewSplineExample();
  CalcSplineJoint();
  ASSERT_FALSE(CalcFatalFlag);
  const TToothingData first = ToothingData;
  const TSplineInputData firstIn = SplineInputData;
  CalcSplineJoint();
  ASSERT_FALSE(CalcFatalFlag);
  const TToothingData& t = ToothingData;
  const TSplineInputData& s = SplineInputData;
  for (int p = 1; p <= 2; ++p) {
    const std::vector<std::pair<const char*, std::pair<long double, long double>>> fields = {
        {"x", {first.x[p], t.x[p]}},
        {"d", {first.d[p], t.d[p]}},
        {"df", {first.df[p], t.df[p]}},
        {"da", {first.da[p], t.da[p]}},
        {"dFf", {first.dFf[p], t.dFf[p]}},
        {"dFa", {first.dFa[p], t.dFa[p]}},
        {"c", {first.c[p], t.c[p]}},
        {"hfP0mn", {first.hfP0mn[p], t.hfP0mn[p]}},
        {"haP0mn", {first.haP0mn[p], t.haP0mn[p]}},
        {"sn", {first.sn[p], t.sn[p]}},
        {"en", {first.en[p], t.en[p]}},
        {"W", {first.W[p], t.W[p]}},
        {"M", {first.M[p], t.M[p]}},
        {"Dm", {first.Dm[p], t.Dm[p]}},
        {"MdRIn", {firstIn.MdRIn[p], s.MdRIn[p]}},
        {"WIn", {firstIn.WIn[p], s.WIn[p]}},
        {"daIn", {firstIn.daIn[p], s.daIn[p]}},
        {"dfIn", {firstIn.dfIn[p], s.dfIn[p]}},
        {"snIn", {firstIn.snIn[p], s.snIn[p]}},
        {"enIn", {firstIn.enIn[p], s.enIn[p]}},
        {"kDIN", {firstIn.kDIN[p], s.kDIN[p]}},
        {"DmDIN", {firstIn.DmDIN[p], s.DmDIN[p]}},
    };
    for (const auto& [name, values] : fields) {
      EXPECT_NEAR(D(values.first), D(values.second), 1e-9) << name << "[" << p << "]";
    }
    EXPECT_EQ(first.k[p], t.k[p]);
  }
  EXPECT_NEAR(D(firstIn.ce), D(s.ce), 1e-12);
  EXPECT_NEAR(D(firstIn.ci), D(s.ci), 1e-12);
  EXPECT_NEAR(D(firstIn.cp), D(s.cp), 1e-12);
}

TEST_F(SplineJointTest, SecondCalculationWithToolFactorsGivenChangesNothing) {
  Din5480W45x2x21();
  SplineInputData.daIn[1] = 30;  // stale
  CalcSplineJoint();
  ASSERT_FALSE(CalcFatalFlag) << Messages();
  const TSplineInputData first = SplineInputData;
  const TToothingData firstT = ToothingData;
  CalcSplineJoint();
  for (int p = 1; p <= 2; ++p) {
    EXPECT_NEAR(D(first.daIn[p]), D(SplineInputData.daIn[p]), 1e-9) << p;
    EXPECT_NEAR(D(first.dfIn[p]), D(SplineInputData.dfIn[p]), 1e-9) << p;
    EXPECT_NEAR(D(firstT.hfP0mn[p]), D(ToothingData.hfP0mn[p]), 1e-9) << p;
    EXPECT_NEAR(D(firstT.haP0mn[p]), D(ToothingData.haP0mn[p]), 1e-9) << p;
  }
}

// Bad inputs end with a fatal message and the flag, after a good calculation too, so that
// the old results are not taken for new ones.
struct BadInputCase {
  const char* name;
  void (*spoil)();
  const char* message;
};

class BadInputTest : public SplineJointTest, public ::testing::WithParamInterface<BadInputCase> {};

TEST_P(BadInputTest, EndsFatal) {
  NewSplineExample();
  CalcSplineJoint();
  ASSERT_FALSE(CalcFatalFlag);
  GetParam().spoil();
  CalcSplineJoint();
  EXPECT_TRUE(CalcFatalFlag);
  EXPECT_TRUE(Listed(GetParam().message)) << Messages();
  // The message window and the listing find its origin and remedy.
  for (int i = 1; i <= ErrorList.count; ++i)
    EXPECT_TRUE(calc_test::Explained(ErrorList.messages[i])) << ErrorList.messages[i];
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, BadInputTest,
    ::testing::Values(
        BadInputCase{"module_zero", [] { ToothingData.mn = 0; }, "Fatal  : mn = 0 !"},
        BadInputCase{"pitch_zero",
                     [] {
                       SplineInputData.PitchMode = 2;
                       ToothingData.Pn = 0;
                     },
                     "Fatal  : pitch = 0 !"},
        BadInputCase{"alpha_50", [] { ToothingData.alpha = 50; }, "Fatal  : 5 < alpha <= 45 !"},
        BadInputCase{"alpha_5", [] { ToothingData.alpha = 5; }, "Fatal  : 5 < alpha <= 45 !"},
        BadInputCase{"teeth_zero", [] { ToothingData.z[1] = 0; }, "Fatal  : z = 0 !"},
        BadInputCase{"balls_too_far", [] { SplineInputData.MdRIn[1] = 120; },
                     "Fatal  : MdR > MdRmax ! (1) (Dm 16mm)"},
        BadInputCase{"balls_too_close", [] { SplineInputData.MdRIn[1] = 50; },
                     "Fatal  : MdR < MdRmin ! (1) (Dm 16mm)"},
        // The range over 2 teeth: 6.5 cos 30 (1.5 pi + 8 inv 30) -+ 1.5 * 2 * 6.5 sin 30.
        BadInputCase{"span_too_long",
                     [] {
                       SplineInputData.InputKind[1] = 4;
                       SplineInputData.WIn[1] = 80;
                     },
                     "Fatal  : W > Wmax ! (1) (k = 2: 19.197 to 38.697mm)"},
        BadInputCase{"span_too_short",
                     [] {
                       SplineInputData.InputKind[1] = 4;
                       SplineInputData.WIn[1] = 5;
                     },
                     "Fatal  : W < Wmin ! (1) (k = 2: 19.197 to 38.697mm)"},
        // The hub's over 1 tooth: 6.5 cos 30 (1.5 pi - 8 inv 30) -+ 9.75.
        BadInputCase{"hub_span_too_long",
                     [] {
                       SplineInputData.ShiftGivenFor = 2;
                       SplineInputData.InputKind[2] = 4;
                       SplineInputData.WIn[2] = 80;
                     },
                     "Fatal  : W > Wmax ! (2) (k = 1: 14.356 to 33.856mm)"},
        // Every refusal of a pressure angle states the one range the program takes.
        BadInputCase{"alpha_47", [] { ToothingData.alpha = 47; }, "Fatal  : 5 < alpha <= 45 !"},
        // Inputs nobody can make or measure are refused at the start, each by name.
        BadInputCase{"teeth_negative", [] { ToothingData.z[1] = -8; }, "Fatal  : z < 0 !"},
        BadInputCase{"teeth_absurd", [] { ToothingData.z[1] = 100000; },
                     "Fatal  : z out of range !"},
        BadInputCase{"ball_negative", [] { ToothingData.Dm[1] = -5; }, "Fatal  : Dm < 0 ! (1)"},
        BadInputCase{"hub_ball_not_a_number",
                     [] { ToothingData.Dm[2] = std::numeric_limits<long double>::quiet_NaN(); },
                     "Fatal  : Dm not a number ! (2)"},
        BadInputCase{"teeth_spanned_negative", [] { ToothingData.k[1] = -5; },
                     "Fatal  : k < 0 ! (1)"},
        BadInputCase{"teeth_spanned_beyond_the_teeth", [] { ToothingData.k[1] = 9; },
                     "Fatal  : k > z ! (1)"},
        BadInputCase{"module_negative", [] { ToothingData.mn = -6.5L; }, "Fatal  : mn < 0 !"},
        BadInputCase{"module_absurd", [] { ToothingData.mn = 1e400L; },
                     "Fatal  : mn out of range !"},
        BadInputCase{"module_infinite",
                     [] { ToothingData.mn = std::numeric_limits<long double>::infinity(); },
                     "Fatal  : mn not a number !"},
        BadInputCase{"pitch_giving_an_absurd_module",
                     [] {
                       SplineInputData.PitchMode = 2;
                       ToothingData.Pn = 1e-400L;
                     },
                     "Fatal  : Pn out of range !"},
        BadInputCase{
            "balls_not_a_number",
            [] { SplineInputData.MdRIn[1] = std::numeric_limits<long double>::quiet_NaN(); },
            "Fatal  : MdR not a number ! (1)"},
        BadInputCase{"span_not_a_number",
                     [] {
                       SplineInputData.InputKind[1] = 4;
                       SplineInputData.WIn[1] = std::numeric_limits<long double>::quiet_NaN();
                     },
                     "Fatal  : W not a number ! (1)"},
        // A width stands for a shift: (5000 / 6.5 - pi / 2) / (2 tan 30) is far beyond any.
        BadInputCase{"tooth_thickness_beyond_any_shift",
                     [] {
                       SplineInputData.InputKind[1] = 2;
                       SplineInputData.snIn[1] = 5000;
                     },
                     "Fatal  : sn out of range ! (1)"},
        // (pi / 2 + 202 tan 30) 6.5 stands for x 101, beyond any shift.
        BadInputCase{"tooth_thickness_of_a_shift_of_101",
                     [] {
                       SplineInputData.InputKind[1] = 2;
                       SplineInputData.snIn[1] = (kPi / 2 + 202 * std::tan(kPi / 6)) * 6.5L;
                     },
                     "Fatal  : sn out of range ! (1)"},
        BadInputCase{"fillet_negative", [] { ToothingData.rhoaP0mn[1] = -1; },
                     "Fatal  : rhoaP0/mn < 0 ! (1)"},
        BadInputCase{"clearance_negative", [] { SplineInputData.ce = -3; }, "Fatal  : ce < 0 !"},
        BadInputCase{"tip_absurd", [] { SplineInputData.daIn[1] = 1e9L; },
                     "Fatal  : da out of range ! (1)"},
        // The engine's geometry stage ends without the flag; the joint must not go on with the
        // old root diameter (df = (z - 2 haP0/mn + 2 x) mn = (8 - 10 + 0.54) 6.5 < 0).
        BadInputCase{"root_below_the_centre",
                     [] {
                       SplineInputData.HubDiamMode = 0;
                       ToothingData.haP0mn[1] = 5;
                     },
                     "Fatal  : df <=0 ! (1)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SplineJointTest, OnlyThePitchMessageWhenThePitchIsZero) {
  NewSplineExample();
  SplineInputData.PitchMode = 2;
  ToothingData.Pn = 0;
  CalcSplineJoint();
  EXPECT_EQ(ErrorList.count, 1);
  EXPECT_EQ(ErrorList.messages[1], "Fatal  : pitch = 0 !");
}

TEST_F(SplineJointTest, EngineFailureIsNotReportedAsSuccess) {
  // 47 degrees lies beyond the gear pair engine's range, which the spline's own takes over.
  NewSplineExample();
  ToothingData.alpha = 47;
  CalcSplineJoint();
  EXPECT_TRUE(CalcFatalFlag);
  EXPECT_TRUE(ListedStartingWith("Fatal")) << Messages();
  // The conformity checks do not judge a failed run.
  EXPECT_FALSE(ListedStartingWith("Warning: sa < 0.15*m")) << Messages();
}

// The final check judges the finished joint, both parts alike. References: the ball centre
// rests on both flanks only when inv(alphaM) = Dm / (z m cos a) - pi / (2 z) + 2 x tan(a) / z
// + inv(a) is not negative (ISO 21771, hub with negative z); a tip lies on the involute only
// outside the base circle d cos(a).
struct FinishedJointCase {
  const char* name;
  int z;
  long double mn, x1, x2;
  const char* message;
  long double Dm2 = 0;  // 0: the program's standard ball
};

class FinishedJointTest : public SplineJointTest,
                          public ::testing::WithParamInterface<FinishedJointCase> {};

TEST_P(FinishedJointTest, FindingIsListed) {
  const FinishedJointCase& c = GetParam();
  TToothingData& t = ToothingData;
  t.mn = c.mn;
  t.alpha = 30;
  t.z[1] = c.z;
  t.x[1] = c.x1;
  t.x[2] = c.x2;
  t.Dm[1] = 0;  // the program's standard ball
  t.Dm[2] = c.Dm2;
  t.k[1] = t.k[2] = 0;
  SplineInputData.ShiftGivenFor = 0;
  SplineInputData.InputKind[1] = SplineInputData.InputKind[2] = 1;
  CalcSplineJoint();
  ASSERT_FALSE(CalcFatalFlag) << Messages();
  EXPECT_TRUE(Listed(c.message)) << Messages();
}

INSTANTIATE_TEST_SUITE_P(
    BothParts, FinishedJointTest,
    ::testing::Values(
        // Hub ball 2.1 (the standard one at x = 0) at x2 = 0.2: inv(alphaM) = -0.0008, in a hub
        // the ball sits on the tips.
        FinishedJointCase{"hub_ball_off_the_flanks", 11, 1.25L, -0.2L, 0.2L,
                          "Error  : Dm ball !  (2.1mm) (2)", 2.1L},
        // Hub tip (6 - 2 * 0.45 - 2 * 0.4) * 1 = 4.3 inside the base circle 6 cos 30 = 5.196.
        FinishedJointCase{"hub_tip_inside_the_base_circle", 6, 1, -0.4L, 0.4L,
                          "Error  : db > da ! (2)"}),
    [](const auto& info) { return std::string(info.param.name); });

// What cannot be made is named with its cause and part. By hand: flanks meet where inv(aD) =
// inv(a) +- e / d; W 50x2x24 (DIN 5480) has x -0.05, k 4; form circle df2 - 2 rho (1 - sin a).
void BothByShifts(long double mn, long double alpha, int z, long double x1, long double x2) {
  Din5480W45x2x21();
  ToothingData.mn = mn, ToothingData.alpha = alpha, ToothingData.z[1] = z;
  ToothingData.x[1] = x1, ToothingData.x[2] = x2;
  SplineInputData.ShiftGivenFor = 0, SplineInputData.InputKind[2] = 1;
}
// Major side da1 and df2, minor side df1 and da2.
void Diameters(long double da1, long double df2, long double df1, long double da2) {
  TSplineInputData& s = SplineInputData;
  s.ShaftDiamMode = s.HubDiamMode = 1;
  s.daIn[1] = da1, s.dfIn[2] = df2, s.dfIn[1] = df1, s.daIn[2] = da2;
}
void Span(int z, int32_t k, long double W) {
  Din5480W45x2x21();
  ToothingData.z[1] = z, ToothingData.k[1] = k;
  SplineInputData.InputKind[1] = 4, SplineInputData.WIn[1] = W;
}

struct NamedJointCase {
  const char* name;
  void (*setup)();
  const char *message, *absent;  // listed ("" for none; a Fatal one ends the run); none starts so
};

class NamedJointTest : public SplineJointTest,
                       public ::testing::WithParamInterface<NamedJointCase> {};

TEST_P(NamedJointTest, CauseIsNamed) {
  const NamedJointCase& c = GetParam();
  c.setup();
  CalcSplineJoint();
  EXPECT_EQ(CalcFatalFlag, std::string(c.message).starts_with("Fatal")) << Messages();
  EXPECT_TRUE(*c.message ? Listed(c.message) : ErrorList.count == 0) << Messages();
  if (*c.absent) EXPECT_FALSE(ListedStartingWith(c.absent)) << Messages();
  for (int i = 1; i <= ErrorList.count; ++i)
    EXPECT_TRUE(calc_test::Explained(ErrorList.messages[i])) << ErrorList.messages[i];
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Joints, NamedJointTest, ::testing::Values(
    // en2 3.02456 (x2 -0.7998) is more than the pitch 2.997: the hub's teeth miss that circle.
    NamedJointCase{"space_width_above_the_pitch", [] { BothByShifts(0.954L, 45, 10, 0.7L, 0);
        SplineInputData.InputKind[2] = 2, SplineInputData.enIn[2] = 3.02456L; }, "", "Fatal"},
    NamedJointCase{"tooth_thickness_below_zero", [] { BothByShifts(0.954L, 45, 10, 0, 0.79L);
        SplineInputData.InputKind[1] = 2, SplineInputData.snIn[1] = -0.0275L; },
        "Error  : hub tip inside dFf1, interference ! (2)", "Fatal"},
    NamedJointCase{"hub_gap_closing_before_its_root", [] { BothByShifts(2, 45, 20, 0, 0);
        Diameters(41.8L, 43.8L, 37.6L, 39.6L); }, "Error  : gap closes before df at 43.037mm ! (2)", ""},
    NamedJointCase{"shaft_gap_closing_before_its_root", [] { BothByShifts(2, 45, 20, 0.8L, -0.8L);
        Diameters(44, 45.4L, 37.6L, 41.4L); }, "Error  : gap closes before df at 40.058mm ! (1)", ""},
    // Hub over a ball that rests on the flanks only up to just above x2 0.3656.
    NamedJointCase{"hub_ball_near_where_it_stops_resting", [] { BothByShifts(3.329L, 37.5L, 6, -0.3724L, 0);
        SplineInputData.InputKind[2] = 3, SplineInputData.MdRIn[2] = -11.825541L;
        ToothingData.Dm[2] = 4.4L; }, "Warning: undercut (1)", "Fatal"},
    NamedJointCase{"ball_touching_near_the_root", [] { Din5480W45x2x21(); ToothingData.z[1] = 10;
        ToothingData.x[1] = -0.5L, ToothingData.haP0mn[1] = 0.45L; }, "Warning: Dm ball   (3.3mm) (1)", ""},
    // Span over 2 teeth at x -0.5: the bare rule's 1 tooth would touch below the form circle.
    NamedJointCase{"span_where_the_bare_rule_misses_the_flank", [] { Span(10, 2, 8.0931L);
        ToothingData.haP0mn[1] = 0.45L; }, "Warning: Dm ball   (3.3mm) (1)", "Warning: k <> k DIN"},
    // Hub form circle 45 - 1.2 (1 - sin 30) = 44.4 inside the shaft's tip 44.9.
    NamedJointCase{"shaft_tip_in_the_hub_fillet", [] { BothByShifts(2, 30, 21, 0.2L, -0.2L);
        Diameters(44.9L, 45, 40.6L, 41); ToothingData.rhoaP0mn[2] = 0.3L; },
        "Error  : shaft tip outside dFf2, interference ! (1)", ""},
    // Hub form circle 41.1 - 2 (1 - sin 30) = 40.1 inside its own tip 41.
    NamedJointCase{"hub_form_circle_inside_its_tip", [] { BothByShifts(2, 30, 21, 0.2L, -0.2L);
        Diameters(41.05L, 41.1L, 40.6L, 41); ToothingData.rhoaP0mn[2] = 0.5L; },
        "Error  : dFf > da ! (2)", ""},
    NamedJointCase{"standard_joint_by_its_span", [] { Span(24, 4, 21.179L); }, "", "Warning: k <> k DIN"},
    NamedJointCase{"standard_joint_by_its_span_over_the_programs_teeth", [] { Span(24, 0, 21.179L); },
        "", "Fatal"},
    NamedJointCase{"shaft_shifted_inside_its_base_circle", [] { BothByShifts(2, 30, 21, -3, 3); },
        "Fatal  : x < -1.5, da <= db, no contact ! (1)", "Fatal  : epsilon"},
    // da1 36 inside db1 = 42 cos 30 = 36.37.
    NamedJointCase{"shaft_tip_inside_its_base_circle", [] { BothByShifts(2, 30, 21, 0, 0);
        Diameters(36, 45, 33, 34); }, "Fatal  : da <= db, no contact ! (1)", "Fatal  : epsilon"},
    NamedJointCase{"backlash_of_seven_millimetres", [] { Din5480W45x2x21();
        SplineInputData.ClearanceAsFactor = false, SplineInputData.ce = SplineInputData.ci = 0.2L;
        SplineInputData.cp = 7; }, "Error  : cp too large ! (2)", ""},
    // 12 teeth by a span of 5.070363 with k open: only 1 tooth reaches it (x -0.68), off the flank.
    NamedJointCase{"span_over_the_only_teeth_it_fits", [] { BothByShifts(4.0961L, 30, 12, 0, 0.6601L);
        SplineInputData.InputKind[1] = 4, SplineInputData.WIn[1] = 5.070363L; },
        "Warning: span W off flank (k = 1) !", "Fatal"},
    // 6 teeth by a span of 6 over the 2 teeth picked at x = 0 is x -1.36, whose tip lies inside
    // the base circle; over 1 tooth it is x 1.36.
    NamedJointCase{"span_whose_first_pick_leaves_no_contact", [] { Span(6, 0, 6); },
        "Warning: span W off flank (k = 1) !", "Fatal"},
    // 45 degrees, 20 teeth: over 5 teeth (x 1.47, off the flank) the standard is 6, over 6
    // (x -0.10, on the flank) it is 5; the span is taken over the 6 that touch the flank.
    NamedJointCase{"span_whose_standard_teeth_never_settle", [] { Span(20, 0, 30.2206L);
        ToothingData.alpha = 45; }, "", ""},
    // 30.49 = 2 cos 30 (5.5 pi + 6 inv 30) is a span over all 6 teeth at x 0, off the flank.
    NamedJointCase{"span_over_every_tooth", [] { Span(6, 0, 30.49L); },
        "Warning: span W off flank (k = 6) !", "Fatal"},
    // 2.4 mm of backlash thins the hub to x2 -1.239: pointed, with the cause named.
    NamedJointCase{"backlash_that_makes_the_hub_pointed", [] { Din5480W45x2x21();
        SplineInputData.cpmn = 1.2L; }, "Error  : cp too large ! (2)", ""},
    // Without backlash a 45 degree hub whose tip goes down to the shaft's deep root is pointed:
    // the backlash is not the cause.
    NamedJointCase{"pointed_hub_without_backlash", [] { BothByShifts(2, 45, 20, 0, 0);
        SplineInputData.ShiftGivenFor = 1, ToothingData.haP0mn[1] = 1; },
        "Error  : sa <= 0, pointed teeth ! (2)", "Error  : cp too large"},
    // A tooth thickness of (pi / 2 + 150 tan 30) 2 stands for x 75, absurd but a shift.
    NamedJointCase{"thickness_of_a_shift_of_75", [] { Din5480W45x2x21();
        SplineInputData.InputKind[1] = 2, SplineInputData.snIn[1] = (kPi / 2 + 150 * std::tan(kPi / 6)) * 2; },
        "Warning: x > 1.5 !", "Fatal"},
    NamedJointCase{"root_zero_with_the_minor_diameter_given", [] { Din5480W45x2x21();
        SplineInputData.ShaftDiamMode = 0, SplineInputData.HubDiamMode = 1;
        SplineInputData.dfIn[1] = 0; }, "Fatal  : df <= 0 ! (1)", ""},
    NamedJointCase{"hub_root_zero_with_the_major_diameter_given", [] { BothByShifts(2, 30, 21, 0.2L, -0.2L);
        SplineInputData.ShaftDiamMode = 1, SplineInputData.HubDiamMode = 0;
        SplineInputData.daIn[1] = 44.6L, SplineInputData.dfIn[2] = 0; }, "Fatal  : df <= 0 ! (2)", ""}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// Where a ball of diameter D rests on both flanks of a gap, found from the distance between its
// centre and the involute flank alone: the radii of its centre and of its contact. The gap's half
// angle at radius r: a shaft's is the pitch angle less the tooth, a hub's is its space, of width
// m (pi / 2 - 2 x tan a) on the reference circle.
struct Seat {
  double centre = 0, contact = 0;
};
Seat SeatOfBall(int z, double m, double alpha, double x, double ball) {
  const int n = std::abs(z);
  const double rb = n * m * std::cos(alpha) / 2, inv = std::tan(alpha) - alpha;
  auto half = [&](double r) {
    const double ar = std::acos(rb / r), invR = std::tan(ar) - ar;
    return z > 0 ? M_PI / n - (M_PI / 2 + 2 * x * std::tan(alpha)) / n - inv + invR
                 : (M_PI / 2 - 2 * x * std::tan(alpha)) / n + inv - invR;
  };
  // The flank from the base circle to where it meets its mirror image (a hub's) or far out.
  double rEnd = 4 * n * m;
  if (z < 0) {
    double lo = rb, hi = rEnd;
    for (int i = 0; i < 200; ++i) (half((lo + hi) / 2) > 0 ? lo : hi) = (lo + hi) / 2;
    rEnd = lo;
  }
  auto distance = [&](double R, double r) {
    return std::sqrt(R * R + r * r - 2 * R * r * std::cos(half(r)));
  };
  // Nearest flank point: scans, each a hundred times finer around the best point of the last.
  auto nearest = [&](double R, double& at) {
    at = rb;
    for (double lo = rb, hi = rEnd, pass = 0; pass < 8; ++pass) {
      for (int i = 0; i <= 200; ++i) {
        const double r = lo + (hi - lo) * i / 200;
        if (distance(R, r) < distance(R, at)) at = r;
      }
      const double half = (hi - lo) / 100;
      lo = std::max(rb, at - half), hi = std::min(rEnd, at + half);
    }
    return distance(R, at);
  };
  // The centre where the nearest flank point is half the ball away: further out the ball would
  // stand off a shaft's flanks and cut into a hub's.
  Seat seat;
  double lo = rb, hi = rEnd;
  for (int i = 0; i < 200; ++i) {
    const double R = (lo + hi) / 2;
    const bool tooClose = nearest(R, seat.contact) < ball / 2;
    ((z > 0) == tooClose ? lo : hi) = R;
  }
  seat.centre = (lo + hi) / 2;
  nearest(seat.centre, seat.contact);
  return seat;
}

// The DIN 5480 joints whose hubs have 6 or 7 teeth (x +-0.45, tool factors 0.45 / 0.55): the
// program's own balls rest on both flanks between form and tip circles, so no ball message. A
// ball is named, with its part, exactly where its seat found above leaves the flank between the
// form circles: near the tip on either side of it, on shafts and hubs.
struct SmallHubCase {
  const char* name;
  long double mn;
  int z;
  long double Dm1 = 0, Dm2 = 0;  // 0: the program's ball
  const char* refusal = "";      // for a ball that rests on the tips
  long double alpha = 30, x1 = 0.45L;
};

class SmallHubBallTest : public SplineJointTest,
                         public ::testing::WithParamInterface<SmallHubCase> {};

TEST_P(SmallHubBallTest, BallMessageOnlyForABallOnTheTips) {
  const SmallHubCase& c = GetParam();
  Din5480W45x2x21();
  TToothingData& t = ToothingData;
  t.alpha = c.alpha, t.mn = c.mn, t.z[1] = c.z, t.x[1] = c.x1, t.Dm[1] = c.Dm1, t.Dm[2] = c.Dm2;
  CalcSplineJoint();
  ASSERT_FALSE(CalcFatalFlag) << Messages();
  EXPECT_TRUE(!*c.refusal || Listed(c.refusal)) << Messages();
  EXPECT_NEAR(D(t.x[2]), -D(c.x1), 1e-9);
  for (int part = 1; part <= 2; ++part) {
    SCOPED_TRACE(part);
    const int z = t.z[part];
    const double ball = D(t.Dm[part]);
    const Seat seat = SeatOfBall(z, D(t.mn), D(c.alpha) * M_PI / 180, D(t.x[part]), ball);
    // Resting on both flanks between the form circles (a hub's diameters are negative).
    const double form = std::fabs(D(t.dFf[part])), tip = std::fabs(D(t.dFa[part]));
    const bool onFlank =
        2 * seat.contact > std::min(form, tip) && 2 * seat.contact < std::max(form, tip);
    bool named = false;
    for (int i = 1; i <= ErrorList.count; ++i) {
      const std::string& m = ErrorList.messages[i];
      named = named || (m.find("Dm ball") != std::string::npos &&
                        m.ends_with(" (" + std::to_string(part) + ")"));
    }
    EXPECT_EQ(named, !onFlank) << 2 * seat.contact << "\n" << Messages();
    const double odd = z % 2 != 0 ? std::cos(M_PI / (2 * c.z)) : 1;
    if (onFlank)
      EXPECT_NEAR(D(t.M[part]), z > 0 ? 2 * seat.centre * odd + ball : ball - 2 * seat.centre * odd,
                  1e-4);
  }
}

// W 10x1.25x6: the hub's 2.4 mm ball rests at 8.526 mm, M2 -4.8072; a 13 mm shaft ball touches
// at 9.856, above the tip 9.75; a 3 mm hub ball misses the flanks. Seats of the other rows: hubs
// of 10, 6, 11 teeth at 38.29, 8.709, 86.18, inside their tips 40.323, 8.844, 87.49; 18 teeth at
// 51.444 below the tip 51.663; 37.5 degrees: 8.18 mm nowhere outside the base circle,
// 7.5 mm at 34.366 outside the tip 33.649; W 16x2x6 at 11.749 < dFf1 11.805, 16.245 > dFf2 15.8.
INSTANTIATE_TEST_SUITE_P(
    Din5480, SmallHubBallTest,
    ::testing::Values(
        SmallHubCase{"W10x1_25x6", 1.25L, 6}, SmallHubCase{"W12x1_5x6", 1.5L, 6},
        SmallHubCase{"W16x2x6", 2, 6}, SmallHubCase{"W18x2x7", 2, 7}, SmallHubCase{"W24x3x6", 3, 6},
        SmallHubCase{"W40x5x6", 5, 6}, SmallHubCase{"W45x5x7", 5, 7},
        SmallHubCase{"W80x10x6", 10, 6},
        SmallHubCase{"shaft_ball_on_the_tips", 1.25L, 6, 13, 0, "Error  : Dm ball !  (13mm) (1)"},
        SmallHubCase{"hub_ball_on_the_tips", 1.25L, 6, 0, 3, "Error  : Dm ball !  (3mm) (2)"},
        SmallHubCase{"hub_of_10_on_the_tips", 4.0695L, 10, 0, 9.02L,
                     "Error  : Dm ball !  (9.02mm) (2)", 30, 0.4043L},
        SmallHubCase{"hub_of_6_at_45_on_the_tips", 1.5L, 6, 0, 3.8L,
                     "Error  : Dm ball !  (3.8mm) (2)", 45, 0.3981L},
        SmallHubCase{"hub_of_11_on_the_tips", 8, 11, 0, 17.7L, "Error  : Dm ball !  (17.7mm) (2)",
                     30, 0.4181L},
        SmallHubCase{"shaft_touching_below_its_tip", 2.5263L, 18, 9.47L, 0, "", 30, 0.7751L},
        SmallHubCase{"hub_centre_inside_its_base_circle", 3.7047L, 10, 0, 8.18L,
                     "Error  : Dm ball !  (8.18mm) (2)", 37.5L, -0.0086L},
        SmallHubCase{"hub_touching_outside_its_tip", 3.7047L, 10, 0, 7.5L, "", 37.5L, -0.0086L},
        SmallHubCase{"shaft_touching_below_its_form_circle", 2, 6, 2.4L, 0,
                     "Error  : small Dm ball !  (2.4mm) (1)"},
        SmallHubCase{"hub_touching_beyond_its_form_circle", 2, 6, 0, 1.8L,
                     "Error  : small Dm ball !  (1.8mm) (2)"}),
    [](const auto& info) { return std::string(info.param.name); });

// 45 degrees, 28 teeth by a span with the teeth open: the first try over 8 teeth stands at
// x -1.33, the span is taken over 7 (x 0.24), where the hub has 6 teeth, not the 5 of x2 1.33.
// The hub listed is that of the shift entered directly, its span m cos a (pi (k2 + 1 / 2) + z2
// inv a) + 2 x2 m sin a with k2 and z2 negative.
TEST_F(SplineJointTest, SpanWithTeethOpenListsTheHubOfItsFinalTry) {
  TToothingData& t = ToothingData;
  Span(28, 0, 38.0576L);
  t.alpha = 45;
  CalcSplineJoint();
  ASSERT_FALSE(CalcFatalFlag) << Messages();
  EXPECT_EQ(t.k[1], 7);
  const long double x1 = t.x[1], hubSpan = SplineInputData.WIn[2], a = kPi / 4;
  const int32_t hubTeeth = t.k[2];
  EXPECT_NEAR(D(hubSpan),
              D(t.mn * std::cos(a) * (kPi * (hubTeeth + 0.5L) - 28 * Inv(a)) +
                2 * t.x[2] * t.mn * std::sin(a)),
              1e-9);
  SetUp();
  Din5480W45x2x21();
  t.z[1] = 28, t.alpha = 45, t.x[1] = x1, t.k[1] = 7;
  CalcSplineJoint();
  ASSERT_FALSE(CalcFatalFlag) << Messages();
  EXPECT_EQ(t.k[2], hubTeeth);
  EXPECT_NEAR(D(SplineInputData.WIn[2]), D(hubSpan), 1e-9);
}

TEST_F(SplineJointTest, BallFarFromTheStandardIsReported) {
  NewSplineExample();
  ToothingData.Dm[1] = 8;  // the standard ball for this shaft is about 14 mm
  SplineInputData.InputKind[1] = 1;
  ToothingData.x[1] = 0.27L;
  CalcSplineJoint();
  EXPECT_TRUE(Listed("Warning: Dm <> Dm DIN ! (1)")) << Messages();
}

TEST_F(SplineJointTest, DefaultBallAndTeethSpannedAreFilledAndKept) {
  Din5480W45x2x21();
  CalcSplineJoint();
  ASSERT_FALSE(CalcFatalFlag) << Messages();
  // Textbook spur rule at x = 0 for z 21, alpha 30: k = 21 * 30 / 180 + 0.5 = 4 teeth.
  EXPECT_EQ(ToothingData.k[1], 4);
  EXPECT_GT(ToothingData.Dm[1], 0);
  const long double dm = ToothingData.Dm[1];
  CalcSplineJoint();
  EXPECT_EQ(ToothingData.Dm[1], dm);
}

}  // namespace
