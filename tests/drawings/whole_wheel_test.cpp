// Whole wheels, the rolled ring gear and planet sets, measured on the screen replay of marker
// blocks: each block is one line from its origin to (0, 1), so every insert shows up as a
// line whose start is the insert point and whose direction is 90 degrees plus its angle.
#include "drawings/whole_wheel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "drawings/tooth_test_support.h"

namespace {

using namespace tooth_test;

Real Norm360(Real a) {
  a = std::fmod(a, 360);
  return a < 0 ? a + 360 : a;
}

class WholeWheelTest : public ToothTest {
 protected:
  // Marker blocks EVOLV n (colour 1), ZAHN n (2), RAD n (2 + n), then draw() as entities.
  template <typename F>
  void Draw(F draw) {
    Open();
    CadSheetFrame(-100, -100, 100, 100);
    CadBeginTables(0);
    CadBeginBlocks();
    for (int n = 1; n <= 2; ++n) {
      const std::string names[3] = {"EVOLV", "ZAHN", "RAD"};
      for (int k = 0; k < 3; ++k) {
        CadBeginBlock(names[k] + std::to_string(n));
        CadColour(k < 2 ? k + 1 : 2 + n);
        CadLine(0, 0, 0, 1);
        CadEndBlock();
      }
    }
    CadEndSection();
    CadBeginEntities();
    draw();
    CadEndSection();
    Close();
  }
  std::vector<TCadPrimitive> Markers(int colour) const {
    std::vector<TCadPrimitive> out;
    for (const auto& p : rec_.OfKind(TCadPrimitive::Kind::Line))
      if (p.colour == colour) out.push_back(p);
    return out;
  }
  static Real Dir(const TCadPrimitive& p) {
    return Norm360(std::atan2(p.y[1] - p.y[0], p.x[1] - p.x[0]) * 180 / kPiL);
  }
  void Pair(int z1, int z2, Real dw1, Real dw2) {
    ToothingData.z[1] = z1;
    ToothingData.z[2] = z2;
    ToothGraphicsSettings.dwGen[1] = dw1;
    ToothGraphicsSettings.dwGen[2] = dw2;
  }
};

// |z| markers, 360 / |z| apart, each at offset + a whole number of pitches.
void ExpectEvenPitch(const std::vector<TCadPrimitive>& markers, int z, Real offset) {
  std::vector<Real> dirs;
  for (const auto& m : markers)
    dirs.push_back(Norm360(std::atan2(m.y[1] - m.y[0], m.x[1] - m.x[0]) * 180 / kPiL));
  ASSERT_EQ(dirs.size(), static_cast<std::size_t>(std::abs(z)));
  std::sort(dirs.begin(), dirs.end());
  const Real pitch = 360.0L / std::abs(z);
  for (std::size_t i = 0; i < dirs.size(); ++i) {
    const Real next = i + 1 < dirs.size() ? dirs[i + 1] : dirs[0] + 360;
    EXPECT_NEAR(static_cast<double>(next - dirs[i]), static_cast<double>(pitch), 1e-9);
    const double k = static_cast<double>((dirs[i] - 90 - offset) / pitch);
    EXPECT_NEAR(k, std::round(k), 1e-9);
  }
}

}  // namespace

TEST_F(WholeWheelTest, OneToothPerPitchOutlinesHalfAPitchOffTheShapes) {
  for (const int z : {21, -21, 8, -40}) {
    SCOPED_TRACE(z);
    const int part = z > 0 ? 1 : 2;
    ToothingData.z[part] = z;
    Draw([&] { DrawGearWheel(part, true); });
    ExpectEvenPitch(Markers(1), z, 180.0L / std::abs(z));
    ExpectEvenPitch(Markers(2), z, 0);
  }
  ToothingData.z[1] = 0;  // no teeth, no division by zero
  Draw([] { DrawGearWheel(1, true); });
  EXPECT_TRUE(rec_.OfKind(TCadPrimitive::Kind::Line).empty());
}

// Shaft z1 = 20 (dw1 = 40) rolled inside a ring z2 = -40 (dw2 = -80): its centre runs on
// radius R - r = 20 and, rolling without slip (hypocycloid), it turns by -(R - r) / r times
// the orbit angle.
TEST_F(WholeWheelTest, RingImagingRollsTheShaftWithoutSlip) {
  Pair(20, -40, 40, -80);
  ToothGraphicsSettings.WheelImagingCount = 12;
  Draw([] { DrawRingGearImaging(); });
  ExpectEvenPitch(Markers(1), 40, 90);
  const auto wheels = Markers(3);
  ASSERT_EQ(wheels.size(), 12u);
  for (std::size_t k = 0; k < wheels.size(); ++k) {
    const TPoint c{wheels[k].x[0], wheels[k].y[0]};
    EXPECT_NEAR(static_cast<double>(Radius(c)), 20.0, 1e-9);
    EXPECT_NEAR(static_cast<double>(Norm360(Polar(c) * 180 / kPiL)), 30.0 * k, 1e-9);
    if (k > 0)
      EXPECT_NEAR(static_cast<double>(Norm360(Dir(wheels[k]) - Dir(wheels[k - 1]))),
                  static_cast<double>(Norm360(-(40.0L - 20) / 20 * 30)), 1e-9);
  }
  // Counted positions; 0 means 200 (stored), a negative count would never close the turn.
  for (const auto& [count, positions] : {std::pair{1, 1}, {0, 200}, {-5, 200}, {7, 7}}) {
    ToothGraphicsSettings.WheelImagingCount = count;
    Draw([] { DrawRingGearImaging(); });
    EXPECT_EQ(Markers(3).size(), static_cast<std::size_t>(positions)) << count;
    EXPECT_EQ(ToothGraphicsSettings.WheelImagingCount, count == 1 || count == 7 ? count : 200);
  }
}

// Sun z2 = 30 (dw2 = 60), planets z1 = 15 (dw1 = 30): planets at the centre distance 45, the
// first straight below, evenly round; turning the planets by phi turns the central wheel by
// -phi zP / zS (the gear ratio), for either gear as the planet.
TEST_F(WholeWheelTest, PlanetsAtTheCentreDistanceInGearRatio) {
  Pair(15, 30, 30, 60);
  for (const int n : {0, 5}) {
    Draw([n] { DrawPlanetWheels(n, 1, 0); });
    const auto planets = Markers(3);
    const std::size_t count = n == 0 ? 3 : n;
    ASSERT_EQ(planets.size(), count);
    for (std::size_t k = 0; k < count; ++k) {
      const TPoint c{planets[k].x[0], planets[k].y[0]};
      EXPECT_NEAR(static_cast<double>(Radius(c)), 45.0, 1e-9);
      EXPECT_NEAR(static_cast<double>(Norm360(Polar(c) * 180 / kPiL)),
                  static_cast<double>(Norm360(270 + 360.0L * k / count)), 1e-9);
    }
  }
  for (const int selector : {1, 2}) {
    const int sun = selector == 1 ? 4 : 3, planet = 7 - sun;
    const Real ratio = selector == 1 ? 15.0L / 30 : 30.0L / 15;
    Draw([selector] { DrawPlanetWheels(3, selector, 0); });
    const Real s0 = Dir(Markers(sun)[0]), p0 = Dir(Markers(planet)[0]);
    Draw([selector] { DrawPlanetWheels(3, selector, 12); });
    EXPECT_NEAR(static_cast<double>(Norm360(Dir(Markers(planet)[0]) - p0)), 12.0, 1e-9);
    EXPECT_NEAR(static_cast<double>(Norm360(Dir(Markers(sun)[0]) - s0)),
                static_cast<double>(Norm360(-12 * ratio)), 1e-9);
  }
}
