// CAD-code text writer: one keyword and tab-separated fields per line, numbers with three
// significant digits; and the polyline pieces every non-polyline target receives.
#include "graphics/cad_text_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Lines(const std::function<void(CadTextWriter&)>& draw,
                               TCadWriterOptions options = {},
                               std::vector<std::string>* messages = nullptr) {
  if (messages) options.reportError = [messages](const std::string& m) { messages->push_back(m); };
  std::ostringstream out;
  CadTextWriter writer(out, options);
  draw(writer);
  writer.Close();
  std::vector<std::string> lines;
  std::istringstream in(out.str());
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(CadTextNumber, ThreeSignificantDigitsAtMostFourDecimals) {
  struct Case {
    long double value;
    const char* text;
    const char* why;
  } cases[] = {
      {2.5L, "2.5", "trailing zeros dropped"},
      {0.0L, "0", "zero without decimals"},
      {1.23456L, "1.23", "three significant digits"},
      {0.000123456L, "0.0001", "four decimals at most"},
      {0.0123456L, "0.0123", "leading zeros are not significant"},
      {123.456L, "123", "no decimals left"},
      {1234.6L, "1235", "integer digits are never cut"},
      {-12.345L, "-12.3", "sign kept"},
      {0.000004L, "0", "below 1e-5"},
      {-0.00002L, "0", "rounds to zero: no negative zero"},
      {99.96L, "100", "rounding carries into a new digit"},
  };
  for (const Case& c : cases) EXPECT_EQ(CadTextNumber(c.value, 1), c.text) << c.why;
  EXPECT_EQ(CadTextNumber(2.5L, 2), "2,5");
  EXPECT_EQ(CadTextNumber(-0.0125L, 2), "-0,0125");
}

TEST(CadTextWriter, LinesAreKeywordAndTabSeparatedFields) {
  std::vector<std::string> messages;
  const auto lines = Lines(
      [](CadTextWriter& w) {
        w.SheetFrame(0, 0, 420, 297);
        w.BeginTables(2);  // writes nothing
        w.BeginBlocks();
        w.BeginBlock("ZAHN1");
        w.Line(1, 2, 3, 4);
        w.EndBlock();
        w.EndSection();  // no line marks the end of a section
        w.BeginEntities();
        w.Circle(0, 0, 2.5L);
        w.Arc(1, 1, 30, 60, 2);
        w.Arc(1, 1, 0, 360, 2);
        w.Text(5, 6, "M10");
        w.Solid(0, 0, 1, 0, 0, 1, 1, 1);
        w.Insert("zahn1", 10, 20, 90, 1, 2);
        w.Insert("NOBLOCK", 0, 0, 0, 1, 1);  // never defined: left out, as DXF and IGES do
        w.EndSection();
      },
      {}, &messages);
  const std::vector<std::string> expected = {
      "MINMAX\t0\t0\t420\t297",
      "SECTION BLOCKS",
      "BLOCK\tZAHN1",
      "LINE\t1\t2\t3\t4",
      "END OF BLOCK",
      "SECTION ENTITIES",
      "CIRCLE\t0\t0\t2.5",
      "ARC\t1\t1\t2\t30\t60",
      "CIRCLE\t1\t1\t2",
      "TEXT\t5\t6\tM10",
      "SOLID\t0\t0\t1\t0\t0\t1\t1\t1",
      "INSERT\tzahn1\t10\t20\t90\t1\t2",
      "EOF",
  };
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(messages, (std::vector<std::string>{"Blockname NOBLOCK not found !"}));
}

TEST(CadTextWriter, TextsAreConvertedAndCannotSplitFieldsOrLines) {
  TCadWriterOptions options;
  options.convertText = [](std::string_view t) { return std::string(t) + "!"; };
  const auto lines = Lines([](CadTextWriter& w) { w.Text(0, 0, "a\tb\nc"); }, options);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "TEXT\t0\t0\ta b c!");
}

TEST(CadTextWriter, CommaModeChangesOnlyTheDecimalMark) {
  TCadWriterOptions options;
  options.decimalCommaMode = 2;
  const auto lines = Lines([](CadTextWriter& w) { w.Line(1.5L, -2.25L, 1000, 0.5L); }, options);
  EXPECT_EQ(lines[0], "LINE\t1,5\t-2,25\t1000\t0,5");
}

// Quarter circle from (1, 0) to (0, 1) about the origin: the textbook case of an arc from
// its chord and included angle.
TEST(CadTextWriter, PolylineArcPiecesFollowTheIncludedAngle) {
  const long double quarter = std::numbers::pi_v<long double> / 2;
  const auto lines = Lines([&](CadTextWriter& w) {
    w.PolylineBegin(0);
    w.PolylineVertex(1, 0, quarter);
    w.PolylineVertex(0, 1, 0);
    w.PolylineVertex(0, 3, -quarter);  // clockwise: drawn counter-clockwise from the end
    w.PolylineVertex(2, 5, 0);
    w.PolylineEnd();
  });
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "ARC\t0\t0\t1\t0\t90");
  EXPECT_EQ(lines[1], "LINE\t0\t1\t0\t3");
  // Clockwise quarter from (0, 3) to (2, 5): centre (2, 3), from 90 to 180 degrees.
  EXPECT_EQ(lines[2], "ARC\t2\t3\t2\t90\t180");
}

TEST(CadTextWriter, ArcFromChordCoversHalfAndLargeArcs) {
  TCadArc arc;
  // Half circle from (-1, 0) to (1, 0), counter-clockwise: through (0, -1).
  ASSERT_TRUE(CadArcFromChord(-1, 0, 1, 0, std::numbers::pi_v<long double>, arc));
  EXPECT_NEAR(static_cast<double>(arc.x), 0.0, 1e-15);
  EXPECT_NEAR(static_cast<double>(arc.y), 0.0, 1e-15);
  EXPECT_NEAR(static_cast<double>(arc.r), 1.0, 1e-15);
  EXPECT_NEAR(static_cast<double>(arc.a1), 180.0, 1e-12);
  EXPECT_NEAR(static_cast<double>(std::fmod(arc.a2 + 360, 360)), 0.0, 1e-12);
  // Three quarters from (1, 0) to (0, -1), counter-clockwise about the origin.
  ASSERT_TRUE(CadArcFromChord(1, 0, 0, -1, 1.5L * std::numbers::pi_v<long double>, arc));
  EXPECT_NEAR(static_cast<double>(arc.x), 0.0, 1e-15);
  EXPECT_NEAR(static_cast<double>(arc.y), 0.0, 1e-15);
  EXPECT_NEAR(static_cast<double>(arc.r), 1.0, 1e-15);
  // A straight piece and a zero chord give no arc.
  EXPECT_FALSE(CadArcFromChord(0, 0, 1, 0, 0, arc));
  EXPECT_FALSE(CadArcFromChord(1, 1, 1, 1, 1.0L, arc));
}

TEST(CadTextWriter, ColoursAndLayersWriteNothing) {
  const auto lines = Lines([](CadTextWriter& w) {
    w.SetColour(45);
    w.Line(0, 0, 1, 1);
    EXPECT_EQ(w.Colour(), 29);
    EXPECT_EQ(w.LayerName(), "29");
  });
  EXPECT_EQ(lines[0], "LINE\t0\t0\t1\t1");
}

}  // namespace
