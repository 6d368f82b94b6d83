// Preparation of a tooth picture: the drawing values follow the generating shift chosen for
// the picture (textbook sn = m (pi/2 + 2 x tan alpha), df = d - 2 haP0 + 2 x m), zero step
// counts get their defaults, and the tool block carries the name the simulation inserts.
#include "drawings/tooth_graphics_support.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "drawings/generating.h"
#include "tooth_test_support.h"

namespace {

using namespace tooth_test;
using Kind = TCadPrimitive::Kind;

TEST_F(ToothTest, DrawingValuesFollowTheChosenGeneratingShift) {
  SetSplineCase(Din5480W45x2x21());
  TToothGraphicsSettings& g = ToothGraphicsSettings;
  const TToothingData& t = ToothingData;
  g.xeInvolute[1] = 0.1L;
  g.xeInvolute[2] = -0.3L;
  g.xeShape[1] = 0.25L;
  g.xeShape[2] = -0.15L;
  for (TGeneratingShift shift : {TGeneratingShift::Involute, TGeneratingShift::ToothShape}) {
    PrepareGeneratingDiameters(shift);
    for (int n = 1; n <= 2; ++n) {
      const Real x = shift == TGeneratingShift::Involute ? g.xeInvolute[n] : g.xeShape[n];
      EXPECT_NEAR(g.snGen[n], t.mn * (kPiL / 2 + 2 * x * std::tan(t.alphaRad)), 1e-12L);
      EXPECT_NEAR(g.dfGen[n], t.d[n] - 2 * t.haP0[n] + 2 * x * t.mn, 1e-12L);
      EXPECT_NEAR(g.daGen[n], t.d[n] + 2 * t.hfP0[n] + 2 * x * t.mn, 1e-12L);
    }
  }
}

TEST_F(ToothTest, ZeroStepCountsGetTheirDefaults) {
  TToothGraphicsSettings& g = ToothGraphicsSettings;
  g.InvolutePoints = 0;
  g.FilletSteps = 0;
  g.ShapeSteps = 0;
  g.WheelImagingCount = 0;
  g.PlanetCount = 0;
  ApplyToothGraphicsDefaults();
  EXPECT_EQ(g.InvolutePoints, 20);
  EXPECT_EQ(g.FilletSteps, 30);
  EXPECT_EQ(g.ShapeSteps, 30);
  EXPECT_EQ(g.WheelImagingCount, 200);
  EXPECT_EQ(g.PlanetCount, 3);
  g.InvolutePoints = 7;
  ApplyToothGraphicsDefaults();
  EXPECT_EQ(g.InvolutePoints, 7);
}

TEST_F(ToothTest, ToolBlockCarriesTheNameTheSimulationInserts) {
  SetSplineCase(Din5480W45x2x21());
  const auto scratch =
      std::filesystem::temp_directory_path() / ("vuko_toolblock_" + std::to_string(::getpid()));
  std::filesystem::create_directories(scratch);
  ConfigVariables.BatchCadFlag = true;
  CurrentFileName = (scratch / "tool").string();
  rec_.Clear();
  CadOpen(kCadDxf);
  CadSheetFrame(-10, -10, 10, 10);
  CadBeginTables(0);
  CadBeginBlocks();
  DrawToolBlock(2, true);
  CadEndSection();
  CadClose();
  ConfigVariables.BatchCadFlag = false;
  std::filesystem::remove_all(scratch);
  const auto begins = rec_.OfKind(Kind::BeginBlock);
  ASSERT_EQ(begins.size(), 1u);
  EXPECT_EQ(begins[0].text, ToolBlockName(2));
  EXPECT_EQ(ToolBlockName(2), "WERKZS2");
  // The profile only: lines and arcs of colour 3, no legend.
  int pieces = 0;
  for (const TCadPrimitive& p : rec_.Items()) {
    if (!p.inBlock || p.kind == Kind::BeginBlock || p.kind == Kind::EndBlock) continue;
    EXPECT_EQ(p.colour, 3);
    EXPECT_NE(p.kind, Kind::Text);
    ++pieces;
  }
  EXPECT_GT(pieces, 5);
}

}  // namespace
