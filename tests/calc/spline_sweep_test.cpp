// A fixed-seed sweep of spline joints judged against textbook geometry computed here:
// d = z m, db = d cos a, da = d + 2 m (x + hfP0*), span W = m cos a [(k - 0.5) pi + z inv a]
// + 2 x m sin a touching the flanks at sqrt(db^2 + W^2); rack-cut root form dFf = sqrt(db^2 +
// T^2), T = d sin a - 2 m (haP0* - x - rhoaP0* (1 - sin a)) / sin a, none for T < 0.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "calc/explained_messages.h"
#include "calc/spline_joint.h"
#include "calc/toothing_data.h"
#include "common/message_list.h"
#include "common/program_state.h"

namespace {

constexpr double kPrinted = 1.5e-3;  // what 3 printed decimals can hide, with a margin

double Printed(long double v) {
  return std::round(static_cast<double>(v) * 1000.0) / 1000.0;
}

bool Has(const std::string& text, const std::string& piece) {
  return text.find(piece) != std::string::npos;
}

TEST(SplineSweep, PrintedValuesAgreeWithTextbookGeometryAndTheRemarks) {
  ResetProgramStateForTests();
  InitMessageList();
  InitToothingData();
  std::mt19937 random(20261207u);
  auto uniform = [&](double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(random);
  };
  int offFlank = 0, formErrors = 0;
  for (int n = 0; n < 5000; ++n) {  // 0.2 s; form errors are rare, about 1 in 600
    const int z = 6 + static_cast<int>(random() % 75);
    const double m = std::round(uniform(0.5, 10) * 1000) / 1000;
    const double alpha = 30 + 7.5 * static_cast<double>(random() % 3);
    const double x = std::round(uniform(-0.5, 0.8) * 10000) / 10000;
    const double hf = uniform(0.4, 0.6), ha = uniform(0.5, 0.7), rho = uniform(0.05, 0.4);
    const int userK = random() % 4 == 0 ? 1 + static_cast<int>(random() % (z / 2)) : 0;
    ResetSplineData();  // then the shaft by tool factors with x given, the program's balls
    TToothingData& t = ToothingData;
    TSplineInputData& s = SplineInputData;
    t.mn = m, t.alpha = alpha, t.z[1] = z, t.x[1] = x, t.k[1] = userK, t.k[2] = 0;
    t.Dm[1] = t.Dm[2] = 0;
    t.hfP0mn[1] = hf, t.haP0mn[1] = ha, t.rhoaP0mn[1] = t.rhoaP0mn[2] = rho;
    s.ShiftGivenFor = 1, s.InputKind[1] = 1, s.ClearanceAsFactor = true;
    s.cemn = 0.1L, s.cimn = uniform(0.05, 0.15), s.cpmn = uniform(0, 0.02);
    CalcSplineJoint();
    SCOPED_TRACE(testing::Message()
                 << "z " << z << " m " << m << " alpha " << alpha << " x " << x << " k " << userK);
    std::string said;  // the remarks
    for (int i = 1; i <= ErrorList.count; ++i) {
      said += ErrorList.messages[i] + "\n";
      EXPECT_TRUE(calc_test::Explained(ErrorList.messages[i])) << ErrorList.messages[i];
    }
    ASSERT_FALSE(CalcFatalFlag) << ErrorText(1);

    const double a = alpha * M_PI / 180, d = z * m, db = d * std::cos(a), da = d + 2 * m * (x + hf);
    const double T = d * std::sin(a) - 2 * m * (ha - x - rho * (1 - std::sin(a))) / std::sin(a);
    const double dFf = std::hypot(db, T), low = std::max(dFf, db);
    auto span = [&](int k) {
      return m * std::cos(a) * ((k - 0.5) * M_PI + z * (std::tan(a) - a)) + 2 * x * m * std::sin(a);
    };
    auto onFlank = [&](int k, double margin) {
      const double contact = std::hypot(db, span(k));
      return contact >= low + margin && contact <= da - margin;
    };
    const int k = t.k[1];
    if (userK != 0) EXPECT_EQ(k, userK);
    EXPECT_NEAR(Printed(t.da[1]), da, kPrinted);
    EXPECT_NEAR(Printed(t.dFf[1]), dFf, kPrinted);
    EXPECT_NEAR(Printed(t.W[1]), span(k), kPrinted);

    // The span's caliper touches the flank, or the remarks say it does not; a k the program
    // chose itself touches whenever some k can.
    const bool remarked = Has(said, "off flank (k = " + std::to_string(k) + ")");
    if (!onFlank(k, -kPrinted)) {
      EXPECT_TRUE(remarked);
      ++offFlank;
    }
    if (onFlank(k, kPrinted)) EXPECT_FALSE(remarked);
    bool someOnFlank = false;
    for (int kk = 1; kk <= z; ++kk) someOnFlank = someOnFlank || onFlank(kk, 0);
    if (userK == 0 && someOnFlank) EXPECT_FALSE(remarked);

    // A form diameter the flank cannot have comes with an Error naming dFf.
    if (T < -kPrinted || dFf > da + kPrinted) {
      EXPECT_TRUE(Has(said, "Error  : dFf undercut ! (1)") || Has(said, "Error  : dFf > da ! (1)"));
      ++formErrors;
    }
    // Nothing listed that the printed values contradict.
    if (Has(said, "sa <= 0, pointed teeth ! (1)")) EXPECT_LE(Printed(t.san[1]), 0);
    if (Has(said, "cp < 0")) EXPECT_LT(Printed(s.cp), 0);
    if (Has(said, "dFf undercut ! (1)")) EXPECT_LT(T, kPrinted);
    if (Has(said, "dFf > da ! (1)")) EXPECT_GT(dFf, da - kPrinted);
  }
  // The sweep reaches the cases it is meant to judge.
  EXPECT_GT(offFlank, 0);
  EXPECT_GT(formErrors, 0);
}

}  // namespace
