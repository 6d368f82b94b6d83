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

namespace {

const std::string kDxfCheck = VUKO_SOURCE_DIR "/tests/graphics/validator/dxf_check.py";
const std::string kIgesCheck = VUKO_BINARY_DIR "/tests/tools/iges_check";

int Execute(const std::string& command, std::string& output) {
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return -1;
  char buffer[4096];
  for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
  const int status = pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

using ProductionValidatorTest = ProductionTest;

TEST_F(ProductionValidatorTest, EverySheetReadsCleanlyAsDxfAndIges) {
  std::string ignored;
  const bool haveEzdxf = Execute(SYSTEM_PYTHON3 " -c 'import ezdxf'", ignored) == 0;
  const bool haveOcct = std::filesystem::exists(kIgesCheck);
  if (!haveEzdxf || !haveOcct) {
    if (std::getenv("CI")) FAIL() << "ezdxf or iges_check is missing";
    GTEST_SKIP() << "ezdxf or iges_check is missing";
  }
  AddError("Warning: sample message");  // the Quick sheets show the message table
  for (int kind = 1; kind <= 15; ++kind) {
    if (kind == kSheetToleranceToothThickness) continue;  // the sheet alone, nothing drawn
    CurrentFileName = (scratch_ / ("sheet" + std::to_string(kind))).string();
    ProductionDrawing(kCadDxf, static_cast<std::int16_t>(kind));
    ProductionDrawing(kCadIges, static_cast<std::int16_t>(kind));
    ASSERT_FALSE(AbortFlag) << kind;
    std::string dxf, igs;
    EXPECT_EQ(
        Execute(SYSTEM_PYTHON3 " '" + kDxfCheck + "' --extents '" + CurrentFileName + ".dxf'", dxf),
        0)
        << "sheet " << kind << "\n"
        << dxf;
    EXPECT_EQ(Execute("'" + kIgesCheck + "' '" + CurrentFileName + ".igs'", igs), 0) << igs;
    EXPECT_NE(igs.find("CHECK fails 0"), std::string::npos) << "sheet " << kind << "\n" << igs;

    const auto at = dxf.find("extents ");
    ASSERT_NE(at, std::string::npos) << dxf;
    double e[4];
    std::istringstream(dxf.substr(at + 8)) >> e[0] >> e[1] >> e[2] >> e[3];
    EXPECT_GE(e[0], D(PlotSettings.sheetXMin) - 0.5) << "sheet " << kind;
    EXPECT_GE(e[1], D(PlotSettings.sheetYMin) - 0.5) << "sheet " << kind;
    EXPECT_LE(e[2], D(PlotSettings.sheetXMax) + 0.5) << "sheet " << kind;
    EXPECT_LE(e[3], D(PlotSettings.sheetYMax) + 0.5) << "sheet " << kind;
  }
}

}  // namespace
