// The generating rack measured on its drawn lines: the space between two rack teeth on the
// rolling line equals the tooth thickness the rack generates (m (pi/2 + 2 x tan alpha),
// divided by cos beta in the transverse section), the tip line lies on the generated root
// circle, the tip radius touches tip line and flank, protuberance, chamfer and root radius
// keep their angles, and the legend lists what the tool has.
#include "drawings/tool_profile.h"

#include <gtest/gtest.h>

#include <string>

#include "common/formatting.h"
#include "tooth_test_support.h"

namespace {

using namespace tooth_test;
using Kind = TCadPrimitive::Kind;

struct TToolCase {
  std::string name;
  TSplineCase spline;
  int part = 1;
  bool transverse = false;
  Real rootRadiusMn = 0;
  Real chamferDeg = 0;  // 0: no chamfer
  Real chamferHeightMn = 0;
};

std::vector<TToolCase> ToolCases() {
  TSplineCase din = Din5480W45x2x21();
  TSplineCase helical = din;
  helical.betaDeg = 15;
  TSplineCase example;  // example-like: m 6.5, z 8, alpha 30, x 0.269
  example.z = 8;
  example.m = 6.5L;
  example.x1 = 0.269225L;
  example.x2 = -0.309196L;
  example.haP0mn = 0.5769L;
  example.hfP0mn = 0.4231L;
  example.rhoaP0mn = 0.15L;
  return {
      {"Din5480Shaft", din, 1},
      {"Din5480Hub", din, 2},
      {"Din5480ShaftRootRadius", din, 1, false, 0.1L},
      {"Din5480ShaftChamfer", din, 1, false, 0, 40, 0.2L},
      {"Din5480ShaftChamferAndRootRadius", din, 1, false, 0.1L, 40, 0.2L},
      {"HelicalTransverse", helical, 1, true},
      {"HelicalTransverseHub", helical, 2, true, 0.1L},
      {"HelicalNormalSection", helical, 1, false},
      {"ExampleLikeZ8", example, 1},
  };
}

class ToolProfile : public ToothTest, public ::testing::WithParamInterface<TToolCase> {
 protected:
  void SetUp() override {
    ToothTest::SetUp();
    const TToolCase& c = GetParam();
    SetSplineCase(c.spline);
    TToothingData& t = ToothingData;
    for (int n = 1; n <= 2; ++n) {
      t.rhofP0mn[n] = c.rootRadiusMn;
      t.rhofP0[n] = c.rootRadiusMn * t.mn;
      if (c.chamferDeg > 0) {
        t.toolAngleFlag[n] = 1;
        t.alphakP0[n] = c.chamferDeg;
        t.hFfP0mn[n] = c.chamferHeightMn;
        t.hFfP0[n] = c.chamferHeightMn * t.mn;
      }
    }
  }
  void Draw(int mode = 0) {
    Open();
    DrawToolProfile(GetParam().part, GetParam().transverse, mode);
    Close();
  }
  // x where the drawn lines of colour 3 cross the line y = level, right and left of x = 0.
  void Crossings(Real level, Real& right, Real& left) {
    right = 1e9;
    left = -1e9;
    for (const TCadPrimitive& p : Pieces(rec_, 3)) {
      if (p.kind != Kind::Line) continue;
      if ((p.y[0] - level) * (p.y[1] - level) >= 0) continue;
      const Real x = p.x[0] + (p.x[1] - p.x[0]) * (level - p.y[0]) / (p.y[1] - p.y[0]);
      if (x > 0) right = std::min(right, x);
      if (x < 0) left = std::max(left, x);
    }
  }
  Real Factor() const { return GetParam().transverse ? std::cos(ToothingData.betaRad) : 1.0L; }
};

TEST_P(ToolProfile, SpaceOnTheRollingLineIsTheGeneratedToothThickness) {
  Draw();
  const int n = GetParam().part;
  Real right, left;
  Crossings(0, right, left);
  ASSERT_LT(right, 1e8L);
  ASSERT_GT(left, -1e8L);
  // The drawn tooth spans one pitch; the space is the pitch less the tooth.
  Real reach = 0;
  for (const TCadPrimitive& p : Pieces(rec_, 3)) {
    if (p.kind == Kind::Line) reach = std::max({reach, std::fabs(p.x[0]), std::fabs(p.x[1])});
  }
  EXPECT_NEAR(reach, kPiL * ToothingData.mn / 2 / Factor(), 1e-12L);
  const Real x = ToothingData.x[n];
  const Real sn = ToothingData.mn * (kPiL / 2 + 2 * x * std::tan(ToothingData.alphaRad));
  EXPECT_NEAR(2 * reach - (right - left), sn / Factor(), 1e-9L);
  EXPECT_NEAR(right, -left, 1e-12L);
}

TEST_P(ToolProfile, TipLineLiesOnTheGeneratedRootCircle) {
  Draw();
  const int n = GetParam().part;
  // Placed at the pitch point (0, d/2) the tip line touches the root circle df/2.
  const Real tipY = (ToothGraphicsSettings.dfGen[n] - ToothingData.d[n]) / 2;
  Real lowest = 1e9;
  for (const TCadPrimitive& p : Pieces(rec_, 3)) {
    if (p.kind == Kind::Line) lowest = std::min({lowest, p.y[0], p.y[1]});
  }
  EXPECT_NEAR(lowest, tipY, 1e-12L);
}

// Cases whose radius arcs are circular arcs (not seen in a helical transverse section).
class ToolTipRadius : public ToolProfile {};

TEST_P(ToolTipRadius, TipRadiusTouchesTipLineAndFlank) {
  Draw();
  const TToothingData& t = ToothingData;
  const int n = GetParam().part;
  const Real rho = t.rhoaP0[n];
  const Real tipY = (ToothGraphicsSettings.dfGen[n] - t.d[n]) / 2;
  const Real datum = tipY + t.haP0[n];
  int tipArcs = 0;
  for (const TCadPrimitive& p : Pieces(rec_, 3)) {
    if (p.kind != Kind::Arc || std::fabs(p.r - rho) > 1e-12L) continue;
    ++tipArcs;
    EXPECT_NEAR(p.y[0] - rho, tipY, 1e-12L);
    // Distance of the centre from the main flank through (pi m / 4, datum), slope tan alpha.
    const Real a = t.alphaRad;
    const Real cx = std::fabs(p.x[0]);
    const Real dist = (kPiL * t.mn / 4 + (p.y[0] - datum) * std::tan(a) - cx) * std::cos(a);
    EXPECT_NEAR(dist, rho, 1e-12L);
    // It spans from the bottom to the flank normal: 90 degrees minus alpha.
    Real span = p.a2 - p.a1;
    if (span < 0) span += 360;
    EXPECT_NEAR(span, 90 - t.alpha, 1e-9L);
  }
  EXPECT_EQ(tipArcs, 2);
}

TEST_P(ToolProfile, LegendOnlyInModeOne) {
  Draw(0);
  EXPECT_EQ(rec_.Count(Kind::Text), 0u);
  EXPECT_TRUE(Pieces(rec_, 1).empty());
  Draw(1);
  EXPECT_GE(rec_.Count(Kind::Text), 9u);
  EXPECT_EQ(Pieces(rec_, 1).size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Cases, ToolProfile, ::testing::ValuesIn(ToolCases()),
                         [](const auto& info) { return info.param.name; });

std::vector<TToolCase> CircularArcCases() {
  std::vector<TToolCase> out;
  for (const TToolCase& c : ToolCases()) {
    if (!c.transverse || c.spline.betaDeg == 0) out.push_back(c);
  }
  return out;
}

INSTANTIATE_TEST_SUITE_P(Cases, ToolTipRadius, ::testing::ValuesIn(CircularArcCases()),
                         [](const auto& info) { return info.param.name; });

class ToolDetails : public ToothTest {
 protected:
  void SetUp() override {
    ToothTest::SetUp();
    SetSplineCase(Din5480W45x2x21());
    PartNames.drawingNumber[1] = "01";
    PartNames.partName[1] = "External spline";
  }
  std::vector<std::string> Texts() {
    std::vector<std::string> out;
    for (const TCadPrimitive& p : rec_.OfKind(Kind::Text)) out.push_back(p.text);
    return out;
  }
  static bool Starts(const std::string& s, const std::string& prefix) {
    return s.rfind(prefix, 0) == 0;
  }
};

TEST_F(ToolDetails, ProtuberanceFlankTouchesTheTipRadiusAndMeetsTheMainFlank) {
  TToothingData& t = ToothingData;
  t.prP0mn[1] = 0.05L;
  t.prP0[1] = 0.1L;
  t.alphaprP0[1] = 12;
  Open();
  DrawToolProfile(1, false, 0);
  Close();
  const Real a = t.alphaRad, ap = 12 * kPiL / 180;
  const Real tipY = (ToothGraphicsSettings.dfGen[1] - t.d[1]) / 2;
  const Real datum = tipY + t.haP0[1];
  // The tip radius arc of the right half.
  TCadPrimitive arc;
  for (const TCadPrimitive& p : Pieces(rec_, 3)) {
    if (p.kind == Kind::Arc && p.x[0] > 0) arc = p;
  }
  ASSERT_EQ(arc.r, t.rhoaP0[1]);
  EXPECT_NEAR(arc.a2, 360 - 12, 1e-9L);
  // Its centre lies prP0 further out than for the tool without protuberance.
  const Real plainCentre =
      kPiL * t.mn / 4 - (t.haP0[1] - arc.r) * std::tan(a) - arc.r / std::cos(a);
  EXPECT_NEAR(arc.x[0] - plainCentre, t.prP0[1] / std::cos(a), 1e-12L);
  // The protuberance flank: the line with the protuberance angle that starts on the arc.
  const TPoint b = {arc.x[0] + arc.r * std::cos(ap), arc.y[0] - arc.r * std::sin(ap)};
  bool found = false;
  for (const TCadPrimitive& p : Pieces(rec_, 3)) {
    if (p.kind != Kind::Line) continue;
    const TPoint e0 = {p.x[0], p.y[0]}, e1 = {p.x[1], p.y[1]};
    if (Distance(e1, b) > 1e-9L && Distance(e0, b) > 1e-9L) continue;
    const TPoint c = Distance(e1, b) < 1e-9L ? e0 : e1;
    found = true;
    EXPECT_NEAR(std::atan2(c.x - b.x, c.y - b.y), ap, 1e-12L);
    // C, the other end, lies on the main flank.
    EXPECT_NEAR(c.x, kPiL * t.mn / 4 + (c.y - datum) * std::tan(a), 1e-12L);
  }
  EXPECT_TRUE(found);
}

// Flanks meeting above the tip line (the last rows also with a protuberance, then one used up):
// one round between the flanks, tangent to each, nothing below it.
TEST_F(ToolDetails, PointedToolEndsInOneRoundBetweenItsFlanks) {
  const struct {
    TSplineCase c;
    Real prP0mn, alphaPrDeg;
  } rows[] = {{{.alphaDeg = 37.5L, .haP0mn = 1.4L, .rhoaP0mn = 0.15L}, 0, 0},
              {{.alphaDeg = 45, .haP0mn = 0.9L, .rhoaP0mn = 0.15L}, 0.1L, 20},
              {{.alphaDeg = 45, .haP0mn = 1.2L, .rhoaP0mn = 0.15L}, 0.02L, 10}};
  TToothingData& t = ToothingData;
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "alpha " << row.c.alphaDeg << " prP0 " << row.prP0mn);
    SetSplineCase(row.c);
    t.prP0mn[1] = row.prP0mn, t.prP0[1] = row.prP0mn * t.mn, t.alphaprP0[1] = row.alphaPrDeg;
    Open();
    DrawToolProfile(1, false, 0);
    Close();
    const Real rho = t.rhoaP0[1], tipY = (ToothGraphicsSettings.dfGen[1] - t.d[1]) / 2;
    std::vector<TCadPrimitive> arcs, lines;
    for (const TCadPrimitive& p : Pieces(rec_, 3))
      (p.kind == Kind::Arc ? arcs : lines).push_back(p);
    ASSERT_EQ(arcs.size(), 2u);
    Real lowest = 1e9;
    for (const TCadPrimitive& p : lines) {
      lowest = std::min({lowest, p.y[0], p.y[1]});
      EXPECT_GE(p.x[0] * p.x[1], -1e-12L) << "a line crosses the centre line";
      EXPECT_GT(std::hypot(p.x[1] - p.x[0], p.y[1] - p.y[0]), 1e-9L) << "a line of no length";
    }
    for (const TCadPrimitive& a : arcs) {
      EXPECT_NEAR(a.x[0], 0, 1e-12L);
      EXPECT_GT(a.y[0] - rho, tipY) << "the round hangs below the flanks' meeting";
      EXPECT_LE(a.y[0] - rho, lowest + 1e-12L);
      const TPoint e = std::cos(a.a2 * kPiL / 180) > 1e-9L ? ArcEnd(a) : ArcStart(a);
      int tangent = 0;
      for (const TCadPrimitive& p : lines)
        for (int k = 0; k < 2; ++k) {
          const Real dx = p.x[1 - k] - e.x, dy = p.y[1 - k] - e.y, r = std::hypot(dx, dy);
          tangent += Distance({p.x[k], p.y[k]}, e) < 1e-9L &&
                     std::fabs(dx * (e.x - a.x[0]) + dy * (e.y - a.y[0])) < 1e-9L * r;
        }
      EXPECT_EQ(tangent, 1);
    }
  }
}

TEST_F(ToolDetails, ChamferAndRootRadiusKeepTheirAngles) {
  TToothingData& t = ToothingData;
  t.toolAngleFlag[1] = 1;
  t.alphakP0[1] = 40;
  t.hFfP0mn[1] = 0.2L;
  t.hFfP0[1] = 0.4L;
  t.rhofP0mn[1] = 0.1L;
  t.rhofP0[1] = 0.2L;
  Open();
  DrawToolProfile(1, false, 0);
  Close();
  const Real tipY = (ToothGraphicsSettings.dfGen[1] - t.d[1]) / 2;
  const Real rootY = tipY + t.haP0[1] + t.hfP0[1];
  TCadPrimitive root;
  for (const TCadPrimitive& p : Pieces(rec_, 3)) {
    if (p.kind == Kind::Arc && p.x[0] > 0 && std::fabs(p.r - 0.2L) < 1e-12L) root = p;
  }
  ASSERT_EQ(root.r, 0.2L);
  // Tangent to the root line at its top.
  EXPECT_NEAR(root.y[0] + root.r, rootY, 1e-12L);
  EXPECT_NEAR(root.a1, 90, 1e-12L);
  EXPECT_NEAR(root.a2, 180 - 40, 1e-12L);
  // From the arc's end a line runs at the chamfer angle to the chamfer start on the flank.
  const TPoint end = ArcEnd(root);
  const Real k1y = tipY + t.haP0[1] + t.hFfP0[1];
  bool found = false;
  for (const TCadPrimitive& p : Pieces(rec_, 3)) {
    if (p.kind != Kind::Line || Distance({p.x[0], p.y[0]}, end) > 1e-9L) continue;
    found = true;
    EXPECT_NEAR(p.y[1], k1y, 1e-12L);
    EXPECT_NEAR(std::atan2(end.x - p.x[1], end.y - p.y[1]), 40 * kPiL / 180, 1e-12L);
  }
  EXPECT_TRUE(found);
}

TEST_F(ToolDetails, TransverseArcsAreEllipseArcs) {
  ToothingData.beta = 15;
  ToothingData.betaRad = 15 * kPiL / 180;
  Open();
  DrawToolProfile(1, true, 0);
  Close();
  EXPECT_EQ(rec_.Count(Kind::Arc), 0u);
  Open();
  DrawToolProfile(1, false, 0);
  Close();
  EXPECT_EQ(rec_.Count(Kind::Arc), 2u);
}

TEST_F(ToolDetails, LegendListsWhatTheToolHas) {
  Open();
  DrawToolProfile(1, false, 1);
  Close();
  const std::vector<std::string> plain = {"01",      "External spline", "(Tool)", "gear 1", "mn = ",
                                          "hfP0 = ", "haP0 = ",         "hP0 = ", "raP0 = "};
  auto texts = Texts();
  ASSERT_EQ(texts.size(), plain.size());
  for (std::size_t i = 0; i < plain.size(); ++i) EXPECT_TRUE(Starts(texts[i], plain[i])) << i;
  // Lengths carry the unit; hP0 is the sum of both.
  const std::string unit = " " + LengthUnitStr();
  EXPECT_EQ(texts[4].substr(texts[4].size() - unit.size()), unit);
  EXPECT_NE(texts[7].find(LengthStr(ToothingData.haP0[1] + ToothingData.hfP0[1])),
            std::string::npos);

  TToothingData& t = ToothingData;
  t.rhofP0mn[1] = 0.1L;
  t.rhofP0[1] = 0.2L;
  t.prP0mn[1] = 0.05L;
  t.prP0[1] = 0.1L;
  t.alphaprP0[1] = 12;
  t.toolAngleFlag[1] = 1;
  t.alphakP0[1] = 40;
  t.hFfP0mn[1] = 0.2L;
  t.hFfP0[1] = 0.4L;
  Open();
  DrawToolProfile(1, false, 1);
  Close();
  texts = Texts();
  const std::vector<std::string> extra = {
      "rfP0 = ", "prP0 = ", "alpha prP0 = ", "hFfP0 = ", "alpha kP0 = "};
  ASSERT_EQ(texts.size(), plain.size() + extra.size());
  for (std::size_t i = 0; i < extra.size(); ++i) {
    EXPECT_TRUE(Starts(texts[plain.size() + i], extra[i])) << texts[plain.size() + i];
  }
  // The chamfer height is the one length written without its unit.
  EXPECT_TRUE(Starts(texts[12], "hFfP0 = "));
  EXPECT_NE(texts[12].substr(texts[12].size() - unit.size()), unit);
}

TEST_F(ToolDetails, NothingWhileAborted) {
  Open();
  AbortFlag = true;
  DrawToolProfile(1, false, 1);
  AbortFlag = false;
  Close();
  EXPECT_TRUE(rec_.Items().empty());
}

}  // namespace
