// A fixed-seed sweep judged against textbook geometry: db = z m cos a, da = z m + 2 m (x + hf),
// span W = m cos a [(k - 0.5) pi + z inv a] + 2 x m sin a touching the flank at hypot(db, W);
// rack-cut form circle dFf = hypot(db, T), T = z m sin a - 2 m (ha - x - rho (1 - sin a)) / sin a.
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

TEST(SplineSweep, PrintedValuesAgreeWithTextbookGeometryAndTheRemarks) {
  ResetProgramStateForTests();
  InitMessageList();
  InitToothingData();
  std::mt19937 random(20261207u);
  auto uniform = [&](double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(random);
  };
  int offFlank = 0, formErrors = 0;
  for (int n = 0; n < 5000; ++n) {  // form errors are rare, about 1 in 600
    const int z = 6 + static_cast<int>(random() % 75);
    const double m = std::round(uniform(0.5, 10) * 1000) / 1000;
    const double alpha = 30 + 7.5 * static_cast<double>(random() % 3);
    const double x = std::round(uniform(-0.8, 0.8) * 10000) / 10000;
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
    SCOPED_TRACE(testing::Message() << "z " << z << " m " << m << " alpha " << alpha << " x " << x);
    std::string said;  // the remarks, each explained
    for (int i = 1; i <= ErrorList.count; ++i) {
      said += ErrorList.messages[i] + "\n";
      EXPECT_TRUE(calc_test::Explained(ErrorList.messages[i])) << ErrorList.messages[i];
    }
    ASSERT_FALSE(CalcFatalFlag) << ErrorText(1);
    const double a = alpha * M_PI / 180, d = z * m, db = d * std::cos(a), da = d + 2 * m * (x + hf);
    const double T = d * std::sin(a) - 2 * m * (ha - x - rho * (1 - std::sin(a))) / std::sin(a);
    const double dFf = std::hypot(db, T);
    auto span = [&](double k) {
      return m * std::cos(a) * ((k - 0.5) * M_PI + z * (std::tan(a) - a)) + 2 * x * m * std::sin(a);
    };
    const double W = span(t.k[1]);
    EXPECT_NEAR(std::round(t.dFf[1] * 1000) / 1000, dFf, kPrinted);
    EXPECT_NEAR(std::round(t.W[1] * 1000) / 1000, W, kPrinted);
    // The finishing limits are spans at their own shifts, over the same teeth.
    auto spanAt = [&](double xe) { return W + 2 * (xe - x) * m * std::sin(a); };
    EXPECT_NEAR(t.WFinMin[1], spanAt(static_cast<double>(t.xeFinMin[1])), 1e-9);
    EXPECT_NEAR(t.WFinMax[1], spanAt(static_cast<double>(t.xeFinMax[1])), 1e-9);
    // The caliper touches the flank, or the remarks say it does not.
    const double contact = std::hypot(db, W), low = std::max(dFf, db);
    if (contact < low - kPrinted || contact > da + kPrinted) {
      EXPECT_NE(said.find("off flank (k = " + std::to_string(t.k[1]) + ")"), std::string::npos);
      ++offFlank;
      for (int j = 1; j <= z && userK == 0; ++j)  // the program's own k only where none touches
        EXPECT_FALSE(std::hypot(db, span(j)) > low + kPrinted &&
                     std::hypot(db, span(j)) < da - kPrinted)
            << j;
    }
    // A form circle the flank cannot have comes with an Error naming dFf.
    if (T < -kPrinted || dFf > da + kPrinted) {
      EXPECT_TRUE(said.find("Error  : dFf undercut ! (1)") != std::string::npos ||
                  said.find("Error  : dFf > da ! (1)") != std::string::npos);
      ++formErrors;
    }
    // Entered by thickness, balls (resting on both flanks) or span: same shifts and messages.
    const TToothingData joint = t;
    const TSplineInputData inputs = s;
    for (int kind : {2, 3, 4}) {
      if (kind == 3 && said.find("Dm ball !") != std::string::npos) continue;
      t = joint, s = inputs;
      s.InputKind[1] = static_cast<int16_t>(kind), t.x[1] = t.x[2] = 0;
      if (kind == 4) t.k[1] = userK;  // the program finds its own teeth again
      CalcSplineJoint();
      std::string again;
      for (int i = 1; i <= ErrorList.count; ++i) again += ErrorList.messages[i] + "\n";
      EXPECT_NEAR(static_cast<double>(t.x[1]), x, 1e-6) << kind;
      EXPECT_NEAR(static_cast<double>(t.x[2]), static_cast<double>(joint.x[2]), 1e-6) << kind;
      EXPECT_EQ(again, said) << kind;
    }
  }
  EXPECT_GT(offFlank, 0);  // the sweep reaches the cases it judges
  EXPECT_GT(formErrors, 0);
}

}  // namespace
