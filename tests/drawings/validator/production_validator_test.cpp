// Every sheet of the production drawings written as DXF and read back by ezdxf, and as IGES
// and checked by OpenCASCADE's IGES reader; neither shares code with ours. The DXF drawing
// read back must lie on the sheet window its header announces.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "drawings/production_drawing.h"
#include "drawings/production_fixture.h"
#include "validator_support.h"

namespace {

const std::string kDxfCheck = VUKO_SOURCE_DIR "/tests/graphics/validator/dxf_check.py";

using namespace validator_support;

using ProductionValidatorTest = ProductionTest;

TEST_F(ProductionValidatorTest, EverySheetReadsCleanlyAsDxfAndIges) {
  REQUIRE_VALIDATOR(HaveEzdxf() && HaveOcct(), "ezdxf or iges_check");
  AddError("Warning: sample message");  // the Quick sheets show the message table
  for (int kind = 1; kind <= 15; ++kind) {
    if (kind == kSheetToleranceToothThickness) continue;  // the sheet alone, nothing drawn
    CurrentFileName = (scratch_ / ("sheet" + std::to_string(kind))).string();
    ProductionDrawing(kCadDxf, static_cast<std::int16_t>(kind));
    ProductionDrawing(kCadIges, static_cast<std::int16_t>(kind));
    ASSERT_FALSE(AbortFlag) << kind;
    const ToolRun dxf = Execute(SYSTEM_PYTHON3 " " + Quote(kDxfCheck) + " --extents " +
                                Quote(CurrentFileName + ".dxf"));
    EXPECT_EQ(dxf.status, 0) << "sheet " << kind << "\n" << dxf.output;
    const ToolRun igs = Execute(Quote(kIgesCheck) + " " + Quote(CurrentFileName + ".igs"));
    EXPECT_EQ(igs.status, 0) << igs.output;
    EXPECT_NE(igs.output.find("CHECK fails 0"), std::string::npos) << "sheet " << kind << "\n"
                                                                   << igs.output;

    const auto at = dxf.output.find("extents ");
    ASSERT_NE(at, std::string::npos) << dxf.output;
    double e[4];
    std::istringstream(dxf.output.substr(at + 8)) >> e[0] >> e[1] >> e[2] >> e[3];
    EXPECT_GE(e[0], D(PlotSettings.sheetXMin) - 0.5) << "sheet " << kind;
    EXPECT_GE(e[1], D(PlotSettings.sheetYMin) - 0.5) << "sheet " << kind;
    EXPECT_LE(e[2], D(PlotSettings.sheetXMax) + 0.5) << "sheet " << kind;
    EXPECT_LE(e[3], D(PlotSettings.sheetYMax) + 0.5) << "sheet " << kind;
  }
}

}  // namespace
