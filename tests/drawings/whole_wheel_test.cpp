// Whole wheels, the ring gear with the rolled shaft, and planet sets, measured on the screen
// replay of small marker blocks: each block is one radial line, so every insert shows up as a
// line whose direction and position give the insert's angle and place.
#include "drawings/whole_wheel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "drawings/tooth_test_support.h"

namespace {

using namespace tooth_test;
using Kind = TCadPrimitive::Kind;

double D(long double v) {
  return static_cast<double>(v);
}

// Angle in degrees brought into [0, 360).
Real Norm360(Real a) {
  a = std::fmod(a, 360);
  return a < 0 ? a + 360 : a;
}

// Marker block: a line from the block origin to (0, 1) turned by base degrees, i.e. pointing
// at 90 + base degrees, so an insert turned by q points at 90 + base + q.
void MarkerBlock(const std::string& name, int colour) {
  CadBeginBlock(name);
  CadColour(colour);
  CadLine(0, 0, 0, 1);
  CadEndBlock();
}

class WholeWheelTest : public ToothTest {
 protected:
  void SetUp() override {
    ToothTest::SetUp();
    SetSplineCase(Din5480W45x2x21());
  }
  // Opens the screen, writes marker blocks (EVOLV n colour 1, ZAHN n colour 2, RAD n colour
  // 3 + n) and runs draw in the entities section.
  template <typename F>
  void Draw(F draw) {
    Open();
    CadSheetFrame(-100, -100, 100, 100);
    CadBeginTables(0);
    CadBeginBlocks();
    for (int n = 1; n <= 2; ++n) {
      MarkerBlock("EVOLV" + std::to_string(n), 1);
      MarkerBlock("ZAHN" + std::to_string(n), 2);
      MarkerBlock("RAD" + std::to_string(n), 2 + n);
    }
    CadEndSection();
    CadBeginEntities();
    draw();
    CadEndSection();
    Close();
  }
  // Directions (degrees, [0, 360)) and start points of the marker lines of one colour.
  std::vector<TCadPrimitive> Markers(int colour) const {
    std::vector<TCadPrimitive> out;
    for (const TCadPrimitive& p : rec_.OfKind(Kind::Line)) {
      if (p.colour == colour) out.push_back(p);
    }
    return out;
  }
  static Real Direction(const TCadPrimitive& p) {
    return Norm360(std::atan2(p.y[1] - p.y[0], p.x[1] - p.x[0]) * 180 / kPiL);
  }
};

// Sorted directions are |z| steps of 360 / |z| apart, each half a pitch off the block's own.
void ExpectEvenPitch(std::vector<Real> dirs, int z, Real offset) {
  ASSERT_EQ(dirs.size(), static_cast<std::size_t>(std::abs(z)));
  std::sort(dirs.begin(), dirs.end());
  const Real pitch = 360.0L / std::abs(z);
  for (std::size_t i = 0; i < dirs.size(); ++i) {
    const Real next = i + 1 < dirs.size() ? dirs[i + 1] : dirs[0] + 360;
    EXPECT_NEAR(D(next - dirs[i]), D(pitch), 1e-9);
    // Every tooth sits at the offset plus a whole number of pitches.
    const Real k = (dirs[i] - 90 - offset) / pitch;
    EXPECT_NEAR(D(k), std::round(D(k)), 1e-9);
  }
}

}  // namespace

TEST_F(WholeWheelTest, WheelHasOneToothBlockPerToothAtEvenPitch) {
  struct Case {
    const char* name;
    int part;
    int z;
  };
  for (const Case c : {Case{"shaft 21 teeth", 1, 21}, Case{"hub -21 teeth", 2, -21},
                       Case{"shaft 8 teeth", 1, 8}, Case{"hub -40 teeth", 2, -40}}) {
    SCOPED_TRACE(c.name);
    ToothingData.z[c.part] = c.z;
    Draw([&] { DrawGearWheel(c.part, false); });
    std::vector<Real> dirs;
    for (const auto& m : Markers(1)) dirs.push_back(Direction(m));
    // The tooth outline block turned by half a pitch; no tooth shapes.
    ExpectEvenPitch(dirs, c.z, 180.0L / std::abs(c.z));
    EXPECT_TRUE(Markers(2).empty());
  }
}

TEST_F(WholeWheelTest, ToothShapesSitOnThePitchBetweenOutlines) {
  ToothingData.z[1] = 21;
  Draw([] { DrawGearWheel(1, true); });
  std::vector<Real> shapes;
  for (const auto& m : Markers(2)) shapes.push_back(Direction(m));
  ExpectEvenPitch(shapes, 21, 0);
  EXPECT_EQ(Markers(1).size(), 21u);
}

TEST_F(WholeWheelTest, NothingWhileAbortFlagIsSetOrWithoutTeeth) {
  AbortFlag = true;
  Draw([] { DrawGearWheel(1, true); });
  EXPECT_TRUE(rec_.OfKind(Kind::Line).empty());
  AbortFlag = false;
  ToothingData.z[1] = 0;
  Draw([] { DrawGearWheel(1, true); });
  EXPECT_TRUE(rec_.OfKind(Kind::Line).empty());
}

// The shaft (z1 = 20, dw1 = 40) rolled inside a ring (z2 = -40, dw2 = -80): its centre runs on
// a circle of radius R - r = 20 and, rolling without slip (hypocycloid), it turns by
// -(R - r) / r times the orbit angle.
TEST_F(WholeWheelTest, RingImagingRollsTheShaftWithoutSlip) {
  ToothingData.z[1] = 20;
  ToothingData.z[2] = -40;
  ToothGraphicsSettings.dwGen[1] = 40;
  ToothGraphicsSettings.dwGen[2] = -80;
  ToothGraphicsSettings.WheelImagingCount = 12;
  Draw([] { DrawRingGearImaging(); });
  // The ring's teeth: 40 outline blocks, the first pointing at 90 + 90 degrees.
  std::vector<Real> ring;
  for (const auto& m : Markers(1)) ring.push_back(Direction(m));
  ExpectEvenPitch(ring, 40, 90);
  // Its rolling circle.
  const auto circles = rec_.OfKind(Kind::Circle);
  ASSERT_EQ(circles.size(), 1u);
  EXPECT_NEAR(D(circles[0].r), 40.0, 1e-12);
  const auto wheels = Markers(3);
  ASSERT_EQ(wheels.size(), 12u);
  const Real step = 360.0L / 12;
  for (std::size_t k = 0; k < wheels.size(); ++k) {
    const Real orbit = k * step;
    EXPECT_NEAR(D(Radius({wheels[k].x[0], wheels[k].y[0]})), 20.0, 1e-9);
    EXPECT_NEAR(D(Norm360(Polar({wheels[k].x[0], wheels[k].y[0]}) * 180 / kPiL)), D(Norm360(orbit)),
                1e-9);
    if (k == 0) continue;
    const Real turn = Direction(wheels[k]) - Direction(wheels[k - 1]);
    EXPECT_NEAR(D(Norm360(turn)), D(Norm360(-(40.0L - 20) / 20 * step)), 1e-9);
  }
}

TEST_F(WholeWheelTest, RingImagingCounts) {
  ToothingData.z[1] = 20;
  ToothingData.z[2] = -40;
  ToothGraphicsSettings.dwGen[1] = 40;
  ToothGraphicsSettings.dwGen[2] = -80;
  struct Case {
    int count, positions, stored;
  };
  // 0 means the default 200 and is stored; a negative count would never close the turn.
  for (const Case c : {Case{1, 1, 1}, Case{0, 200, 200}, Case{-5, 200, 200}, Case{7, 7, 7}}) {
    SCOPED_TRACE(c.count);
    ToothGraphicsSettings.WheelImagingCount = c.count;
    Draw([] { DrawRingGearImaging(); });
    EXPECT_EQ(Markers(3).size(), static_cast<std::size_t>(c.positions));
    EXPECT_EQ(ToothGraphicsSettings.WheelImagingCount, c.stored);
  }
}

// External pair, sun z2 = 30 (dw2 = 60), planets z1 = 15 (dw1 = 30) at centre distance 45.
TEST_F(WholeWheelTest, PlanetsAroundTheSunAtTheCentreDistance) {
  ToothingData.z[1] = 15;
  ToothingData.z[2] = 30;
  ToothGraphicsSettings.dwGen[1] = 30;
  ToothGraphicsSettings.dwGen[2] = 60;
  for (const int n : {0, 3, 5}) {
    SCOPED_TRACE(n);
    Draw([n] { DrawPlanetWheels(n, 1, 0); });
    const auto planets = Markers(3);
    const std::size_t expected = n == 0 ? 3 : n;
    ASSERT_EQ(planets.size(), expected);
    ASSERT_EQ(Markers(4).size(), 1u);  // the sun
    for (std::size_t k = 0; k < planets.size(); ++k) {
      const TPoint c{planets[k].x[0], planets[k].y[0]};
      EXPECT_NEAR(D(Radius(c)), 45.0, 1e-9);
      // First planet straight below the sun, the others evenly round.
      EXPECT_NEAR(D(Norm360(Polar(c) * 180 / kPiL)), D(Norm360(270 + 360.0L * k / expected)), 1e-9);
    }
  }
}

// Turning the planets by phi turns the central wheel by -phi zP / zS (the gear ratio), for
// either gear as the planet.
TEST_F(WholeWheelTest, PlanetSetFollowsTheGearRatio) {
  ToothingData.z[1] = 15;
  ToothingData.z[2] = 30;
  ToothGraphicsSettings.dwGen[1] = 30;
  ToothGraphicsSettings.dwGen[2] = 60;
  for (const int selector : {1, 2}) {
    SCOPED_TRACE(selector);
    const int sun = selector == 1 ? 4 : 3, planet = selector == 1 ? 3 : 4;
    const Real zP = selector == 1 ? 15 : 30, zS = selector == 1 ? 30 : 15;
    Draw([selector] { DrawPlanetWheels(3, selector, 0); });
    const Real sun0 = Direction(Markers(sun)[0]), planet0 = Direction(Markers(planet)[0]);
    Draw([selector] { DrawPlanetWheels(3, selector, 12); });
    const Real sun1 = Direction(Markers(sun)[0]), planet1 = Direction(Markers(planet)[0]);
    EXPECT_NEAR(D(Norm360(planet1 - planet0)), 12.0, 1e-9);
    EXPECT_NEAR(D(Norm360(sun1 - sun0)), D(Norm360(-12 * zP / zS)), 1e-9);
  }
}

// An even central wheel has a tooth opposite every tooth, so it is turned by half its pitch
// against an odd one; an even planet adds half its pitch seen on the central wheel.
TEST_F(WholeWheelTest, CentralWheelOffsetByParity) {
  struct Case {
    int zP, zS;
    Real offset;
  };
  for (const Case c :
       {Case{15, 31, 0}, Case{15, 30, 180.0L / 30}, Case{16, 31, 180.0L / 16 * 32 / 62},
        Case{16, 30, 180.0L / 16 * 32 / 60 + 180.0L / 30}}) {
    SCOPED_TRACE(std::to_string(c.zP) + " " + std::to_string(c.zS));
    ToothingData.z[1] = c.zP;
    ToothingData.z[2] = c.zS;
    ToothGraphicsSettings.dwGen[1] = 2.0L * c.zP;
    ToothGraphicsSettings.dwGen[2] = 2.0L * c.zS;
    Draw([] { DrawPlanetWheels(3, 1, 0); });
    EXPECT_NEAR(D(Norm360(Direction(Markers(4)[0]) - 90)), D(c.offset), 1e-9);
  }
}
