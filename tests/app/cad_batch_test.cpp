// The CAD switch of the built program: every drawing number of the example joint written as a
// DXF file that ezdxf (which shares no code with ours) reads without faults. Needs `vuko`.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app_test_support.h"

namespace {

using app_test::Exists;
using app_test::ReadBytes;
using app_test::ScratchDir;
using app_test::WriteBytes;

const std::string kVuko = VUKO_BINARY_DIR "/vuko";

// Exit status and output (standard error included) of a command run by the shell.
int Execute(const std::string& command, std::string& output) {
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return -1;
  char buffer[4096];
  for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
  const int status = pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(CadBatchRun, EveryDrawingNumberWritesADxfThatEzdxfReads) {
  if (access(kVuko.c_str(), X_OK) != 0) {
    if (std::getenv("CI")) FAIL() << kVuko << " is not built";
    GTEST_SKIP() << kVuko << " is not built (build the vuko target first)";
  }
  ScratchDir dir;
  WriteBytes(dir / "joint.vuk", ReadBytes(VUKO_DATA_DIR "/example_x.vuk"));
  dir.Make(".xdg");
  // No display, the configuration looked for in the scratch directory only.
  const std::string run = "cd '" + dir.Path() + "' && env -u DISPLAY -u WAYLAND_DISPLAY " +
                          "-u QT_QPA_PLATFORM XDG_CONFIG_HOME=.xdg '" + kVuko + "' joint.vuk ";
  const std::string check = SYSTEM_PYTHON3 " '" VUKO_SOURCE_DIR
                                           "/tests/graphics/validator/dxf_check.py' '" +
                            (dir / "joint.dxf") + "'";
  for (int j = 1; j <= 13; ++j) {
    std::remove((dir / "joint.dxf").c_str());
    std::string out;
    ASSERT_EQ(Execute(run + "/CAD1:" + std::to_string(j), out), 0) << j << " " << out;
    ASSERT_TRUE(Exists(dir / "joint.dxf")) << j;
    out.clear();
    const int status = Execute(check, out);
    if (status == 77) {
      if (std::getenv("CI")) FAIL() << "ezdxf is missing";
      GTEST_SKIP() << "ezdxf is missing";
    }
    EXPECT_EQ(status, 0) << "drawing " << j << "\n" << out;
  }
}

}  // namespace
