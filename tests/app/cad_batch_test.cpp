// The CAD switch of the built program: every drawing number of the example joint written as a
// DXF file that ezdxf (which shares no code with ours) reads without faults, and as an IGES
// file that Open CASCADE reads at the place and size ezdxf reads the DXF. Needs `vuko`.
// The tooth pictures and result sheets of joints with profile shifts, measured in the DXF
// files read back by ezdxf, against the program's own listing of the same data file: the
// drawn root and tip diameters are the listed df and da, the drawn tooth (shaft) or space
// (hub) on the reference circle is the listed sn or en, and shaft and hub stand apart by the
// flank gap cp/2 cos(alpha) that a backlash cp on the reference circle leaves between two
// involutes of one base circle. No text of a result sheet lies over the wheels or out of its
// window, and the hub view's end faces close its hatched wall.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/data_file.h"
#include "app/startup.h"
#include "app_test_support.h"
#include "common/message_list.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "drawings/production_drawing.h"
#include "drawings/tooth_graphics.h"
#include "validator_support.h"

namespace {

using app_test::Exists;
using app_test::ReadBytes;
using app_test::ScratchDir;
using app_test::WriteBytes;
using validator_support::Execute;
using validator_support::HaveEzdxf;
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
  const std::string run = "cd " + Quote(dir.Path()) + " && env -u DISPLAY -u WAYLAND_DISPLAY " +
                          "-u QT_QPA_PLATFORM XDG_CONFIG_HOME=.xdg " + Quote(kVuko) + " joint.vuk ";
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
    const std::string run = "cd " + Quote(dir.Path()) + " && env -u DISPLAY -u WAYLAND_DISPLAY " +
                            "-u QT_QPA_PLATFORM XDG_CONFIG_HOME=.xdg " + Quote(kVuko) + " " +
                            joint + ".vuk ";
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

std::vector<std::string> Split(const std::string& line, char separator) {
  std::vector<std::string> fields(1);
  for (char c : line) {
    if (c == separator) {
      fields.emplace_back();
    } else {
      fields.back().push_back(c);
    }
  }
  return fields;
}

// Values of the listing by symbol: shaft and hub column (the hub's diameters as magnitudes).
struct TListing {
  std::map<std::string, std::pair<double, double>> rows;
  double Shaft(const std::string& symbol) const { return rows.at(symbol).first; }
  double Hub(const std::string& symbol) const { return rows.at(symbol).second; }
};

TListing ReadListing(const std::string& text) {
  TListing listing;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    const std::vector<std::string> f = Split(line, '\t');
    if (f.size() < 4 || f[1].empty() || listing.rows.count(f[1]) > 0) continue;
    const double shaft =
        f[3].find_first_of("0123456789") == std::string::npos ? NAN : atof(f[3].c_str());
    const double hub = f.size() > 4 ? atof(f[4].c_str()) : NAN;
    listing.rows[f[1]] = {shaft, hub};
  }
  return listing;
}

// What tooth_fit_check.py measured: PART p -> count cx cy rmin rmax, WIDTH p -> count mean min
// max, FIT -> crossings gap, RACK -> ymin ymax width.
std::map<std::string, std::vector<double>> ReadFit(const std::string& output) {
  std::map<std::string, std::vector<double>> m;
  std::istringstream in(output);
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> f = Split(line, '\t');
    std::string key = f[0];
    std::size_t first = 1;
    if (f.size() < 2) continue;
    if (key == "PART" || key == "WIDTH") {
      key += f[1];
      first = key.rfind("WIDTH", 0) == 0 ? 3 : 2;
    }
    for (std::size_t i = first; i < f.size(); ++i) m[key].push_back(atof(f[i].c_str()));
  }
  return m;
}

class ToothPictures : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_OR_SKIP(access(kVuko.c_str(), X_OK) == 0, kVuko << " is not built",
                    kVuko << " is not built (build the vuko target first)");
    REQUIRE_VALIDATOR(HaveEzdxf(), "ezdxf");
    dir_.Make(".xdg");
  }
  ToolRun Vuko(const std::string& args) {
    return Execute("cd " + Quote(dir_.Path()) + " && env -u DISPLAY -u WAYLAND_DISPLAY " +
                   "-u QT_QPA_PLATFORM XDG_CONFIG_HOME=.xdg " + Quote(kVuko) + " " + args);
  }
  std::map<std::string, std::vector<double>> Fit(const std::string& dxf, const std::string& args) {
    const ToolRun run =
        Execute(SYSTEM_PYTHON3 " " + Quote(kFitScript) + " " + Quote(dxf) + " " + args);
    EXPECT_EQ(run.status, 0) << dxf << "\n" << run.output;
    return ReadFit(run.output);
  }
  const std::string kFitScript = VUKO_SOURCE_DIR "/tests/drawings/validator/tooth_fit_check.py";
  ScratchDir dir_;
};

struct TJoint {
  const char* file;
  bool backlash;  // shaft and hub stand apart
};
const TJoint kJoints[] = {{VUKO_DATA_DIR "/example_x.vuk", true},
                          {VUKO_TEST_DATA_DIR "/din5480_w45x2x21_entered.vuk", false},
                          {VUKO_TEST_DATA_DIR "/alpha37_5_z13.vuk", false}};

// Root, tip and reference-circle width of part p (1 shaft, 2 hub) as drawn at scale s.
void ExpectPart(const std::map<std::string, std::vector<double>>& m, const TListing& l, int p,
                double s, const std::string& where) {
  const std::string n = std::to_string(p);
  ASSERT_EQ(m.count("PART" + n), 1u) << where;
  ASSERT_EQ(m.count("WIDTH" + n), 1u) << where;
  const std::vector<double>& part = m.at("PART" + n);
  const std::vector<double>& width = m.at("WIDTH" + n);
  const double df = p == 1 ? l.Shaft("df") : l.Hub("df");
  const double da = p == 1 ? l.Shaft("da") : l.Hub("da");
  // A shaft's teeth reach out to da, a hub's in to da.
  EXPECT_NEAR(2 * part[3] / s, p == 1 ? df : da, 0.01) << where << " part " << p;
  EXPECT_NEAR(2 * part[4] / s, p == 1 ? da : df, 0.01) << where << " part " << p;
  EXPECT_NEAR(width[1] / s, p == 1 ? l.Shaft("sn") : l.Hub("en"), 0.01) << where;
  EXPECT_NEAR(width[3] - width[2], 0, 1e-3) << where << ": every tooth alike";
}

void ExpectFit(const std::map<std::string, std::vector<double>>& m, const TListing& l, double s,
               const std::string& where) {
  ASSERT_EQ(m.count("FIT"), 1u) << where;
  EXPECT_EQ(m.at("FIT")[0], 0) << where << ": shaft and hub outlines cross";
  const double gap = l.Shaft("cp") / 2 * std::cos(l.Shaft("alpha") * M_PI / 180);
  EXPECT_GT(m.at("FIT")[1], 0) << where;
  EXPECT_NEAR(m.at("FIT")[1] / s, gap, 0.01) << where;
}

// No text of a result sheet or basic-rack picture lies over the wheels or reaches out of the
// window.
void ExpectTextsClear(const std::map<std::string, std::vector<double>>& m, const std::string& where,
                      int least) {
  ASSERT_EQ(m.count("TEXTS"), 1u) << where;
  EXPECT_GE(m.at("TEXTS")[0], least) << where;
  EXPECT_EQ(m.at("TEXTS")[1], 0) << where << ": texts over the wheels";
  EXPECT_EQ(m.at("TEXTS")[2], 0) << where << ": texts out of the window";
}

}  // namespace

TEST_F(ToothPictures, DrawnAtTheListedDiametersAndThicknesses) {
  for (const TJoint& joint : kJoints) {
    const std::string name = std::string(joint.file).substr(std::string(joint.file).rfind('/') + 1);
    WriteBytes(dir_ / "joint.vuk", ReadBytes(joint.file));
    ASSERT_EQ(Vuko("joint.vuk /I").status, 0) << name;
    const TListing l = ReadListing(ReadBytes(dir_ / "joint.txt"));
    const double d = l.Shaft("d");
    // The result sheets scale the wheels by the shaft's tool limit diameter.
    const double dT1 = l.Shaft("df") + 2 * (l.Shaft("hfP0") + l.Shaft("haP0"));
    auto radius = [&](double s) {
      return " --radius 1 " + std::to_string(s * d / 2) + " --radius 2 " +
             std::to_string(s * d / 2);
    };
    for (int j = 7; j <= 12; ++j) {
      const std::string where = name + " /CAD1:" + std::to_string(j);
      ASSERT_EQ(Vuko("joint.vuk /CAD1:" + std::to_string(j)).status, 0) << where;
      const double s = j == 7 ? 115 / dT1 : 1;
      const auto m = Fit(dir_ / "joint.dxf", radius(s) + (j >= 11 ? " --rack" : "") +
                                                 (j == 7 || j >= 11 ? " --texts" : ""));
      if (j == 7 || j >= 11) ExpectTextsClear(m, where, j == 7 ? 20 : 8);
      if (j == 7 || j == 8 || j == 10) ExpectPart(m, l, 1, s, where);
      if (j == 7 || j == 9 || j == 10) ExpectPart(m, l, 2, s, where);
      if ((j == 7 || j == 10) && joint.backlash) ExpectFit(m, l, s, where);
      if (j >= 11) {
        // The tool's tip cuts the root, its root line the tip; its tooth on the reference line
        // fills the shaft's space or the hub's.
        ASSERT_EQ(m.count("RACK"), 1u) << where;
        const std::vector<double>& r = m.at("RACK");
        const double mn = l.Shaft("mn");
        if (j == 11) {
          EXPECT_NEAR(r[0], (l.Shaft("df") - d) / 2, 0.01) << where;
          EXPECT_NEAR(r[1], (l.Shaft("da") - d) / 2, 0.01) << where;
          EXPECT_NEAR(r[2], M_PI * mn - l.Shaft("sn"), 0.01) << where;
        } else {
          EXPECT_NEAR(r[0], (d - l.Hub("df")) / 2, 0.01) << where;
          EXPECT_NEAR(r[1], (d - l.Hub("da")) / 2, 0.01) << where;
          EXPECT_NEAR(r[2], l.Hub("en"), 0.01) << where;
        }
      }
    }

    // The hub view: its end faces reach the outer edge of the hatched wall (the break line's
    // ends), which they close at both ends.
    {
      ASSERT_EQ(Vuko("joint.vuk /CAD1:2").status, 0) << name;
      const ToolRun read = Execute(
          SYSTEM_PYTHON3 " " + Quote(VUKO_SOURCE_DIR "/tests/drawings/validator/sheet_check.py") +
          " " + Quote(dir_ / "joint.dxf"));
      std::map<double, double> face, wall;  // by x: reach of the end face, of the other lines
      std::istringstream in(read.output);
      std::string line;
      while (std::getline(in, line)) {
        const std::vector<std::string> f = Split(line, '\t');
        if (f.size() != 7 || f[0] != "ENTITY" || f[1] != "@" || f[2] != "LINE") continue;
        const double x1 = atof(f[3].c_str()), y1 = atof(f[4].c_str());
        const double x2 = atof(f[5].c_str()), y2 = atof(f[6].c_str());
        if (x1 == x2) {
          face[x1] = std::max({face[x1], std::fabs(y1), std::fabs(y2)});
        } else {
          wall[x1] = std::max(wall[x1], std::fabs(y1));
          wall[x2] = std::max(wall[x2], std::fabs(y2));
        }
      }
      // The end faces: vertical lines at 0 and at the face width, where the wall's lines end.
      int faces = 0;
      for (const auto& [x, reach] : face) {
        if (wall.count(x) == 0 || wall[x] < l.Hub("df") / 2 + 1e-3) continue;
        ++faces;
        EXPECT_NEAR(reach, wall[x], 1e-3) << name << " x = " << x;
      }
      EXPECT_EQ(faces, 2) << name;
    }

    // The result sheets and the contact picture, drawn by the menu routines after the file is
    // loaded as the Open command loads it.
    InitModules();
    ScriptedDialogHost host;
    LoadDataFile(joint.file);
    ASSERT_FALSE(AbortFlag) << name;
    ConfigVariables.BatchCadFlag = true;
    struct Sheet {
      const char* stem;
      double scale;
      bool menu;
      int kind;
    };
    const Sheet sheets[] = {{"quick3", 56 / dT1, false, kSheetQuick3},
                            {"quick4", 140 / dT1, false, kSheetQuick4},
                            {"contact", 1, true, 6}};
    for (const Sheet& sheet : sheets) {
      const std::string where = name + " " + sheet.stem;
      CurrentFileName = dir_ / sheet.stem;
      if (sheet.menu) {
        SplineToothGraphicsMenu(1, static_cast<std::int16_t>(sheet.kind));
      } else {
        ProductionDrawing(1, static_cast<std::int16_t>(sheet.kind));
      }
      ASSERT_FALSE(AbortFlag) << where;
      const auto m =
          Fit(CurrentFileName + ".dxf", sheet.menu ? "" : radius(sheet.scale) + " --texts");
      if (!sheet.menu) {
        ExpectTextsClear(m, where, 20);
        ExpectPart(m, l, 1, sheet.scale, where);
        ExpectPart(m, l, 2, sheet.scale, where);
      }
      if (joint.backlash) ExpectFit(m, l, sheet.scale, where);
    }

    // A drawing centre distance typed in the tooth-graphics configuration ("Config" of the
    // menu) is refused for the coaxial parts, and every picture of the joint is drawn after it.
    host.Clear();
    for (int c : {3, 4}) host.AnswerChoice(c);
    host.AnswerText(std::to_string(l.Shaft("mn") / 2));
    host.AnswerChoice(5);
    SplineToothGraphicsMenu(1, 7);
    EXPECT_EQ(host.Messages().size(), 1u) << name;
    for (int kind = 1; kind <= 21; ++kind) {
      CurrentFileName = dir_ / ("after" + std::to_string(kind));
      AbortFlag = false;
      if (kind <= 15) {
        ProductionDrawing(1, static_cast<std::int16_t>(kind));
      } else {
        SplineToothGraphicsMenu(1, static_cast<std::int16_t>(kind - 15));
      }
      EXPECT_FALSE(CalcFatalFlag) << name << " " << kind;
      EXPECT_TRUE(Exists(CurrentFileName + ".dxf")) << name << " " << kind;
    }
    ConfigVariables.BatchCadFlag = false;
  }
}
