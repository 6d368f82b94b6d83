// Diameter arcs and the legend measured on the recorded arcs, circles and texts: radii are the
// diameters' halves, spans 1.5 angular pitches (wider where two diameters nearly coincide),
// hub arcs on the opposite side, clipped arcs ending on their line, colours as listed.
#include "drawings/diameter_annotations.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <set>
#include <string>

#include "common/formatting.h"
#include "tooth_test_support.h"

namespace {

using namespace tooth_test;
using Kind = TCadPrimitive::Kind;

Real Span(const TCadPrimitive& arc) {
  Real s = arc.a2 - arc.a1;
  while (s < 0) s += 360;
  while (s >= 360) s -= 360;
  return s;
}

// Mid-angle of an arc, degrees in [0, 360).
Real Middle(const TCadPrimitive& arc) {
  Real m = arc.a1 + Span(arc) / 2;
  while (m >= 360) m -= 360;
  while (m < 0) m += 360;
  return m;
}

// Whether two convex quadrilaterals share more than an edge (separating axes).
bool Overlap(const std::array<TPoint, 4>& a, const std::array<TPoint, 4>& b) {
  for (const auto* q : {&a, &b}) {
    for (int i = 0; i < 4; ++i) {
      const Real nx = (*q)[(i + 1) % 4].y - (*q)[i].y, ny = (*q)[i].x - (*q)[(i + 1) % 4].x;
      Real aMin = 1e30L, aMax = -1e30L, bMin = 1e30L, bMax = -1e30L;
      for (const TPoint& p : a)
        aMin = std::min(aMin, p.x * nx + p.y * ny), aMax = std::max(aMax, p.x * nx + p.y * ny);
      for (const TPoint& p : b)
        bMin = std::min(bMin, p.x * nx + p.y * ny), bMax = std::max(bMax, p.x * nx + p.y * ny);
      if (aMax <= bMin + 1e-12L || bMax <= aMin + 1e-12L) return false;
    }
  }
  return true;
}

class DiameterArcs : public ToothTest {
 protected:
  void SetUp() override {
    ToothTest::SetUp();
    TSplineCase c = Din5480W45x2x21();
    c.z = 24;
    SetSplineCase(c);
    TToothingData& t = ToothingData;
    for (int n = 1; n <= 2; ++n) {
      t.dw[n] = t.d[n] + (n == 1 ? 0.5L : -0.5L);  // d and dw apart: plain d arc
      t.dFf[n] = t.db[n] + (n == 1 ? 0.5L : -0.5L);
      t.dNf[n] = (t.d[n] + t.df[n]) / 2;
      ToothGraphicsSettings.dwGen[n] = t.dw[n];
    }
  }
  // Arcs drawn by DrawAuxDiameters, by label text of the following text primitive.
  std::map<std::string, TCadPrimitive> ArcsByLabel() {
    std::map<std::string, TCadPrimitive> out;
    const auto& items = rec_.Items();
    for (std::size_t i = 0; i + 1 < items.size(); ++i) {
      if (items[i].kind == Kind::Arc && items[i + 1].kind == Kind::Text) {
        out[items[i + 1].text] = items[i];
      }
    }
    return out;
  }
};

TEST_F(DiameterArcs, EightArcsOfOneAndAHalfPitchesWithTheirColours) {
  Open();
  DrawAuxDiameters(1, 90, 0, 0);
  Close();
  const TToothingData& t = ToothingData;
  const TToothGraphicsSettings& g = ToothGraphicsSettings;
  const struct {
    std::string label;
    Real d;
    int colour;
  } rows[] = {{"dw1", g.dwGen[1], 18}, {"d1", t.d[1], 17},      {"db1", t.db[1], 25},
              {"df1", g.dfGen[1], 19}, {"da1", g.daGen[1], 21}, {"dFf1", t.dFf[1], 20},
              {"dNf1", t.dNf[1], 24}};
  auto arcs = ArcsByLabel();
  // dFa equals da here, so it has no arc.
  EXPECT_EQ(arcs.size(), 7u);
  EXPECT_EQ(arcs.count("dFa1"), 0u);
  for (const auto& row : rows) {
    ASSERT_EQ(arcs.count(row.label), 1u) << row.label;
    const TCadPrimitive& a = arcs[row.label];
    EXPECT_NEAR(a.r, row.d / 2, 1e-12L) << row.label;
    EXPECT_EQ(a.colour, row.colour) << row.label;
    // z = 24: 1.5 pitches of 15 degrees, centred on the tooth centre line.
    EXPECT_NEAR(Span(a), 22.5L, 1e-9L) << row.label;
    EXPECT_NEAR(Middle(a), 90, 1e-9L) << row.label;
  }
  EXPECT_EQ(PlotSettings.currentColour, 0);
}

TEST_F(DiameterArcs, NearlyEqualDiametersWidenTheirArcs) {
  TToothingData& t = ToothingData;
  t.dw[1] = t.d[1] + 0.05L * t.mn;    // d within 0.1 mn of dw
  t.dFf[1] = t.db[1] + 0.05L * t.mn;  // dFf within 0.1 mn of db
  t.dNf[1] = t.db[1] + 0.1L * t.mn;   // dNf within 0.15 mn of db
  t.dFa[1] = t.da[1] - 0.3L;
  Open();
  DrawAuxDiameters(1, 90, 0, 0);
  Close();
  auto arcs = ArcsByLabel();
  EXPECT_NEAR(Span(arcs["d1"]), 27, 1e-9L);
  EXPECT_NEAR(Span(arcs["dFf1"]), 27, 1e-9L);
  EXPECT_NEAR(Span(arcs["dNf1"]), 27, 1e-9L);
  EXPECT_NEAR(Span(arcs["db1"]), 22.5L, 1e-9L);
  ASSERT_EQ(arcs.count("dFa1"), 1u);
  EXPECT_EQ(arcs["dFa1"].colour, 29);
}

// dFf, db and dNf within a fraction of a module: labels name their part and do not touch.
TEST_F(DiameterArcs, LabelsOfCloseDiametersNameTheirPartAndStayApart) {
  const struct {
    TSplineCase c;
    Real dFfOff, dNfOff;  // dFf and dNf above db, in modules
  } rows[] = {{{8, 1, 37.5L}, 0.05L, 0.1L},
              {{11, 0.5L, 45}, 0.0L, 0.12L},
              {{8, 1, 37.5L}, 0.2618L, 0.6L}};  // dFf's label 0.3 heights off db's, stacked
  TToothingData& t = ToothingData;
  for (const auto& row : rows) {
    SetSplineCase(row.c);
    for (int n = 1; n <= 2; ++n) {
      const Real s = (n == 1 ? 1 : -1) * row.c.m;
      t.dFf[n] = t.db[n] + s * row.dFfOff, t.dNf[n] = t.db[n] + s * row.dNfOff;
      Open();
      DrawAuxDiameters(n, 90, 0, 0);
      Close();
      SCOPED_TRACE(testing::Message() << "z " << row.c.z << " part " << n);
      std::vector<std::array<TPoint, 4>> boxes;
      std::set<std::string> labels;
      for (const TCadPrimitive& p : rec_.OfKind(Kind::Text)) {
        labels.insert(p.text);
        const Real a = p.angle * kPiL / 180, l = p.text.size() * p.height * p.widthFactor;
        const Real ux = std::cos(a), uy = std::sin(a), h = p.height, m = 0.2L * h;
        auto at = [&](Real s, Real t) {
          return TPoint{p.x[0] + ux * s - uy * t, p.y[0] + uy * s + ux * t};
        };
        boxes.push_back({at(-m, -m), at(l + m, -m), at(l + m, h + m), at(-m, h + m)});
      }
      const std::string d = std::to_string(n);
      EXPECT_EQ(labels, (std::set<std::string>{"dw" + d, "d" + d, "db" + d, "df" + d, "da" + d,
                                               "dFf" + d, "dNf" + d}));
      for (std::size_t i = 0; i < boxes.size(); ++i)
        for (std::size_t j = i + 1; j < boxes.size(); ++j)
          EXPECT_FALSE(Overlap(boxes[i], boxes[j])) << "labels " << i << " and " << j;
    }
  }
}

TEST_F(DiameterArcs, HubArcsLieOnTheOppositeSideWithTheLabelThere) {
  Open();
  DrawAuxDiameters(2, 90, 0, 0);
  Close();
  auto arcs = ArcsByLabel();
  ASSERT_EQ(arcs.count("d2"), 1u);
  const TCadPrimitive& a = arcs["d2"];
  EXPECT_NEAR(a.r, std::fabs(ToothingData.d[2]) / 2, 1e-12L);
  EXPECT_NEAR(Span(a), 22.5L, 1e-9L);
  EXPECT_NEAR(Middle(a), 270, 1e-9L);
  // The label sits below the centre too, at the arc (the offsets work on the signed radius).
  int labels = 0;
  for (const TCadPrimitive& p : rec_.OfKind(Kind::Text)) {
    if (p.text != "d2") continue;
    ++labels;
    EXPECT_LT(p.y[0], 0);
    EXPECT_NEAR(std::hypot(p.x[0], p.y[0]), a.r, 0.1L * ToothingData.mn);
  }
  EXPECT_EQ(labels, 1);
}

TEST_F(DiameterArcs, LimitedArcEndsOnTheLine) {
  const Real d = 40, yLimit = 19;  // cut at arccos(19 / 20) = 18.19 degrees from the y axis
  const Real a = std::acos(19.0L / 20) * 180 / kPiL;
  Open();
  DrawLimitedDiameterArc("d1", false, 0, 0, 30, d, 90, yLimit);
  Close();
  auto arcs = rec_.OfKind(Kind::Arc);
  ASSERT_EQ(arcs.size(), 1u);
  EXPECT_NEAR(Span(arcs[0]), 2 * a, 1e-9L);
  EXPECT_NEAR(ArcStart(arcs[0]).y, yLimit, 1e-9L);
  EXPECT_NEAR(ArcEnd(arcs[0]).y, yLimit, 1e-9L);

  // A cut outside the arc keeps the given half; a line that misses draws nothing.
  Open();
  DrawLimitedDiameterArc("d1", false, 0, 0, 10, d, 90, yLimit);
  DrawLimitedDiameterArc("d1", false, 0, 0, 10, d, 90, 25);
  Close();
  arcs = rec_.OfKind(Kind::Arc);
  ASSERT_EQ(arcs.size(), 1u);
  EXPECT_NEAR(Span(arcs[0]), 20, 1e-9L);
  EXPECT_EQ(rec_.Count(Kind::Text), 1u);
}

TEST_F(DiameterArcs, ClippedHubArcStaysOnTheShortSide) {
  // Hub: negative diameter and negative half (from a negative z). The clipped arc must span
  // twice the cut angle below the centre, not the rest of the circle.
  const Real d = -40, yLimit = -19;
  const Real a = std::acos(19.0L / 20) * 180 / kPiL;
  Open();
  DrawLimitedDiameterArc("d2", false, 0, 0, -30, d, 90, yLimit);
  Close();
  const auto arcs = rec_.OfKind(Kind::Arc);
  ASSERT_EQ(arcs.size(), 1u);
  EXPECT_NEAR(Span(arcs[0]), 2 * a, 1e-9L);
  EXPECT_NEAR(Middle(arcs[0]), 270, 1e-9L);
  EXPECT_NEAR(ArcStart(arcs[0]).y, yLimit, 1e-9L);
}

TEST_F(DiameterArcs, LegendHasACircleAndALineForEachDiameter) {
  TToothingData& t = ToothingData;
  Open();
  DrawDiameterLegend(1, 0, 0);
  Close();
  // dFf differs from db here, dFa equals da: seven entries.
  auto texts = rec_.OfKind(Kind::Text);
  auto circles = rec_.OfKind(Kind::Circle);
  ASSERT_EQ(texts.size(), 7u);
  ASSERT_EQ(circles.size(), 7u);
  const std::string prefixes[] = {"dw = ", "d = ", "db = ", "df = ", "da = ", "dFf = ", "dNf = "};
  const int colours[] = {18, 17, 29, 19, 21, 20, 24};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(texts[i].text.rfind(prefixes[i], 0), 0u) << texts[i].text;
    EXPECT_EQ(texts[i].colour, colours[i]) << prefixes[i];
  }
  EXPECT_EQ(texts[1].text, "d = " + LengthStrN(3, t.d[1]));
  EXPECT_NEAR(circles[2].r, t.db[1] / 2, 1e-12L);
  // The legend starts a quarter of the root diameter up and left of the centre, one line
  // under the other.
  const Real s = ToothGraphicsSettings.dfGen[1];
  EXPECT_NEAR(texts[0].x[0], -s / 4, 1e-9L);
  EXPECT_NEAR(texts[0].y[0], s / 4, 1e-9L);
  EXPECT_LT(texts[1].y[0], texts[0].y[0]);

  // Exactly equal dFf and db leave dFf out; a dFa apart from da adds it.
  t.dFf[1] = t.db[1];
  t.dFa[1] = t.da[1] - 0.2L;
  Open();
  DrawDiameterLegend(1, 0, 0);
  Close();
  texts = rec_.OfKind(Kind::Text);
  ASSERT_EQ(texts.size(), 7u);
  EXPECT_EQ(texts[5].text.rfind("dFa = ", 0), 0u);
}

TEST_F(DiameterArcs, HubLegendPrintsMagnitudes) {
  Open();
  DrawDiameterLegend(2, 0, 0);
  Close();
  const auto texts = rec_.OfKind(Kind::Text);
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts[1].text, "d = " + LengthStrN(3, std::fabs(ToothingData.d[2])));
  EXPECT_EQ(texts[1].text.find('-'), std::string::npos);
}

}  // namespace
