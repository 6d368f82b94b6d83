// Joints drawn by the built program, judged in the DXF files read back by ezdxf
// (outline_sound_check.py): tooth outlines and diameter dimensions as a user sees them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <iomanip>
#include <map>
#include <random>
#include <set>
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

using namespace app_test;
using namespace validator_support;

const std::string kVuko = VUKO_BINARY_DIR "/vuko";
const std::string kCheck = VUKO_SOURCE_DIR "/tests/drawings/validator/outline_sound_check.py";

struct TJoint {
  double alpha, mn;
  int z;
  double x, rho;
  bool diameters;
  std::array<double, 4> v;  // diameters given: da1 df1 da2 df2; else the tool's ha, hf per part
};

// The joint as a file name: pressure angle, module, teeth, shift, tip radius, diameters or factors.
std::string Describe(const TJoint& c) {
  std::ostringstream s;
  s << 'a' << c.alpha << 'm' << c.mn << 'z' << c.z << 'x' << c.x << 'r' << c.rho
    << (c.diameters ? "d_" : "f_");
  return s.str();
}

// The example data file with this joint's lines; the hub is shifted by -x.
std::string DataFile(const TJoint& c) {
  std::istringstream in(ReadBytes(VUKO_TEST_DATA_DIR "/alpha37_5_z13.vuk"));
  std::vector<std::string> l;
  for (std::string s; std::getline(in, s);) l.push_back(s);
  auto num = [](double v) { return std::to_string(v); };
  l[7] = num(c.alpha), l[8] = num(c.mn), l[9] = std::to_string(c.z), l[50] = "0";
  l[11] = l[12] = c.diameters ? "1" : "0";
  for (int i = 0; i < 4; ++i) {  // the tool's factors, then the diameters, of shaft and hub
    l[16 + 15 * (i / 2) + i % 2] = num(c.diameters ? 0.55 - 0.1 * (i % 2) : c.v[i]);
    l[25 + 15 * (i / 2) + i % 2] = num(c.diameters ? c.v[i] : 0);
  }
  for (int p = 0; p < 2; ++p) l[18 + 15 * p] = num(c.rho), l[20 + 15 * p] = num(p ? -c.x : c.x);
  std::string text;
  for (const std::string& s : l) text += s + "\n";
  return text;
}

// A fixed-seed sweep of the ranges a user works in; whole-number draws give the same joints
// with every standard library. First a joint whose hub gaps once closed inside the root circle.
std::vector<TJoint> Joints(int count) {
  std::mt19937 rng(24061);
  auto pick = [&rng](int lo, int hi) { return lo + static_cast<int>(rng() % (hi - lo + 1)); };
  const double modules[] = {0.5, 1, 1.25, 2, 3, 5};
  std::vector<TJoint> joints = {{45, 2, 20, 0, 0.15, true, {41.8, 37.6, 39.6, 43.8}}};
  for (int k = 1; k < count; ++k) {
    TJoint c{30 + 7.5 * (k % 3),   modules[pick(0, 5)], pick(6, 80),
             0.05 * pick(-10, 16), 0.05 * pick(2, 8),   k % 6 >= 3};
    for (int i = 0; i < 4; ++i) c.v[i] = 0.05 * (i % 2 ? pick(2, 10) : pick(11, 22));
    const double d = c.z + 2 * c.x;
    if (c.diameters)
      c.v = {c.mn * (d + 2 * c.v[1]), c.mn * (d - 2 * c.v[0]), c.mn * (d - 2 * c.v[3]),
             c.mn * (d + 2 * c.v[2])};
    joints.push_back(c);
  }
  return joints;
}

}  // namespace

// Drawings 7 to 12 and the Quick 3 and 4 sheets: no fillet turns a quarter turn or more (the
// tool's tip rounds a corner of at most that), no outline leaves the band between root and tip
// circle of the program's result, and none crosses itself.
TEST(JointDrawings, FilletsTurnLittleAndOutlinesKeepToTheirCircles) {
  REQUIRE_OR_SKIP(access(kVuko.c_str(), X_OK) == 0, kVuko << " is not built",
                  kVuko << " is not built (build the vuko target first)");
  REQUIRE_VALIDATOR(HaveEzdxf(), "ezdxf");
  ScratchDir dir;
  dir.Make(".xdg");
  // Outline blocks in each drawing: 8 the shaft's, 9 the hub's, 11 and 12 none (tools only).
  const std::map<std::string, int> drawings = {{"7", 2},  {"8", 1},  {"9", 1},  {"10", 2},
                                               {"11", 0}, {"12", 0}, {"q3", 2}, {"q4", 2}};
  const std::vector<TJoint> joints = Joints(48);
  InitModules();
  ScriptedDialogHost host;
  std::string commands, list;
  std::map<std::string, int> expected, outlines;  // file -> outline blocks
  for (const TJoint& c : joints) {
    const std::string stem = dir / Describe(c);
    for (const auto& [j, n] : drawings) {
      if (j[0] == 'q') continue;  // drawn below
      WriteBytes(stem + j + ".vuk", DataFile(c));
      commands += stem + j + ".vuk /CAD1:" + j + "\n";
    }
    AbortFlag = false;
    LoadDataFile(stem + "7.vuk");
    if (CalcFatalFlag || AbortFlag) continue;
    const TToothingData& t = ToothingData;  // the band a generated tooth lies in
    std::ostringstream band;
    band << std::setprecision(9) << ' ' << t.df[1] / 2 << ' ' << t.da[1] / 2 << ' '
         << std::fabs(t.da[2]) / 2 << ' ' << std::fabs(t.df[2]) / 2 << '\n';
    ConfigVariables.BatchCadFlag = true;
    for (const auto& [j, n] : drawings) {
      CurrentFileName = stem + j;
      if (j[0] == 'q')
        ProductionDrawing(1, static_cast<std::int16_t>(j == "q3" ? kSheetQuick3 : kSheetQuick4));
      list += CurrentFileName + ".dxf" + band.str();
      if (n) expected[CurrentFileName + ".dxf"] = n;
    }
    ConfigVariables.BatchCadFlag = false;
  }
  WriteBytes(dir / "commands", commands);
  Execute("cd " + Quote(dir.Path()) + " && xargs -P 6 -L 1 env -u DISPLAY -u WAYLAND_DISPLAY " +
          "-u QT_QPA_PLATFORM XDG_CONFIG_HOME=.xdg " + Quote(kVuko) + " < commands");
  // Most joints of the ranges are calculated (six drawings each hold outlines).
  EXPECT_GE(expected.size(), joints.size() * 6 * 3 / 4);
  WriteBytes(dir / "list", list);
  const ToolRun check = Python(kCheck, Quote(dir / "list"));
  ASSERT_EQ(check.status, 0) << check.output;
  std::istringstream in(check.output);
  std::string kind, file;
  int part, crossings;
  double turn, below, above;
  while (in >> kind >> file >> part >> turn >> below >> above >> crossings) {
    ++outlines[file];
    EXPECT_LT(turn, 90) << file << " part " << part;
    EXPECT_LE(std::fmax(below, above), 0.002) << file << " part " << part << " leaves its circles";
    EXPECT_EQ(crossings, 0) << file << " part " << part;
  }
  EXPECT_EQ(outlines, expected);
}

TEST(JointDrawings, DiameterDimensionsSayWhatTheDataTableSays) {
  REQUIRE_VALIDATOR(HaveEzdxf(), "ezdxf");
  ScratchDir dir;
  InitModules();
  ScriptedDialogHost host;
  // Diameters of four to six significant digits, which three would round by up to 0.5 mm.
  for (const TJoint& c : {TJoint{30, 2.5, 46, 0, 0.16, true, {119.4, 111.05, 114.8, 121.1}},
                          TJoint{37.5, 1.6, 24, 0.1, 0.2, true, {41.04, 36.35, 37.96, 42.125}}}) {
    WriteBytes(dir / "joint.vuk", DataFile(c));
    AbortFlag = false;
    LoadDataFile(dir / "joint.vuk");
    ASSERT_FALSE(CalcFatalFlag || AbortFlag) << Describe(c);
    ConfigVariables.BatchCadFlag = true;
    for (const auto kind : {kSheetProductionShaft, kSheetProductionHub, kSheetProductionShaftHub}) {
      CurrentFileName = dir / ("sheet" + std::to_string(kind));
      ProductionDrawing(1, static_cast<std::int16_t>(kind));
      const ToolRun read = Python(kCheck, "--dims " + Quote(CurrentFileName + ".dxf") + " da1 da2");
      ASSERT_EQ(read.status, 0) << read.output;
      std::multiset<double> dims, fields;
      std::istringstream in(read.output);
      for (std::string what, value; in >> what >> value;)
        (what == "DIM" ? dims : fields).insert(std::stod(value));
      EXPECT_EQ(dims.size(), kind == kSheetProductionShaftHub ? 2u : 1u) << read.output;
      EXPECT_EQ(dims, fields) << Describe(c) << " sheet " << kind;
    }
    ConfigVariables.BatchCadFlag = false;
  }
}
