// Plane geometry against hand-computed figures: unit circle arcs, right and 60 degree corners,
// the 3-4-5 triangle.
#include "common/plane_geometry.h"

#include <gtest/gtest.h>

#include <cmath>

#include "common/guarded_math.h"
#include "common/message_list.h"
#include "common/program_state.h"

namespace {

constexpr double kTol = 1e-12;
const long double kSqrt3 = std::sqrt(3.0L);

class PlaneGeometryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramStateForTests();
    ClearErrors();
  }
  void TearDown() override { ClearErrors(); }
};

#define EXPECT_LD_NEAR(a, b) EXPECT_NEAR(static_cast<double>(a), static_cast<double>(b), kTol)

TEST_F(PlaneGeometryTest, SolveLinear2) {
  long double x = 9;
  long double y = 9;
  EXPECT_TRUE(SolveLinear2(x, y, 1, 1, 2, 1, -1, 0));  // x + y = 2, x - y = 0
  EXPECT_LD_NEAR(x, 1);
  EXPECT_LD_NEAR(y, 1);
  EXPECT_TRUE(SolveLinear2(x, y, 3, 2, 12, 1, -1, -1));  // 3x + 2y = 12, x - y = -1
  EXPECT_LD_NEAR(x, 2);
  EXPECT_LD_NEAR(y, 3);
  EXPECT_FALSE(SolveLinear2(x, y, 1, 2, 3, 2, 4, 6));  // proportional equations
  EXPECT_EQ(x, 0.0L);
  EXPECT_EQ(y, 0.0L);
}

TEST_F(PlaneGeometryTest, IntersectLines) {
  long double x = 9;
  long double y = 9;
  EXPECT_TRUE(IntersectLines(x, y, -1, 0, 1, 0, 0, -1, 0, 1));  // the axes
  EXPECT_LD_NEAR(x, 0);
  EXPECT_LD_NEAR(y, 0);
  EXPECT_TRUE(IntersectLines(x, y, 0, 0, 1, 1, 0, 4, 4, 0));  // y = x and y = 4 - x
  EXPECT_LD_NEAR(x, 2);
  EXPECT_LD_NEAR(y, 2);
  EXPECT_FALSE(IntersectLines(x, y, 1, 1, 2, 2, 0, 1, 1, 2));  // parallel
  EXPECT_EQ(x, 1.0L);
  EXPECT_EQ(y, 1.0L);
  EXPECT_FALSE(IntersectLines(x, y, 3, 4, 3, 4, 0, 0, 1, 0));  // first line is one point
  EXPECT_EQ(x, 3.0L);
  EXPECT_EQ(y, 4.0L);
}

TEST_F(PlaneGeometryTest, RotateAboutPoint) {
  long double x = 0;
  long double y = 0;
  RotateAboutPoint(x, y, 2, 1, 1, 1, kPi / 2);  // quarter turn about (1, 1)
  EXPECT_LD_NEAR(x, 1);
  EXPECT_LD_NEAR(y, 2);
  RotateAboutPoint(x, y, 3, 0, 0, 0, kPi);
  EXPECT_LD_NEAR(x, -3);
  EXPECT_LD_NEAR(y, 0);
}

TEST_F(PlaneGeometryTest, AngleFromSidesByTheLawOfCosines) {
  EXPECT_LD_NEAR(AngleFromSides(3, 4, 5), kPi / 2);  // right angle of the 3-4-5 triangle
  EXPECT_LD_NEAR(AngleFromSides(2, 2, 2), kPi / 3);  // equilateral
  EXPECT_LD_NEAR(AngleFromSides(5, 4, 3), std::acos(0.8L));
  EXPECT_EQ(AngleFromSides(0, 4, 3), 0.0L);
  EXPECT_EQ(AngleFromSides(4, 0, 3), 0.0L);
  EXPECT_EQ(ErrorCount(), 0);
  EXPECT_EQ(AngleFromSides(1, 1, 3), 0.0L);  // no such triangle: guarded arc cosine
  EXPECT_EQ(ErrorCount(), 1);
}

struct ArcCase {
  const char* why;
  long double x1, y1, x2, y2, dphi;
  long double xc, yc, r, a1, a2;
};

TEST_F(PlaneGeometryTest, GetArcCenterOfKnownArcs) {
  const ArcCase cases[] = {
      {"quarter of the unit circle", 1, 0, 0, 1, kPi / 2, 0, 0, 1, 0, kPi / 2},
      {"same quarter clockwise: angles exchanged", 0, 1, 1, 0, -kPi / 2, 0, 0, 1, 0, kPi / 2},
      {"half circle", 1, 0, -1, 0, kPi, 0, 0, 1, 0, kPi},
      {"60 degrees of radius 2", 2, 0, 1, kSqrt3, kPi / 3, 0, 0, 2, 0, kPi / 3},
      {"quarter about (5, 5)", 6, 5, 5, 6, kPi / 2, 5, 5, 1, 0, kPi / 2},
      // The end angle of (0, -1) is -pi/2: angles run from -pi/2 to 3pi/2.
      {"three quarters", 1, 0, 0, -1, 3 * kPi / 2, 0, 0, 1, 0, -kPi / 2},
  };
  for (const auto& c : cases) {
    long double xc = 99, yc = 99, a1 = 99, a2 = 99, r = 99;
    GetArcCenter(xc, yc, a1, c.x1, c.y1, c.x2, c.y2, c.dphi, a2, r);
    EXPECT_LD_NEAR(xc, c.xc) << c.why;
    EXPECT_LD_NEAR(yc, c.yc) << c.why;
    EXPECT_LD_NEAR(r, c.r) << c.why;
    EXPECT_LD_NEAR(a1, c.a1) << c.why;
    EXPECT_LD_NEAR(a2, c.a2) << c.why;
  }
  EXPECT_EQ(ErrorCount(), 0);
}

TEST_F(PlaneGeometryTest, GetArcCenterWithoutAngleLeavesOutputsAndPostsMessage) {
  for (long double dphi : {0.0L, 2 * kPi}) {
    ClearErrors();
    long double xc = 7, yc = 7, a1 = 7, a2 = 7, r = 7;
    GetArcCenter(xc, yc, a1, 1, 0, 0, 1, dphi, a2, r);
    EXPECT_EQ(xc, 7.0L);
    EXPECT_EQ(yc, 7.0L);
    EXPECT_EQ(a1, 7.0L);
    EXPECT_EQ(a2, 7.0L);
    EXPECT_EQ(r, 7.0L);
    ASSERT_EQ(ErrorCount(), 1);
    EXPECT_EQ(ErrorText(1).rfind("Fehler in GetArcCenter (dphi = ", 0), 0u) << ErrorText(1);
  }
  EXPECT_EQ(ErrorText(1), "Fehler in GetArcCenter (dphi = 6.28 ! ");
}

TEST_F(PlaneGeometryTest, GetArcCenterOfAZeroChord) {
  long double xc = 9, yc = 9, a1 = 9, a2 = 9, r = 9;
  GetArcCenter(xc, yc, a1, 2, 3, 2, 3, kPi / 2, a2, r);
  EXPECT_EQ(xc, 2.0L);
  EXPECT_EQ(yc, 3.0L);
  EXPECT_EQ(r, 0.0L);
  EXPECT_FALSE(std::isnan(a1));
  EXPECT_FALSE(std::isnan(a2));
  ASSERT_EQ(ErrorCount(), 1);
  EXPECT_EQ(ErrorText(1), "GetArcCenter l12=0");
}

TEST_F(PlaneGeometryTest, IntersectRays) {
  long double x = 9, y = 9;
  IntersectRays(x, y, 0, 0, kPi / 4, 4, 0, 3 * kPi / 4);
  EXPECT_LD_NEAR(x, 2);
  EXPECT_LD_NEAR(y, 2);
  IntersectRays(x, y, 1, 2, 0.3L, 5, 5, 0.3L + kPi);  // parallel
  EXPECT_EQ(x, 1.0L);
  EXPECT_EQ(y, 2.0L);
}

struct Fillet {
  long double xc = 9, yc = 9, xt1 = 9, yt1 = 9, xt2 = 9, yt2 = 9, dphi = 9;
};

TEST_F(PlaneGeometryTest, FilletCornerOfARightAngle) {
  // y = 0 from (10, 0) towards the origin, x = 0 from (0, 10) towards the origin.
  Fillet f;
  FilletCorner(f.xc, f.yc, f.xt1, 10, 0, kPi, 0, 10, -kPi / 2, 1, f.yt1, f.xt2, f.yt2, f.dphi);
  EXPECT_LD_NEAR(f.xc, 1);
  EXPECT_LD_NEAR(f.yc, 1);
  EXPECT_LD_NEAR(f.xt1, 1);
  EXPECT_LD_NEAR(f.yt1, 0);
  EXPECT_LD_NEAR(f.xt2, 0);
  EXPECT_LD_NEAR(f.yt2, 1);
  // From the tangent point below the centre (angle -pi/2) to the one left of it (angle pi).
  EXPECT_LD_NEAR(f.dphi, 3 * kPi / 2);
}

TEST_F(PlaneGeometryTest, FilletCornerOfASixtyDegreeCorner) {
  // Corner at the origin between the positive x axis and the ray at 60 degrees. The centre
  // lies on the bisector at r / sin 30 = 2; the tangent points at r / tan 30 = sqrt 3 from
  // the corner.
  Fillet f;
  long double c60 = std::cos(kPi / 3), s60 = std::sin(kPi / 3);
  FilletCorner(f.xc, f.yc, f.xt1, 10, 0, kPi, 10 * c60, 10 * s60, kPi / 3 + kPi, 1, f.yt1, f.xt2,
               f.yt2, f.dphi);
  EXPECT_LD_NEAR(f.xc, kSqrt3);
  EXPECT_LD_NEAR(f.yc, 1);
  EXPECT_LD_NEAR(f.xt1, kSqrt3);
  EXPECT_LD_NEAR(f.yt1, 0);
  EXPECT_LD_NEAR(f.xt2, kSqrt3 * c60);
  EXPECT_LD_NEAR(f.yt2, kSqrt3 * s60);
  EXPECT_LD_NEAR(Hypot(f.xt2 - f.xc, f.yt2 - f.yc), 1);
}

TEST_F(PlaneGeometryTest, FilletCornerOfParallelLinesGivesZeros) {
  Fillet f;
  FilletCorner(f.xc, f.yc, f.xt1, 0, 0, 0, 0, 5, 0, 1, f.yt1, f.xt2, f.yt2, f.dphi);
  for (long double v : {f.xc, f.yc, f.xt1, f.yt1, f.xt2, f.yt2, f.dphi}) EXPECT_EQ(v, 0.0L);
}

TEST_F(PlaneGeometryTest, TurnHalf) {
  EXPECT_LD_NEAR(TurnHalf(0), kPi);
  EXPECT_LD_NEAR(TurnHalf(1.5L * kPi), 0.5L * kPi);
  EXPECT_LD_NEAR(TurnHalf(kPi), 2 * kPi);  // exactly 2 pi is kept
  EXPECT_LD_NEAR(TurnHalf(-kPi / 2), kPi / 2);
}

TEST_F(PlaneGeometryTest, FilletFromAngleRoundsTheCornerBetweenTheTwoDirections) {
  // Corner (3, 2) with the directions +x and +y leaving it: centre (3 + r, 2 + r).
  Fillet f;
  FilletFromAngle(f.xc, f.yc, f.xt1, f.yt1, f.xt2, f.yt2, f.dphi, 0.5L, kPi / 2, 0, 2, 3);
  EXPECT_LD_NEAR(f.xc, 3.5L);
  EXPECT_LD_NEAR(f.yc, 2.5L);
  EXPECT_LD_NEAR(f.xt1, 3.5L);  // on the +x side
  EXPECT_LD_NEAR(f.yt1, 2);
  EXPECT_LD_NEAR(f.xt2, 3);  // on the +y side
  EXPECT_LD_NEAR(f.yt2, 2.5L);
  // Angle of T2 about the centre (pi) minus that of T1 (-pi/2).
  EXPECT_LD_NEAR(f.dphi, 3 * kPi / 2);

  // The directions exchanged: the difference -3pi/2 is brought up by 2 pi.
  FilletFromAngle(f.xc, f.yc, f.xt1, f.yt1, f.xt2, f.yt2, f.dphi, 0.5L, 0, kPi / 2, 2, 3);
  EXPECT_LD_NEAR(f.xc, 3.5L);
  EXPECT_LD_NEAR(f.yc, 2.5L);
  EXPECT_LD_NEAR(f.xt1, 3);
  EXPECT_LD_NEAR(f.yt1, 2.5L);
  EXPECT_LD_NEAR(f.dphi, kPi / 2);
}

TEST_F(PlaneGeometryTest, NothingBecomesNaN) {
  Fillet f;
  FilletFromAngle(f.xc, f.yc, f.xt1, f.yt1, f.xt2, f.yt2, f.dphi, 1, 0.7L, 0.7L, 0, 0);
  for (long double v : {f.xc, f.yc, f.xt1, f.yt1, f.xt2, f.yt2, f.dphi}) {
    EXPECT_FALSE(std::isnan(v));
  }
  long double x = 0, y = 0;
  IntersectRays(x, y, 0, 0, 1, 0, 0, 1);  // one line twice
  EXPECT_FALSE(std::isnan(x));
  EXPECT_FALSE(std::isnan(y));
}

}  // namespace
