// A fixed-seed sweep over spline joints (z 6..80, m 0.5..10, alpha 30 / 37.5 / 45,
// x -0.5..+0.8, tool factors and teeth spanned varied), each judged against textbook
// geometry computed here and not taken from the program:
//   d = z m, db = d cos(a), shaft tip da = d + 2 m (x + hfP0*);
//   span W = m cos(a) [(k - 0.5) pi + z inv(a)] + 2 x m sin(a), touching the flanks at the
//   diameter sqrt(db^2 + W^2) (the caliper's faces are tangent to the base circle's involutes);
//   root form circle of a rack-cut external tooth dFf = sqrt(db^2 + T^2) with
//   T = d sin(a) - 2 (haP0 - x m - rhoaP0 (1 - sin a)) / sin(a), which exists only for T >= 0;
//   top land sa = da (s / d + inv(a) - inv(aa)), cos(aa) = db / da, s = m (pi / 2 + 2 x tan a);
//   hub root form = |df2| - 2 rhoaP0 (1 - sin a); practical undercut limit
//   xmin = (5/6 zg - z) / zg, zg = 2 / sin^2(a).
// Values are compared as the listing prints them (3 decimals). Every span's contact must lie
// on the flank or the remarks must say so; a form diameter outside the flank must come with an
// Error naming dFf; no listed Error or Warning may be contradicted by the listed values; every
// listed message must have its record in the shipped explanation file.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "calc/explained_messages.h"
#include "calc/spline_joint.h"
#include "calc/toothing_data.h"
#include "common/message_list.h"
#include "common/program_state.h"

namespace {

constexpr double kPrinted = 1.5e-3;  // what 3 printed decimals can hide, with a margin
constexpr int kJoints = 5000;

double Printed(long double v) {
  return std::round(static_cast<double>(v) * 1000.0) / 1000.0;
}

double Involute(double a) {
  return std::tan(a) - a;
}

struct Joint {
  int z, k;
  double m, alphaDeg, x, hf, ha, rho, ci, cp;
};

std::string Describe(const Joint& j) {
  std::ostringstream o;
  o << "z " << j.z << " m " << j.m << " alpha " << j.alphaDeg << " x " << j.x << " k " << j.k
    << " hfP0* " << j.hf << " haP0* " << j.ha << " rhoaP0* " << j.rho << " ci* " << j.ci << " cp* "
    << j.cp;
  return o.str();
}

bool Has(const std::string& text, const std::string& piece) {
  return text.find(piece) != std::string::npos;
}

class SplineSweep : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramStateForTests();
    InitMessageList();
    InitToothingData();
  }

  // Messages of the last calculation, and whether one starts with start and holds all pieces.
  bool Listed(const std::string& start, std::initializer_list<std::string> pieces = {}) const {
    for (int i = 1; i <= ErrorList.count; ++i) {
      const std::string& m = ErrorList.messages[i];
      if (m.rfind(start, 0) != 0) continue;
      bool all = true;
      for (const std::string& p : pieces) all = all && Has(m, p);
      if (all) return true;
    }
    return false;
  }

  static void Calculate(const Joint& j) {
    ResetSplineData();
    TToothingData& t = ToothingData;
    TSplineInputData& s = SplineInputData;
    t.mn = j.m;
    t.alpha = j.alphaDeg;
    t.z[1] = j.z;
    t.x[1] = j.x;
    t.k[1] = j.k;
    t.k[2] = 0;
    t.Dm[1] = t.Dm[2] = 0;
    t.hfP0mn[1] = j.hf;
    t.haP0mn[1] = j.ha;
    t.rhoaP0mn[1] = t.rhoaP0mn[2] = j.rho;
    s.ShiftGivenFor = 1;
    s.InputKind[1] = 1;
    s.ClearanceAsFactor = true;
    s.cemn = 0.1L;
    s.cimn = j.ci;
    s.cpmn = j.cp;
    CalcSplineJoint();
  }
};

TEST_F(SplineSweep, PrintedValuesAgreeWithTextbookGeometryAndTheRemarks) {
  std::mt19937 random(20261207u);
  std::uniform_int_distribution<int> teeth(6, 80);
  std::uniform_real_distribution<double> module(0.5, 10), shift(-0.5, 0.8), unit(0, 1);
  const double angles[] = {30, 37.5, 45};
  ASSERT_GT(calc_test::ExplainedKeys().size(), 100u);

  int calculated = 0, userSpans = 0, offFlank = 0, formErrors = 0;
  for (int n = 0; n < kJoints; ++n) {
    Joint j;
    j.z = teeth(random);
    j.m = std::round(module(random) * 1000) / 1000;
    j.alphaDeg = angles[random() % 3];
    j.x = std::round(shift(random) * 10000) / 10000;
    j.hf = 0.4 + 0.2 * unit(random);
    j.ha = 0.5 + 0.2 * unit(random);
    j.rho = 0.05 + 0.35 * unit(random);
    j.ci = 0.05 + 0.1 * unit(random);
    j.cp = 0.02 * unit(random);
    // One joint in four has its number of teeth spanned given by the user, up to half its teeth.
    j.k = random() % 4 == 0 ? 1 + static_cast<int>(random() % static_cast<unsigned>(j.z / 2)) : 0;
    userSpans += j.k != 0;
    Calculate(j);
    const std::string what = Describe(j);
    ASSERT_FALSE(CalcFatalFlag) << what << "\n" << ErrorText(1);
    ++calculated;
    const TToothingData& t = ToothingData;
    const TSplineInputData& s = SplineInputData;

    // Textbook geometry of the shaft.
    const double a = j.alphaDeg * M_PI / 180;
    const double d = j.z * j.m;
    const double db = d * std::cos(a);
    const double da = d + 2 * j.m * (j.x + j.hf);
    const double rootTerm =
        d * std::sin(a) -
        2 * (j.ha * j.m - j.x * j.m - j.rho * j.m * (1 - std::sin(a))) / std::sin(a);
    const double dFf = std::sqrt(db * db + rootTerm * rootTerm);
    EXPECT_NEAR(Printed(t.db[1]), db, kPrinted) << what;
    EXPECT_NEAR(Printed(t.da[1]), da, kPrinted) << what;
    EXPECT_NEAR(Printed(t.dFf[1]), dFf, kPrinted) << what;

    // The span over the printed k and where its caliper touches.
    const int k = t.k[1];
    ASSERT_GE(k, 1) << what;
    if (j.k != 0) EXPECT_EQ(k, j.k) << "a number the user gave stays; " << what;
    auto span = [&](int kk) {
      return j.m * std::cos(a) * ((kk - 0.5) * M_PI + j.z * Involute(a)) +
             2 * j.x * j.m * std::sin(a);
    };
    const double W = span(k);
    EXPECT_NEAR(Printed(t.W[1]), W, kPrinted) << what;
    const double low = std::max(dFf, db), high = da;
    auto contact = [&](int kk) { return std::hypot(db, span(kk)); };
    const bool remarked = Listed("Warning: span", {"k = " + std::to_string(k)});
    if (contact(k) < low - kPrinted || contact(k) > high + kPrinted) {
      EXPECT_TRUE(remarked) << "contact " << contact(k) << " off [" << low << ", " << high
                            << "] without a remark; " << what;
      ++offFlank;
    } else if (contact(k) > low + kPrinted && contact(k) < high - kPrinted) {
      EXPECT_FALSE(remarked) << "remark on a span that touches the flank; " << what;
    }
    if (j.k == 0) {
      // The program's own choice touches the flank whenever some number of teeth does.
      bool someOnFlank = false;
      for (int kk = 1; kk <= j.z; ++kk)
        someOnFlank = someOnFlank || (contact(kk) >= low && contact(kk) <= high);
      if (someOnFlank) EXPECT_FALSE(remarked) << "program chose k " << k << "; " << what;
    }

    // Form diameters: outside the flank only with an Error naming dFf.
    if (rootTerm < -kPrinted || dFf > da + kPrinted) {
      EXPECT_TRUE(Listed("Error", {"dFf", "(1)"})) << what;
      ++formErrors;
    }
    const double hubRootForm = std::fabs(Printed(t.df[2])) - 2 * j.rho * j.m * (1 - std::sin(a));
    EXPECT_NEAR(std::fabs(Printed(t.dFf[2])), hubRootForm, kPrinted) << what;
    if (hubRootForm < std::fabs(Printed(t.da[2])) - kPrinted || hubRootForm < db - kPrinted)
      EXPECT_TRUE(Listed("Error", {"dFf", "(2)"})) << what;

    // Top land of the shaft.
    const double tipAngle = std::acos(db / da);
    const double thickness = j.m * (M_PI / 2 + 2 * j.x * std::tan(a));
    const double topLand = da * (thickness / d + Involute(a) - Involute(tipAngle));
    EXPECT_NEAR(Printed(t.san[1]), topLand, kPrinted) << what;
    if (topLand < -kPrinted) EXPECT_TRUE(Listed("Error", {"sa", "(1)"})) << what;

    // Nothing listed that the printed values contradict.
    const double xmin =
        (5.0 / 6.0 * 2 / std::pow(std::sin(a), 2) - j.z) / (2 / std::pow(std::sin(a), 2));
    for (int i = 1; i <= ErrorList.count; ++i) {
      const std::string& msg = ErrorList.messages[i];
      EXPECT_TRUE(calc_test::Explained(msg)) << "no explanation for " << msg;
      const int part = Has(msg, "(2)") ? 2 : 1;
      const double san = Printed(part == 1 ? t.san[1] : t.sanInt[2]);
      if (Has(msg, "sa < 0.15*m")) EXPECT_LE(san, 0.15 * j.m + kPrinted) << msg << "; " << what;
      if (Has(msg, "sa <= 0")) EXPECT_LE(san, kPrinted) << msg << "; " << what;
      if (Has(msg, "cp < 0")) EXPECT_LT(Printed(s.cp), 0) << msg << "; " << what;
      if (Has(msg, "ci < 0")) EXPECT_LT(Printed(s.ci), 0) << msg << "; " << what;
      if (Has(msg, "ce < 0")) EXPECT_LT(Printed(s.ce), 0) << msg << "; " << what;
      if (Has(msg, "undercut")) EXPECT_LT(j.x, xmin + 1e-9) << msg << "; " << what;
      if (Has(msg, "db > dFf")) EXPECT_LT(Printed(t.dFf[1]), Printed(t.db[1])) << msg;
      if (Has(msg, "db > da"))
        EXPECT_LT(std::fabs(Printed(t.da[part])), std::fabs(Printed(t.db[part]))) << msg;
      if (Has(msg, "x > 1.5") || Has(msg, "x < -1.5")) ADD_FAILURE() << msg << "; " << what;
      if (Has(msg, "dFf undercut ! (1)")) EXPECT_LT(rootTerm, kPrinted) << msg << "; " << what;
      if (Has(msg, "dFf > da ! (1)")) EXPECT_GT(dFf, da - kPrinted) << msg << "; " << what;
      if (Has(msg, "off flank"))
        EXPECT_TRUE(contact(k) < low + kPrinted || contact(k) > high - kPrinted) << what;
    }

    // The ball and the number of teeth the program chose stay in the data set; calculated
    // again they are the user's and must not turn into findings against themselves.
    if (j.k == 0 && n % 10 == 0) {
      std::vector<std::string> first;
      for (int i = 1; i <= ErrorList.count; ++i) first.push_back(ErrorList.messages[i]);
      CalcSplineJoint();
      std::vector<std::string> again;
      for (int i = 1; i <= ErrorList.count; ++i) again.push_back(ErrorList.messages[i]);
      EXPECT_EQ(again, first) << what;
      EXPECT_EQ(t.k[1], k) << what;
    }
  }
  EXPECT_EQ(calculated, kJoints);
  // The sweep reaches the cases it is meant to judge.
  EXPECT_GT(userSpans, 100);
  EXPECT_GT(offFlank, 5);
  EXPECT_GT(formErrors, 0);
}

}  // namespace
