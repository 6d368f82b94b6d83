// Tests of the involute functions and the guarded mathematics: values against textbook
// involute tables and 40-digit references (mpmath), substitutes and the messages they post.
#include "common/guarded_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "common/message_list.h"
#include "common/program_state.h"

namespace {

class GuardedMathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramStateForTests();
    InitMessageList();
  }
};

struct InvoluteCase {
  const char* source;
  long double angle;  // radians
  long double inv;
};

// Reference values of tan(a) - a, 30 significant digits from mpmath; 20 degrees also agrees
// with the gear textbooks' involute table (0.014904383867336446).
const InvoluteCase kInvoluteCases[] = {
    {"14.5 deg", 14.5L * kPi / 180.0L, 0.00554484281671249322306565961832L},
    {"20 deg, textbook", 20.0L * kPi / 180.0L, 0.014904383867336446L},
    {"20 deg, mpmath", 20.0L * kPi / 180.0L, 0.0149043838673364459663097290791L},
    {"25 deg", 25.0L * kPi / 180.0L, 0.0299753451564161985990835026774L},
    {"30 deg", 30.0L * kPi / 180.0L, 0.0537514935913268914320415499554L},
    {"45 deg", 45.0L * kPi / 180.0L, 0.21460183660255169038433915418L},
    {"0.001 rad (no cancellation)", 0.001L, 3.33333466666720634942504390184e-10L},
    {"0.1 rad", 0.1L, 0.000334672085450545058080045781116L},
    {"0.35 rad", 0.35L, 0.0150284948304245583176109472638L},
    {"1.0 rad", 1.0L, 0.557407724654902230506974807458L},
    {"1.5 rad", 1.5L, 12.601419947171719387646083652L},
    {"1.55 rad", 1.55L, 46.5284824792189682855322596505L},
};

TEST_F(GuardedMathTest, InvoluteMatchesReferenceValues) {
  for (const auto& c : kInvoluteCases) {
    SCOPED_TRACE(c.source);
    const long double tol = std::strcmp(c.source, "20 deg, textbook") == 0 ? 1e-16L : 2e-17L;
    EXPECT_NEAR(static_cast<double>((Inv(c.angle) - c.inv) / c.inv), 0.0, static_cast<double>(tol));
    EXPECT_EQ(Inv(-c.angle), -Inv(c.angle)) << "the involute is odd";
  }
}

TEST_F(GuardedMathTest, ArcInvInvertsTheReferenceValues) {
  for (const auto& c : kInvoluteCases) {
    SCOPED_TRACE(c.source);
    EXPECT_NEAR(static_cast<double>((ArcInv(c.inv) - c.angle) / c.angle), 0.0, 1e-15);
    EXPECT_NEAR(static_cast<double>((ArcInv(-c.inv) + c.angle) / c.angle), 0.0, 1e-15);
  }
  EXPECT_EQ(ErrorList.count, 0);
}

TEST_F(GuardedMathTest, ArcInvRoundTripOverTheWholeRange) {
  std::vector<long double> angles;
  for (long double a = 1e-9L; a < 0.01L; a *= 1.07L) angles.push_back(a);  // tiny: relative
  for (int i = 1; i < 1550; ++i) angles.push_back(i * 0.001L);
  for (long double a = 1.5L; a < 1.55L; a += 0.0007L) angles.push_back(a);
  for (long double a : angles) {
    const long double back = ArcInv(Inv(a));
    ASSERT_LE(static_cast<double>(std::fabs(back - a) / a), 1e-15)
        << "a = " << static_cast<double>(a);
  }
  EXPECT_EQ(ErrorList.count, 0);
}

TEST_F(GuardedMathTest, ArcInvBeyondTheUsualRange) {
  // Roots of tan(a) - a = y from mpmath (40 digits).
  struct {
    long double y, a;
  } cases[] = {
      {1e-20L, 0.0000003107232505953818866877662428018923647417L},
      {5.0L, 1.41618434392383993204803973826467460654L},
      {1000.0L, 1.569797894464156242187688096194274682996L},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<double>(c.y));
    EXPECT_NEAR(static_cast<double>((ArcInv(c.y) - c.a) / c.a), 0.0, 1e-16);
  }
  EXPECT_EQ(ArcInv(0.0L), 0.0L);
  EXPECT_EQ(ErrorList.count, 0);
}

TEST_F(GuardedMathTest, ArcInvOfNoNumberOrBeyondItsRangeGivesZeroAndAMessage) {
  EXPECT_EQ(ArcInv(std::numeric_limits<long double>::quiet_NaN()), 0.0L);
  EXPECT_EQ(ArcInv(std::numeric_limits<long double>::infinity()), 0.0L);
  ASSERT_EQ(ErrorList.count, 1);  // the same failure is listed once
  EXPECT_EQ(ErrorList.messages[1], "Error: ArcInv in unit math");
  // The search ends at 1.57 rad: inv(1.57) = tan(1.57) - 1.57 = 1254.20 (mpmath). Just inside
  // it answers; beyond, where the root is 1.5708 or more, it says so.
  ClearErrors();
  EXPECT_NEAR(static_cast<double>(ArcInv(1254.0L)), 1.5699998759489429, 1e-15);
  EXPECT_EQ(ErrorList.count, 0);
  for (long double y : {1255.0L, -1e6L, 1e300L}) {
    ClearErrors();
    EXPECT_EQ(ArcInv(y), 0.0L) << static_cast<double>(y);
    EXPECT_EQ(ErrorList.count, 1);
  }
}

struct GuardCase {
  const char* name;
  long double (*call)();
  long double expected;
  const char* message;  // nullptr: no message
};

const GuardCase kGuardCases[] = {
    {"arcsin just above 1", [] { return SafeArcSin(1.0000001L); }, kPi / 2,
     "Error: ArcSin 1.0000001"},
    {"arcsin of 1 is valid", [] { return SafeArcSin(1.0L); }, kPi / 2, nullptr},
    {"arcsin of -1 is valid", [] { return SafeArcSin(-1.0L); }, -kPi / 2, nullptr},
    {"arcsin 0.5 = 30 deg", [] { return SafeArcSin(0.5L); }, kPi / 6, nullptr},
    {"arcsin of -3", [] { return SafeArcSin(-3.0L); }, kPi / 2, "Error: ArcSin -3"},
    {"arccos of -2", [] { return SafeArcCos(-2.0L); }, 0.0L, "Error: ArcCos -2"},
    {"arccos of 1e20", [] { return SafeArcCos(1e20L); }, 0.0L, "Error: ArcCos 1E20"},
    {"arccos of -1 is valid", [] { return SafeArcCos(-1.0L); }, kPi, nullptr},
    {"arccos with caller text", [] { return ArcCosMsg("alpha_w", 1.5L); }, 0.0L,
     "Error : alpha_w (arccos)"},
    {"arccos with caller text, valid", [] { return ArcCosMsg("alpha_w", 0.5L); }, kPi / 3, nullptr},
    {"sqrt of negative", [] { return SafeSqrt("s_an", -1.0L); }, 0.0L, "s_an (sqrt)"},
    {"sqrt of negative, no text", [] { return SafeSqrt("", -1.0L); }, 0.0L, nullptr},
    {"sqrt of 0", [] { return SafeSqrt("s_an", 0.0L); }, 0.0L, nullptr},
    {"sqrt of 2", [] { return SafeSqrt("s_an", 2.0L); }, 1.41421356237309504880168872421L, nullptr},
    {"cube root of -8, no text", [] { return SafePower("", -8.0L, 1.0L / 3.0L); }, 2.0L, nullptr},
    {"cube root of -8", [] { return SafePower("root", -8.0L, 1.0L / 3.0L); }, 2.0L, "root (pow)"},
    {"overflow", [] { return SafePower("x", 10.0L, 4000.0L); }, 1e3000L, nullptr},
    {"underflow", [] { return SafePower("x", 10.0L, -4000.0L); }, 0.0L, nullptr},
    {"zero base, negative exponent", [] { return SafePower("x", 0.0L, -1.0L); }, 0.0L, nullptr},
    {"2^10", [] { return SafePower("x", 2.0L, 10.0L); }, 1024.0L, nullptr},
};

TEST_F(GuardedMathTest, GuardedFunctionsGiveSubstitutesAndMessages) {
  for (const auto& c : kGuardCases) {
    SCOPED_TRACE(c.name);
    ResetErrors();
    const long double r = c.call();
    if (c.expected == 0.0L) {
      EXPECT_EQ(r, 0.0L);
    } else {
      EXPECT_NEAR(static_cast<double>((r - c.expected) / c.expected), 0.0, 1e-17);
    }
    if (c.message == nullptr) {
      EXPECT_EQ(ErrorList.count, 0);
    } else {
      ASSERT_EQ(ErrorList.count, 1);
      EXPECT_EQ(ErrorList.messages[1], c.message);
    }
  }
}

TEST_F(GuardedMathTest, FailureRepeatedInALoopIsListedOnce) {
  for (int i = 0; i < 5; ++i) SafeSqrt("d_b", -1.0L);
  SafeArcSin(2.0L);
  ASSERT_EQ(ErrorList.count, 2);
  EXPECT_EQ(ErrorList.messages[1], "d_b (sqrt)");
  EXPECT_EQ(ErrorList.messages[2], "Error: ArcSin 2");
  EXPECT_FALSE(AbortFlag) << "guarded maths never aborts";
}

TEST_F(GuardedMathTest, ArcTan2CoversMinusHalfPiToThreeHalfPi) {
  struct {
    long double x, y, expected;
  } cases[] = {
      {0, 0, kPi / 2}, {0, 1, kPi / 2},       {0, -1, -kPi / 2},    {1, 1, kPi / 4},
      {-1, 0, kPi},    {-1, -1, 5 * kPi / 4}, {-1, 1, 3 * kPi / 4}, {1, -1, -kPi / 4},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(static_cast<double>(ArcTan2(c.x, c.y)), static_cast<double>(c.expected), 1e-15);
    EXPECT_EQ(ArcTanYX(c.y, c.x), ArcTan2(c.x, c.y));
  }
}

TEST_F(GuardedMathTest, FloorRoundsDownAlsoForNegativeWholeNumbers) {
  EXPECT_EQ(Floor(-2.0L), -2.0L);  // the whole number itself, not one below
  EXPECT_EQ(Floor(-2.5L), -3.0L);
  EXPECT_EQ(Floor(-0.1L), -1.0L);
  EXPECT_EQ(Floor(2.5L), 2.0L);
  EXPECT_EQ(Floor(0.0L), 0.0L);
}

TEST_F(GuardedMathTest, Exponent10IsTheDecimalExponent) {
  struct {
    long double x;
    int e;
  } cases[] = {{0.05L, -2},  {250.0L, 2}, {0.0L, 0},  {1000.0L, 3}, {0.001L, -3},
               {-250.0L, 2}, {1.0L, 0},   {9.99L, 0}, {1e-7L, -7},  {0.1L, -1}};
  for (const auto& c : cases) {
    EXPECT_EQ(Exponent10(c.x), c.e) << static_cast<double>(c.x);
  }
}

TEST_F(GuardedMathTest, RoundToRoundsHalvesToEven) {
  EXPECT_NEAR(static_cast<double>(RoundTo(2, 1.23456L)), 1.23, 1e-15);
  EXPECT_EQ(RoundTo(2, 0.125L), 0.12L);  // 12.5 -> 12
  EXPECT_EQ(RoundTo(0, 2.5L), 2.0L);
  EXPECT_EQ(RoundTo(0, 3.5L), 4.0L);
  EXPECT_EQ(RoundTo(-1, 1234.0L), 1230.0L);
  EXPECT_EQ(RoundTo(-2, 250.0L), 200.0L);  // 2.5 hundreds -> 2
  EXPECT_EQ(RoundTo(3, 0.0625L), 0.062L);
}

TEST_F(GuardedMathTest, IntPowerAndTheDecimalFunctions) {
  EXPECT_EQ(IntPower(10, 1.5L), 57.6650390625L);  // exact binary fraction
  EXPECT_EQ(IntPower(0, 5.0L), 1.0L);
  EXPECT_EQ(IntPower(-2, 2.0L), 0.25L);
  EXPECT_EQ(IntPower(-3, -2.0L), -0.125L);
  EXPECT_EQ(Log10(0.0L), 0.0L);
  EXPECT_EQ(Log10(-5.0L), 0.0L);
  EXPECT_NEAR(static_cast<double>(Log10(1000.0L)), 3.0, 1e-18);
  EXPECT_NEAR(static_cast<double>(Pow10(2.5L)), 316.22776601683793320, 1e-12);
}

TEST_F(GuardedMathTest, AnglesAreNormalisedIntoOneTurn) {
  EXPECT_NEAR(static_cast<double>(NormAngle(-kPi / 2)), static_cast<double>(3 * kPi / 2), 1e-15);
  EXPECT_NEAR(static_cast<double>(NormAngle(7 * kPi / 2)), static_cast<double>(3 * kPi / 2), 1e-15);
  EXPECT_NEAR(static_cast<double>(NormAngle(2 * kPi)), 0.0, 1e-15);
  EXPECT_GE(NormAngle(-1e-30L), 0.0L);
  EXPECT_LT(NormAngle(-1e-30L), 2 * kPi);

  struct {
    long double from, to, expected;
  } cases[] = {{350, 10, 20}, {10, 350, 340}, {90, 90, 0},
               {-10, 10, 20}, {10, -10, 340}, {-350, 350, 340},  // counter-clockwise 340 deg
               {-350, 10, 0}, {720, 30, 30}};
  for (const auto& c : cases) {
    EXPECT_NEAR(static_cast<double>(AngleDiff360(c.from, c.to)), static_cast<double>(c.expected),
                1e-12)
        << static_cast<double>(c.from) << " -> " << static_cast<double>(c.to);
  }
}

TEST_F(GuardedMathTest, RotationsTurnCounterClockwise) {
  long double xr = 0, yr = 0;
  RotatePoint(xr, yr, 1, 0, kPi / 2);
  EXPECT_NEAR(static_cast<double>(xr), 0.0, 1e-18);
  EXPECT_NEAR(static_cast<double>(yr), 1.0, 1e-18);
  // TurnedX/TurnedY give the point's coordinates in axes turned by a, i.e. the point turned
  // by -a.
  EXPECT_NEAR(static_cast<double>(TurnedX(1, 0, kPi / 2)), 0.0, 1e-18);
  EXPECT_NEAR(static_cast<double>(TurnedY(1, 0, kPi / 2)), -1.0, 1e-18);
  RotateTranslate(xr, yr, 10, 20, 90, 1, 0);
  EXPECT_NEAR(static_cast<double>(xr), 10.0, 1e-17);
  EXPECT_NEAR(static_cast<double>(yr), 21.0, 1e-17);
  // (1, 1) scaled to (2, 3), turned by 90 deg to (-3, 2), moved by (1, 1).
  ScaleRotateTranslate(xr, yr, 2, 3, 1, 1, 90, 1, 1);
  EXPECT_NEAR(static_cast<double>(xr), -2.0, 1e-17);
  EXPECT_NEAR(static_cast<double>(yr), 3.0, 1e-17);
}

TEST_F(GuardedMathTest, SmallHelpers) {
  EXPECT_EQ(Cathetus(5, 3), 4.0L);  // 3-4-5 triangle
  EXPECT_EQ(Cathetus(-5, 3), 4.0L);
  EXPECT_EQ(Cathetus(3, 5), 0.0L);
  EXPECT_EQ(Cathetus(3, 3), 0.0L);
  EXPECT_EQ(Hypot(3, 4), 5.0L);
  EXPECT_FALSE(IsEqual(1.0L, 1.00001L));
  EXPECT_TRUE(IsEqual(1.0L, 1.000009L));
  EXPECT_EQ(DeviationPercent(0, 5), 0.0L);
  EXPECT_EQ(DeviationPercent(4, 5), 25.0L);
  EXPECT_TRUE(IsBetween(2, 1, 3));
  EXPECT_TRUE(IsBetween(2, 3, 1));
  EXPECT_FALSE(IsBetween(1, 1, 3));
}

}  // namespace
