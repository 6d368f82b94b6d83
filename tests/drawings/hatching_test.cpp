// Hatching and break lines: every hatch piece checked against the contour by a point-in-polygon
// test of its own, the hatched length against the area (Cavalieri: the pieces times their
// spacing add up to the area), and the contour store's limits.
#include "drawings/hatching.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <set>
#include <vector>

#include "pieces_fixture.h"

namespace {

void Store(const Polygon& poly) {
  ClearHatchPoints();
  for (const Pt& p : poly) AddHatchPoint(p.x, p.y);
}

Polygon RegularPolygon(int n, double r, double cx, double cy, double turn = 0) {
  Polygon p;
  for (int i = 0; i < n; ++i) {
    const double a = turn + 2 * std::numbers::pi * i / n;
    p.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
  }
  return p;
}

Polygon Star() {
  Polygon p;
  for (int i = 0; i < 10; ++i) {
    const double a = std::numbers::pi / 2 + std::numbers::pi * i / 5;
    const double r = i % 2 == 0 ? 10 : 4;
    p.push_back({r * std::cos(a), r * std::sin(a)});
  }
  return p;
}

// Eight teeth: a scan line across them meets the outline 16 times.
Polygon Comb() {
  Polygon p{{0, 0}, {31, 0}};
  for (int t = 7; t >= 0; --t) {
    const double x = 4.0 * t;
    p.push_back({x + 3, 10});
    p.push_back({x, 10});
    if (t > 0) {
      p.push_back({x, 3});
      p.push_back({x - 1, 3});
    }
  }
  return p;
}

// A square with a square hole, joined to the outline by a cut that runs there and back.
Polygon SquareWithHole() {
  return {{0, 0}, {20, 0}, {20, 20}, {0, 20}, {0, 0}, {6, 4}, {6, 14}, {14, 14}, {14, 4}, {6, 4}};
}

struct ContourCase {
  const char* name;
  Polygon poly;
  double spacing;
  double angle;
};

std::vector<ContourCase> ContourCases() {
  return {
      {"convex hexagon, automatic spacing", RegularPolygon(6, 10, 3, -2, 0.2), 0, 30},
      {"convex square turned, 90 degrees", RegularPolygon(4, 10, 0, 0, 0.3), 0.5, 90},
      {"concave L, lines through its corners",
       {{0, 0}, {10, 0}, {10, 4}, {4, 4}, {4, 10}, {0, 10}},
       1,
       45},
      {"concave L at 135 degrees", {{0, 0}, {10, 0}, {10, 4}, {4, 4}, {4, 10}, {0, 10}}, 1, 135},
      {"concave star", Star(), 0.4, 60},
      {"comb, sixteen crossings per line", Comb(), 0.5, 10},
      {"comb at -20 degrees", Comb(), 0.3, -20},
      {"square with a hole", SquareWithHole(), 0.5, 45},
      {"square with a hole at 80 degrees", SquareWithHole(), 0.5, 80},
      {"circle of 100 points", RegularPolygon(100, 30, 5, 5), 2, 37},
  };
}

}  // namespace

TEST_F(PiecesTest, EveryHatchPieceLiesInsideItsContour) {
  for (const auto& c : ContourCases()) {
    TCadRecorder rec;
    CadOpen(kCadScreen);
    SetHatchMode(2);  // hatch lines only
    Store(c.poly);
    HatchPoints(0, c.spacing, c.angle);
    const auto lines = rec.OfKind(Kind::Line);
    ASSERT_FALSE(lines.empty()) << c.name;
    for (const auto& l : lines) {
      EXPECT_EQ(l.colour, 3) << c.name;
      for (int k = 1; k < 20; ++k) {
        const double t = k / 20.0;
        const Pt p{D(l.x[0] + t * (l.x[1] - l.x[0])), D(l.y[0] + t * (l.y[1] - l.y[0]))};
        EXPECT_TRUE(InsidePolygon(c.poly, p) || DistanceToOutline(c.poly, p) < 1e-7)
            << c.name << ": (" << p.x << ", " << p.y << ")";
      }
    }
    EXPECT_FALSE(AbortFlag) << c.name;
    EXPECT_EQ(ErrorCount(), 0) << c.name;
  }
}

TEST_F(PiecesTest, HatchedLengthTimesSpacingGivesTheArea) {
  for (const auto& c : ContourCases()) {
    if (c.spacing == 0) continue;
    TCadRecorder rec;
    CadOpen(kCadScreen);
    SetHatchMode(2);
    Store(c.poly);
    HatchPoints(0, c.spacing, c.angle);
    double total = 0;
    for (const auto& l : rec.OfKind(Kind::Line)) total += Length(l);
    EXPECT_NEAR(total * c.spacing, Area(c.poly), Perimeter(c.poly) * c.spacing) << c.name;
  }
}

TEST_F(PiecesTest, HatchLinesRunAtTheAngleWithTheGivenSpacing) {
  const struct {
    double angle, spacing;
  } cases[] = {{45, 1}, {30, 0.8}, {90, 1.5}, {135, 1}, {-60, 2}};
  for (const auto& c : cases) {
    TCadRecorder rec;
    CadOpen(kCadScreen);
    SetHatchMode(2);
    Store(RegularPolygon(7, 12, 0, 0));
    HatchPoints(0, c.spacing, c.angle);
    const double a = c.angle * std::numbers::pi / 180;
    // Offsets across the lines, measured on the normal of the hatch direction.
    std::set<long long> offsets;
    for (const auto& l : rec.OfKind(Kind::Line)) {
      const double dx = D(l.x[1] - l.x[0]), dy = D(l.y[1] - l.y[0]);
      EXPECT_NEAR(std::fabs(dx * std::sin(a) - dy * std::cos(a)), 0, 1e-9) << c.angle;
      const double offset = -D(l.x[0]) * std::sin(a) + D(l.y[0]) * std::cos(a);
      offsets.insert(std::llround(offset / c.spacing * 1000));
    }
    ASSERT_GE(offsets.size(), 2u) << c.angle;
    long long previous = *offsets.begin();
    for (auto it = std::next(offsets.begin()); it != offsets.end(); ++it) {
      EXPECT_EQ(*it - previous, 1000) << c.angle;  // one spacing apart, none left out
      previous = *it;
    }
  }
}

TEST_F(PiecesTest, AutomaticSpacingGivesAboutTenLinesWhateverTheSize) {
  for (double scale : {0.01, 1.0, 1000.0}) {
    TCadRecorder rec;
    CadOpen(kCadScreen);
    SetHatchMode(2);
    Store({{0, 0}, {4 * scale, 0}, {4 * scale, 3 * scale}, {0, 3 * scale}});
    HatchPoints(0, 0, 30);
    const auto n = rec.Count(Kind::Line);
    EXPECT_GE(n, 9u) << scale;
    EXPECT_LE(n, 10u) << scale;
  }
}

TEST_F(PiecesTest, ALineThroughTwoCornersOfASquareDrawsItsDiagonal) {
  // Lines y = x + c at c = -8, -6, ..., 10: c = 0 runs through (0,0) and (10,10) where the
  // outline crosses it; c = 10 only touches the corner (0,10) and draws nothing there.
  TCadRecorder rec;
  CadOpen(kCadScreen);
  SetHatchMode(2);
  Store({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
  HatchPoints(0, 0, 45);
  const auto lines = rec.OfKind(Kind::Line);
  ASSERT_EQ(lines.size(), 9u);
  bool diagonal = false;
  for (const auto& l : lines) {
    EXPECT_GT(Length(l), 1e-6);
    diagonal |= std::fabs(Length(l) - 10 * std::numbers::sqrt2) < 1e-9;
  }
  EXPECT_TRUE(diagonal);
}

TEST_F(PiecesTest, OutlineAndColoursFollowTheHatchMode) {
  const struct {
    int mode;
    int outlineLines;
    int outlineColour;
    int hatchColour;
  } cases[] = {{1, 4, 5, 3}, {2, 0, -1, 3}, {0, 4, 7, 7}, {9, 4, 7, 7}};
  for (const auto& c : cases) {
    TCadRecorder rec;
    CadOpen(kCadScreen);
    CadColour(7);
    SetHatchMode(static_cast<std::uint16_t>(c.mode));
    Store({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    HatchPoints(0, 1, 30);
    int outline = 0;
    for (const auto& l : rec.OfKind(Kind::Line)) {
      const bool onEdge = (l.x[0] == l.x[1] && (l.x[0] == 0 || l.x[0] == 10) && Length(l) == 10) ||
                          (l.y[0] == l.y[1] && (l.y[0] == 0 || l.y[0] == 10) && Length(l) == 10);
      if (onEdge) {
        ++outline;
        EXPECT_EQ(l.colour, c.outlineColour) << c.mode;
      } else {
        EXPECT_EQ(l.colour, c.hatchColour) << c.mode;
      }
    }
    EXPECT_EQ(outline, c.outlineLines) << c.mode;
  }
}

TEST_F(PiecesTest, AContourIsClosedOnlyWhenItsEndsDiffer) {
  const struct {
    const char* name;
    Polygon poly;
    int outlineLines;
  } cases[] = {{"open triangle gets its closing side", {{0, 0}, {10, 0}, {0, 10}}, 3},
               {"closed triangle is not closed again", {{0, 0}, {10, 0}, {0, 10}, {0, 0}}, 3}};
  for (const auto& c : cases) {
    TCadRecorder rec;
    CadOpen(kCadScreen);
    SetHatchMode(1);
    Store(c.poly);
    HatchPoints(0, 0, 0);  // angle 0: outline only
    EXPECT_EQ(rec.Count(Kind::Line), static_cast<std::size_t>(c.outlineLines)) << c.name;
  }
}

TEST_F(PiecesTest, AFullContourOfOneHundredPointsKeepsItsClosingSide) {
  const Polygon circle = RegularPolygon(100, 10, 0, 0);
  TCadRecorder rec;
  CadOpen(kCadScreen);
  SetHatchMode(1);
  Store(circle);
  ASSERT_EQ(HatchStore.count, 100);
  HatchPoints(0, 0, 0);
  const auto lines = rec.OfKind(Kind::Line);
  ASSERT_EQ(lines.size(), 100u);
  EXPECT_NEAR(D(lines.back().x[1]), circle[0].x, 1e-12);
  EXPECT_NEAR(D(lines.back().y[1]), circle[0].y, 1e-12);
  EXPECT_EQ(ErrorCount(), 0);
}

TEST_F(PiecesTest, DegenerateHatchingDrawsNoLinesAndReturns) {
  const struct {
    const char* name;
    Polygon poly;
    int n;  // 0: the collected count
    double spacing;
  } cases[] = {
      {"negative spacing", {{0, 0}, {10, 0}, {10, 10}, {0, 10}}, 0, -1},
      {"contour without width across the lines", {{0, 0}, {10, 10}, {5, 5}}, 0, 0},
      {"two points", {{0, 0}, {10, 3}}, 0, 0.5},
      {"one point", {{1, 1}}, 0, 0.5},
      {"empty store", {}, 0, 1},
      {"negative point count", {{0, 0}, {10, 0}, {10, 10}}, -3, 1},
  };
  for (const auto& c : cases) {
    TCadRecorder rec;
    CadOpen(kCadScreen);
    SetHatchMode(2);
    Store(c.poly);
    HatchPoints(c.n, c.spacing, 45);
    EXPECT_EQ(rec.Count(Kind::Line), 0u) << c.name;
    EXPECT_FALSE(AbortFlag) << c.name;
  }
}

TEST_F(PiecesTest, TooManyPointsAreReportedOnceAndAgainWhenHatched) {
  CadOpen(kCadScreen);
  ClearHatchPoints();
  for (int i = 0; i < 101; ++i) AddHatchPoint(i, i % 2);
  ASSERT_EQ(ErrorCount(), 1);
  EXPECT_EQ(ErrorText(1), "Schraffurfehler");
  TCadRecorder rec;
  HatchPoints(0, 1, 45);
  ASSERT_EQ(ErrorCount(), 2);
  EXPECT_EQ(ErrorText(2), "Fatal  : n schraff !");
  EXPECT_EQ(rec.Items().size(), 0u);
  EXPECT_FALSE(AbortFlag);
}

TEST_F(PiecesTest, ThePointCountNeverWrapsBackToAValidNumber) {
  ClearHatchPoints();
  for (int i = 0; i < 70000; ++i) AddHatchPoint(0, 0);
  EXPECT_GT(HatchStore.count, kHatchPointCount);
  ClearErrors();
  HatchPoints(0, 1, 45);
  EXPECT_EQ(ErrorText(1), "Fatal  : n schraff !");
}

TEST_F(PiecesTest, SortWithIndexSortsAndCarriesThePermutation) {
  std::vector<double> values{3, 1, 2, 1, 15, 14, 13, 12, 11, 10, 9, 8};  // more than ten
  std::vector<int> index(values.size());
  SortWithIndex(values, index);
  EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
  const std::vector<double> original{3, 1, 2, 1, 15, 14, 13, 12, 11, 10, 9, 8};
  for (std::size_t k = 0; k < values.size(); ++k) {
    EXPECT_EQ(original[static_cast<std::size_t>(index[k])], values[k]);
  }
  EXPECT_EQ(index[0], 1);  // equal values keep their order
  EXPECT_EQ(index[1], 3);
  EXPECT_FALSE(AbortFlag);

  std::vector<int> tooShort(3);
  SortWithIndex(values, tooShort);
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(ErrorText(1), "Fatal  : QSORT2 error");
}

TEST_F(PiecesTest, FreehandLineStaysNearTheStraightLineAndRepeatsWithItsSeed) {
  const double x1 = 5, y1 = 2, x2 = -7, y2 = 11, amplitude = 0.8;
  const double length = std::hypot(x2 - x1, y2 - y1);
  const double ux = (x2 - x1) / length, uy = (y2 - y1) / length;
  std::vector<TCadPrimitive> first;
  for (int run = 0; run < 2; ++run) {
    TCadRecorder rec;
    CadOpen(kCadScreen);
    SetFreehandSeed(42);
    ClearHatchPoints();
    FreehandLine(true, x1, y1, x2, y2, amplitude);
    const auto lines = rec.OfKind(Kind::Line);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(D(lines[0].x[0]), x1);
    EXPECT_EQ(D(lines[0].y[0]), y1);
    EXPECT_EQ(D(lines[5].x[1]), x2);
    EXPECT_EQ(D(lines[5].y[1]), y2);
    for (int i = 1; i <= 5; ++i) {
      const double px = D(lines[static_cast<std::size_t>(i - 1)].x[1]) - x1;
      const double py = D(lines[static_cast<std::size_t>(i - 1)].y[1]) - y1;
      EXPECT_NEAR(px * ux + py * uy, i * length / 6, 1e-9);  // evenly along the line
      EXPECT_LT(std::fabs(-px * uy + py * ux), 2 * amplitude);
      EXPECT_EQ(D(lines[static_cast<std::size_t>(i)].x[0]),  // one connected line
                D(lines[static_cast<std::size_t>(i - 1)].x[1]));
    }
    ASSERT_EQ(HatchStore.count, 7);
    EXPECT_EQ(D(HatchStore.points[4].x), D(lines[2].x[1]));
    EXPECT_EQ(D(HatchStore.points[7].y), y2);
    if (run == 0) {
      first = lines;
    } else {
      for (std::size_t k = 0; k < 6; ++k) EXPECT_EQ(D(lines[k].y[1]), D(first[k].y[1]));
    }
  }
  // Without feed the store is left alone; another seed gives another line.
  TCadRecorder rec;
  CadOpen(kCadScreen);
  SetFreehandSeed(43);
  FreehandLine(false, x1, y1, x2, y2, amplitude);
  EXPECT_EQ(HatchStore.count, 7);
  EXPECT_NE(D(rec.OfKind(Kind::Line)[0].y[1]), D(first[0].y[1]));
}

TEST_F(PiecesTest, ABreakLineFedIntoTheStoreClosesAHatchedSection) {
  // The usual sequence of a section view: straight edges and a break line, then hatching.
  TCadRecorder rec;
  CadOpen(kCadScreen);
  SetFreehandSeed(7);
  ClearHatchPoints();
  SetHatchMode(1);
  AddHatchPoint(0, 0);
  AddHatchPoint(30, 0);
  FreehandLine(true, 30, 0, 30, 20, 1.5);
  AddHatchPoint(0, 20);
  HatchPoints(0, 1, 45);
  Polygon poly;
  for (int i = 1; i <= HatchStore.count; ++i) {
    poly.push_back({D(HatchStore.points[i].x), D(HatchStore.points[i].y)});
  }
  int hatch = 0;
  for (const auto& l : rec.OfKind(Kind::Line)) {
    if (l.colour != 3) continue;
    ++hatch;
    const Pt mid{D(l.x[0] + l.x[1]) / 2, D(l.y[0] + l.y[1]) / 2};
    EXPECT_TRUE(InsidePolygon(poly, mid)) << mid.x << ", " << mid.y;
  }
  EXPECT_GT(hatch, 20);
}
