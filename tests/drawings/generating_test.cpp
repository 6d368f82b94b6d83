// The generating simulation: where the tool block is inserted (read from the inserts of a DXF
// drawing) and what the replayed tool outlines cut on the screen. Every insert puts the
// tool's rolling line tangent to the reference circle, rolled off by r phi; the main flanks of
// the inserted racks touch the involute flanks of the gap's teeth and never cut into them.
#include "drawings/generating.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "common/file_utils.h"
#include "drawings/tool_profile.h"
#include "drawings/tooth_graphics_support.h"
#include "drawings/tooth_outline.h"
#include "tooth_test_support.h"

namespace {

using namespace tooth_test;
using Kind = TCadPrimitive::Kind;

class Generating : public ToothTest {
 protected:
  void SetUp() override {
    ToothTest::SetUp();
    scratch_ =
        std::filesystem::temp_directory_path() / ("vuko_generating_" + std::to_string(::getpid()));
    std::filesystem::create_directories(scratch_);
    ConfigVariables.BatchCadFlag = true;
    CurrentFileName = (scratch_ / "gen").string();
  }
  void TearDown() override {
    ConfigVariables.BatchCadFlag = false;
    std::error_code ec;
    std::filesystem::remove_all(scratch_, ec);
    ToothTest::TearDown();
  }
  // The tool block and the simulation on the given target.
  void DrawSimulation(std::uint16_t code, int n) {
    rec_.Clear();
    CadOpen(code);
    CadSheetFrame(-100, -100, 100, 100);
    CadBeginTables(0);
    CadBeginBlocks();
    DrawToolBlock(n, false);
    CadEndSection();
    CadBeginEntities();
    GenerateToothShape(n);
    CadEndSection();
    CadClose();
  }
  std::vector<TCadPrimitive> Inserts() const {
    std::vector<TCadPrimitive> out;
    for (const TCadPrimitive& p : rec_.OfKind(Kind::Insert)) {
      if (!p.inBlock) out.push_back(p);
    }
    return out;
  }
  std::filesystem::path scratch_;
};

TEST_F(Generating, InsertsRollTheToolOnTheReferenceCircle) {
  struct {
    std::string name;
    int z;
    Real range;  // P = 0.69 / ln z + 4.5 / z, or 0.3
  } cases[] = {{"z 20", 20, 0.4553L}, {"z 21", 21, 0.2266L + 0.2143L}, {"z 2", 2, 3.2455L}};
  for (const auto& c : cases) {
    TSplineCase s = Din5480W45x2x21();
    s.z = c.z;
    SetSplineCase(s);
    ToothGraphicsSettings.ShapeSteps = 30;
    DrawSimulation(kCadDxf, 1);
    const auto inserts = Inserts();
    ASSERT_EQ(inserts.size(), 60u) << c.name;
    const Real r = ToothingData.d[1] / 2;
    EXPECT_NEAR(inserts.front().a1 * kPiL / 180, -c.range, 1e-4L) << c.name;
    EXPECT_NEAR(inserts.back().a1 * kPiL / 180, c.range - c.range / 30, 1e-4L) << c.name;
    for (const TCadPrimitive& p : inserts) {
      EXPECT_EQ(p.text, "WERKZS1");
      EXPECT_EQ(p.sx, 1);
      EXPECT_EQ(p.sy, 1);
      const Real a = p.a1 * kPiL / 180;
      // The block's rolling line (its x axis, turned by a) touches the reference circle ...
      const Real lineDistance = p.x[0] * std::sin(a) - p.y[0] * std::cos(a);
      EXPECT_NEAR(std::fabs(lineDistance), r, 1e-9L) << c.name;
      // ... and the insert point lies r |phi| from the touching point, rolled without slip.
      const Real along = p.x[0] * std::cos(a) + p.y[0] * std::sin(a);
      EXPECT_NEAR(along, r * a, 1e-9L) << c.name;
    }
  }
}

TEST_F(Generating, StepCountZeroBecomesThirtyAndTheHubRollsThreeTenths) {
  SetSplineCase(Din5480W45x2x21());
  ToothGraphicsSettings.ShapeSteps = 0;
  DrawSimulation(kCadDxf, 2);
  EXPECT_EQ(ToothGraphicsSettings.ShapeSteps, 30);
  const auto inserts = Inserts();
  ASSERT_EQ(inserts.size(), 60u);
  EXPECT_EQ(inserts.front().text, "WERKZS2");
  EXPECT_NEAR(inserts.front().a1, -0.3L * 180 / kPiL, 1e-9L);
  // phi = 0 puts the tool unturned on the (negative) reference radius of the hub.
  const TCadPrimitive& middle = inserts[30];
  EXPECT_NEAR(middle.a1, 0, 1e-9L);
  EXPECT_NEAR(middle.x[0], 0, 1e-12L);
  EXPECT_NEAR(middle.y[0], ToothingData.d[2] / 2, 1e-12L);
}

TEST_F(Generating, NothingWhileAborted) {
  SetSplineCase(Din5480W45x2x21());
  rec_.Clear();
  CadOpen(kCadDxf);
  AbortFlag = true;
  GenerateToothShape(1);
  AbortFlag = false;
  CadClose();
  EXPECT_TRUE(Inserts().empty());
}

// --- the envelope on the screen ------------------------------------------------------------

struct TSegment {
  TPoint a, b;
};

// Least distance from p to a segment, and whether the foot of the perpendicular lies on it.
Real SegmentDistance(const TPoint& p, const TSegment& s, bool* footInside) {
  const Real dx = s.b.x - s.a.x, dy = s.b.y - s.a.y;
  const Real len2 = dx * dx + dy * dy;
  const Real t = len2 == 0 ? 0 : ((p.x - s.a.x) * dx + (p.y - s.a.y) * dy) / len2;
  if (footInside) *footInside = t >= 0 && t <= 1;
  const Real tc = std::clamp<Real>(t, 0, 1);
  return Distance(p, {s.a.x + tc * dx, s.a.y + tc * dy});
}

// How deep p lies inside the closed polygon (0 outside).
Real Penetration(const TPoint& p, const std::vector<TPoint>& poly) {
  bool inside = false;
  Real nearest = 1e9;
  for (std::size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
    const TPoint& a = poly[i];
    const TPoint& b = poly[j];
    if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x)
      inside = !inside;
    nearest = std::min(nearest, SegmentDistance(p, {a, b}, nullptr));
  }
  return inside ? nearest : 0;
}

// The outline of one recorded tool: its pieces in order (arcs sampled), closed along the top.
std::vector<TPoint> ToolPolygon(const std::vector<TCadPrimitive>& pieces) {
  std::vector<TPoint> pts;
  for (const TCadPrimitive& p : pieces) {
    if (p.kind == Kind::Line) {
      pts.push_back({p.x[0], p.y[0]});
      pts.push_back({p.x[1], p.y[1]});
    } else if (p.kind == Kind::Arc) {
      Real a2 = p.a2;
      while (a2 < p.a1) a2 += 360;
      for (int k = 0; k <= 16; ++k) {
        const Real a = (p.a1 + (a2 - p.a1) * k / 16) * kPiL / 180;
        pts.push_back({p.x[0] + p.r * std::cos(a), p.y[0] + p.r * std::sin(a)});
      }
    }
  }
  // Order the points around their centre so that the polygon is simple whatever the order
  // of the pieces (the tool tooth is star-shaped about its centre).
  TPoint c;
  for (const TPoint& q : pts) c.x += q.x / pts.size(), c.y += q.y / pts.size();
  std::sort(pts.begin(), pts.end(), [&](const TPoint& u, const TPoint& v) {
    return std::atan2(u.y - c.y, u.x - c.x) < std::atan2(v.y - c.y, v.x - c.x);
  });
  return pts;
}

struct TEnvelopeCase {
  std::string name;
  bool example;
  TSplineCase spline;
  int part;
};

class GeneratingEnvelope : public ToothTest, public ::testing::WithParamInterface<TEnvelopeCase> {};

TEST_P(GeneratingEnvelope, ToolFlanksTouchTheInvoluteAndNeverCutIt) {
  const TEnvelopeCase& c = GetParam();
  if (c.example) {
    SetExampleJoint();
    ASSERT_FALSE(CalcFatalFlag);
  } else {
    SetSplineCase(c.spline);
  }
  const int n = c.part;
  const TToothingData& t = ToothingData;
  ToothGraphicsSettings.drawRootCurve = false;

  // The tool alone: its pieces and which of them are flank lines.
  Open();
  DrawToolProfile(n, false, 0);
  Close();
  const std::vector<TCadPrimitive> tool = rec_.Items();
  const std::size_t perTool = tool.size();
  std::vector<std::size_t> flankPieces, rootLines;
  Real rootY = -1e9;
  for (const TCadPrimitive& p : tool) rootY = std::max({rootY, p.y[0], p.y[1]});
  for (std::size_t i = 0; i < tool.size(); ++i) {
    const TCadPrimitive& p = tool[i];
    if (p.kind != Kind::Line) continue;
    if (std::fabs(p.y[1] - p.y[0]) > 1e-9L) flankPieces.push_back(i);
    if (std::fabs(p.y[0] - rootY) < 1e-9L && std::fabs(p.y[1] - rootY) < 1e-9L &&
        std::fabs(p.x[1] - p.x[0]) > 1e-9L) {
      rootLines.push_back(i);
    }
  }
  ASSERT_GE(flankPieces.size(), 2u);
  ASSERT_EQ(rootLines.size(), 2u);

  // The simulation on the screen: every insert replays the tool's pieces.
  Open();
  CadBeginBlocks();
  DrawToolBlock(n, false);
  CadEndSection();
  CadBeginEntities();
  GenerateToothShape(n);
  CadEndSection();
  Close();
  const std::vector<TCadPrimitive> all = rec_.Items();
  ASSERT_EQ(all.size(), 60 * perTool);

  // The tooth outline, turned half a pitch either way: the two teeth beside the cut gap.
  Open();
  DrawToothOutline(n, false);
  Close();
  const auto v = ChainVertices(Chains(Pieces(rec_, 5)).back());
  const Real rb = std::fabs(t.db[n]) / 2;
  const Real r = std::fabs(t.d[n]) / 2;
  const Real ra = std::fabs(ToothGraphicsSettings.daGen[n]) / 2;
  // Form circle: the flank point generated by the end of the rack's straight flank, which
  // lies h below the rolling line (textbook: r_F^2 = rb^2 + (r sin a - h / sin a)^2).
  // The hub's form circle lies outside its reference circle (signed r).
  const Real h =
      (t.d[n] - ToothGraphicsSettings.dfGen[n]) / 2 - t.rhoaP0[n] * (1 - std::sin(t.alphaRad));
  const Real lead = t.d[n] / 2 * std::sin(t.alphaRad) - h / std::sin(t.alphaRad);
  const Real rF = std::sqrt(rb * rb + lead * lead);
  const Real lo = n == 1 ? rF : ra, hi = n == 1 ? ra : rF;
  std::vector<TPoint> flank;
  for (const TPoint& p : v) {
    if (Radius(p) >= lo + 1e-6L && Radius(p) <= hi - 1e-6L) {
      for (int s : {-1, 1}) flank.push_back(Rotated(p, s * kPiL / std::abs(t.z[n])));
    }
  }
  ASSERT_GE(flank.size(), 20u);

  Real deepest = 0;
  std::vector<Real> nearest(flank.size(), 1e9);
  for (std::size_t k = 0; k + perTool <= all.size(); k += perTool) {
    const std::vector<TCadPrimitive> one(all.begin() + k, all.begin() + k + perTool);
    // The tooth below the root line, without the root lines to the next teeth.
    std::vector<TCadPrimitive> tooth;
    for (std::size_t i = 0; i < one.size(); ++i) {
      if (std::find(rootLines.begin(), rootLines.end(), i) == rootLines.end()) {
        tooth.push_back(one[i]);
      }
    }
    const auto poly = ToolPolygon(tooth);
    for (std::size_t i = 0; i < flank.size(); ++i) {
      const Real pen = Penetration(flank[i], poly);
      for (std::size_t f : flankPieces) {
        bool inside = false;
        const TCadPrimitive& p = one[f];
        const Real d = SegmentDistance(flank[i], {{p.x[0], p.y[0]}, {p.x[1], p.y[1]}}, &inside);
        if (inside) nearest[i] = std::min(nearest[i], d);
      }
    }
  }
  EXPECT_LT(deepest, 1e-6L);
  // Half of the points face the cut gap; each of those is touched by some tool position, to
  // within what the discrete rolling steps leave (1.5e-3 mm for module 6.5 and 30 steps).
  int touched = 0;
  for (Real d : nearest) touched += d < 2e-3L;
  EXPECT_GE(touched, static_cast<int>(flank.size() / 2) - 2);
}

std::vector<TEnvelopeCase> EnvelopeCases() {
  TSplineCase iso;
  iso.alphaDeg = 20;
  iso.haP0mn = 1.25L;
  iso.hfP0mn = 1.0L;
  iso.rhoaP0mn = 0.38L;
  iso.x1 = 0.2L;
  iso.x2 = 0.1L;
  TSplineCase odd = Din5480W45x2x21();
  odd.z = 9;
  odd.x1 = 0.45L;
  // Shafts only: a straight rack cannot roll inside the hub's reference circle, so away from
  // phi = 0 the racks of the hub simulation overlap its teeth; there the picture shows the
  // tool positions, not an envelope.
  return {
      {"Din5480Shaft", false, Din5480W45x2x21(), 1},
      {"ExampleShaft", true, {}, 1},
      {"Iso20Shaft", false, iso, 1},
      {"Alpha30OddZ9", false, odd, 1},
  };
}

INSTANTIATE_TEST_SUITE_P(Cases, GeneratingEnvelope, ::testing::ValuesIn(EnvelopeCases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
