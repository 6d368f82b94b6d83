// Centre lines, section outlines, rulings and the hatched shaft-end symbol, checked on what the
// CAD driver records.
#include "drawings/centre_lines.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "pieces_fixture.h"

namespace {

struct Seg {
  double x1, y1, x2, y2;
};

void ExpectLines(const std::vector<TCadPrimitive>& lines, const std::vector<Seg>& expected,
                 const char* name) {
  ASSERT_EQ(lines.size(), expected.size()) << name;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_NEAR(D(lines[i].x[0]), expected[i].x1, 1e-12) << name << " line " << i;
    EXPECT_NEAR(D(lines[i].y[0]), expected[i].y1, 1e-12) << name << " line " << i;
    EXPECT_NEAR(D(lines[i].x[1]), expected[i].x2, 1e-12) << name << " line " << i;
    EXPECT_NEAR(D(lines[i].y[1]), expected[i].y2, 1e-12) << name << " line " << i;
  }
}

}  // namespace

TEST_F(PiecesTest, CentreLinesOutlinesAndRulingsDrawTheirLines) {
  // Expected lines from the geometry of each figure: a centre line is centred on its point,
  // a cone's outline joins the half diameters, rulings step down from the start.
  const struct {
    const char* name;
    void (*draw)();
    std::vector<Seg> lines;
  } cases[] = {
      {"centre line", [] { DrawCenterLine(5, 10, 8); }, {{5, 6, 5, 14}}},
      {"centre line of length 0", [] { DrawCenterLine(5, 10, 0); }, {{5, 10, 5, 10}}},
      {"cone, lower line first",
       [] { DrawConeOutline(0, 50, 30, 20, 10); },
       {{0, 40, 30, 45}, {0, 60, 30, 55}}},
      {"cylinder", [] { DrawCylinderOutline(-5, 0, 15, 12); }, {{-5, -6, 15, -6}, {-5, 6, 15, 6}}},
      {"cone of equal diameters is a cylinder",
       [] { DrawConeOutline(-5, 0, 15, 12, 12); },
       {{-5, -6, 15, -6}, {-5, 6, 15, 6}}},
      {"three rulings",
       [] { DrawLineSeries(3, 18, 43, 55, 4.2); },
       {{18, 38.8, 73, 38.8}, {18, 34.6, 73, 34.6}, {18, 30.4, 73, 30.4}}},
      {"no rulings", [] { DrawLineSeries(0, 18, 43, 55, 4.2); }, {}},
      {"negative count", [] { DrawLineSeries(-2, 18, 43, 55, 4.2); }, {}},
  };
  for (const auto& c : cases) {
    TCadRecorder rec;
    CadOpen(kCadScreen);
    CadColour(4);
    c.draw();
    const auto lines = rec.OfKind(Kind::Line);
    ExpectLines(lines, c.lines, c.name);
    for (const auto& l : lines) EXPECT_EQ(l.colour, 4) << c.name;  // the caller's colour
  }
}

TEST_F(PiecesTest, HatchedSymbolIsHatchedInsideItsOutlineAndMirroredAbove) {
  const double x = 100, y = 50, s = 40, h = s / 2;
  TCadRecorder rec;
  CadOpen(kCadScreen);
  SetHatchMode(1);
  ClearHatchPoints();
  DrawHatchedSymbol(x, y, s);

  // The contour as described by its construction: wave ordinates and heights.
  const double wave[22] = {0.043, 0.079, 0.129, 0.177, 0.221, 0.268, 0.321, 0.379,
                           0.464, 0.564, 0.618, 0.714, 0.804, 0.846, 0.879, 0.914,
                           0.936, 0.954, 0.968, 0.979, 0.986, 0.9964};
  Polygon upper(24);
  upper[0].x = x;
  for (int k = 1; k <= 22; ++k) upper[static_cast<std::size_t>(k)].x = x + h * wave[k - 1];
  upper[23].x = x + h;
  for (int k = 0; k <= 10; ++k) upper[static_cast<std::size_t>(k)].y = y + 0.15 * h * k / 11;
  upper[11].y = y + 0.15 * h * 10.5 / 11;
  upper[12].y = y + 0.15 * h;
  for (int k = 13; k <= 23; ++k) upper[static_cast<std::size_t>(k)].y = upper[24 - k].y;
  Polygon contour = upper;
  for (int j = 1; j <= 23; ++j) {
    contour.push_back({upper[static_cast<std::size_t>(23 - j)].x,
                       2 * y - upper[static_cast<std::size_t>(j - 1)].y});
  }
  ASSERT_EQ(contour.size(), 47u);
  for (int i = 1; i <= 47; ++i) {
    EXPECT_NEAR(D(HatchStore.points[i].x), contour[static_cast<std::size_t>(i - 1)].x, 1e-12) << i;
    EXPECT_NEAR(D(HatchStore.points[i].y), contour[static_cast<std::size_t>(i - 1)].y, 1e-12) << i;
  }
  EXPECT_EQ(HatchStore.count, 0);  // the collected count is not touched

  int hatch = 0, outline = 0, mirrored = 0;
  for (const auto& l : rec.OfKind(Kind::Line)) {
    if (l.colour == 3) {
      ++hatch;
      const double dx = D(l.x[1] - l.x[0]), dy = D(l.y[1] - l.y[0]);
      EXPECT_NEAR(std::fabs(dx), std::fabs(dy), 1e-9);  // 45 degrees
      const Pt mid{D(l.x[0] + l.x[1]) / 2, D(l.y[0] + l.y[1]) / 2};
      EXPECT_TRUE(InsidePolygon(contour, mid)) << mid.x << ", " << mid.y;
    } else if (l.x[0] <= x && l.x[1] <= x && (l.x[0] < x || l.x[1] < x)) {
      ++mirrored;
      EXPECT_EQ(l.colour, 5);
      EXPECT_GE(D(l.y[0]), y);  // the upper edge, mirrored about x = X
    } else {
      ++outline;
      EXPECT_EQ(l.colour, 5);
    }
  }
  EXPECT_GT(hatch, 3);
  EXPECT_EQ(outline, 47);  // the closed contour
  EXPECT_EQ(mirrored, 23);
  const auto ext = rec.Extents();
  EXPECT_NEAR(D(ext.xMin), x - h, 1e-9);
  EXPECT_NEAR(D(ext.xMax), x + h, 1e-9);
  EXPECT_NEAR(D(ext.yMax), y + 0.15 * h, 1e-9);
  EXPECT_GT(D(ext.yMin), y - 0.15 * h - 1e-9);
}

TEST_F(PiecesTest, HatchedSymbolKeepsAContourCollectedBeforeIt) {
  CadOpen(kCadScreen);
  ClearHatchPoints();
  for (int i = 0; i < 60; ++i) AddHatchPoint(i, -i);
  DrawHatchedSymbol(0, 0, 10);
  EXPECT_EQ(HatchStore.count, 60);
  EXPECT_EQ(D(HatchStore.points[50].x), 49);  // behind the symbol's slots and its closing copy
  EXPECT_EQ(D(HatchStore.points[1].x), 0);
  EXPECT_EQ(D(HatchStore.points[13].y), 0.15 * 5);
}
