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
#include "validator_support.h"

namespace {

using namespace tooth_test;
using namespace validator_support;

const std::string kScript = VUKO_SOURCE_DIR "/tests/graphics/validator/dxf_check.py";

class ToothViewsDxf : public ToothTest {
 protected:
  void SetUp() override {
    ToothTest::SetUp();
    REQUIRE_VALIDATOR(HaveEzdxf(), "ezdxf");
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
  ToolRun Write(const std::string& name, int part, int view, int section = 1) {
    CurrentFileName = (scratch_ / name).string();
    CallToothGraphics(1, static_cast<int16_t>(part), static_cast<int16_t>(view), 1,
                      static_cast<int16_t>(section));
    EXPECT_FALSE(AbortFlag) << name;
    return Execute(SYSTEM_PYTHON3 " " + Quote(kScript) + " --dump " +
                   Quote(CurrentFileName + ".dxf"));
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
      const ToolRun run = Write(name, c.part, c.view, c.section);
      EXPECT_EQ(run.status, 0) << name << "\n" << run.output.substr(0, 2000);
      // Read back with entities in it.
      EXPECT_NE(run.output.find("ENTITY\t"), std::string::npos) << name;
    }
  }
}
