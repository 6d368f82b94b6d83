// The primitives: origin, justification, pen moves, polylines with arc angles and ellipses,
// checked against plane geometry worked by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "cad_test_support.h"

namespace {

using Kind = TCadPrimitive::Kind;
constexpr double kPi = std::numbers::pi;

double D(long double v) {
  return static_cast<double>(v);
}

TEST_F(CadTest, TheOriginMovesPointsButNotRadiiOrAngles) {
  TCadRecorder rec;
  CadOpen(kCadScreen);
  CadSetOrigin(100, 50);
  CadLine(1, 2, 3, 4);
  CadCircle(1, 1, 5);
  CadArc(2, 2, 30, 60, 7);
  CadText(3, 3, "T");
  CadSolid(0, 0, 1, 0, 0, 1, 1, 1);
  const auto& items = rec.Items();
  ASSERT_EQ(items.size(), 5u);
  EXPECT_EQ(items[0].x[0], 101.0L);
  EXPECT_EQ(items[0].y[1], 54.0L);
  EXPECT_EQ(items[1].x[0], 101.0L);
  EXPECT_EQ(items[1].r, 5.0L);
  EXPECT_EQ(items[2].a1, 30.0L);
  EXPECT_EQ(items[2].a2, 60.0L);
  EXPECT_EQ(items[2].r, 7.0L);
  EXPECT_EQ(items[3].y[0], 53.0L);
  EXPECT_EQ(items[4].x[3], 101.0L);
  EXPECT_EQ(items[4].y[3], 51.0L);
  // The display list holds the same world coordinates.
  const auto screen = ScreenItems();
  ASSERT_EQ(screen.size(), 5u);
  EXPECT_EQ(screen[0].v, (std::vector<double>{101, 52, 103, 54}));
  EXPECT_EQ(screen[1].v, (std::vector<double>{101, 51, 5}));
}

TEST_F(CadTest, ZeroRadiusArcsAndEmptyTextsWriteNothingOnAnyTarget) {
  for (std::uint16_t code : {kCadDxf, kCadIges, kCadText, kCadScreen}) {
    TCadRecorder rec;
    CadOpen(code);
    CadSheetFrame(0, 0, 10, 10);
    rec.Clear();
    const std::size_t before = DisplayList->Count();
    CadArc(1, 1, 0, 90, 0);
    CadText(1, 1, "");
    EXPECT_TRUE(rec.Items().empty()) << code;
    EXPECT_EQ(DisplayList->Count(), before) << code;
    CadClose();
  }
  const auto pairs = DxfPairs(ReadWholeFile(scratch_ / "part.dxf"));
  EXPECT_EQ(CountEntities(pairs, "ARC") + CountEntities(pairs, "TEXT"), 0);
  const std::string txt = ReadWholeFile(scratch_ / "part.txt");
  EXPECT_EQ(txt.find("ARC"), std::string::npos);
  EXPECT_EQ(txt.find("TEXT"), std::string::npos);
}

TEST_F(CadTest, JustificationMovesTheReferencePoint) {
  // Text "ABCD" of height 2 and width factor 0.5: 4 x 2 x 0.5 = 4 mm long.
  const struct {
    int h, v;
    double x, y;
  } cases[] = {{0, 0, 10, 20}, {1, 0, 8, 20},  {2, 0, 6, 20},
               {0, 1, 10, 19}, {0, 2, 10, 18}, {7, 9, 10, 20}};
  for (const auto& c : cases) {
    TCadRecorder rec;
    CadOpen(kCadScreen);
    CadTextHeight(2, 0, 2, 1);
    CadTextJustify(c.h, c.v);
    CadText(10, 20, "ABCD");
    const auto t = rec.OfKind(Kind::Text);
    ASSERT_EQ(t.size(), 1u);
    EXPECT_NEAR(D(t[0].x[0]), c.x, 1e-12) << c.h << "," << c.v;
    EXPECT_NEAR(D(t[0].y[0]), c.y, 1e-12) << c.h << "," << c.v;
  }
}

TEST_F(CadTest, TextLinesStepDownByOnePointSixHeights) {
  TCadRecorder rec;
  CadOpen(kCadScreen);
  CadTextHeight(2, 0, 5, 0);
  CadSetLineSpacing(1.5);
  CadMoveTo(10, 100);
  CadTextLine("one");
  CadTextLine("");  // nothing, and the pen stays
  CadTextLine("two");
  const auto t = rec.OfKind(Kind::Text);
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[0].y[0], 100.0L);
  EXPECT_NEAR(D(t[1].y[0]), 100 - 1.6 * 5 * 1.5, 1e-12);
  EXPECT_NEAR(D(PlotSettings.penY), 100 - 2 * 1.6 * 5 * 1.5, 1e-12);
  EXPECT_EQ(t[1].x[0], 10.0L);
}

// A vertex angle of +90 degrees from (0, 0) to (10, 0): the chord of 10 subtends a quarter
// circle, r = 10 / (2 sin 45) = 7.0711; counter-clockwise travel puts the centre on the left
// of the chord, at (5, 5); the arc runs from 225 to 315 degrees.
TEST_F(CadTest, PolylineArcAnglesBendThePieceFromTheirVertex) {
  const struct {
    const char* name;
    double angle, cx, cy, a1, a2;
  } cases[] = {
      {"counter-clockwise quarter", kPi / 2, 5, 5, 225, 315},
      {"clockwise quarter", -kPi / 2, 5, -5, 45, 135},
      {"half circle", kPi, 5, 0, 180, 360},
  };
  for (const auto& c : cases) {
    TCadRecorder rec;
    CadOpen(kCadScreen);
    CadPolylineBegin(0);
    CadPolylineVertex(0, 0, c.angle);
    CadPolylineVertex(10, 0, 0);
    CadPolylineVertex(10, 10, 0);
    CadPolylineEnd();
    const auto arcs = rec.OfKind(Kind::Arc);
    const auto lines = rec.OfKind(Kind::Line);
    ASSERT_EQ(arcs.size(), 1u) << c.name;
    ASSERT_EQ(lines.size(), 1u) << c.name;  // not closed automatically
    EXPECT_NEAR(D(arcs[0].x[0]), c.cx, 1e-9) << c.name;
    EXPECT_NEAR(D(arcs[0].y[0]), c.cy, 1e-9) << c.name;
    EXPECT_NEAR(D(arcs[0].r), 5 / std::sin(std::fabs(c.angle) / 2), 1e-9) << c.name;
    EXPECT_NEAR(std::remainder(D(arcs[0].a1) - c.a1, 360), 0, 1e-9) << c.name;
    EXPECT_NEAR(std::remainder(D(arcs[0].a2) - c.a2, 360), 0, 1e-9) << c.name;
  }
}

TEST_F(CadTest, DxfPolylinesAreLinesUnlessTheOptionAsksForTheEntity) {
  const struct {
    bool option;
    int polylines, vertices, lines;
  } cases[] = {{false, 0, 0, 2}, {true, 1, 3, 0}};
  for (const auto& c : cases) {
    PlotSettings.involuteAsPolyline = c.option;
    CadOpen(kCadDxf);
    CadBeginEntities();
    CadPolylineBegin(0);
    CadPolylineVertex(0, 0, 0);
    CadPolylineVertex(10, 0, 0);
    CadPolylineVertex(10, 10, 0);
    CadPolylineEnd();
    CadEndSection();
    CadClose();
    const auto pairs = DxfPairs(ReadWholeFile(scratch_ / "part.dxf"));
    EXPECT_EQ(CountEntities(pairs, "POLYLINE"), c.polylines);
    EXPECT_EQ(CountEntities(pairs, "VERTEX"), c.vertices);
    EXPECT_EQ(CountEntities(pairs, "LINE"), c.lines);
  }
}

TEST_F(CadTest, AQuarterCircleVertexWritesTheBulgeTanPiOverEight) {
  PlotSettings.involuteAsPolyline = true;
  TCadRecorder rec;
  CadOpen(kCadDxf);
  CadSetOrigin(1, 2);
  CadBeginEntities();
  CadPolylineBegin(1);
  CadPolylineVertex(0, 0, kPi / 2);
  CadPolylineVertex(10, 0, 0);
  CadPolylineEnd();
  CadEndSection();
  CadClose();
  const auto pairs = DxfPairs(ReadWholeFile(scratch_ / "part.dxf"));
  EXPECT_NEAR(EntityValue(pairs, "VERTEX", 0, 42), std::tan(kPi / 8), 1e-6);
  EXPECT_NEAR(EntityValue(pairs, "VERTEX", 0, 10), 1, 1e-9);  // origin added
  EXPECT_NEAR(EntityValue(pairs, "VERTEX", 1, 20), 2, 1e-9);
  EXPECT_NEAR(EntityValue(pairs, "POLYLINE", 0, 70), 1, 0);
  // The recorder still sees the piece as an arc, where the screen would draw it.
  const auto arcs = rec.OfKind(Kind::Arc);
  ASSERT_EQ(arcs.size(), 1u);
  EXPECT_NEAR(D(arcs[0].x[0]), 6, 1e-9);
  EXPECT_NEAR(D(arcs[0].y[0]), 7, 1e-9);
}

TEST_F(CadTest, EllipsePointsLieOnTheEllipseAndCloseTheOutline) {
  TCadRecorder rec;
  CadOpen(kCadScreen);
  CadEllipse(10, 20, 6, 3);
  const auto lines = rec.OfKind(Kind::Line);
  ASSERT_EQ(lines.size(), 126u);  // steps of 0.05 up to the first past 2 pi
  for (const auto& l : lines) {
    const double u = D(l.x[1] - 10) / 6, v = D(l.y[1] - 20) / 3;
    EXPECT_NEAR(u * u + v * v, 1.0, 1e-12);
  }
  EXPECT_EQ(lines.front().x[0], 16.0L);
  EXPECT_GT(D(lines.back().y[1]), 20.0);  // past the start: no gap
}

TEST_F(CadTest, EllipseArcsRunFromTheFirstToTheSecondAngle) {
  const struct {
    const char* name;
    double a1, a2, step;
    std::size_t pieces;
  } cases[] = {
      {"ten degree steps", 0, 90, 10, 9},
      {"a last short piece", 0, 95, 10, 10},
      {"zero step does not hang", 0, 90, 0, 18},  // the 5 degree default
      {"negative step does not hang", 0, 90, -3, 18},
      {"second angle below the first", 300, 60, 10, 12},  // through 0 degrees
  };
  for (const auto& c : cases) {
    TCadRecorder rec;
    CadOpen(kCadScreen);
    CadEllipseArc(0, 0, c.a1, c.a2, 2, 3, 1, c.step);
    const auto lines = rec.OfKind(Kind::Line);
    EXPECT_EQ(lines.size(), c.pieces) << c.name;
    if (lines.empty()) continue;
    for (const auto& l : lines) {
      const double u = D(l.x[1]) / 6, v = D(l.y[1]) / 2;
      EXPECT_NEAR(u * u + v * v, 1.0, 1e-12) << c.name;
    }
    EXPECT_NEAR(D(lines.front().x[0]), 6 * std::cos(c.a1 * kPi / 180), 1e-12) << c.name;
    EXPECT_NEAR(D(lines.back().x[1]), 6 * std::cos(c.a2 * kPi / 180), 1e-12) << c.name;
    EXPECT_NEAR(D(lines.back().y[1]), 2 * std::sin(c.a2 * kPi / 180), 1e-12) << c.name;
  }
  TCadRecorder none;
  CadEllipseArc(0, 0, 0, 90, 0, 1, 1, 5);  // radius 0
  EXPECT_TRUE(none.Items().empty());
}

TEST_F(CadTest, InsideTheScreenBlockSectionLinesGoIntoTheBlockFile) {
  CadOpen(kCadScreen);
  CadBeginBlocks();
  CadBeginBlock("Probe");
  const std::size_t before = DisplayList->Count();
  CadColour(3);
  CadLine(1, 2, 3, 4);
  EXPECT_EQ(DisplayList->Count(), before);
  CadEndBlock();
  const auto pairs = DxfPairs(ReadWholeFile(BlockFileName("probe")));
  ASSERT_EQ(CountEntities(pairs, "LINE"), 1);
  EXPECT_DOUBLE_EQ(EntityValue(pairs, "LINE", 0, 21), 4.0);
  EXPECT_DOUBLE_EQ(EntityValue(pairs, "LINE", 0, 8), 3.0);  // layer "3"
  EXPECT_EQ(pairs.back(), (std::pair<int, std::string>{0, "EOF"}));
  CadEndSection();
}

}  // namespace
