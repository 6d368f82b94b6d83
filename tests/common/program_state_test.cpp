// Tests of the program-wide records: the defaults a user meets on a fresh start without a
// configuration file, the program identity, and the directories taken at start.
#include "common/program_state.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace {

class ProgramStateTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetProgramStateForTests(); }
  void TearDown() override { ResetProgramStateForTests(); }
};

// Sets or clears an environment variable for the lifetime of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = std::string(old);
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST_F(ProgramStateTest, MakerIdentityHoldsUntilTheProgramSetsItsOwn) {
  EXPECT_EQ(ProgramIdentity.programName, "TARVENO");
  EXPECT_EQ(ProgramIdentity.fileStem, "TARVENO");
  EXPECT_EQ(ProgramIdentity.caption, "T A R V E N O    -    Software");
  EXPECT_EQ(ProgramIdentity.shortName, "EXT");
  EXPECT_EQ(ProgramIdentity.version, "1.0");

  InitProgramIdentity();
  EXPECT_EQ(ProgramIdentity.programName, "VUKO");
  EXPECT_EQ(ProgramIdentity.fileStem, "vuko");
  EXPECT_EQ(ProgramIdentity.caption, "VUKO   involute spline");
  EXPECT_EQ(ProgramIdentity.shortName, "vuk");
  EXPECT_EQ(ProgramIdentity.version, "1.0");
}

TEST_F(ProgramStateTest, TextArraysStartAsBlankLinesNotEmpty) {
  ASSERT_EQ(ScreenLines.size(), 135u);
  for (int i = 1; i <= 135; ++i) EXPECT_EQ(ScreenLines[i], std::string(65, ' ')) << i;
  ASSERT_EQ(TextPieces.size(), 5u);
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(TextPieces[i], std::string(64, ' ')) << i;
  for (int i = 1; i <= 3; ++i) EXPECT_TRUE(DrawingTexts[i].empty()) << i;
  EXPECT_EQ(CurrentFileName, "demo");
  EXPECT_EQ(DataDirectory, "TRAIN");
}

TEST_F(ProgramStateTest, FreshStartSettings) {
  EXPECT_EQ(ProgramSettings.FloatDigits, 3);
  EXPECT_EQ(ConfigVariables.OutputDevice, 1);
  EXPECT_EQ(ConfigVariables.UnitSystem, 0);
  EXPECT_EQ(PlotSettings.CadCode, 3);
  EXPECT_EQ(ProgramSettings.LinesPerPage, 66);
  EXPECT_TRUE(ProgramSettings.ColourOutputFlag);
  EXPECT_EQ(ConfigVariables.DateStyle, 2);
  EXPECT_EQ(ConfigVariables.DialogScalePercent, 102);
  EXPECT_EQ(ConfigVariables.CadTextMode, 2);
  EXPECT_FALSE(ConfigVariables.AskOutputDevice);
  EXPECT_EQ(PlotSettings.DxfDecimals, 6);
  EXPECT_EQ(PlotSettings.cadTextFont, "TXT8");
  for (int i = 1; i <= 4; ++i) EXPECT_TRUE(ConfigVariables.RecentFiles[i].empty());
}

TEST_F(ProgramStateTest, RunTimeFlagsStartClearAndMessagesOn) {
  EXPECT_FALSE(AbortFlag);
  EXPECT_FALSE(CalcFatalFlag);
  EXPECT_FALSE(TourRunning);
  EXPECT_FALSE(DataModified);
  EXPECT_TRUE(MessagesEnabled);
  EXPECT_FALSE(ProgramSettings.ArchiveFlag);

  AbortFlag = true;
  DataModified = true;
  MessagesEnabled = false;
  ProgramSettings.FloatDigits = 7;
  ConfigVariables.UnitSystem = 1;
  PlotSettings.CadCode = 1;
  ScreenLines[29] = "gear";
  ResetProgramStateForTests();
  EXPECT_FALSE(AbortFlag);
  EXPECT_FALSE(DataModified);
  EXPECT_TRUE(MessagesEnabled);
  EXPECT_EQ(ProgramSettings.FloatDigits, 3);
  EXPECT_EQ(ConfigVariables.UnitSystem, 0);
  EXPECT_EQ(PlotSettings.CadCode, 3);
  EXPECT_EQ(ScreenLines[29], std::string(65, ' '));
}

TEST_F(ProgramStateTest, CadLayersAndPens) {
  const int colours[] = {1, 2, 2, 2, 3, 1};
  const int widths[] = {3, 1, 1, 1, 2, 3};
  for (int layer = 0; layer <= 5; ++layer) {
    EXPECT_EQ(PlotSettings.DxfLayerNames[layer], std::to_string(layer));
    EXPECT_EQ(PlotSettings.LayerColours[layer], colours[layer]);
    EXPECT_EQ(PlotSettings.LayerLineWidths[layer], widths[layer]);
  }
  for (int layer = 16; layer <= 31; ++layer) {
    EXPECT_EQ(PlotSettings.PenNumbers[layer], layer - 15);
    EXPECT_EQ(PlotSettings.PenWidths[layer], 1);
  }
  EXPECT_EQ(PlotSettings.PlotCommandLines.count, 1);
  EXPECT_EQ(PlotSettings.PlotCommandLines.current, 1);
  for (int i = 1; i <= 5; ++i) {
    const std::string& line = PlotSettings.PlotCommandLines.lines[i];
    EXPECT_NE(line.find("VECTRIX.DXF /M1.0"), std::string::npos) << line;
    EXPECT_EQ(line.find('\\'), std::string::npos) << "no Windows path: " << line;
  }
}

TEST_F(ProgramStateTest, ViewAnglesAreMinus15And90And210DegreesInRadians) {
  // Degrees converted independently (mpmath, 40 digits).
  EXPECT_NEAR(static_cast<double>(ViewSettings3D.ViewAngles3D[1]), -0.2617993877991494365, 1e-18);
  EXPECT_NEAR(static_cast<double>(ViewSettings3D.ViewAngles3D[2]), 1.5707963267948966192, 1e-18);
  EXPECT_NEAR(static_cast<double>(ViewSettings3D.ViewAngles3D[3]), 3.6651914291880921115, 1e-18);
  EXPECT_TRUE(ViewSettings3D.AskViewAngles3D);
  EXPECT_TRUE(ViewSettings3D.flatten3D);
}

TEST_F(ProgramStateTest, UnitSystemNamesAreHeldInTheDosCodePage) {
  // CP850: 0xF8 is the degree sign, 0xFD the superscript two.
  EXPECT_EQ(ConfigVariables.UnitSystemNames[1],
            "metric (mm, N, MPa, Nmm, \xF8"
            "C)");
  EXPECT_EQ(ConfigVariables.UnitSystemNames[2], "imperial (in, lbf, psi, lbfin, degF)");
  EXPECT_EQ(ConfigVariables.UnitSystemNames[4],
            "metric (mm, N, N/mm\xFD, Nmm, \xF8"
            "C)");
}

TEST_F(ProgramStateTest, DirectoriesTakeTheDirectoryCurrentAtInitialisation) {
  char old[PATH_MAX];
  ASSERT_NE(getcwd(old, sizeof old), nullptr);
  std::string pattern = (std::filesystem::temp_directory_path() / "vuko_state_XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  const std::string dir = std::filesystem::canonical(pattern).string();
  ASSERT_EQ(chdir(dir.c_str()), 0);
  InitProgramState();
  EXPECT_EQ(chdir(old), 0);
  std::filesystem::remove(dir);

  EXPECT_EQ(ProgramSettings.BaseDirectory, dir);
  EXPECT_EQ(ConfigVariables.ConfigDirectory, dir);
  EXPECT_EQ(ConfigVariables.PresetDirectory, dir);
  EXPECT_EQ(ConfigVariables.DefaultDataDirectory, dir);
  // The configured directories stay empty until the configuration or the check fills them.
  EXPECT_TRUE(ProgramSettings.cadDirectory.empty());
  EXPECT_TRUE(ProgramSettings.tempDirectory.empty());
  EXPECT_TRUE(ProgramSettings.pltDirectory.empty());
}

TEST_F(ProgramStateTest, MakerCommonDirectoryFollowsXdgConfigHome) {
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", "/srv/conf");
    EXPECT_EQ(MakerCommonDirectory(), "/srv/conf/tarveno/");
  }
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
    ScopedEnv home("HOME", "/home/someone");
    EXPECT_EQ(MakerCommonDirectory(), "/home/someone/.config/tarveno/");
  }
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", "relative/dir");  // not absolute: ignored
    ScopedEnv home("HOME", "/home/someone/");
    EXPECT_EQ(MakerCommonDirectory(), "/home/someone/.config/tarveno/");
  }
}

}  // namespace
