// The CAD files read back by programs that share no code with ours: DXF by ezdxf, IGES by
// Open CASCADE and a record checker, CAD-code text by Python's csv module. The same drawing
// written in all three formats must come back with the same entities.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "graphics/cad_output_file.h"
#include "graphics/cad_text_writer.h"
#include "graphics/dxf_writer.h"
#include "graphics/iges_writer.h"
#include "validator_support.h"

namespace fs = std::filesystem;

namespace {

const std::string kScripts = VUKO_SOURCE_DIR "/tests/graphics/validator/";
using namespace validator_support;

fs::path WorkDir() {
  const fs::path dir =
      fs::temp_directory_path() / ("vuko_cad_validator_" + std::to_string(getpid()));
  fs::create_directories(dir);
  return dir;
}

// Every primitive, colours of every kind, nested, turned and scaled blocks, a polyline
// with arcs, and texts with awkward content.
void DrawEverything(CadWriter& w, bool withTexts = true) {
  const long double pi = std::numbers::pi_v<long double>;
  w.SetColour(0);
  w.SheetFrame(0, 0, 420, 297);
  w.BeginTables(2);
  w.BeginBlocks();
  w.BeginBlock("SQUARE");
  w.SetColour(3);
  w.Line(0, 0, 1, 0);
  w.Line(1, 0, 1, 1);
  w.Line(1, 1, 0, 1);
  w.Line(0, 1, 0, 0);
  w.EndBlock();
  w.BeginBlock("Zahn1");
  w.SetColour(5);
  w.Arc(0, 0, 30, 150, 10);
  w.Circle(0, 5, 1.25L);
  w.Insert("SQUARE", 2, 2, 45, 1, 1);
  w.EndBlock();
  w.BeginBlock("EMPTY");
  w.EndBlock();
  w.EndSection();
  w.BeginEntities();
  const int colours[] = {0, 1, 2, 3, 4, 5, 6, 7, 12, 15, 16, 23, 31, 45};
  int i = 0;
  for (int colour : colours) {
    w.SetColour(colour);
    w.Line(10 + i, 10, 12 + i, 40.123456L);
    ++i;
  }
  w.SetColour(2);
  w.Circle(100, 100, 25);
  w.Arc(100, 100, 0, 360, 30);   // a full circle
  w.Arc(100, 100, 300, 45, 20);  // crossing 0 degrees
  w.Arc(100, 100, 10, 10, 15);   // equal angles: a circle
  w.SetColour(1);
  // An arrowhead as the dimensioning draws it: tip, both wings, back.
  const long double a = 30 * pi / 180, h = 10 * pi / 180, L = 7;
  w.Solid(200, 50, 200 + L * std::cos(a + h), 50 + L * std::sin(a + h), 200 + L * std::cos(a - h),
          50 + L * std::sin(a - h), 200 + L * std::cos(a), 50 + L * std::sin(a));
  w.SetColour(4);
  w.PolylineBegin(0);
  w.PolylineVertex(150, 150, 0);
  w.PolylineVertex(160, 150, pi / 2);
  w.PolylineVertex(170, 160, 0);
  w.PolylineVertex(170, 170, -pi / 3);
  w.PolylineVertex(180, 180, 0);
  w.PolylineEnd();
  if (withTexts) {
    w.SetColour(3);
    w.SetTextStyle({3.5L, 0.71428L, 0, 0});
    w.Text(20, 250, "M 40 x 2 x 18 DIN 5480");
    w.SetTextStyle({2.5L, 0.8L, 90, 15});
    w.Text(30, 200, "da = 39,6 mm; x = +0,45");
    w.Text(30, 180, std::string(75, 'L') + ", with a tail");
  }
  w.SetColour(16);
  w.Insert("Zahn1", 300, 100, 0, 1, 1);
  w.Insert("ZAHN1", 300, 200, 90, 1, 1);
  w.Insert("zahn1", 350, 150, 0, 2, 2);
  w.Insert("SQUARE", 380, 20, 30, 1.5L, 1.5L);
  w.EndSection();
  w.Close();
}

fs::path WriteDxf(const fs::path& dir, const std::string& name, TCadWriterOptions options,
                  bool withTexts = true) {
  const fs::path path = dir / name;
  std::ofstream out(path, std::ios::binary);
  DxfWriter writer(out, options);
  DrawEverything(writer, withTexts);
  return path;
}

fs::path WriteIges(const fs::path& dir, const std::string& name, TCadWriterOptions options,
                   bool withTexts = true) {
  const fs::path path = dir / name;
  std::string error;
  auto file = CadOutputFile::Open(CadFileFormat::Iges, path, dir, options, error);
  EXPECT_TRUE(file) << error;
  if (!file) return path;
  DrawEverything(file->Writer(), withTexts);
  EXPECT_TRUE(file->Close(error)) << error;
  return path;
}

fs::path WriteText(const fs::path& dir, const std::string& name, TCadWriterOptions options) {
  const fs::path path = dir / name;
  std::ofstream out(path, std::ios::binary);
  CadTextWriter writer(out, options);
  DrawEverything(writer);
  return path;
}

// DOS (CP850) umlauts to their Windows (CP1252) bytes, as the CAD text mode 2 converts them.
std::string DosToWindows(std::string_view text) {
  std::string out;
  for (unsigned char c : text) {
    switch (c) {
      case 0x81:
        out += '\xFC';
        break;  // u umlaut
      case 0x84:
        out += '\xE4';
        break;  // a umlaut
      case 0xE1:
        out += '\xDF';
        break;  // sharp s
      case 0xF8:
        out += '\xB0';
        break;  // degree
      default:
        out += static_cast<char>(c);
    }
  }
  return out;
}

TEST(DxfValidator, EveryVariantPassesEzdxfStrictReadAndAudit) {
  REQUIRE_VALIDATOR(HaveEzdxf(), "python3-ezdxf");
  const fs::path dir = WorkDir();
  struct Variant {
    const char* name;
    std::function<void(TCadWriterOptions&)> set;
  } variants[] = {
      {"defaults", [](TCadWriterOptions&) {}},
      {"three decimals", [](TCadWriterOptions& o) { o.dxfDecimals = 3; }},
      {"polyline entities", [](TCadWriterOptions& o) { o.polylineEntities = true; }},
      {"monochrome", [](TCadWriterOptions& o) { o.layerMonochrome = true; }},
      {"configured layers",
       [](TCadWriterOptions& o) {
         o.layerNames = {"0", "Mittellinie", "verdeckt", "Bema/ssung", "text", "0"};
         o.layerColours = {1, 0, 256, 3, 4, -2};
         o.penNumbers[3] = 0;
       }},
      {"windows texts", [](TCadWriterOptions& o) { o.convertText = DosToWindows; }},
  };
  for (const Variant& v : variants) {
    TCadWriterOptions options;
    v.set(options);
    const fs::path path = WriteDxf(dir, "variant.dxf", options);
    const ToolRun run = Python(kScripts + "dxf_check.py", Quote(path.string()));
    EXPECT_EQ(run.status, 0) << v.name << "\n" << run.output;
  }
  fs::remove_all(dir);
}

TEST(DxfValidator, FaultyBlockUseStillGivesAValidFile) {
  REQUIRE_VALIDATOR(HaveEzdxf(), "python3-ezdxf");
  const fs::path dir = WorkDir();
  const fs::path path = dir / "blocks.dxf";
  std::vector<std::string> messages;
  TCadWriterOptions options;
  options.reportError = [&](const std::string& m) { messages.push_back(m); };
  {
    std::ofstream out(path, std::ios::binary);
    DxfWriter w(out, options);
    w.SheetFrame(0, 0, 100, 100);
    w.BeginTables(0);
    w.BeginBlocks();
    w.BeginBlock("A");
    w.Insert("LATER", 0, 0, 0, 1, 1);  // defined further down
    w.Insert("NEVER", 0, 0, 0, 1, 1);  // not defined at all
    w.Line(0, 0, 1, 1);
    w.EndBlock();
    w.BeginBlock("a");  // the same block again
    w.Circle(0, 0, 1);
    w.EndBlock();
    w.BeginBlock("LATER");
    w.PolylineBegin(0);  // left open by the drawing
    w.PolylineVertex(0, 0, 0);
    w.EndBlock();
    // No end of section: the entities begin right away.
    w.BeginEntities();
    w.Insert("A", 10, 10, 0, 1, 1);
    w.Insert("MISSING", 10, 10, 0, 1, 1);
    w.BeginBlock("LATE");  // no block inside the entities
    w.Line(0, 0, 1, 1);
    w.EndBlock();
    w.Close();  // no end of section either
  }
  const ToolRun run = Python(kScripts + "dxf_check.py", Quote(path.string()));
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(messages,
            (std::vector<std::string>{"Blockname a defined twice !", "Blockname NEVER not found !",
                                      "Blockname MISSING not found !",
                                      "Blockname LATE outside the blocks section !"}));
  fs::remove_all(dir);
}

TEST(DxfValidator, ConvertedTextsDecodeAsTheirWindowsLetters) {
  REQUIRE_VALIDATOR(HaveEzdxf(), "python3-ezdxf");
  const fs::path dir = WorkDir();
  TCadWriterOptions options;
  options.convertText = DosToWindows;
  const fs::path path = dir / "umlauts.dxf";
  {
    std::ofstream out(path, std::ios::binary);
    DxfWriter w(out, options);
    w.BeginEntities();
    w.Text(0, 0,
           "Zahnwellenverbindung \x81"
           "ber 30\xF8 gro\xE1");
    w.Close();
  }
  const ToolRun run = Python(kScripts + "dxf_check.py", Quote(path.string()) + " --dump");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("Zahnwellenverbindung über 30° groß"), std::string::npos) << run.output;
  fs::remove_all(dir);
}

TEST(IgesValidator, EveryVariantLoadsInOpenCascadeWithoutFail) {
  REQUIRE_VALIDATOR(HaveOcct(), "the Open CASCADE checker (libocct-data-exchange-dev)");
  const fs::path dir = WorkDir();
  struct Variant {
    const char* file;
    std::function<void(TCadWriterOptions&)> set;
  } variants[] = {
      {"part.igs", [](TCadWriterOptions&) {}},
      // A file name that pushes the global records past 72 columns.
      {"Zahnwellenverbindung_DIN_5480_W40x2x18_Welle_und_Nabe_Fertigung.igs",
       [](TCadWriterOptions&) {}},
      {"layers.igs", [](TCadWriterOptions& o) { o.layerColours = {1, 9, 14, 250, 0, 5}; }},
      {"layermode.igs", [](TCadWriterOptions& o) { o.layerMode = true; }},
      {"digits.igs", [](TCadWriterOptions& o) { o.igesDecimals = 5; }},
      {"umlauts.igs", [](TCadWriterOptions& o) { o.convertText = DosToWindows; }},
  };
  for (const Variant& v : variants) {
    TCadWriterOptions options;
    v.set(options);
    const fs::path path = WriteIges(dir, v.file, options);
    const ToolRun occt = Execute(Quote(kIgesCheck) + " " + Quote(path.string()));
    EXPECT_EQ(occt.status, 0) << v.file << "\n" << occt.output;
    EXPECT_NE(occt.output.find("CHECK fails 0"), std::string::npos) << occt.output;
    EXPECT_NE(occt.output.find("CHECK version_flag 4 unit_flag 2"), std::string::npos);
    EXPECT_EQ(occt.output.find("CHECK shapes 0"), std::string::npos) << occt.output;
    const ToolRun records = Python(kScripts + "iges_records.py", Quote(path.string()));
    EXPECT_EQ(records.status, 0) << v.file << "\n" << records.output;
  }
  EXPECT_FALSE(fs::exists(dir / "TARVIGES.$$$"));  // the work file is gone
  fs::remove_all(dir);
}

TEST(IgesValidator, LongNotesWithCommasKeepTheirHollerithCount) {
  REQUIRE_VALIDATOR(HaveOcct(), "the Open CASCADE checker (libocct-data-exchange-dev)");
  const fs::path dir = WorkDir();
  const fs::path path = dir / "notes.igs";
  std::string error;
  {
    auto file = CadOutputFile::Open(CadFileFormat::Iges, path, dir, {}, error);
    ASSERT_TRUE(file) << error;
    CadWriter& w = file->Writer();
    w.SheetFrame(0, 0, 420, 297);
    w.SetTextStyle({3.5L, 0.8L, 0, 0});
    w.Text(10, 20, std::string(40, 'A') + ", " + std::string(30, 'B'));
    w.Text(10, 30, "da = 39,6 mm; x = +0,45; df = 36,2 mm; dB = 3,5 mm; k = 4; W = 12,35 mm");
    ASSERT_TRUE(file->Close(error)) << error;
  }
  const ToolRun occt = Execute(Quote(kIgesCheck) + " " + Quote(path.string()));
  EXPECT_EQ(occt.status, 0) << occt.output;
  EXPECT_NE(occt.output.find("CHECK entity 212 0 2"), std::string::npos) << occt.output;
  EXPECT_EQ(occt.output.find("Hollerith"), std::string::npos) << occt.output;
  fs::remove_all(dir);
}

TEST(IgesValidator, TooManyBlocksStillGiveAValidFile) {
  REQUIRE_VALIDATOR(HaveOcct(), "the Open CASCADE checker (libocct-data-exchange-dev)");
  const fs::path dir = WorkDir();
  const fs::path path = dir / "blocks.igs";
  std::vector<std::string> messages;
  TCadWriterOptions options;
  options.reportError = [&](const std::string& m) { messages.push_back(m); };
  std::string error;
  {
    auto file = CadOutputFile::Open(CadFileFormat::Iges, path, dir, options, error);
    ASSERT_TRUE(file) << error;
    CadWriter& w = file->Writer();
    w.SheetFrame(0, 0, 100, 100);
    for (int i = 1; i <= 300; ++i) {
      w.BeginBlock("B" + std::to_string(i));
      w.Line(0, 0, i, 1);
      w.EndBlock();
    }
    w.Insert("B1", 0, 0, 0, 1, 1);
    w.Insert("B256", 0, 0, 0, 1, 1);
    w.Insert("B300", 0, 0, 0, 1, 1);
    EXPECT_TRUE(w.Failed());
    EXPECT_TRUE(file->Close(error)) << error;
  }
  EXPECT_EQ(messages.size(), 45u);  // 44 refused blocks and the insert of one of them
  const ToolRun occt = Execute(Quote(kIgesCheck) + " " + Quote(path.string()));
  EXPECT_EQ(occt.status, 0) << occt.output;
  // Only the blocks in use are written.
  EXPECT_NE(occt.output.find("CHECK entity 308 0 2\n"), std::string::npos) << occt.output;
  EXPECT_EQ(Python(kScripts + "iges_records.py", Quote(path.string())).status, 0);
  fs::remove_all(dir);
}

TEST(IgesValidator, OpenCascadePlacesTheGeometryWhereEzdxfDoes) {
  REQUIRE_VALIDATOR(HaveOcct(), "the Open CASCADE checker (libocct-data-exchange-dev)");
  REQUIRE_VALIDATOR(HaveEzdxf(), "python3-ezdxf");
  const fs::path dir = WorkDir();
  // Without texts the extents depend on geometry only; both readers transform the inserts
  // themselves.
  const fs::path dxf = WriteDxf(dir, "geometry.dxf", {}, false);
  const fs::path igs = WriteIges(dir, "geometry.igs", {}, false);
  const ToolRun ez = Python(kScripts + "dxf_check.py", Quote(dxf.string()) + " --extents");
  const ToolRun occt = Execute(Quote(kIgesCheck) + " " + Quote(igs.string()));
  std::array<double, 4> a{}, b{};
  const auto e = ez.output.find("extents ");
  const auto o = occt.output.find("CHECK bbox ");
  ASSERT_NE(e, std::string::npos) << ez.output;
  ASSERT_NE(o, std::string::npos) << occt.output;
  std::istringstream(ez.output.substr(e + 8)) >> a[0] >> a[1] >> a[2] >> a[3];
  std::istringstream(occt.output.substr(o + 11)) >> b[0] >> b[1] >> b[2] >> b[3];
  for (int k = 0; k < 4; ++k) EXPECT_NEAR(a[k], b[k], 2e-3) << k << "\n" << occt.output;
  fs::remove_all(dir);
}

TEST(CadTextValidator, ParsesAsTabSeparatedFieldsWithTheKeywordSet) {
  REQUIRE_VALIDATOR(fs::exists(SYSTEM_PYTHON3), "/usr/bin/python3");
  const fs::path dir = WorkDir();
  TCadWriterOptions options;
  options.convertText = DosToWindows;
  const fs::path point = WriteText(dir, "point.txt", options);
  const ToolRun run = Python(kScripts + "cad_text_check.py", Quote(point.string()));
  EXPECT_EQ(run.status, 0) << run.output;
  options.decimalCommaMode = 2;
  const fs::path comma = WriteText(dir, "comma.txt", options);
  const ToolRun commaRun =
      Python(kScripts + "cad_text_check.py", Quote(comma.string()) + " --comma");
  EXPECT_EQ(commaRun.status, 0) << commaRun.output;
  fs::remove_all(dir);
}

// --- The same drawing in three formats --------------------------------------------------

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
    Row row{f[0], f[1], {}, {}};
    for (std::size_t i = 2; i < f.size(); ++i) {
      char* end = nullptr;
      const double v = std::strtod(f[i].c_str(), &end);
      if (row.kind == "INSERT" && i == 2) {
        row.text = f[i];
      } else if (row.kind == "TEXT" && i == 4) {
        row.text = f[i];
      } else {
        row.numbers.push_back(v);
      }
    }
    rows.push_back(row);
  }
  return rows;
}

// Numbers agree within what the coarser format keeps: `relative` of the value plus `absolute`.
bool Close(double a, double b, double relative, double absolute) {
  return std::fabs(a - b) <= relative * std::max(std::fabs(a), std::fabs(b)) + absolute;
}

bool SameOutline(const Row& a, const Row& b, double rel, double abs) {
  if (a.numbers.size() != 8 || b.numbers.size() != 8) return false;
  for (int dir : {1, -1}) {
    for (int shift = 0; shift < 4; ++shift) {
      bool all = true;
      for (int k = 0; k < 4 && all; ++k) {
        const int j = ((dir * k + shift) % 4 + 4) % 4;
        all = Close(a.numbers[2 * k], b.numbers[2 * j], rel, abs) &&
              Close(a.numbers[2 * k + 1], b.numbers[2 * j + 1], rel, abs);
      }
      if (all) return true;
    }
  }
  return false;
}

void Compare(const std::vector<Row>& expected, const std::vector<Row>& actual,
             const std::string& format, double rel, double abs) {
  std::map<std::string, std::vector<const Row*>> a, b;
  for (const Row& r : expected) a[r.where].push_back(&r);
  for (const Row& r : actual) b[r.where].push_back(&r);
  ASSERT_EQ(a.size(), b.size()) << format << ": containers differ";
  for (const auto& [where, rows] : a) {
    const auto& other = b[where];
    ASSERT_EQ(rows.size(), other.size()) << format << ": entity count in " << where;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const Row& x = *rows[i];
      const Row& y = *other[i];
      const std::string at = format + " " + where + " #" + std::to_string(i) + " " + x.kind;
      ASSERT_EQ(x.kind, y.kind) << at;
      EXPECT_EQ(x.text, y.text) << at;
      if (x.kind == "OUTLINE") {
        EXPECT_TRUE(SameOutline(x, y, rel, abs)) << at;
        continue;
      }
      ASSERT_EQ(x.numbers.size(), y.numbers.size()) << at;
      // Arc end points move with the angle's rounding: allow for it along the radius.
      const double arcSlack = x.kind == "ARC" ? x.numbers[2] * 0.009 : 0.0;
      for (std::size_t k = 0; k < x.numbers.size(); ++k) {
        double u = x.numbers[k], v = y.numbers[k];
        if (x.kind == "INSERT" && k == 2) {  // angles: modulo a full turn
          v = u + std::remainder(v - u, 360.0);
        }
        EXPECT_TRUE(Close(u, v, rel, abs + (k >= 3 ? arcSlack : 0.0)))
            << at << " value " << k << ": " << u << " vs " << v;
      }
    }
  }
}

TEST(CadTextDxfIgesAgreement, OneDrawingGivesTheSameEntitiesInEveryFormat) {
  REQUIRE_VALIDATOR(HaveEzdxf(), "python3-ezdxf");
  const fs::path dir = WorkDir();
  for (bool polylineEntities : {false, true}) {
    TCadWriterOptions options;
    options.polylineEntities = polylineEntities;  // DXF polylines come back exploded
    const fs::path dxf = WriteDxf(dir, "same.dxf", options);
    const fs::path igs = WriteIges(dir, "same.igs", options);
    const fs::path txt = WriteText(dir, "same.txt", options);
    const ToolRun d = Python(kScripts + "dxf_check.py", Quote(dxf.string()) + " --dump --explode");
    // IGES writes scaled instances as placed entities: both sides are compared exploded.
    const ToolRun flat = Python(kScripts + "cad_driver_explode.py", Quote(dxf.string()));
    const ToolRun i =
        Python(kScripts + "iges_records.py", Quote(igs.string()) + " --dump --explode");
    const ToolRun t = Python(kScripts + "cad_text_check.py", Quote(txt.string()) + " --dump");
    ASSERT_EQ(d.status, 0) << d.output;
    ASSERT_EQ(flat.status, 0) << flat.output;
    ASSERT_EQ(i.status, 0) << i.output;
    ASSERT_EQ(t.status, 0) << t.output;
    const auto dxfRows = Rows(d.output);
    ASSERT_GT(dxfRows.size(), 30u);
    // IGES keeps three decimals; the CAD-code text three significant digits.
    Compare(Rows(flat.output), Rows(i.output), "IGES", 0.0, 2e-3);
    Compare(dxfRows, Rows(t.output), "TXT", 0.006, 2e-4);
  }
  fs::remove_all(dir);
}

}  // namespace
