// The CAD switch of the built program: every drawing number of the example joint written as a
// DXF file that ezdxf (which shares no code with ours) reads without faults, and as an IGES
// file that Open CASCADE reads at the place and size ezdxf reads the DXF. Needs `vuko`.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "app_test_support.h"
#include "validator_support.h"

namespace {

using app_test::Exists;
using app_test::ReadBytes;
using app_test::ScratchDir;
using app_test::WriteBytes;
using validator_support::Execute;
using validator_support::Quote;
using validator_support::ToolRun;

const std::string kVuko = VUKO_BINARY_DIR "/vuko";

TEST(CadBatchRun, EveryDrawingNumberWritesADxfThatEzdxfReads) {
  REQUIRE_OR_SKIP(access(kVuko.c_str(), X_OK) == 0, kVuko << " is not built",
                  kVuko << " is not built (build the vuko target first)");
  ScratchDir dir;
  WriteBytes(dir / "joint.vuk", ReadBytes(VUKO_DATA_DIR "/example_x.vuk"));
  dir.Make(".xdg");
  // No display, the configuration looked for in the scratch directory only.
  const std::string run = "cd '" + dir.Path() + "' && env -u DISPLAY -u WAYLAND_DISPLAY " +
                          "-u QT_QPA_PLATFORM XDG_CONFIG_HOME=.xdg '" + kVuko + "' joint.vuk ";
  const std::string check = SYSTEM_PYTHON3 " " +
                            Quote(VUKO_SOURCE_DIR "/tests/graphics/validator/dxf_check.py") + " " +
                            Quote(dir / "joint.dxf");
  for (int j = 1; j <= 13; ++j) {
    std::remove((dir / "joint.dxf").c_str());
    const ToolRun cad = Execute(run + "/CAD1:" + std::to_string(j));
    ASSERT_EQ(cad.status, 0) << j << " " << cad.output;
    ASSERT_TRUE(Exists(dir / "joint.dxf")) << j;
    const ToolRun read = Execute(check);
    REQUIRE_VALIDATOR(read.status != 77, "ezdxf");
    EXPECT_EQ(read.status, 0) << "drawing " << j << "\n" << read.output;
  }
}

// Numbers after `key` in a checker's output.
std::vector<double> Numbers(const std::string& output, const std::string& key, int n) {
  std::vector<double> v(static_cast<std::size_t>(n), 1e300);
  const auto at = output.find(key);
  if (at == std::string::npos) return v;
  std::istringstream in(output.substr(at + key.size()));
  for (double& x : v) in >> x;
  return v;
}

TEST(CadBatchRun, IgesHoldsTheGeometryOfTheDxfInEveryDrawing) {
  REQUIRE_OR_SKIP(access(kVuko.c_str(), X_OK) == 0, kVuko << " is not built",
                  kVuko << " is not built (build the vuko target first)");
  REQUIRE_VALIDATOR(validator_support::HaveOcct(), "the Open CASCADE checker");
  ScratchDir dir;
  dir.Make(".xdg");
  // The example and DIN 5480 W 45x2x21 (m 2, z 21, x 0.2), both written by the program.
  WriteBytes(dir / "example.vuk", ReadBytes(VUKO_DATA_DIR "/example_x.vuk"));
  WriteBytes(dir / "din.vuk", ReadBytes(VUKO_TEST_DATA_DIR "/din5480_w45x2x21.vuk"));
  const std::string explode =
      SYSTEM_PYTHON3 " " + Quote(VUKO_SOURCE_DIR "/tests/graphics/validator/cad_driver_explode.py");
  std::vector<std::string> names, dxfs;
  std::vector<std::vector<double>> boxes;
  for (const char* joint : {"example", "din"}) {
    const std::string run = "cd '" + dir.Path() + "' && env -u DISPLAY -u WAYLAND_DISPLAY " +
                            "-u QT_QPA_PLATFORM XDG_CONFIG_HOME=.xdg '" + kVuko + "' " + joint +
                            ".vuk ";
    for (int j = 1; j <= 12; ++j) {
      const std::string what = std::string(joint) + " drawing " + std::to_string(j);
      const std::string base = dir.Path() + "/" + joint;
      const std::string kept = base + std::to_string(j);
      ASSERT_EQ(Execute(run + "/CAD1:" + std::to_string(j)).status, 0) << what;
      ASSERT_EQ(std::rename((base + ".dxf").c_str(), (kept + ".dxf").c_str()), 0) << what;
      ASSERT_EQ(Execute(run + "/CAD2:" + std::to_string(j)).status, 0) << what;
      const ToolRun igs =
          Execute(Quote(validator_support::kIgesCheck) + " " + Quote(base + ".igs"));
      EXPECT_EQ(igs.status, 0) << what << "\n" << igs.output;
      names.push_back(what);
      dxfs.push_back(kept + ".dxf");
      boxes.push_back(Numbers(igs.output, "CHECK bbox ", 4));
    }
  }
  // ezdxf explodes the inserts; texts are left out on both sides (IGES notes make no shape).
  std::string files;
  for (const std::string& f : dxfs) files += " " + Quote(f);
  const ToolRun dxf = Execute(explode + " --extents" + files);
  REQUIRE_VALIDATOR(dxf.status != 77, "ezdxf");
  ASSERT_EQ(dxf.status, 0) << dxf.output;
  std::istringstream lines(dxf.output);
  for (std::size_t i = 0; i < names.size(); ++i) {
    std::string line;
    while (std::getline(lines, line) && line.rfind("extents ", 0) != 0) {
    }
    const std::vector<double> e = Numbers(line, "extents ", 4);
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(boxes[i][k], e[k], 0.05) << names[i] << " bound " << k;
  }
}

}  // namespace
