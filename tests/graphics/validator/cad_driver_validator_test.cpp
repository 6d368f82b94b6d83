// One drawing of every primitive with nested, turned and scaled blocks, drawn through the CAD
// driver onto the screen, into DXF, IGES and CAD-code text: every file passes its independent
// reader, and all four agree on the geometry. ezdxf explodes the DXF inserts itself, Open
// CASCADE places the IGES instances itself; the screen's display list comes from our replay.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <numbers>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "../cad_test_support.h"
#include "common/codepage.h"
#include "common/message_list.h"
#include "platform/temp_dir.h"
#include "validator_support.h"

namespace fs = std::filesystem;

namespace {

const std::string kScripts = VUKO_SOURCE_DIR "/tests/graphics/validator/";
using namespace validator_support;

constexpr long double kPi = std::numbers::pi_v<long double>;

// --- the drawing -------------------------------------------------------------------------

// Every primitive with a non-finite or absurd number in its coordinates, radius or size:
// none of them may leave a trace on any target. The pen ends where it started.
bool gWithBadNumbers = false;
void DrawBadNumbers() {
  if (!gWithBadNumbers) return;
  const long double penX = PlotSettings.penX, penY = PlotSettings.penY;
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  const long double inf = std::numeric_limits<long double>::infinity();
  for (long double b : {nan, inf, -inf, 1e300L}) {
    CadLine(b, 0, 1, 1);
    CadLine(0, 0, 1, b);
    CadCircle(0, b, 1);
    CadCircle(0, 0, b);
    CadArc(b, 0, 0, 90, 5);
    CadArc(0, 0, b, 90, 5);
    CadArc(0, 0, 0, 90, b);
    CadText(0, b, "X");
    CadSolid(0, 0, 1, 0, 0, b, 1, 1);
    CadPolylineBegin(0);
    CadPolylineVertex(0, 0, 0);
    CadPolylineVertex(b, 1, 0);
    CadPolylineVertex(2, 2, b);
    CadPolylineEnd();
    CadRectangle(b, b, 1, 1);
    CadEllipse(0, 0, b, 1);
    CadEllipseArc(0, 0, 0, 90, b, 1, 1, 30);
    CadInsertBlock("Tooth", b, 0, 0, 1, 1);
    CadInsertBlock("Tooth", 0, 0, b, 1, 1);
    CadInsertBlock("Tooth", 0, 0, 0, b, b);
  }
  CadMoveTo(penX, penY);
}

void DrawSample(std::uint16_t code) {
  CadOpen(code);
  ASSERT_FALSE(AbortFlag);
  CadColour(0);
  CadSheetFrame(0, 0, 420, 297);
  CadBeginTables(2);
  CadBeginBlocks();
  CadBeginBlock("Tooth");  // every primitive
  DrawBadNumbers();
  CadColour(1);
  CadLine(0, 0, 10, 0);
  CadColour(2);
  CadCircle(5, 5, 2);
  CadColour(3);
  CadArc(0, 0, 20, 160, 8);
  CadTextHeight(2, 0, 3.5, 2.5);
  CadColour(4);
  CadText(1, -5, "Z1");
  CadColour(5);
  CadSolid(0, 10, 4, 10, 0, 14, 4, 14);
  CadColour(16);
  CadPolylineBegin(0);
  CadPolylineVertex(0, 20, 0);
  CadPolylineVertex(10, 20, kPi / 2);
  CadPolylineVertex(10, 30, 0);
  CadPolylineVertex(20, 30, -kPi / 3);
  CadPolylineVertex(25, 40, 0);
  CadPolylineEnd();
  CadColour(20);
  CadEllipseArc(30, 0, 0, 180, 5, 1, 0.5, 30);
  CadEndBlock();
  CadBeginBlock("Pair");  // a block holding two inserts of another
  CadColour(7);
  CadRectangle(-2, -2, 40, 45);
  CadInsertBlock("tooth", 0, 0, 0, 1, 1);
  CadInsertBlock("TOOTH", 60, 0, 30, 0.5, 0.5);
  CadEndBlock();
  CadEndSection();

  CadBeginEntities();
  DrawBadNumbers();
  CadColour(3);
  CadLine(10, 280, 100, 280);
  CadCircle(30, 250, 12);
  CadArc(70, 250, 300, 60, 10);  // through 0 degrees
  CadTextHeight(2, 15, 5, 0);
  CadText(120, 270, "VUKO");
  CadTextJustify(1, 1);
  CadText(120, 250, "centred");
  CadTextJustify(0, 0);
  CadMoveTo(160, 280);
  CadTextLine("line one");
  CadTextLine("line two");
  CadSolid(200, 250, 220, 250, 200, 260, 225, 265);
  CadEllipse(300, 250, 30, 15);
  CadSetDimensionSize(1.5);
  CadDimension("50", "0.1", "-0.1", 200, 20, 200, 70, 230);
  CadInsertBlock("Pair", 100, 100, 0, 1, 1);
  CadInsertBlock("pair", 250, 120, 45, 1.5, 1.5);
  CadSetOrigin(-20, 10);
  CadInsertBlock("Tooth", 60, 190, -90, 2, 2);
  CadLine(0, 0, 20, 0);
  CadSetOrigin(0, 0);
  CadEndSection();
  CadClose();
}

// --- rows of entities ----------------------------------------------------------------------

struct Row {
  std::string where, kind;
  std::vector<double> numbers;
  std::string text;
};

std::vector<Row> Rows(const std::string& output) {
  std::vector<Row> rows;
  std::istringstream in(output);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("ENTITY\t", 0) != 0) continue;
    std::vector<std::string> f;
    std::istringstream fields(line.substr(7));
    for (std::string s; std::getline(fields, s, '\t');) f.push_back(s);
    if (f.size() < 2) continue;
    Row row{f[0], f[1], {}, {}};
    for (std::size_t i = 2; i < f.size(); ++i) {
      if ((row.kind == "INSERT" && i == 2) || (row.kind == "TEXT" && i == 4)) {
        row.text = f[i];
      } else {
        row.numbers.push_back(std::strtod(f[i].c_str(), nullptr));
      }
    }
    rows.push_back(row);
  }
  return rows;
}

// What the display list holds, as rows of the same kind.
std::vector<Row> ScreenRows(bool withTexts) {
  std::vector<Row> rows;
  for (const ScreenItem& item : ScreenItems()) {
    const std::vector<double>& v = item.v;
    switch (item.op) {
      case TDisplayOp::Line:
        rows.push_back({"@", "LINE", v, {}});
        break;
      case TDisplayOp::Circle:
        rows.push_back({"@", "CIRCLE", v, {}});
        break;
      case TDisplayOp::Arc:
        rows.push_back(
            {"@",
             "ARC",
             {(v[0] + v[2]) / 2, (v[1] + v[3]) / 2, (v[2] - v[0]) / 2, v[4], v[5], v[6], v[7]},
             {}});
        break;
      case TDisplayOp::Text:
        if (withTexts) rows.push_back({"@", "TEXT", {v[0], v[1]}, item.text});
        break;
      case TDisplayOp::Solid:
        rows.push_back({"@", "OUTLINE", {v[0], v[1], v[2], v[3], v[6], v[7], v[4], v[5]}, {}});
        break;
      default:
        break;
    }
  }
  return rows;
}

// Numbers agree within what the coarser format keeps: `rel` of the value plus `abs`.
struct Tolerance {
  double rel = 0, abs = 0;
};

bool Near(double u, double v, Tolerance tol) {
  return std::fabs(u - v) <= tol.rel * std::max(std::fabs(u), std::fabs(v)) + tol.abs;
}

bool SamePoints(const Row& a, const Row& b, Tolerance tol) {
  if (a.numbers.size() != 8 || b.numbers.size() != 8) return false;
  // Outlines: the same four corners in any order.
  std::vector<bool> used(4, false);
  for (int i = 0; i < 4; ++i) {
    bool found = false;
    for (int j = 0; j < 4 && !found; ++j) {
      if (!used[j] && Near(a.numbers[2 * i], b.numbers[2 * j], tol) &&
          Near(a.numbers[2 * i + 1], b.numbers[2 * j + 1], tol)) {
        used[j] = found = true;
      }
    }
    if (!found) return false;
  }
  return true;
}

bool Matches(const Row& a, const Row& b, Tolerance tol) {
  if (a.where != b.where || a.kind != b.kind || a.text != b.text) return false;
  if (a.numbers.size() != b.numbers.size()) return false;
  if (a.kind == "OUTLINE") return SamePoints(a, b, tol);
  // Arc end points move with the rounding of the angles: allow for it along the radius.
  const double arcSlack = a.kind == "ARC" && tol.rel > 0 ? a.numbers[2] * 0.009 : 0.0;
  for (std::size_t k = 0; k < a.numbers.size(); ++k) {
    double u = a.numbers[k], v = b.numbers[k];
    if (a.kind == "INSERT" && k == 2) v = u + std::remainder(v - u, 360.0);
    const double allowed =
        tol.rel * std::max(std::fabs(u), std::fabs(v)) + tol.abs + (k >= 3 ? arcSlack : 0.0);
    if (std::fabs(u - v) > allowed) return false;
  }
  return true;
}

std::string Describe(const Row& r) {
  std::ostringstream s;
  s << r.where << " " << r.kind;
  for (double v : r.numbers) s << " " << v;
  if (!r.text.empty()) s << " '" << r.text << "'";
  return s.str();
}

// Every row of one side finds its own partner on the other side.
void ExpectSameEntities(const std::vector<Row>& expected, const std::vector<Row>& actual,
                        const std::string& what, Tolerance tol) {
  EXPECT_EQ(expected.size(), actual.size()) << what;
  std::vector<bool> used(actual.size(), false);
  int missing = 0;
  for (const Row& e : expected) {
    bool found = false;
    for (std::size_t i = 0; i < actual.size() && !found; ++i) {
      if (!used[i] && Matches(e, actual[i], tol)) used[i] = found = true;
    }
    if (!found && ++missing <= 10) ADD_FAILURE() << what << ": no partner for " << Describe(e);
  }
  for (std::size_t i = 0, extra = 0; i < actual.size(); ++i) {
    if (!used[i] && ++extra <= 10) ADD_FAILURE() << what << ": left over " << Describe(actual[i]);
  }
}

struct Extents {
  double x1 = 1e300, y1 = 1e300, x2 = -1e300, y2 = -1e300;
  void Add(double x, double y) {
    x1 = std::min(x1, x);
    y1 = std::min(y1, y);
    x2 = std::max(x2, x);
    y2 = std::max(y2, y);
  }
};

// Extents of the drawn geometry (texts left out): arcs by their end points and the quadrant
// points they pass.
Extents GeometryExtents(const std::vector<Row>& rows) {
  Extents e;
  for (const Row& r : rows) {
    const auto& n = r.numbers;
    if (r.kind == "LINE") {
      e.Add(n[0], n[1]);
      e.Add(n[2], n[3]);
    } else if (r.kind == "OUTLINE") {
      for (int i = 0; i < 4; ++i) e.Add(n[2 * i], n[2 * i + 1]);
    } else if (r.kind == "CIRCLE") {
      e.Add(n[0] - n[2], n[1] - n[2]);
      e.Add(n[0] + n[2], n[1] + n[2]);
    } else if (r.kind == "ARC") {
      e.Add(n[3], n[4]);
      e.Add(n[5], n[6]);
      const double a1 = std::atan2(n[4] - n[1], n[3] - n[0]);
      double sweep = std::atan2(n[6] - n[1], n[5] - n[0]) - a1;
      if (sweep <= 0) sweep += 2 * M_PI;
      for (int q = 0; q < 4; ++q) {
        double d = q * M_PI / 2 - a1;
        d -= 2 * M_PI * std::floor(d / (2 * M_PI));
        if (d <= sweep)
          e.Add(n[0] + n[2] * std::cos(q * M_PI / 2), n[1] + n[2] * std::sin(q * M_PI / 2));
      }
    }
  }
  return e;
}

class CadDriverValidator : public CadTest {
 protected:
  fs::path Draw(std::uint16_t code, const char* ext) {
    DrawSample(code);
    return scratch_ / (std::string("part.") + ext);
  }
};

TEST_F(CadDriverValidator, ScreenAndDxfAgreeWithEzdxfsExplodedInserts) {
  REQUIRE_VALIDATOR(HaveEzdxf(), "python3-ezdxf");
  for (bool polylineEntities : {false, true}) {
    const std::string what = polylineEntities ? "DXF with polyline entities" : "DXF";
    PlotSettings.involuteAsPolyline = polylineEntities;
    DrawSample(kCadScreen);
    ASSERT_FALSE(AbortFlag);
    const std::vector<Row> screen = ScreenRows(true);
    ASSERT_GT(screen.size(), 150u);  // ellipse pieces, replayed blocks, dimension

    const fs::path dxf = Draw(kCadDxf, "dxf");
    const ToolRun check = Python(kScripts + "dxf_check.py", Quote(dxf.string()));
    EXPECT_EQ(check.status, 0) << what << "\n" << check.output;
    const ToolRun flat = Python(kScripts + "cad_driver_explode.py", Quote(dxf.string()));
    ASSERT_EQ(flat.status, 0) << flat.output;
    // Six decimals in the file; the screen keeps doubles.
    ExpectSameEntities(screen, Rows(flat.output), what, {0, 2e-5});
  }
}

// The plot program may start slowly: a stand-in on PATH notes its arguments, waits until this
// run has ended and then reads the drawing it was given, strictly.
TEST_F(CadDriverValidator, ThePlotProgramReadsItsDrawingAfterTheRunEnded) {
  REQUIRE_VALIDATOR(HaveEzdxf(), "python3-ezdxf");
  const fs::path bin = scratch_ / "bin";
  fs::create_directories(bin);
  const std::string notes = (scratch_ / "plot").string();
  std::ofstream(bin / "wvectrix") << "#!/bin/sh\n"
                                  << "echo \"$@\" > " << Quote(notes + ".args") << "\n"
                                  << "sleep 1\n"
                                  << SYSTEM_PYTHON3 " " << Quote(kScripts + "dxf_check.py")
                                  << " \"$1.dxf\" > " << Quote(notes + ".check") << " 2>&1\n"
                                  << "echo $? > " << Quote(notes + ".tmp") << " && mv "
                                  << Quote(notes + ".tmp") << " " << Quote(notes + ".status")
                                  << "\n";
  fs::permissions(bin / "wvectrix", fs::perms::owner_all);
  const std::string path = getenv("PATH");
  setenv("PATH", (bin.string() + ":" + path).c_str(), 1);
  setenv("XDG_CACHE_HOME", (scratch_ / "cache").c_str(), 1);
  // The line of an older configuration names the drawing relative to the working directory.
  PlotSettings.PlotCommandLines.current = 1;
  PlotSettings.PlotCommandLines.lines[1] = "wvectrix VECTRIX.DXF /CPS /M1.0";
  DrawSample(kCadPlot);
  setenv("PATH", path.c_str(), 1);
  platform::RemovePrivateTempDirectory();  // the run ends
  for (int i = 0; i < 300 && !fs::exists(notes + ".status"); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  unsetenv("XDG_CACHE_HOME");
  const std::string dxf = (scratch_ / "cache" / "vuko" / "vectrix").string();
  std::ifstream args(notes + ".args");
  std::string given;
  std::getline(args, given);
  EXPECT_EQ(given, dxf + " /CPS");  // a scale of 1 is no switch
  std::ifstream status(notes + ".status"), check(notes + ".check");
  std::string code, report((std::istreambuf_iterator<char>(check)), {});
  std::getline(status, code);
  EXPECT_EQ(code, "0") << report;
}

TEST_F(CadDriverValidator, IgesLoadsAndPlacesItsInstancesWhereTheScreenDrawsThem) {
  REQUIRE_VALIDATOR(HaveOcct(), "the Open CASCADE checker (libocct-data-exchange-dev)");
  DrawSample(kCadScreen);
  const Extents screen = GeometryExtents(ScreenRows(false));
  const fs::path igs = Draw(kCadIges, "igs");
  const ToolRun occt = Execute(Quote(kIgesCheck) + " " + Quote(igs.string()));
  EXPECT_EQ(occt.status, 0) << occt.output;
  EXPECT_NE(occt.output.find("CHECK fails 0"), std::string::npos) << occt.output;
  EXPECT_NE(occt.output.find("CHECK entity 308 0 2"), std::string::npos) << occt.output;
  // Scaled instances are written as placed entities; two unscaled ones remain.
  EXPECT_NE(occt.output.find("CHECK entity 408 0 2\n"), std::string::npos) << occt.output;
  const auto at = occt.output.find("CHECK bbox ");
  ASSERT_NE(at, std::string::npos) << occt.output;
  double b[4];
  std::istringstream(occt.output.substr(at + 11)) >> b[0] >> b[1] >> b[2] >> b[3];
  // IGES keeps three decimals.
  EXPECT_NEAR(b[0], screen.x1, 3e-3);
  EXPECT_NEAR(b[1], screen.y1, 3e-3);
  EXPECT_NEAR(b[2], screen.x2, 3e-3);
  EXPECT_NEAR(b[3], screen.y2, 3e-3);
  const ToolRun records = Python(kScripts + "iges_records.py", Quote(igs.string()));
  EXPECT_EQ(records.status, 0) << records.output;
  EXPECT_FALSE(fs::exists(PrivateTempDir() + "TARVIGES.$$$"));
}

TEST_F(CadDriverValidator, IgesAndCadTextHoldTheEntitiesOfTheDxfFile) {
  REQUIRE_VALIDATOR(HaveEzdxf(), "python3-ezdxf");
  const fs::path dxf = Draw(kCadDxf, "dxf");
  const fs::path igs = Draw(kCadIges, "igs");
  const fs::path txt = Draw(kCadText, "txt");
  const ToolRun d = Python(kScripts + "dxf_check.py", Quote(dxf.string()) + " --dump --explode");
  // IGES writes scaled instances as placed entities: both sides are compared exploded.
  const ToolRun flat = Python(kScripts + "cad_driver_explode.py", Quote(dxf.string()));
  const ToolRun i = Python(kScripts + "iges_records.py", Quote(igs.string()) + " --dump --explode");
  const ToolRun t = Python(kScripts + "cad_text_check.py", Quote(txt.string()) + " --dump");
  ASSERT_EQ(d.status, 0) << d.output;
  ASSERT_EQ(i.status, 0) << i.output;
  ASSERT_EQ(t.status, 0) << t.output;
  const std::vector<Row> dxfRows = Rows(d.output);
  ASSERT_GT(dxfRows.size(), 100u);
  // The CAD-code text lists block contents per block and the inserts themselves. IGES keeps
  // three decimals, the CAD-code text three significant digits.
  ExpectSameEntities(Rows(flat.output), Rows(i.output), "IGES", {0, 2e-3});
  ExpectSameEntities(dxfRows, Rows(t.output), "TXT", {0.006, 2e-4});
}

TEST_F(CadDriverValidator, BadNumbersDrawNothingOnAnyTargetAndAreToldOnce) {
  REQUIRE_VALIDATOR(HaveEzdxf() && HaveOcct(), "python3-ezdxf and the Open CASCADE checker");
  auto told = [] {
    int n = 0;
    for (int i = 1; i <= ErrorList.count; ++i)
      n += ErrorText(i).find("number out of range") != std::string::npos;
    return n;
  };
  for (const auto& [code, ext] : {std::pair<std::uint16_t, const char*>{kCadDxf, "dxf"},
                                  {kCadIges, "igs"},
                                  {kCadText, "txt"},
                                  {kCadScreen, ""}}) {
    gWithBadNumbers = false;
    ClearErrors();
    const fs::path path = Draw(code, ext);
    const std::string clean = code == kCadScreen ? "" : ReadWholeFile(path);
    const std::vector<Row> cleanScreen = ScreenRows(true);
    EXPECT_EQ(told(), 0) << ext;
    gWithBadNumbers = true;
    Draw(code, ext);
    gWithBadNumbers = false;
    ASSERT_FALSE(AbortFlag) << ext;
    EXPECT_EQ(told(), 1) << "one message per drawing, " << ext;
    if (code == kCadScreen) {
      const std::vector<Row> screen = ScreenRows(true);
      ASSERT_EQ(screen.size(), cleanScreen.size());
      for (std::size_t i = 0; i < screen.size(); ++i)
        EXPECT_TRUE(screen[i].kind == cleanScreen[i].kind &&
                    screen[i].numbers == cleanScreen[i].numbers)
            << Describe(screen[i]) << " / " << Describe(cleanScreen[i]);
      continue;
    }
    // Not a byte more: the file is the file of the drawing without them.
    EXPECT_EQ(ReadWholeFile(path), clean) << ext;
    if (code == kCadDxf) {
      const ToolRun check = Python(kScripts + "dxf_check.py", Quote(path.string()));
      EXPECT_EQ(check.status, 0) << check.output;
    } else if (code == kCadIges) {
      const ToolRun occt = Execute(Quote(kIgesCheck) + " " + Quote(path.string()));
      EXPECT_EQ(occt.status, 0) << occt.output;
      EXPECT_NE(occt.output.find("CHECK fails 0"), std::string::npos) << occt.output;
    }
  }
}

TEST_F(CadDriverValidator, TheBlockReaderReadsWhatEzdxfWrites) {
  REQUIRE_VALIDATOR(HaveEzdxf(), "python3-ezdxf");
  const fs::path made = scratch_ / "ezdxf_r12.dxf";
  const ToolRun make =
      Python(kScripts + "cad_driver_explode.py", "--make-r12 " + Quote(made.string()));
  ASSERT_EQ(make.status, 0) << make.output;
  const TBlockFileContent content = ParseBlockFile(ReadWholeFile(made));
  EXPECT_TRUE(content.errors.empty());
  CadOpen(kCadScreen);
  const std::size_t before = DisplayList->Count();
  CadReplayEntities(content);
  ASSERT_GT(DisplayList->Count(), before);
  const ToolRun flat = Python(kScripts + "cad_driver_explode.py", Quote(made.string()));
  ASSERT_EQ(flat.status, 0) << flat.output;
  ExpectSameEntities(Rows(flat.output), ScreenRows(true), "ezdxf R12 read back", {0, 1e-6});
}

}  // namespace
