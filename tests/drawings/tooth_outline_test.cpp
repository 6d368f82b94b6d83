// The tooth outline of shaft and hub measured on the recorded primitives: flank vertices on
// the involute of the base circle, tooth thickness and space width at the reference circle
// against the textbook values, the three forms of the root side, the count of involute points.
#include "drawings/tooth_outline.h"

#include <gtest/gtest.h>

#include <string>

#include "drawings/involute_curve.h"
#include "drawings/root_fillet.h"
#include "tooth_test_support.h"

namespace {

using namespace tooth_test;

struct TOutlineCase {
  std::string name;
  bool example;  // the calculated example joint instead of the textbook case
  TSplineCase spline;
};

std::vector<TOutlineCase> OutlineCases() {
  TSplineCase even20;
  even20.z = 20;
  even20.alphaDeg = 20;
  even20.haP0mn = 1.25L;
  even20.hfP0mn = 1.0L;
  even20.rhoaP0mn = 0.38L;
  TSplineCase odd13 = Din5480W45x2x21();
  odd13.z = 13;
  odd13.x1 = 0.35L;
  odd13.x2 = 0.1L;
  TSplineCase small12 = even20;
  small12.z = 12;
  small12.x1 = 0.1L;
  small12.x2 = -0.1L;
  return {
      {"ExampleJointZ8", true, {}},
      {"Din5480W45x2x21", false, Din5480W45x2x21()},
      {"Iso20DegreesZ20", false, even20},
      {"Alpha30OddZ13", false, odd13},
      {"Iso20DegreesZ12FilletToBaseCircle", false, small12},
  };
}

class ToothOutline : public ToothTest, public ::testing::WithParamInterface<TOutlineCase> {
 protected:
  // Pieces of the two fillet curves that the outline of part n draws before its polyline.
  std::size_t FilletPieces(int n) {
    if (n != 1 || !ToothGraphicsSettings.drawRootCurve || !FilletReachesBaseCircle(n)) return 0;
    Real x, y;
    Open();
    RootFilletPoints(n, 1, x, y);
    RootFilletPoints(n, 2, x, y);
    Close();
    return Pieces(rec_, 5).size();
  }
  void Load() {
    if (GetParam().example) {
      SetExampleJoint();
      ASSERT_FALSE(CalcFatalFlag);
    } else {
      SetSplineCase(GetParam().spline);
    }
  }
  // Draws the outline of part n and returns its flanks.
  TFlanks Draw(int n, bool fillet) {
    ToothGraphicsSettings.drawRootCurve = fillet;
    const std::size_t skip = FilletPieces(n);
    Open();
    DrawToothOutline(n, false);
    Close();
    auto pieces = Pieces(rec_, 5);
    pieces.erase(pieces.begin(), pieces.begin() + std::min(skip, pieces.size()));
    const auto chains = Chains(pieces);
    EXPECT_FALSE(chains.empty());
    if (chains.empty()) return {};
    const auto v = ChainVertices(chains.back());
    TRootForm form = TRootForm::Hub;
    if (n == 1) {
      form = !FilletReachesBaseCircle(1) ? TRootForm::RootArc
             : fillet                    ? TRootForm::GeneratedFillet
                                         : TRootForm::BaseCircle;
    }
    const int points = ToothGraphicsSettings.InvolutePoints;
    TFlanks f = SplitFlanks(v, form, points);
    EXPECT_EQ(v.size(), f.expectedVertices) << "part " << n;
    return f;
  }
};

TEST_P(ToothOutline, FlankVerticesLieOnTheInvoluteOfTheBaseCircle) {
  Load();
  for (int n = 1; n <= 2; ++n) {
    for (bool fillet : {false, true}) {
      const TFlanks f = Draw(n, fillet);
      const Real rb = ToothingData.db[n] / 2;
      const TInvoluteFit right = FitInvolute(f.right, rb, +1);
      const TInvoluteFit left = FitInvolute(f.left, rb, -1);
      EXPECT_GE(right.count, 19);
      EXPECT_GE(left.count, 18);
      EXPECT_LT(right.spread, 1e-9L) << "part " << n << " fillet " << fillet;
      EXPECT_LT(left.spread, 1e-9L) << "part " << n << " fillet " << fillet;
    }
  }
}

TEST_P(ToothOutline, ThicknessAtTheReferenceCircleIsSnAndTheHubSpaceIsEn) {
  Load();
  for (int n = 1; n <= 2; ++n) {
    const TFlanks f = Draw(n, false);
    const Real rb = ToothingData.db[n] / 2;
    const Real r = std::fabs(ToothingData.d[n]) / 2;
    const TInvoluteFit right = FitInvolute(f.right, rb, +1);
    const TInvoluteFit left = FitInvolute(f.left, rb, -1);
    const Real angle =
        std::fabs(InvoluteAngleAt(left, rb, -1, r) - InvoluteAngleAt(right, rb, +1, r));
    const Real cosBeta = std::cos(ToothingData.betaRad);
    if (n == 1) {
      EXPECT_NEAR(r * angle * cosBeta, ToothingData.sn[1], 1e-6L);
    } else {
      const Real pitchAngle = 2 * kPiL / std::abs(ToothingData.z[2]);
      EXPECT_NEAR(r * (pitchAngle - angle) * cosBeta, ToothingData.en[2], 1e-6L);
    }
  }
}

TEST_P(ToothOutline, RootSideEndsOnTheRootCircleOnTheGapCentreLine) {
  Load();
  for (int n = 1; n <= 2; ++n) {
    ToothGraphicsSettings.drawRootCurve = false;
    Open();
    DrawToothOutline(n, false);
    Close();
    const auto v = ChainVertices(Chains(Pieces(rec_, 5)).back());
    ASSERT_FALSE(v.empty());
    if (n == 1 && FilletReachesBaseCircle(1)) {
      // Without the generated fillet the outline starts and ends on the base circle.
      EXPECT_NEAR(Radius(v.front()), ToothingData.db[1] / 2, 1e-9L);
      EXPECT_NEAR(Radius(v.back()), ToothingData.db[1] / 2, 1e-9L);
      continue;
    }
    // Half a pitch either side of the tooth centre line, on the generated root circle.
    const Real rf = std::fabs(ToothGraphicsSettings.dfGen[n]) / 2;
    const Real half = kPiL / std::abs(ToothingData.z[n]);
    const Real centre = n == 1 ? kPiL / 2 : -kPiL / 2;
    EXPECT_NEAR(Radius(v.front()), rf, 1e-9L);
    EXPECT_NEAR(Radius(v.back()), rf, 1e-9L);
    EXPECT_NEAR(std::fabs(Polar(v.front()) - centre), half, 1e-9L);
    EXPECT_NEAR(std::fabs(Polar(v.back()) - centre), half, 1e-9L);
    // The root fillet arcs have the tool's tip radius, or less where half the hub's gap cannot
    // hold that (the fillet then ends on the gap centre line).
    int filletArcs = 0;
    for (const TCadPrimitive& p : Pieces(rec_, 5)) {
      const bool offCentre = Radius({p.x[0], p.y[0]}) > 1e-6L;
      if (p.kind == TCadPrimitive::Kind::Arc && offCentre &&
          (n == 2 ? p.r <= ToothingData.rhoaP0[n] + 1e-9L
                  : std::fabs(p.r - ToothingData.rhoaP0[n]) < 1e-9L))
        ++filletArcs;
    }
    EXPECT_EQ(filletArcs, 2) << "part " << n;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ToothOutline, ::testing::ValuesIn(OutlineCases()),
                         [](const auto& info) { return info.param.name; });

TEST_F(ToothTest, FlankPointOnTheBaseCircleHasTheBaseThicknessAngle) {
  // Textbook: half tooth angle on the base circle = s / d + inv(alpha).
  SetSplineCase(Din5480W45x2x21());
  Real x, y, psi;
  InvolutePoint(1, x, y, psi, ToothingData.db[1]);
  const Real expected = ToothingData.sn[1] / ToothingData.d[1] + InvL(ToothingData.alphaRad);
  EXPECT_NEAR(psi, expected, 1e-15L);
  EXPECT_NEAR(std::hypot(x, y), ToothingData.db[1] / 2, 1e-12L);
  EXPECT_EQ(ErrorCount(), 0);
}

TEST_F(ToothTest, ZeroDiameterGivesTheZeroPointAndAFatalMessage) {
  SetSplineCase(Din5480W45x2x21());
  Real x = 1, y = 1, psi = 1;
  InvolutePoint(1, x, y, psi, 0);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  EXPECT_EQ(psi, 0);
  EXPECT_EQ(ErrorText(1), "Fatal  : d = 0 !");
  EXPECT_FALSE(CalcFatalFlag);
  // The premachining point is guarded the same way instead of dividing by zero.
  ResetErrors();
  x = y = psi = 1;
  PremachInvolutePoint(1, x, y, psi, 0);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  EXPECT_EQ(psi, 0);
  EXPECT_EQ(ErrorText(1), "Fatal  : d = 0 !");
}

TEST_F(ToothTest, InvolutePointCountZeroBecomesTwentyAndBelowTwoCountsAsTwo) {
  SetSplineCase(Din5480W45x2x21());
  ToothGraphicsSettings.InvolutePoints = 0;
  Open();
  DrawToothOutline(1, false);
  Close();
  EXPECT_EQ(ToothGraphicsSettings.InvolutePoints, 20);
  // One point would divide the flank by zero steps: it is drawn with two, root to tip.
  ToothGraphicsSettings.InvolutePoints = 1;
  Open();
  DrawToothOutline(1, false);
  Close();
  const auto v = ChainVertices(Chains(Pieces(rec_, 5)).back());
  ASSERT_EQ(v.size(), SplitFlanks(v, TRootForm::RootArc, 2).expectedVertices);
  for (const TCadPrimitive& p : rec_.Items()) EXPECT_TRUE(Finite(p));
  Real maxR = 0;
  for (const TPoint& p : v) maxR = std::max(maxR, Radius(p));
  EXPECT_NEAR(maxR, ToothGraphicsSettings.daGen[1] / 2, 1e-9L);
}

TEST_F(ToothTest, NothingIsDrawnWhileAborted) {
  SetSplineCase(Din5480W45x2x21());
  Open();
  AbortFlag = true;
  DrawToothOutline(1, false);
  DrawToothOutline(2, true);
  AbortFlag = false;
  Close();
  EXPECT_EQ(Pieces(rec_, 5).size(), 0u);
}

TEST_F(ToothTest, CentreLineOnlyWithDiametersAndGeneratedFillets) {
  TSplineCase c;
  c.z = 20;
  c.alphaDeg = 20;
  c.haP0mn = 1.25L;
  c.rhoaP0mn = 0.38L;
  SetSplineCase(c);
  ASSERT_TRUE(FilletReachesBaseCircle(1));
  const Real h = (ToothGraphicsSettings.daGen[1] - ToothGraphicsSettings.dfGen[1]) / 2;
  for (int option : {1, 2}) {
    for (bool fillet : {false, true}) {
      ToothGraphicsSettings.auxDiameterOption = option;
      ToothGraphicsSettings.drawRootCurve = fillet;
      Open();
      DrawToothOutline(1, false);
      Close();
      const auto lines = Pieces(rec_, 1);
      if (option == 2 && fillet) {
        ASSERT_EQ(lines.size(), 1u);
        // On the y axis, 0.2 of the tooth depth beyond tip and root.
        EXPECT_EQ(lines[0].x[0], 0);
        EXPECT_EQ(lines[0].x[1], 0);
        EXPECT_NEAR(lines[0].y[0], ToothGraphicsSettings.daGen[1] / 2 + 0.2L * h, 1e-12L);
        EXPECT_NEAR(lines[0].y[1], ToothGraphicsSettings.dfGen[1] / 2 - 0.2L * h, 1e-12L);
      } else {
        EXPECT_TRUE(lines.empty()) << option << fillet;
      }
    }
  }
}

// The hub's premachining contour: the same form at the mean premachining shift.
TEST_F(ToothTest, PremachiningContourFollowsThePremachiningInvolute) {
  TSplineCase c = Din5480W45x2x21();
  SetSplineCase(c);
  ToothingData.q[2] = 0.1L;
  ToothingData.xePreMin[2] = 0.05L;
  ToothingData.xePreMax[2] = 0.15L;
  Open();
  DrawToothOutline(2, true);
  Close();
  const auto chains = Chains(Pieces(rec_, 3));
  ASSERT_EQ(chains.size(), 1u);
  const auto v = ChainVertices(chains[0]);
  const TFlanks f = SplitFlanks(v, TRootForm::Hub, 20);
  ASSERT_EQ(v.size(), f.expectedVertices);
  const Real rb = ToothingData.db[2] / 2;
  const TInvoluteFit right = FitInvolute(f.right, rb, +1);
  const TInvoluteFit left = FitInvolute(f.left, rb, -1);
  EXPECT_LT(right.spread, 1e-9L);
  EXPECT_LT(left.spread, 1e-9L);
  // Hub tooth at the reference circle: m (pi/2 + 2 x tan alpha) with x the mean 0.1.
  const Real r = std::fabs(ToothingData.d[2]) / 2;
  const Real angle = InvoluteAngleAt(right, rb, +1, r) - InvoluteAngleAt(left, rb, -1, r);
  EXPECT_NEAR(r * angle, 2 * (kPiL / 2 + 2 * 0.1L * std::tan(kPiL / 6)), 1e-6L);
  // Without allowance, or for the shaft, or when not asked for, there is none.
  ToothingData.q[2] = 0;
  Open();
  DrawToothOutline(2, true);
  ToothingData.q[2] = 0.1L;
  DrawToothOutline(2, false);
  Close();
  EXPECT_TRUE(Pieces(rec_, 3).empty());
}

}  // namespace
