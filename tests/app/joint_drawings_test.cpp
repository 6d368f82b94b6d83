// Joints drawn by the built program and judged in the DXF files read back by ezdxf.
// Tooth outlines (outline_sound_check.py measures the pieces exactly): in every picture that
// holds shaft or hub (the batch drawings 7 to 12, the Quick 3 and Quick 4 sheets) no fillet arc
// turns a quarter turn or more (the tool's tip rounds a corner of at most that), no piece reaches
// inside the root circle or beyond the tip circle of the program's own result (the band a
// generated tooth lies in), and no two pieces of an outline cross. The joints are drawn with a
// fixed seed from the ranges a user works in: pressure angles 30, 37.5 and 45 degrees, 6 to 80
// teeth, shifts -0.5 to +0.8, tool factors given or diameters given, tip radius 0.1 to 0.4 mn.
// Diameter dimensions: on the production drawings each says what the data table beside it says.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/data_file.h"
#include "app/startup.h"
#include "app_test_support.h"
#include "calc/toothing_data.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "drawings/production_drawing.h"
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
constexpr double kBand = 0.002;  // mm an outline may stray beyond its circles

struct TJointCase {
  double alpha, mn;
  int z;
  double x, rho;
  bool diameters;             // the four diameters given instead of the tool's factors
  double hf1, ha1, hf2, ha2;  // the tool's factors the joint is made with
  // Shaft tip and root, hub tip and root; 0: from the tool's factors.
  double da1 = 0, df1 = 0, da2 = 0, df2 = 0;
};

// The joint as the program's data file holds it; the hub is shifted by -x.
std::string DataFile(const TJointCase& c, const std::string& tail) {
  std::ostringstream f;
  f.setf(std::ios::fixed);
  f.precision(7);
  const std::string rule(65, '-');
  f << rule << "\nVUKO   involute spline   V 1.0\nVersion 1.0\n" << rule << "\n\n\n\n";
  f << c.alpha << "\n"
    << c.mn << "\n"
    << c.z << "\n1\n"
    << c.diameters << "\n"
    << c.diameters << "\n";
  const double z = c.z, mn = c.mn;
  auto given = [](double d, double fromFactors) { return d > 0 ? d : fromFactors; };
  const double da1 = given(c.da1, (z + 2 * c.x + 2 * c.hf1) * mn);
  const double df1 = given(c.df1, (z + 2 * c.x - 2 * c.ha1) * mn);
  const double da2 = given(c.da2, (z + 2 * c.x - 2 * c.hf2) * mn);
  const double df2 = given(c.df2, (z + 2 * c.x + 2 * c.ha2) * mn);
  const struct {
    const char* name;
    double ha, hf, x, da, df;
  } parts[] = {{"Shaft\n01", c.ha1, c.hf1, c.x, da1, df1},
               {"Hub\n02", c.ha2, c.hf2, -c.x, da2, df2}};
  for (const auto& p : parts) {
    f << p.name << "\n\n"
      << (c.diameters ? 0.55 : p.ha) << "\n"
      << (c.diameters ? 0.45 : p.hf) << "\n"
      << c.rho << "\n1\n"
      << p.x << "\n0\n0\n0\n0\n"
      << (c.diameters ? p.da : 0.0) << "\n"
      << (c.diameters ? p.df : 0.0) << "\n0\n";
  }
  f << "0\n0\nFALSE\n0\n0\n0\n0\n0\n" << tail;
  return f.str();
}

std::vector<TJointCase> Joints(int count) {
  std::mt19937 rng(24061);
  // Whole-number draws only: the same joints with every standard library.
  auto pick = [&rng](int lo, int hi) { return lo + static_cast<int>(rng() % (hi - lo + 1)); };
  const double alphas[] = {30, 37.5, 45};
  const double modules[] = {0.5, 1, 1.25, 2, 3, 5};
  // First the joint of a user's report: diameters given, shaft da 41.8 / df 37.6, hub da 39.6 /
  // df 43.8, whose hub gaps close inside the root circle.
  std::vector<TJointCase> joints = {{45, 2, 20, 0, 0.15, true, 0.45, 0.6, 0.1, 0.95}};
  for (int k = 1; k < count; ++k) {
    TJointCase c;
    c.alpha = alphas[k % 3];
    c.mn = modules[pick(0, 5)];
    c.z = pick(6, 80);
    c.x = 0.05 * pick(-10, 16);
    c.rho = 0.05 * pick(2, 8);
    c.diameters = (k / 3) % 2 == 1;
    c.hf1 = 0.05 * pick(2, 10);
    c.ha1 = 0.05 * pick(11, 22);
    c.hf2 = 0.05 * pick(2, 10);
    c.ha2 = 0.05 * pick(11, 22);
    joints.push_back(c);
  }
  return joints;
}

std::string Describe(const TJointCase& c) {
  std::ostringstream s;
  s << "alpha " << c.alpha << " mn " << c.mn << " z " << c.z << " x " << c.x << " rho/mn " << c.rho
    << (c.diameters ? " diameters given" : " tool factors");
  return s.str();
}

}  // namespace

TEST(JointDrawings, FilletsTurnLittleAndOutlinesKeepToTheirCircles) {
  REQUIRE_OR_SKIP(access(kVuko.c_str(), X_OK) == 0, kVuko << " is not built",
                  kVuko << " is not built (build the vuko target first)");
  REQUIRE_VALIDATOR(validator_support::HaveEzdxf(), "ezdxf");
  ScratchDir dir;
  dir.Make(".xdg");
  const std::string example = ReadBytes(VUKO_TEST_DATA_DIR "/alpha37_5_z13.vuk");
  const std::string tail = example.substr(example.find("CHANGES"));
  const std::vector<TJointCase> joints = Joints(120);
  const std::vector<std::string> batch = {"7", "8", "9", "10", "11", "12"};

  // Every batch drawing of every joint, several programs at a time.
  std::string commands;
  for (std::size_t k = 0; k < joints.size(); ++k) {
    for (const std::string& j : batch) {
      const std::string name = "j" + std::to_string(k) + "_" + j;
      WriteBytes(dir / (name + ".vuk"), DataFile(joints[k], tail));
      commands += name + ".vuk /CAD1:" + j + "\n";
    }
  }
  WriteBytes(dir / "commands", commands);
  Execute("cd " + Quote(dir.Path()) + " && xargs -P 6 -L 1 env -u DISPLAY -u WAYLAND_DISPLAY " +
          "-u QT_QPA_PLATFORM XDG_CONFIG_HOME=.xdg " + Quote(kVuko) + " < commands");

  // The Quick 3 and Quick 4 sheets through the menu routine; the band from the calculation.
  InitModules();
  ScriptedDialogHost host;
  std::string list;
  std::map<std::string, std::size_t> joint;  // file -> joint
  int drawn = 0;
  for (std::size_t k = 0; k < joints.size(); ++k) {
    const std::string stem = dir / ("j" + std::to_string(k));
    AbortFlag = false;
    LoadDataFile(stem + "_7.vuk");
    if (CalcFatalFlag || AbortFlag) {
      // A joint the calculation refuses is drawn by no batch run either.
      for (const std::string& j : batch) EXPECT_FALSE(Exists(stem + "_" + j + ".dxf")) << k;
      continue;
    }
    ++drawn;
    const TToothingData& t = ToothingData;
    std::ostringstream band;
    band.precision(9);
    band << " " << t.df[1] / 2 << " " << t.da[1] / 2 << " " << std::fabs(t.da[2]) / 2 << " "
         << std::fabs(t.df[2]) / 2 << "\n";
    ConfigVariables.BatchCadFlag = true;
    for (const auto& [sheet, kind] :
         {std::pair{"q3", kSheetQuick3}, std::pair{"q4", kSheetQuick4}}) {
      CurrentFileName = stem + "_" + sheet;
      AbortFlag = false;
      ProductionDrawing(1, static_cast<std::int16_t>(kind));
      EXPECT_FALSE(AbortFlag) << Describe(joints[k]) << " " << sheet;
    }
    ConfigVariables.BatchCadFlag = false;
    for (const std::string j : {"7", "8", "9", "10", "11", "12", "q3", "q4"}) {
      const std::string file = stem + "_" + j + ".dxf";
      EXPECT_TRUE(Exists(file)) << Describe(joints[k]) << " drawing " << j;
      list += file + band.str();
      joint[file] = k;
    }
  }
  // Most joints of the ranges are calculated and drawn at every pressure angle.
  EXPECT_GE(drawn, static_cast<int>(joints.size()) * 3 / 4);
  WriteBytes(dir / "list", list);

  const ToolRun check =
      Execute(SYSTEM_PYTHON3 " " +
              Quote(VUKO_SOURCE_DIR "/tests/drawings/validator/outline_sound_check.py") + " " +
              Quote(dir / "list") + " 4");
  REQUIRE_VALIDATOR(check.status != 77, "ezdxf");
  ASSERT_EQ(check.status, 0) << check.output;
  std::map<std::string, int> outlines;  // file -> parts found
  std::istringstream in(check.output);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream row(line);
    std::string kind, file;
    int part = 0, pieces = 0, crossings = 0;
    double turn = 0, below = 0, above = 0;
    if (!(row >> kind >> file >> part >> pieces >> turn >> below >> above >> crossings)) continue;
    ++outlines[file];
    const std::string where = Describe(joints[joint[file]]) + ", " +
                              file.substr(file.rfind('/') + 1) + (part == 1 ? " shaft" : " hub");
    EXPECT_LT(turn, 90) << where;
    EXPECT_LE(below, kBand) << where << ": inside the root or tip circle";
    EXPECT_LE(above, kBand) << where << ": beyond the root or tip circle";
    EXPECT_EQ(crossings, 0) << where;
  }
  // The pictures that show shaft and hub hold both outlines, 8 the shaft's, 9 the hub's; 11
  // and 12 show the tools only.
  for (const auto& [file, k] : joint) {
    const std::string j = file.substr(file.rfind('_') + 1);
    const int expected = j == "8.dxf" || j == "9.dxf" ? 1 : j == "11.dxf" || j == "12.dxf" ? 0 : 2;
    EXPECT_EQ(outlines[file], expected) << file;
  }
}

TEST(JointDrawings, DiameterDimensionsSayWhatTheDataTableSays) {
  REQUIRE_OR_SKIP(access(kVuko.c_str(), X_OK) == 0, kVuko << " is not built",
                  kVuko << " is not built (build the vuko target first)");
  REQUIRE_VALIDATOR(validator_support::HaveEzdxf(), "ezdxf");
  ScratchDir dir;
  const std::string example = ReadBytes(VUKO_TEST_DATA_DIR "/alpha37_5_z13.vuk");
  const std::string tail = example.substr(example.find("CHANGES"));
  // Diameters of four and five significant digits, which three would round by up to 0.5 mm.
  TJointCase big = {30, 2.5, 46, 0, 0.16, true, 0, 0, 0, 0};
  big.da1 = 119.4, big.df1 = 111.05, big.da2 = 114.8, big.df2 = 121.1;
  TJointCase small = {37.5, 1.6, 24, 0.1, 0.2, true, 0, 0, 0, 0};
  small.da1 = 41.04, small.df1 = 36.35, small.da2 = 37.96, small.df2 = 42.125;
  InitModules();
  ScriptedDialogHost host;
  for (const TJointCase& joint : {big, small}) {
    WriteBytes(dir / "joint.vuk", DataFile(joint, tail));
    AbortFlag = false;
    LoadDataFile(dir / "joint.vuk");
    ASSERT_FALSE(CalcFatalFlag || AbortFlag) << Describe(joint);
    ConfigVariables.BatchCadFlag = true;
    // The production drawings of the shaft, the hub and both, each with its data table(s).
    for (const auto kind : {kSheetProductionShaft, kSheetProductionHub, kSheetProductionShaftHub}) {
      const std::string where = Describe(joint) + " sheet " + std::to_string(kind);
      CurrentFileName = dir / ("sheet" + std::to_string(kind));
      ProductionDrawing(1, static_cast<std::int16_t>(kind));
      ASSERT_FALSE(AbortFlag) << where;
      const ToolRun read =
          Execute(SYSTEM_PYTHON3 " " +
                  Quote(VUKO_SOURCE_DIR "/tests/drawings/validator/dimension_texts.py") + " " +
                  Quote(CurrentFileName + ".dxf") + " da1 da2");
      REQUIRE_VALIDATOR(read.status != 77, "ezdxf");
      ASSERT_EQ(read.status, 0) << read.output;
      std::vector<double> dims, fields;
      std::istringstream in(read.output);
      std::string kind_, symbol, value;
      while (in >> kind_) {
        if (kind_ == "DIM" && in >> value) dims.push_back(std::stod(value));
        if (kind_ == "FIELD" && in >> symbol >> value) fields.push_back(std::stod(value));
      }
      const std::size_t views = kind == kSheetProductionShaftHub ? 2 : 1;
      ASSERT_EQ(dims.size(), views) << where << "\n" << read.output;
      ASSERT_EQ(fields.size(), views) << where << "\n" << read.output;
      std::sort(dims.begin(), dims.end());
      std::sort(fields.begin(), fields.end());
      for (std::size_t i = 0; i < views; ++i) EXPECT_EQ(dims[i], fields[i]) << where;
    }
    ConfigVariables.BatchCadFlag = false;
  }
}
