// The HP-GL/2 viewer: what each command family puts into the display list, in millimetres.
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "graphics_fixture.h"

namespace {

struct Segment {
  double x1, y1, x2, y2;
};

class HpglViewerTest : public GraphicsTest {
 protected:
  void SetUp() override {
    GraphicsTest::SetUp();
    facade_->GrHeader(0, 0, 160, 120);
    facade_->GrClear();
  }
  std::vector<Segment> Lines() {
    std::vector<Segment> out;
    for (std::size_t i = 0; i < List().Count(); ++i) {
      const auto r = List().Record(i);
      if (r.op == TDisplayOp::Line)
        out.push_back({r.values[0], r.values[1], r.values[2], r.values[3]});
    }
    return out;
  }
  std::vector<TDisplayListRecord> Of(TDisplayOp op) {
    std::vector<TDisplayListRecord> out;
    for (std::size_t i = 0; i < List().Count(); ++i)
      if (List().Record(i).op == op) out.push_back(List().Record(i));
    return out;
  }
};

TEST_F(HpglViewerTest, PenOneLineIsRedAndInMillimetres) {
  ShowHpglData("IN;SP1;PU0,0;PD400,0;\n");
  ASSERT_EQ(Lines().size(), 1u);
  const Segment s = Lines()[0];
  EXPECT_DOUBLE_EQ(s.x1, 0);
  EXPECT_DOUBLE_EQ(s.y1, 0);
  EXPECT_DOUBLE_EQ(s.x2, 10);  // 400 units of 0.025 mm
  EXPECT_DOUBLE_EQ(s.y2, 0);
  ASSERT_EQ(Of(TDisplayOp::Colour).size(), 1u);
  EXPECT_EQ(Of(TDisplayOp::Colour)[0].values[0], 12);
}

TEST_F(HpglViewerTest, TheLastByteOfAFileIsRead) {
  ShowHpglData("PU0,0;PD0,400;");  // no line end after the final ";"
  ASSERT_EQ(Lines().size(), 1u);
  EXPECT_DOUBLE_EQ(Lines()[0].y2, 10);
}

TEST_F(HpglViewerTest, PolylinesAndPenUpMoves) {
  ShowHpglData("pu0,0;pd400,0,400,400;PD;PU800,800;PA1200,800;PD1200,1200;\n");
  const auto l = Lines();
  ASSERT_EQ(l.size(), 3u) << "PD; alone draws nothing, PU and PA with the pen up move only";
  EXPECT_DOUBLE_EQ(l[1].x2, 10);
  EXPECT_DOUBLE_EQ(l[1].y2, 10);
  EXPECT_DOUBLE_EQ(l[2].x1, 30);
  EXPECT_DOUBLE_EQ(l[2].y1, 20);
  EXPECT_DOUBLE_EQ(l[2].y2, 30);
}

TEST_F(HpglViewerTest, SemicolonsAndCommasAreOptional) {
  // HP-GL/2 lets a command end where the next one's letters begin, and parameters be separated
  // by blanks; a sign starts a new number. An escape sequence and a quoted comment are skipped.
  ShowHpglData("\x1B%0BIN\nSP1PU0,0PD400,0 400 400PU\nCO\"PD9,9\";PD 800 400 , 800-400;\n");
  const auto l = Lines();
  ASSERT_EQ(l.size(), 4u);
  EXPECT_DOUBLE_EQ(l[1].x2, 10);
  EXPECT_DOUBLE_EQ(l[1].y2, 10);
  EXPECT_DOUBLE_EQ(l[2].x2, 20);
  EXPECT_DOUBLE_EQ(l[3].x1, 20);
  EXPECT_DOUBLE_EQ(l[3].y1, 10);
  EXPECT_DOUBLE_EQ(l[3].y2, -10);
  EXPECT_EQ(Of(TDisplayOp::Colour)[0].values[0], 12);
}

TEST_F(HpglViewerTest, PenNumbersSelectColours) {
  const int expected[] = {0, 12, 14, 10, 11, 9, 13, 15, 8};
  for (int pen = 0; pen <= 8; ++pen) EXPECT_EQ(HpglColour(pen), expected[pen]) << pen;
  ShowHpglData("sp2;PU0,0;PD40,0;\n");
  EXPECT_EQ(Of(TDisplayOp::Colour)[0].values[0], 14);
}

TEST_F(HpglViewerTest, CircleAboutThePen) {
  ShowHpglData("SP1;PU800,400;CI200,5;PU0,0;\n");
  const auto c = Of(TDisplayOp::Circle);
  ASSERT_EQ(c.size(), 1u);
  EXPECT_DOUBLE_EQ(c[0].values[0], 20);
  EXPECT_DOUBLE_EQ(c[0].values[1], 10);
  EXPECT_DOUBLE_EQ(c[0].values[2], 5);
  EXPECT_TRUE(Lines().empty()) << "the chord tolerance is not taken for a command";
}

TEST_F(HpglViewerTest, ArcLeavesThePenAtItsEnd) {
  // Start (10, 0) about (0, 0), 90 degrees: ends at (0, 10); the next line starts there.
  ShowHpglData("SP1;PU400,0;PD;AA0,0,90;PD0,800;\n");
  const auto a = Of(TDisplayOp::Arc);
  ASSERT_EQ(a.size(), 1u);
  EXPECT_NEAR(a[0].values[4], 10, 1e-9);  // start point
  EXPECT_NEAR(a[0].values[5], 0, 1e-9);
  EXPECT_NEAR(a[0].values[6], 0, 1e-9);  // end point
  EXPECT_NEAR(a[0].values[7], 10, 1e-9);
  ASSERT_EQ(Lines().size(), 1u);
  EXPECT_NEAR(Lines()[0].x1, 0, 1e-9);
  EXPECT_NEAR(Lines()[0].y1, 10, 1e-9);
}

TEST_F(HpglViewerTest, NegativeSweepDrawsClockwise) {
  // From (0, 10) clockwise by 90 degrees to (10, 0): the quarter in the first quadrant, which
  // counterclockwise runs from (10, 0) to (0, 10).
  ShowHpglData("SP1;PU0,400;PD;AA0,0,-90;\n");
  const auto a = Of(TDisplayOp::Arc);
  ASSERT_EQ(a.size(), 1u);
  EXPECT_NEAR(a[0].values[4], 10, 1e-9);
  EXPECT_NEAR(a[0].values[5], 0, 1e-9);
  EXPECT_NEAR(a[0].values[6], 0, 1e-9);
  EXPECT_NEAR(a[0].values[7], 10, 1e-9);
  EXPECT_NEAR(HpglState.CurrentX, 10, 1e-9);
  EXPECT_NEAR(HpglState.CurrentY, 0, 1e-9);
}

TEST_F(HpglViewerTest, FullTurnIsACircle) {
  ShowHpglData("SP1;PU400,0;PD;AA0,0,360;AA0,0,-360;\n");
  const auto c = Of(TDisplayOp::Circle);
  ASSERT_EQ(c.size(), 2u);
  EXPECT_NEAR(c[0].values[2], 10, 1e-9);
  EXPECT_NEAR(HpglState.CurrentX, 10, 1e-9);
}

TEST_F(HpglViewerTest, LabelWithUmlautAndDirection) {
  ShowHpglData("CS3;SI0.2,0.4;DI0,1;PU400,800;LBMa}e\x03;\n");
  const auto t = Of(TDisplayOp::Text);
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(*t[0].text,
            "M\xC3\xA4"
            "e");  // a} is the DOS a-umlaut, shown converted
  EXPECT_DOUBLE_EQ(t[0].values[0], 10);
  EXPECT_DOUBLE_EQ(t[0].values[1], 20);
  const auto s = Of(TDisplayOp::TextStyle);
  ASSERT_EQ(s.size(), 1u);
  EXPECT_DOUBLE_EQ(s[0].values[0], 4);   // height: 0.4 cm
  EXPECT_DOUBLE_EQ(s[0].values[1], 2);   // width: 0.2 cm
  EXPECT_DOUBLE_EQ(s[0].values[3], 90);  // direction (0, 1)
}

TEST_F(HpglViewerTest, EncodedPolylineEightAndSevenBit) {
  // Eight-bit: 193 is v = 2 (+1 unit), 194 is v = 3 (-1 unit), 63 adds 0 and continues.
  // "=" makes the first pair absolute: (0, 0); then relative +1 unit and -1 unit.
  ShowHpglData("PE=\xBF\xBF\xC1\xC2;\n");
  auto l = Lines();
  ASSERT_EQ(l.size(), 2u);
  EXPECT_DOUBLE_EQ(l[1].x2, 0.025);
  EXPECT_DOUBLE_EQ(l[1].y2, -0.025);
  List().Clear();
  // Seven-bit: 95 + 2 = "a" is +1 unit; "?" (63) then "`" (96): 0 + (1 << 5) = 32, +16 units.
  ShowHpglData("PE7<=__a?`;\n");
  l = Lines();
  ASSERT_EQ(l.size(), 1u);
  EXPECT_DOUBLE_EQ(l[0].x1, 0);
  EXPECT_DOUBLE_EQ(l[0].x2, 0.025);
  EXPECT_DOUBLE_EQ(l[0].y2, 16 * 0.025);
}

TEST_F(HpglViewerTest, EncodedPolylinePenNumberIsDecoded) {
  // ":" then pen 3 encoded: v = 6, the eight-bit end digit 191 + 6 = 197.
  ShowHpglData("PE:\xC5=\xBF\xBF\xC1\xC1;\n");
  EXPECT_EQ(HpglState.Pen, 3);
  ASSERT_FALSE(Of(TDisplayOp::Colour).empty());
  EXPECT_EQ(Of(TDisplayOp::Colour).back().values[0], 10);
}

TEST_F(HpglViewerTest, MalformedFilesAreDrawnAsFarAsValid) {
  // A valid 10 mm line, then something broken: the line is drawn, and no number drawn is infinite.
  std::mt19937 rng(7);
  std::string noise(100000, ' ');
  for (char& c : noise) c = static_cast<char>(rng());
  // lines: how many are drawn in all; -1 where only the valid line is certain.
  const struct {
    const char* name;
    std::string tail;
    int lines;
  } cases[] = {
      {"truncated pair: the whole pair is drawn", "PD400,400,800", 2},
      {"no exponents in HP-GL", "PD1e308,1e308;PD1e5000,3;", 1},
      {"beyond the HP-GL/2 range", "PD99999999999999999999999,1;", 1},
      {"beyond a double", "PD" + std::string(400, '9') + ",1;", 1},
      {"binary bytes", std::string("PD\0\0\xff\xfe;;;,,,", 12), 1},
      {"label without its end", "LB never ends", 1},
      {"encoded polyline: one zero pair", "PE\xBF\xBF\xBF", 2},
      {"arc without its angle", "AA0,0", 1},
      {"circle without radius", "CI", 1},
      {"empty commands", ";;", 1},
      {"pens out of range, PD alone", "SP-5;SP300;PD;", 1},
      {"encoded polyline of one flag", "PE:", 1},
      {"random bytes", noise, -1},
  };
  for (const auto& c : cases) {
    facade_->GrClear();
    ShowHpglData("SP1;PU0,0;PD400,0;" + c.tail);
    const auto l = Lines();
    ASSERT_FALSE(l.empty()) << c.name;
    EXPECT_EQ(std::vector<double>({l[0].x1, l[0].y1, l[0].x2, l[0].y2}),
              std::vector<double>({0, 0, 10, 0}))
        << c.name;
    for (std::size_t i = 0; i < List().Count(); ++i)
      for (int v = 0; v < List().Record(i).valueCount; ++v)
        EXPECT_TRUE(std::isfinite(List().Record(i).values[v])) << c.name << ": record " << i;
    if (c.lines >= 0) EXPECT_EQ(l.size(), static_cast<std::size_t>(c.lines)) << c.name;
  }
}

TEST_F(HpglViewerTest, MissingFileIsReportedAndDrawsNothing) {
  ShowHpglFile("/nonexistent/image.plt");
  EXPECT_TRUE(AbortFlag);
  EXPECT_TRUE(List().Empty());
  AbortFlag = false;
  const auto path = std::filesystem::temp_directory_path() /
                    ("vuko_hpgl_test_" + std::to_string(::getpid()) + ".plt");
  std::ofstream(path, std::ios::binary) << "SP1;PU0,0;PD40,40;";
  ShowHpglFile(path.string());
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(Lines().size(), 1u);
  std::filesystem::remove(path);
}

}  // namespace
