// The tooth-profile blocks: which blocks each mode writes, the reference circles of mode 1,
// and the involute generating shift they are drawn with (tooth thickness against the textbook
// sn = mn (pi/2 + 2 x tan alpha)).
#include "drawings/profile_blocks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "drawings/production_fixture.h"
#include "drawings/tooth_graphics_support.h"

namespace {

using ProfileBlocksTest = ProductionTest;

std::vector<std::string> Blocks(int mode, TCadRecorder& rec) {
  CadOpen(kCadDxf);
  CadSheetFrame(0, 0, 100, 100);
  CadBeginTables(2);
  CadBeginBlocks();
  ToothProfileBlocks(mode);
  CadEndSection();
  CadBeginEntities();
  CadEndSection();
  CadClose();
  std::vector<std::string> names;
  for (const auto& p : rec.OfKind(Kind::BeginBlock)) names.push_back(p.text);
  return names;
}

TEST_F(ProfileBlocksTest, ModeZeroWritesToolsAndNoMarks) {
  TCadRecorder rec;
  const auto names = Blocks(0, rec);
  EXPECT_EQ(names,
            (std::vector<std::string>{"EVOLV1", "EVOLV2", "RAD1", "RAD2", "WERKZ1", "WERKZ2"}));
  for (const auto& p : rec.OfKind(Kind::Circle))
    EXPECT_FALSE(p.blockName.rfind("RAD", 0) == 0) << p.blockName;
  EXPECT_FALSE(AbortFlag);
}

TEST_F(ProfileBlocksTest, ModeOneMarksEachWheel) {
  const TToothingData& t = ToothingData;
  TCadRecorder rec;
  const auto names = Blocks(1, rec);
  EXPECT_EQ(names, (std::vector<std::string>{"EVOLV1", "EVOLV2", "RAD1", "RAD2"}));
  for (int part = 1; part <= 2; ++part) {
    std::vector<TCadPrimitive> marks;
    for (const auto& p : rec.OfKind(Kind::Circle))
      if (p.blockName == "RAD" + std::to_string(part)) marks.push_back(p);
    ASSERT_EQ(marks.size(), 2u) << part;
    EXPECT_EQ(marks[0].colour, 5);
    EXPECT_NEAR(D(marks[0].r), 0.15 * D(t.mn), 1e-9);
    EXPECT_NEAR(std::hypot(D(marks[0].x[0]), D(marks[0].y[0])), std::fabs(D(t.d[part])) / 2, 1e-9);
    // Shaft mark above the centre, hub mark below, both half a pitch off the vertical.
    EXPECT_EQ(marks[0].y[0] > 0, part == 1);
    const double halfPitch = 180.0 / std::abs(t.z[part]);
    const double off = std::atan2(std::fabs(D(marks[0].x[0])), std::fabs(D(marks[0].y[0])));
    EXPECT_NEAR(off * 180 / std::numbers::pi, halfPitch, 1e-9);
    EXPECT_NEAR(D(marks[1].x[0]), 0, 1e-12);
    EXPECT_NEAR(D(marks[1].y[0]), 0, 1e-12);
  }
}

TEST_F(ProfileBlocksTest, DrawnWithTheInvoluteShift) {
  TToothGraphicsSettings& g = ToothGraphicsSettings;
  g.xeInvolute[1] = 0.1L;
  g.xeShape[1] = -0.3L;
  PrepareGeneratingDiameters(TGeneratingShift::ToothShape);
  TCadRecorder rec;
  Blocks(0, rec);
  const TToothingData& t = ToothingData;
  const double alpha = D(t.alpha) * std::numbers::pi / 180;
  const double sn = D(t.mn) * (std::numbers::pi / 2 + 2 * 0.1 * std::tan(alpha));
  EXPECT_NEAR(D(g.snGen[1]), sn, 1e-6);
}

}  // namespace
