// The CAD switch of the built program: every drawing number of the example joint written as a
// DXF file that ezdxf (which shares no code with ours) reads without faults. Needs the `vuko`
// target.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app_test_support.h"

namespace {

using app_test::Exists;
using app_test::ReadBytes;
using app_test::ScratchDir;
using app_test::WriteBytes;

const std::string kVuko = VUKO_BINARY_DIR "/vuko";
const std::string kExample = VUKO_DATA_DIR "/example_x.vuk";
const std::string kDxfCheck = VUKO_SOURCE_DIR "/tests/graphics/validator/dxf_check.py";

struct RunResult {
  int exitCode = -1;
  std::string err;
};

// Runs vuko in dir without a display, its configuration looked for in dir only.
RunResult RunVuko(const ScratchDir& dir, const std::vector<std::string>& args) {
  const std::string errName = dir / ".stderr";
  const std::string xdg = dir.Make(".xdg");
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.Path().c_str()) != 0) _exit(126);
    const int err = open(errName.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(err, 2);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("QT_QPA_PLATFORM");
    setenv("XDG_CONFIG_HOME", xdg.c_str(), 1);
    std::vector<char*> argv{const_cast<char*>(kVuko.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(kVuko.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), ReadBytes(errName)};
}

// Exit status and output of the DXF checker (77: ezdxf is missing).
RunResult CheckDxf(const std::string& file) {
  RunResult r;
  FILE* pipe = popen((SYSTEM_PYTHON3 " '" + kDxfCheck + "' '" + file + "' 2>&1").c_str(), "r");
  if (!pipe) return r;
  char buffer[4096];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) r.err.append(buffer, n);
  const int status = pclose(pipe);
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

class CadBatchRun : public ::testing::Test {
 protected:
  void SetUp() override {
    if (access(kVuko.c_str(), X_OK) != 0) {
      if (std::getenv("CI")) FAIL() << kVuko << " is not built";
      GTEST_SKIP() << kVuko << " is not built (build the vuko target first)";
    }
    WriteBytes(dir_ / "joint.vuk", ReadBytes(kExample));
  }
  ScratchDir dir_;
};

TEST_F(CadBatchRun, EveryDrawingNumberWritesADxfThatEzdxfReads) {
  for (int j = 1; j <= 13; ++j) {
    std::remove((dir_ / "joint.dxf").c_str());
    const RunResult r = RunVuko(dir_, {"joint.vuk", "/CAD1:" + std::to_string(j)});
    ASSERT_EQ(r.exitCode, 0) << j << " " << r.err;
    ASSERT_TRUE(Exists(dir_ / "joint.dxf")) << j;
    const RunResult check = CheckDxf(dir_ / "joint.dxf");
    if (check.exitCode == 77) {
      if (std::getenv("CI")) FAIL() << "ezdxf is missing";
      GTEST_SKIP() << "ezdxf is missing";
    }
    EXPECT_EQ(check.exitCode, 0) << "drawing " << j << "\n" << check.err;
  }
}

}  // namespace
