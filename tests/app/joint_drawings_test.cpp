#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/command_line.h"
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
const std::string kCheck = VUKO_SOURCE_DIR "/tests/drawings/validator/outline_sound_check.py";

// Pressure angle, module, teeth, shift, tip radius; da1 df1 da2 df2 given, else ha hf per part.
struct TJoint {
  double alpha, mn, z, x, rho;
  bool diameters;
  std::array<double, 4> v;
};

// Loads the example data file with this joint (hub shifted by -x); false if it is not calculated.
bool Load(const std::string& file, const TJoint& c) {
  std::istringstream in(ReadBytes(VUKO_TEST_DATA_DIR "/alpha37_5_z13.vuk"));
  std::vector<std::string> l;
  for (std::string s; std::getline(in, s);) l.push_back(s);
  l[7] = std::to_string(c.alpha), l[8] = std::to_string(c.mn), l[9] = std::to_string(int(c.z));
  l[11] = l[12] = c.diameters ? "1" : "0", l[50] = "0";
  for (int i = 0; i < 4; ++i) {  // the tool's factors, then the diameters, of shaft and hub
    l[16 + 15 * (i / 2) + i % 2] = std::to_string(c.diameters ? 0.55 - 0.1 * (i % 2) : c.v[i]);
    l[25 + 15 * (i / 2) + i % 2] = std::to_string(c.diameters ? c.v[i] : 0);
  }
  for (int p = 0; p < 2; ++p)
    l[18 + 15 * p] = std::to_string(c.rho), l[20 + 15 * p] = std::to_string(p ? -c.x : c.x);
  std::string text;
  for (const std::string& s : l) text += s + "\n";
  WriteBytes(file, text);
  AbortFlag = false, LoadDataFile(file);
  return !(CalcFatalFlag || AbortFlag);
}

}  // namespace

// Drawings 7-12, Quick sheets (114, 115) and production sheets read back by ezdxf: fillets turn
// under 90 degrees and meet their neighbours tangent, outlines keep between root and tip circle
// and close tooth to tooth, diameters dimensioned as tabled.
TEST(JointDrawings, OutlinesAndDimensionsAreSound) {
  REQUIRE_VALIDATOR(HaveEzdxf(), "ezdxf");
  ScratchDir dir;
  std::mt19937 rng(24061);
  auto pick = [&rng](int lo, int hi) { return lo + static_cast<double>(rng() % (hi - lo + 1)); };
  const double modules[] = {0.5, 1, 1.25, 2, 3, 5};
  // First: closing hub gaps, undercut shafts, a wide shaft gap bottom, a deep hub root with
  // whole-number diameters, diameters of four and five digits.
  const TJoint fixed[] = {{45, 2, 20, 0, 0.15, true, {41.8, 37.6, 39.6, 43.8}},
                          {30, 2.5, 6, 0, 0.16, false, {0.55, 0.45, 0.55, 0.45}},
                          {37.5, 2, 6, -0.3, 0.16, false, {0.55, 0.45, 0.55, 0.45}},
                          {30, 2, 8, -0.5, 0.2, false, {0.55, 0.45, 0.55, 0.45}},
                          {37.5, 2, 20, 0, 0.15, true, {42, 37.8, 39, 45.6}},
                          {37.5, 1.6, 24, 0.1, 0.2, true, {41.04, 36.35, 37.96, 42.125}}};
  const int sheets = 2, count = 48 + std::size(fixed);
  InitModules();
  ScriptedDialogHost host;
  std::string list;
  int calculated = 0, outlines = 0;
  for (int k = 0; k < count; ++k) {
    TJoint c = fixed[std::min<std::size_t>(k, std::size(fixed) - 1)];
    if (k >= int(std::size(fixed))) {
      c = {30 + 7.5 * (k % 3), modules[int(pick(0, 5))], pick(6, 80),
           pick(-10, 16) / 20, pick(2, 8) / 20,          false};
      c.v = {pick(11, 22) / 20, pick(2, 10) / 20, pick(11, 22) / 20, pick(2, 10) / 20};
      if (k % 2 == 0) {  // every other joint given by the diameters these factors make
        const double s = c.z + 2 * c.x, m = c.mn;
        c.diameters = true;
        c.v = {(s + 2 * c.v[1]) * m, (s - 2 * c.v[0]) * m, (s - 2 * c.v[3]) * m,
               (s + 2 * c.v[2]) * m};
      }
    }
    const std::string stem = dir / ("j" + std::to_string(k) + "_");
    if (!Load(stem + ".vuk", c)) continue;
    ++calculated;
    std::string band;  // root and tip circle of shaft and hub, where a generated tooth lies
    for (long double d :
         {ToothingData.df[1], ToothingData.da[1], ToothingData.da[2], ToothingData.df[2]})
      band += ' ' + std::to_string(std::fabs(d) / 2);
    band += ' ' + std::to_string(ToothingData.z[1]) + ' ' + std::to_string(ToothingData.z[2]);
    ConfigVariables.BatchCadFlag = true;
    for (int j : {7, 8, 9, 10, 11, 12, 114, 115}) {
      CurrentFileName = stem + std::to_string(j);
      j > 100 ? ProductionDrawing(1, static_cast<std::int16_t>(j - 100)) : (void)RunCadBatch(1, j);
      list += CurrentFileName + ".dxf" + band + "\n";
    }
    if (k >= int(std::size(fixed)) - sheets && k < int(std::size(fixed))) {
      CurrentFileName = dir / ("sheet" + std::to_string(k));
      ProductionDrawing(1, kSheetProductionShaftHub);
    }
    ConfigVariables.BatchCadFlag = false;
  }
  WriteBytes(dir / "list", list);
  const ToolRun check = Python(kCheck, Quote(dir / "list"));
  ASSERT_EQ(check.status, 0) << check.output;
  std::istringstream lines(check.output);
  std::string kind, file;
  // Tab-separated: the file's path may hold blanks.
  for (std::string line; std::getline(lines, kind, '\t') && std::getline(lines, file, '\t') &&
                         std::getline(lines, line);) {
    std::istringstream in(line);
    double part, turn, below, above, crossings, ends, kink;
    if (!(in >> part >> turn >> below >> above >> crossings >> ends >> kink)) break;
    ++outlines;
    EXPECT_TRUE(turn < 90 && std::fmax(below, above) <= 0.002 && crossings == 0 && ends == 0 &&
                kink < 2)
        << file << " part " << part << ": turn " << turn << ", out " << std::fmax(below, above)
        << ", loose ends " << ends << ", fillet kink " << kink;
  }
  EXPECT_TRUE(calculated >= count * 3 / 4 && outlines == 10 * calculated)  // 2 in 7, 10, 114, 115
      << calculated << " " << outlines;
  for (int k = std::size(fixed) - sheets; k < int(std::size(fixed)); ++k) {
    // A dimension says what the field says, without trailing zeros or a lone point: 42, not 42.
    std::multiset<std::string> dims, fields;
    const std::string sheet = Quote(dir / ("sheet" + std::to_string(k) + ".dxf"));
    std::istringstream t(Python(kCheck, "--dims " + sheet + " da1 da2").output);
    for (std::string what, value; t >> what >> value;)
      (what == "DIM" ? dims : fields).insert(value);
    EXPECT_TRUE(dims.size() == 2 && dims == fields) << sheet << " " << dims.size();
  }
}
