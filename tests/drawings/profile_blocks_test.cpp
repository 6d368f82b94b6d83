// The tooth-profile blocks of each mode, and the reference marks of mode 1: radius 0.15 mn,
// one at the centre and one on the pitch circle half a pitch off the vertical.
#include "drawings/profile_blocks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "drawings/production_fixture.h"

namespace {

using ProfileBlocksTest = ProductionTest;

TEST_F(ProfileBlocksTest, BlocksAndMarksOfEachMode) {
  const TToothingData& t = ToothingData;
  for (const int mode : {0, 1}) {
    TCadRecorder rec;
    CadOpen(kCadDxf);
    CadSheetFrame(0, 0, 100, 100);
    CadBeginTables(2);
    CadBeginBlocks();
    ToothProfileBlocks(mode);
    CadEndSection();
    CadClose();
    std::vector<std::string> names;
    for (const auto& p : rec.OfKind(Kind::BeginBlock)) names.push_back(p.text);
    std::vector<std::string> expected{"EVOLV1", "EVOLV2", "RAD1", "RAD2", "WERKZ1", "WERKZ2"};
    if (mode == 1) expected.resize(4);
    EXPECT_EQ(names, expected);
    for (int part = 1; part <= 2; ++part) {
      std::vector<TCadPrimitive> marks;
      for (const auto& p : rec.OfKind(Kind::Circle))
        if (p.blockName == "RAD" + std::to_string(part)) marks.push_back(p);
      ASSERT_EQ(marks.size(), mode == 1 ? 2u : 0u);
      if (mode == 0) continue;
      EXPECT_EQ(marks[0].colour, 5);
      EXPECT_NEAR(D(marks[0].r), 0.15 * D(t.mn), 1e-12);
      const double x = D(marks[0].x[0]), y = D(marks[0].y[0]);
      EXPECT_NEAR(std::hypot(x, y), std::fabs(D(t.d[part])) / 2, 1e-9);
      EXPECT_EQ(y > 0, part == 1);  // the hub's mark lies below the centre
      EXPECT_NEAR(std::atan2(std::fabs(x), std::fabs(y)), std::numbers::pi / std::abs(t.z[part]),
                  1e-12);
      EXPECT_EQ(std::hypot(D(marks[1].x[0]), D(marks[1].y[0])), 0);
    }
  }
  EXPECT_FALSE(AbortFlag);
}

}  // namespace
