// Display list records: their text form, the drawing operations that append them and the
// replay's reading of them.
#include <cstdio>
#include <vector>

#include "graphics/step_animation.h"
#include "graphics_fixture.h"

namespace {

// Reference: the C library's "%.8G", the general format with 8 significant digits.
std::string PrintfG8(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.8G", v);
  std::string s = buf;
  for (char& c : s)
    if (c == 'E') c = 'e';
  return s;
}

TEST(FormatCoord, AgreesWithPrintfGeneralFormat) {
  for (double v : {0.0, 1.0, -2.5, 123.456789012, 1e-5, 12345678.9, 1.5e10, -3.25e-12, 0.1})
    EXPECT_EQ(FormatCoord(v), PrintfG8(v)) << v;
}

class DisplayListTest : public GraphicsTest {};

TEST_F(DisplayListTest, DrawingOperationsWriteTheirRecordTexts) {
  window_->circle(1, 2, 3.5);
  window_->line(0, 0, 10, 20);
  window_->OutTextXY(5, 6, "a;b");
  window_->Solid(0, 0, 1, 0, 1, 1, 0, 1);
  window_->SetTextStyle(2, 45, 3.5, 2);
  window_->SleepMs(20);
  ASSERT_EQ(List().Count(), 6u);
  EXPECT_EQ(Text(0), "3;1;2;3.5");
  EXPECT_EQ(Text(1), "4;0;0;10;20");
  EXPECT_EQ(Text(2), "6;5;6;a;b");
  EXPECT_EQ(Text(3), "7;0;0;1;0;1;1;0;1");
  EXPECT_EQ(Text(4), "9;3.5;2;2;45");
  EXPECT_EQ(Text(5), "13;20");
}

TEST_F(DisplayListTest, RectangleIsFourLinesInOrder) {
  window_->Rectangle(1, 2, 3, 4);
  ASSERT_EQ(List().Count(), 4u);
  EXPECT_EQ(Text(0), "4;1;2;3;2");
  EXPECT_EQ(Text(1), "4;3;2;3;4");
  EXPECT_EQ(Text(2), "4;3;4;1;4");
  EXPECT_EQ(Text(3), "4;1;4;1;2");
}

struct ArcCase {
  const char* name;
  double start, end;
  const char* opcode;
};

TEST_F(DisplayListTest, ArcBecomesLineArcOrCircleBySweep) {
  // Sweeps below 4 degrees are a chord; whole turns are a circle.
  const ArcCase cases[] = {{"10..12 is a chord", 10, 12, "4"},
                           {"10..14 is an arc", 10, 14, "5"},
                           {"350..10 wraps to 20 degrees", 350, 10, "5"},
                           {"0..360 is a circle", 0, 360, "3"},
                           {"-90..270 is a circle", -90, 270, "3"}};
  for (const auto& c : cases) {
    List().Clear();
    window_->Arc(0, 0, c.start, c.end, 10);
    ASSERT_EQ(List().Count(), 1u) << c.name;
    EXPECT_EQ(Text(0).substr(0, Text(0).find(';')), c.opcode) << c.name;
  }
  List().Clear();
  window_->Arc(0, 0, 0, 90, 10);  // start (10, 0), end (0, 10), box -10..10
  const auto r = List().Record(0);
  const double expected[8] = {-10, -10, 10, 10, 10, 0, 0, 10};
  for (int i = 0; i < 8; ++i) EXPECT_NEAR(r.values[i], expected[i], 1e-12) << i;
}

TEST_F(DisplayListTest, ColourStyleAndWidthAreRecordedOnlyOnChange) {
  window_->SetColor(3);
  window_->SetColor(3);
  window_->SetColor(17);  // above the highest colour number: nothing
  window_->SetLineStyle(2);
  window_->SetLineStyle(2);
  window_->SetLineWidth(1);  // the start value: nothing
  window_->SetLineWidth(2);
  ASSERT_EQ(List().Count(), 3u);
  EXPECT_EQ(Text(0), "8;3");
  EXPECT_EQ(Text(1), "11;2");
  EXPECT_EQ(Text(2), "12;2");
  EXPECT_EQ(window_->GetColor(), 3);
}

TEST_F(DisplayListTest, ClearStartsANewPictureWithFreshMemos) {
  window_->SetColor(3);
  window_->SetLineWidth(2);
  window_->SetLineStyle(1);
  window_->Clear();
  EXPECT_TRUE(List().Empty());
  window_->SetColor(3);
  window_->SetLineWidth(2);
  window_->SetLineStyle(1);
  ASSERT_EQ(List().Count(), 3u) << "the new picture must carry its own colour, width and style";
}

TEST_F(DisplayListTest, LineStyleNamesAreCaseSensitive) {
  const std::pair<const char*, int> cases[] = {
      {"DOTTED", 1}, {"PUNKT", 1},  {"CENTER", 2},   {"DASHDOT", 2}, {"STRICHPUNKT", 2},
      {"DASHED", 3}, {"HIDDEN", 3}, {"VERDECKT", 3}, {"dotted", 0},  {"CONTINUOUS", 0}};
  for (const auto& [name, style] : cases) {
    window_->Clear();
    window_->SetLineStyle(7);
    window_->SetLineStyleName(name);
    EXPECT_EQ(window_->LastLineStyle, style) << name;
  }
}

TEST_F(DisplayListTest, DegenerateWindowIsRefusedAndNotRecorded) {
  window_->SetWindow(true, false, 0, 0, 1, 1, 0, 0, 100, 50);
  const long double scale = ViewState.ScaleX;
  window_->SetWindow(true, false, 0, 0, 1, 1, 5, 0, 5, 50);
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(List().Count(), 1u);
  EXPECT_EQ(ViewState.ScaleX, scale);
}

TEST_F(DisplayListTest, SetWindowRecordsViewportFromScreenFractions) {
  // 640 x 480 screen, y measured from the bottom, framed shrinks by one pixel each side.
  window_->SetWindow(false, true, 0.25, 0.5, 0.75, 1, 0, 0, 10, 10);
  EXPECT_EQ(Text(0), "10;161;1;479;239;0;0;10;10");
}

TEST_F(DisplayListTest, RecordTextsReadBack) {
  const char* texts[] = {"1;2.5;3;",
                         "2;4;5;",
                         "3;1;2;3",
                         "4;0;0;10;20",
                         "5;-1;-1;1;1;1;0;0;1",
                         "6;1;2;text; with; separators",
                         "7;0;0;1;0;1;1;0;1",
                         "8;5",
                         "9;3.5;2;2;45",
                         "10;1;1;639;479;0;0;160;120",
                         "11;2",
                         "12;3",
                         "13;100"};
  TDisplayList list;
  for (const char* t : texts) list.AppendRecordText(t);
  for (std::size_t i = 0; i < list.Count(); ++i) {
    EXPECT_TRUE(list.Record(i).valid) << texts[i];
    EXPECT_EQ(list.RecordText(i), texts[i]);
  }
  EXPECT_EQ(*list.Record(5).text, "text; with; separators");
}

// A canvas that notes what it is asked to draw.
struct RecordingCanvas : TReplayCanvas {
  std::vector<std::string> calls;
  TColourRef pen = 0;
  int width = 0;
  void SetPen(TColourRef c, int w, TPenStyle) override {
    pen = c;
    width = w;
  }
  void SetBrush(TColourRef) override {}
  void MoveTo(int x, int y) override { calls.push_back("M" + Pt(x, y)); }
  void LineTo(int x, int y) override { calls.push_back("L" + Pt(x, y)); }
  void Ellipse(int l, int t, int r, int b) override { calls.push_back("E" + Pt(l, t) + Pt(r, b)); }
  void Arc(int l, int t, int r, int b, int, int, int, int) override {
    calls.push_back("A" + Pt(l, t) + Pt(r, b));
  }
  void Polygon(const int (&)[4], const int (&)[4]) override { calls.push_back("P"); }
  void Text(int x, int y, const std::string& s, const TCanvasFont&, TColourRef) override {
    calls.push_back("T" + Pt(x, y) + s);
  }
  static std::string Pt(int x, int y) {
    return "(" + std::to_string(x) + "," + std::to_string(y) + ")";
  }
};

TEST_F(DisplayListTest, ReplaySkipsUnreadableAndUnknownRecords) {
  window_->SetWindow(false, false, 0, 0, 1, 1, 0, 0, 640, 480);
  List().AppendRecordText("4;0;zero;10;10");
  List().AppendRecordText("99;1;2");
  List().AppendRecordText("x;1;2");
  List().AppendRecordText("10;0;0;640;480;5;0;5;480");  // degenerate window from a text
  List().AppendRecordText("4;0;0;10;10");
  RecordingCanvas canvas;
  TReplay replay;
  replay.Begin(List(), &canvas, nullptr, {}, false);
  while (replay.Run() != TReplayStop::Done) {
  }
  EXPECT_FALSE(AbortFlag) << "painting never fails the command that asked for it";
  ASSERT_EQ(canvas.calls.size(), 2u);
  EXPECT_EQ(canvas.calls[0], "M(0,480)");
  EXPECT_EQ(canvas.calls[1], "L(10,470)");
}

TEST_F(DisplayListTest, ReplayLeavesTheMemosAlone) {
  window_->SetColor(4);
  window_->SetLineStyle(1);
  window_->SetLineWidth(3);
  window_->FormPaint();
  window_->FormPaint();
  EXPECT_EQ(window_->CurrentColour, 4);
  EXPECT_EQ(window_->LastLineStyle, 1);
  EXPECT_EQ(window_->LastLineWidth, 3);
  window_->SetLineStyle(1);
  EXPECT_EQ(List().Count(), 3u) << "an unchanged style is not recorded again after a paint";
}

TEST_F(DisplayListTest, ReplayYieldsEveryFiftyThousandRecordsAndStopsAtStepPoints) {
  for (int i = 0; i < 100001; ++i) List().Append(TDisplayOp::Line, {0, 0, 1, 1});
  RecordingCanvas canvas;
  TReplay replay;
  replay.Begin(List(), &canvas, nullptr, {}, false);
  int yields = 0;
  for (TReplayStop s; (s = replay.Run()) != TReplayStop::Done;) yields += s == TReplayStop::Yield;
  EXPECT_EQ(yields, 3);  // before records 0, 50000 and 100000

  List().Clear();
  window_->Clear();
  window_->SetColor(0);
  window_->line(0, 0, 1, 1);
  window_->SetColor(1);
  window_->SetColor(0);
  window_->SleepMs(5);
  replay.Begin(List(), &canvas, nullptr, {}, true);
  std::vector<TReplayStop> stops;
  for (TReplayStop s; (s = replay.Run()) != TReplayStop::Done;) stops.push_back(s);
  const std::vector<TReplayStop> expected = {TReplayStop::Yield, TReplayStop::StepPoint,
                                             TReplayStop::StepPoint, TReplayStop::Pause};
  EXPECT_EQ(stops, expected);
}

TEST_F(DisplayListTest, TextIsPlacedByItsCellCornerAboveTheReferencePoint) {
  window_->SetWindow(false, false, 0, 0, 1, 1, 0, 0, 160, 120);  // 4 pixels per unit
  window_->SetTextStyle(0, 0, 5, 5);                             // height 5 * 1.6 = 8 units
  window_->OutTextXY(20, 40, "a");                               // cell top at y + 0.75 h = 46
  window_->SetTextStyle(0, 90, 5, 5);  // turned: x - 0.7 h sin a, y + 0.75 h cos a
  window_->OutTextXY(20, 40, "b");
  RecordingCanvas canvas;
  TReplay replay;
  replay.Begin(List(), &canvas, nullptr, {}, false);
  while (replay.Run() != TReplayStop::Done) {
  }
  ASSERT_EQ(canvas.calls.size(), 2u);
  EXPECT_EQ(canvas.calls[0], "T(80,296)a");  // (20 * 4, 480 - 46 * 4)
  EXPECT_EQ(canvas.calls[1], "T(58,320)b");  // x 20 - 5.6 = 14.4 -> 57.6, y 40 -> 320
}

TEST_F(DisplayListTest, PrintPassPutsTextsOnThePrinterOnlyInItsPrintMode) {
  window_->SetColor(12);
  window_->line(0, 0, 1, 1);
  window_->OutTextXY(0, 0, "t");
  for (int mode : {1, 2}) {
    ProgramSettings.WindowsPrintMode = static_cast<std::uint16_t>(mode);
    RecordingCanvas screen, printer;
    TReplay replay;
    replay.Begin(List(), &screen, &printer, {}, false);
    while (replay.Run() != TReplayStop::Done) {
    }
    EXPECT_EQ(screen.calls.size(), 2u) << "the line only";
    EXPECT_EQ(printer.calls.size(), 3u) << "the line and the text";
    EXPECT_EQ(screen.pen, RgbValue(255, 0, 0));
    EXPECT_EQ(printer.pen, mode == 1 ? RgbValue(0, 0, 0) : RgbValue(255, 0, 0)) << mode;
  }
}

TEST_F(DisplayListTest, LineWidthOnPrinterIsFourTimesTheScreen) {
  window_->SetLineWidth(2);
  RecordingCanvas screen, printer;
  TReplay replay;
  replay.Begin(List(), &screen, &printer, {}, false);
  while (replay.Run() != TReplayStop::Done) {
  }
  EXPECT_EQ(screen.width, 2);
  EXPECT_EQ(printer.width, 8);
}

}  // namespace
