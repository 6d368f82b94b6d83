// The sample sheets of every title block kind written as DXF and read back by ezdxf, which
// shares no code with ours: the file must load strictly without faults, and its entities must
// be the ones the program drew (lines, texts and inserts, in the model space and the blocks).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/codepage.h"
#include "drawings/pieces_fixture.h"
#include "drawings/sample_sheets.h"
#include "validator_support.h"

namespace {

using namespace validator_support;

std::string Fmt(long double v) {
  char text[64];
  const double d = static_cast<double>(v);
  std::snprintf(text, sizeof text, "%.4f", std::fabs(d) < 5e-5 ? 0.0 : d);
  return text;
}

// Space ("@" the model space, else the upper-case block name) and entity, as the script
// prints them.
std::string Row(const TCadPrimitive& p) {
  std::string space = "@";
  if (p.inBlock) {
    space.clear();
    for (char c : p.blockName)
      space += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  switch (p.kind) {
    case Kind::Line:
      return space + "\tLINE\t" + Fmt(p.x[0]) + "\t" + Fmt(p.y[0]) + "\t" + Fmt(p.x[1]) + "\t" +
             Fmt(p.y[1]);
    case Kind::Text:
      // As shown: the data file's name travels beside the code-page texts.
      return space + "\tTEXT\t" + Fmt(p.x[0]) + "\t" + Fmt(p.y[0]) + "\t" + DosToWin(p.text);
    case Kind::Insert: {
      std::string name;
      for (char c : p.text) name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      return space + "\tINSERT\t" + name + "\t" + Fmt(p.x[0]) + "\t" + Fmt(p.y[0]);
    }
    default:
      return {};
  }
}

}  // namespace

TEST_F(PiecesTest, SheetsWrittenAsDxfReadBackAsDrawn) {
  REQUIRE_VALIDATOR(HaveEzdxf(), "ezdxf");
  const std::string script = VUKO_SOURCE_DIR "/tests/drawings/validator/sheet_check.py";
  for (const auto& sheet : kSampleSheets) {
    const std::string base = (scratch_ / sheet.name).string();
    CurrentFileName = base;
    TCadRecorder rec;
    DrawSampleSheet(sheet, kCadDxf);
    ASSERT_FALSE(AbortFlag) << sheet.name;

    const ToolRun run = Execute(SYSTEM_PYTHON3 " " + Quote(script) + " " + Quote(base + ".dxf"));
    EXPECT_EQ(run.status, 0) << sheet.name << "\n" << run.output;

    std::map<std::string, int> read;
    std::istringstream lines(run.output);
    std::string line;
    double ext[4] = {0, 0, 0, 0}, box[4] = {0, 0, 0, 0};
    while (std::getline(lines, line)) {
      if (line.rfind("ENTITY\t", 0) == 0) {
        ++read[line.substr(7)];
      } else if (line.rfind("HEADER\t", 0) == 0) {
        std::istringstream v(line.substr(7));
        v >> ext[0] >> ext[1] >> ext[2] >> ext[3];
      } else if (line.rfind("BBOX\t", 0) == 0) {
        std::istringstream v(line.substr(5));
        v >> box[0] >> box[1] >> box[2] >> box[3];
      }
    }
    std::map<std::string, int> drawn;
    for (const auto& p : rec.Items()) {
      const std::string row = Row(p);
      if (!row.empty()) ++drawn[row];
    }
    EXPECT_EQ(read, drawn) << sheet.name;
    EXPECT_GT(drawn.size(), 200u) << sheet.name;

    // The drawing stays inside the sheet window the header announces.
    const double width = sheet.format == 3 ? 420 : 210;
    EXPECT_LE(ext[0], 0) << sheet.name;
    EXPECT_GE(ext[2], width) << sheet.name;
    EXPECT_GE(box[0], ext[0]) << sheet.name;
    EXPECT_GE(box[1], ext[1]) << sheet.name;
    EXPECT_LE(box[2], ext[2]) << sheet.name;
    EXPECT_LE(box[3], ext[3]) << sheet.name;
  }
}
