// The root fillet against the envelope of the rack's tip radius, computed here from the
// rolling of the rack on the reference circle (gear turned by s / r while the rack moves by
// s): every drawn fillet point lies at exactly the tip radius from the path of the tip radius
// centre, and the fillet joins the root circle and the flank without a gap.
#include "drawings/root_fillet.h"

#include <gtest/gtest.h>

#include <string>

#include "drawings/tooth_outline.h"
#include "tooth_test_support.h"

namespace {

using namespace tooth_test;

// Least distance from p to the path of the tip radius centre of the rack tooth in the gap to
// the left of the tooth on the y axis (the corner facing that tooth).
Real DistanceToTipCentrePath(const TPoint& p) {
  const TToothingData& t = ToothingData;
  const Real m = t.mn, alpha = t.alphaRad, rho = t.rhoaP0[1];
  const Real r = t.d[1] / 2;
  const Real u = t.haP0[1] - ToothGraphicsSettings.xeShape[1] * m - rho;
  const Real mx = kPiL * m / 4 - (t.haP0[1] - rho) * std::tan(alpha) - rho / std::cos(alpha);
  const Real gap = kPiL / t.z[1];
  auto centre = [&](Real s) { return Rotated({mx + s, r - u}, gap + s / r); };
  const Real s1 = -2 * kPiL * m, s2 = 2 * kPiL * m;
  const int kScan = 8000;
  Real best = 1e9, bestS = 0;
  for (int i = 0; i <= kScan; ++i) {
    const Real s = s1 + (s2 - s1) * i / kScan;
    const Real d = Distance(p, centre(s));
    if (d < best) best = d, bestS = s;
  }
  Real lo = bestS - (s2 - s1) / kScan, hi = bestS + (s2 - s1) / kScan;
  const Real g = (std::sqrt(5.0L) - 1) / 2;
  for (int i = 0; i < 200; ++i) {
    const Real a = hi - g * (hi - lo), b = lo + g * (hi - lo);
    if (Distance(p, centre(a)) < Distance(p, centre(b))) {
      hi = b;
    } else {
      lo = a;
    }
  }
  return std::min(best, Distance(p, centre((lo + hi) / 2)));
}

struct TFilletCase {
  std::string name;
  TSplineCase spline;
  Real u;  // haP0 - x m - rhoaP0, worked out by hand
};

std::vector<TFilletCase> FilletCases() {
  TSplineCase iso;  // m 2, z 20, alpha 20, tool 1.25 m / 0.38 m
  iso.alphaDeg = 20;
  iso.haP0mn = 1.25L;
  iso.hfP0mn = 1.0L;
  iso.rhoaP0mn = 0.38L;
  TSplineCase din = Din5480W45x2x21();  // 1.1 - 0.4 - 0.32
  TSplineCase outside;                  // r 10, u -0.3, rho 0.5: the tip centre outside
  outside.z = 20;
  outside.m = 1;
  outside.alphaDeg = 20;
  outside.haP0mn = 1.25L;
  outside.hfP0mn = 1.0L;
  outside.rhoaP0mn = 0.5L;
  outside.x1 = 1.05L;
  TSplineCase onLine = iso;  // tip centre on the rolling line: x = (2.5 - 0.76) / 2
  onLine.x1 = 0.87L;
  TSplineCase odd = iso;
  odd.z = 9;
  odd.x1 = 0.3L;
  return {
      {"Iso20DegreesZ20", iso, 2.5L - 0.76L},
      {"Din5480W45x2x21", din, 1.1L - 0.4L - 0.32L},
      {"TipCentreOutsideRollingLine", outside, 1.25L - 1.05L - 0.5L},
      {"TipCentreOnRollingLine", onLine, 0},
      {"OddZ9Shifted", odd, 2.5L - 0.6L - 0.76L},
  };
}

class RootFillet : public ToothTest, public ::testing::WithParamInterface<TFilletCase> {
 protected:
  std::vector<TPoint> DrawSide(int side, TPoint* end = nullptr) {
    Real x = 0, y = 0;
    Open();
    RootFilletPoints(1, side, x, y);
    Close();
    if (end) *end = {x, y};
    const auto chains = Chains(Pieces(rec_, 0));
    EXPECT_EQ(chains.size(), 1u);
    return chains.empty() ? std::vector<TPoint>{} : ChainVertices(chains[0]);
  }
};

TEST_P(RootFillet, EveryPointLiesOnTheEnvelopeOfTheTipRadius) {
  SetSplineCase(GetParam().spline);
  ASSERT_NEAR(ToothingData.haP0[1] - ToothingData.x[1] * ToothingData.mn - ToothingData.rhoaP0[1],
              GetParam().u, 1e-12L);
  const Real rho = ToothingData.rhoaP0[1];
  const auto side1 = DrawSide(1);
  const auto side2 = DrawSide(2);
  ASSERT_GE(side1.size(), 3u);
  ASSERT_EQ(side2.size() + 1, side1.size());
  // Side 1 starts with the chord across the gap bottom; the curve follows.
  for (std::size_t i = 1; i < side1.size(); ++i) {
    // With the tip centre on the rolling line its path has a cusp at the root point: the
    // first step after it lies on the envelope branch that the neighbouring tool positions
    // just cut into (1.5 um for this case).
    const Real tolerance = GetParam().u == 0 && i == 2 ? 2e-3L : 1e-3L;
    EXPECT_NEAR(DistanceToTipCentrePath(side1[i]), rho, tolerance) << "side 1, point " << i;
    // Side 2 is its mirror image.
    const TPoint m = {-side2[i - 1].x, side2[i - 1].y};
    EXPECT_NEAR(Distance(m, side1[i]), 0, 1e-12L);
  }
  for (const TCadPrimitive& p : rec_.Items()) EXPECT_TRUE(Finite(p));
}

TEST_P(RootFillet, StartsOnTheRootCircleAcrossTheGapCentre) {
  SetSplineCase(GetParam().spline);
  const auto side1 = DrawSide(1);
  ASSERT_GE(side1.size(), 2u);
  const Real rf = ToothGraphicsSettings.dfGen[1] / 2;
  EXPECT_NEAR(Radius(side1[0]), rf, 1e-9L);
  EXPECT_NEAR(Radius(side1[1]), rf, 1e-9L);
  // The two root points lie symmetric about the centre line of the gap.
  const Real gapCentre = kPiL / 2 + kPiL / ToothingData.z[1];
  EXPECT_NEAR(Polar(side1[0]) - gapCentre, gapCentre - Polar(side1[1]), 1e-9L);
}

INSTANTIATE_TEST_SUITE_P(Cases, RootFillet, ::testing::ValuesIn(FilletCases()),
                         [](const auto& info) { return info.param.name; });

TEST_F(ToothTest, FilletAndOutlineJoinWithoutGapFromRootToTip) {
  TSplineCase c;
  c.alphaDeg = 20;
  c.haP0mn = 1.25L;
  c.rhoaP0mn = 0.38L;
  SetSplineCase(c);
  ASSERT_TRUE(FilletReachesBaseCircle(1));
  ToothGraphicsSettings.drawRootCurve = true;
  Open();
  DrawToothOutline(1, false);
  Close();
  // Two fillets (right and left of the tooth) and the outline; the outline starts where the
  // mirrored fillet ends and finishes where the first one ends.
  const auto chains = Chains(Pieces(rec_, 5));
  ASSERT_EQ(chains.size(), 2u);
  const auto v = ChainVertices(chains[1]);
  const auto left = ChainVertices(chains[0]);
  EXPECT_NEAR(Distance(left.back(), v.back()), 0, 1e-12L);
  const Real rf = ToothGraphicsSettings.dfGen[1] / 2;
  EXPECT_NEAR(Radius(left.front()), rf, 1e-9L);
  EXPECT_NEAR(Radius(v.front()), rf, 1e-9L);
  EXPECT_GT(v.front().x, 0);
  EXPECT_LT(v.back().x, 0);
  // The fillet runs up to the base circle, where the involute takes over.
  Real highestFillet = 0;
  for (const TPoint& p : left) {
    if (p.x < 0 && Radius(p) < ToothingData.db[1] / 2 + 0.05L)
      highestFillet = std::max(highestFillet, Radius(p));
  }
  EXPECT_GE(highestFillet, ToothingData.db[1] / 2);
}

TEST_F(ToothTest, TipCentreExactlyOnTheRollingLineStartsAtTheRootPoint) {
  // u = haP0 - x m - rhoaP0 = 1.25 - 1 - 0.25 = 0 exactly (all binary fractions): the tip
  // radius centre passes through the rolling point, where the curve's normal is undefined.
  TSplineCase c;
  c.m = 1;
  c.alphaDeg = 20;
  c.haP0mn = 1.25L;
  c.rhoaP0mn = 0.25L;
  c.x1 = 1;
  SetSplineCase(c);
  ASSERT_EQ(ToothingData.haP0[1] - ToothingData.mn * c.x1 - ToothingData.rhoaP0[1], 0);
  Real x = 0, y = 0;
  Open();
  RootFilletPoints(1, 1, x, y);
  Close();
  EXPECT_TRUE(std::isfinite(x) && std::isfinite(y));
  for (const TCadPrimitive& p : rec_.Items()) ASSERT_TRUE(Finite(p));
  const auto chains = Chains(Pieces(rec_, 0));
  ASSERT_EQ(chains.size(), 1u);
  const auto v = ChainVertices(chains[0]);
  ASSERT_GE(v.size(), 3u);
  EXPECT_NEAR(Radius(v[1]), ToothGraphicsSettings.dfGen[1] / 2, 1e-12L);
}

TEST_F(ToothTest, FilletStepsZeroBecomeThirtyAndAHubTakesOneStep) {
  TSplineCase c;
  c.alphaDeg = 20;
  c.haP0mn = 1.25L;
  c.rhoaP0mn = 0.38L;
  SetSplineCase(c);
  ToothGraphicsSettings.FilletSteps = 0;
  Real x, y;
  Open();
  RootFilletPoints(1, 2, x, y);
  Close();
  EXPECT_EQ(ToothGraphicsSettings.FilletSteps, 30);
  // The hub has no generated fillet: the loop stops after its first point.
  ToothingData.dNf[2] = 1e6L;
  Open();
  RootFilletPoints(2, 1, x, y);
  Close();
  EXPECT_LE(Pieces(rec_, 0).size(), 1u);
  EXPECT_TRUE(std::isfinite(x) && std::isfinite(y));
  EXPECT_FALSE(FilletReachesBaseCircle(2));
}

}  // namespace
