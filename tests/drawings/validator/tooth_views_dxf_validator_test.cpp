// Every tooth picture, with and without the auxiliary diameters, written as DXF and read back
// by ezdxf through the project's DXF check: each file must be clean and hold entities.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "drawings/tooth_graphics.h"
#include "drawings/tooth_test_support.h"

namespace {

using namespace tooth_test;

struct TRun {
  int status = -1;
  std::string output;
};

TRun Execute(const std::string& command) {
  TRun run;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

const std::string kScript = VUKO_SOURCE_DIR "/tests/graphics/validator/dxf_check.py";

class ToothViewsDxf : public ToothTest {
 protected:
  void SetUp() override {
    ToothTest::SetUp();
    if (Execute(SYSTEM_PYTHON3 " -c 'import ezdxf'").status != 0) {
      if (std::getenv("CI")) FAIL() << "ezdxf is missing";
      GTEST_SKIP() << "ezdxf is missing";
    }
    SetExampleJoint();
    ASSERT_FALSE(CalcFatalFlag);
    scratch_ = std::filesystem::temp_directory_path() /
               ("vuko_tooth_views_dxf_" + std::to_string(::getpid()));
    std::filesystem::create_directories(scratch_);
    ConfigVariables.BatchCadFlag = true;
  }
  void TearDown() override {
    ConfigVariables.BatchCadFlag = false;
    std::error_code ec;
    std::filesystem::remove_all(scratch_, ec);
    ToothTest::TearDown();
  }
  // Draws through CallToothGraphics into name.dxf and runs the check with --dump.
  TRun Write(const std::string& name, int part, int view, int section = 1) {
    CurrentFileName = (scratch_ / name).string();
    CallToothGraphics(1, static_cast<int16_t>(part), static_cast<int16_t>(view), 1,
                      static_cast<int16_t>(section));
    EXPECT_FALSE(AbortFlag) << name;
    return Execute(SYSTEM_PYTHON3 " '" + kScript + "' --dump '" + CurrentFileName + ".dxf'");
  }
  std::filesystem::path scratch_;
};

}  // namespace

TEST_F(ToothViewsDxf, EveryViewIsClean) {
  struct Case {
    const char* name;
    int part, view, section;
  };
  const Case cases[] = {
      {"tooth1", 1, 1, 1}, {"tooth2", 2, 1, 1},  {"gap1", 1, 2, 1},    {"gap2", 2, 2, 1},
      {"shape1", 1, 3, 1}, {"shape1n", 1, 3, 2}, {"shape2", 2, 3, 1},  {"wheel1", 1, 4, 1},
      {"wheel2", 2, 4, 1}, {"wshape1", 1, 5, 1}, {"ring2", 2, 5, 1},   {"rack1", 1, 6, 1},
      {"rack2", 2, 6, 1},  {"contact", 1, 7, 1}, {"planets", 1, 8, 1},
  };
  for (const auto option : {2, 1}) {
    ToothGraphicsSettings.auxDiameterOption = static_cast<int16_t>(option);
    ToothGraphicsSettings.WheelImagingCount = 24;
    for (const Case& c : cases) {
      const std::string name = std::string(c.name) + "_" + std::to_string(option);
      const TRun run = Write(name, c.part, c.view, c.section);
      EXPECT_EQ(run.status, 0) << name << "\n" << run.output.substr(0, 2000);
      // Read back with entities in it.
      EXPECT_NE(run.output.find("ENTITY\t"), std::string::npos) << name;
    }
  }
}
