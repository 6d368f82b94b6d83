// The CAD switch of the built program: every drawing number of the example joint written as a
// DXF file that ezdxf (which shares no code with ours) reads without faults. Needs `vuko`.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

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

}  // namespace
