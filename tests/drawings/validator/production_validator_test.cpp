// Every sheet of the production drawings written as DXF and read back by ezdxf, and as IGES
// and checked by OpenCASCADE's IGES reader; neither shares code with ours. The read-back
// drawing must lie on the sheet window its header announces.
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

struct ToolRun {
  int status = -1;
  std::string output;
};

ToolRun Execute(const std::string& command) {
  ToolRun run;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

bool Available(bool have, const char* what) {
  if (have) return true;
  if (std::getenv("CI")) ADD_FAILURE() << what << " is missing";
  return false;
}

using ProductionValidatorTest = ProductionTest;

TEST_F(ProductionValidatorTest, EverySheetAsDxfReadsCleanlyAndStaysOnTheSheet) {
  if (!Available(Execute(SYSTEM_PYTHON3 " -c 'import ezdxf'").status == 0, "ezdxf")) {
    GTEST_SKIP() << "ezdxf is missing";
  }
  AddError("Warning: sample message");  // the Quick sheets show the message table
  for (int kind = 1; kind <= 15; ++kind) {
    CurrentFileName = (scratch_ / ("sheet" + std::to_string(kind))).string();
    ProductionDrawing(kCadDxf, static_cast<std::int16_t>(kind));
    ASSERT_FALSE(AbortFlag) << kind;
    const bool empty = kind == kSheetToleranceToothThickness;  // the sheet alone
    const ToolRun run = Execute(SYSTEM_PYTHON3 " '" + kDxfCheck + "' " +
                                (empty ? "" : "--extents ") + "'" + CurrentFileName + ".dxf'");
    EXPECT_EQ(run.status, 0) << "sheet " << kind << "\n" << run.output;
    if (empty) continue;
    const auto at = run.output.find("extents ");
    ASSERT_NE(at, std::string::npos) << run.output;
    double e[4];
    std::istringstream(run.output.substr(at + 8)) >> e[0] >> e[1] >> e[2] >> e[3];
    const double tol = 0.5;
    EXPECT_GE(e[0], D(PlotSettings.sheetXMin) - tol) << "sheet " << kind;
    EXPECT_GE(e[1], D(PlotSettings.sheetYMin) - tol) << "sheet " << kind;
    EXPECT_LE(e[2], D(PlotSettings.sheetXMax) + tol) << "sheet " << kind;
    EXPECT_LE(e[3], D(PlotSettings.sheetYMax) + tol) << "sheet " << kind;
  }
}

TEST_F(ProductionValidatorTest, EverySheetAsIgesPassesTheOcctCheck) {
  if (!Available(std::filesystem::exists(kIgesCheck), "iges_check")) {
    GTEST_SKIP() << "iges_check is not built";
  }
  for (int kind = 1; kind <= 15; ++kind) {
    if (kind == kSheetToleranceToothThickness) continue;  // an empty sheet
    CurrentFileName = (scratch_ / ("sheet" + std::to_string(kind))).string();
    ProductionDrawing(kCadIges, static_cast<std::int16_t>(kind));
    ASSERT_FALSE(AbortFlag) << kind;
    const ToolRun run = Execute("'" + kIgesCheck + "' '" + CurrentFileName + ".igs'");
    EXPECT_EQ(run.status, 0) << "sheet " << kind << "\n" << run.output;
    EXPECT_NE(run.output.find("CHECK fails 0"), std::string::npos) << "sheet " << kind << "\n"
                                                                   << run.output;
  }
}

}  // namespace
