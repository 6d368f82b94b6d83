// The CAD driver: codes and files, colours, text sizes, the sheet frame, dimensioning and the
// plot program's start.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "cad_test_support.h"
#include "graphics/cad_writer.h"
#include "graphics/plot_program.h"

namespace fs = std::filesystem;
using Kind = TCadPrimitive::Kind;

namespace {

void DrawOneOfEach() {
  CadLine(0, 0, 10, 0);
  CadCircle(5, 5, 2);
  CadArc(5, 5, 0, 90, 3);
  CadText(1, 1, "A");
  CadSolid(0, 0, 1, 0, 0, 1, 1, 1);
  CadPolylineBegin(0);
  CadPolylineVertex(0, 0, 0);
  CadPolylineVertex(1, 1, 0);
  CadPolylineEnd();
  CadEllipse(0, 0, 3, 2);
  CadInsertBlock("X", 0, 0, 0, 1, 1);
}

TEST_F(CadTest, ColoursAboveThirtyOneFoldIntoThePenLayers) {
  // (n mod 16) + 16 for n > 31, worked by hand.
  const struct {
    int in, out;
  } cases[] = {{45, 29}, {31, 31}, {32, 16}, {47, 31}, {100, 20}, {5, 5}, {0, 0}};
  CadOpen(kCadDxf);
  for (const auto& c : cases) {
    CadColour(c.in);
    EXPECT_EQ(PlotSettings.currentColour, c.out) << c.in;
    CadLine(0, 0, 1, 1);
  }
  CadClose();
  const auto pairs = DxfPairs(ReadWholeFile(scratch_ / "part.dxf"));
  std::vector<std::string> layers;
  bool afterLine = false;
  for (const auto& [code, value] : pairs) {
    if (code == 0) afterLine = value == "LINE";
    if (afterLine && code == 8) layers.push_back(value);
  }
  EXPECT_EQ(layers, (std::vector<std::string>{"29", "31", "16", "31", "20", "5", "0"}));
}

TEST_F(CadTest, CodeZeroDrawsNothingAnywhere) {
  TCadRecorder rec;
  CadOpen(kCadScreen);
  const std::size_t before = DisplayList->Count();
  PlotSettings.CadCode = kCadNone;
  DrawOneOfEach();
  CadDimension("10", "", "", 0, 0, 0, 10, 5);
  EXPECT_EQ(DisplayList->Count(), before);
  EXPECT_TRUE(rec.Items().empty());
  EXPECT_FALSE(AbortFlag);
}

TEST_F(CadTest, BatchRunsNameTheFileAfterTheDataFile) {
  const struct {
    std::uint16_t code;
    const char* ext;
    const char* start;  // first bytes of each format
  } cases[] = {{kCadDxf, "dxf", "  0\nSECTION\n"},
               {kCadIges, "igs", "IGES-Datei generiert von "},
               {kCadText, "txt", "MINMAX\t"}};
  for (const auto& c : cases) {
    CadOpen(c.code);
    ASSERT_FALSE(AbortFlag) << c.ext;
    EXPECT_EQ(PlotSettings.CadFileName, CurrentFileName + "." + c.ext);
    CadSheetFrame(0, 0, 100, 50);
    CadLine(0, 0, 10, 10);
    CadClose();
    const std::string text = ReadWholeFile(scratch_ / (std::string("part.") + c.ext));
    EXPECT_EQ(text.rfind(c.start, 0), 0u) << c.ext << ": " << text.substr(0, 40);
  }
  EXPECT_TRUE(host_->Records().empty());  // no dialog was shown
}

TEST_F(CadTest, TheSaveDialogNameGetsTheExtensionOnlyWithoutAPoint) {
  ConfigVariables.BatchCadFlag = false;
  ProgramSettings.cadDirectory = scratch_.string();
  const struct {
    std::string chosen, expected;
  } cases[] = {{(scratch_ / "drawing").string(), (scratch_ / "drawing.dxf").string()},
               {(scratch_ / "drawing.r12").string(), (scratch_ / "drawing.r12").string()}};
  for (const auto& c : cases) {
    host_->Clear();
    host_->AnswerFile(c.chosen);
    CadOpen(kCadDxf);
    ASSERT_FALSE(AbortFlag);
    EXPECT_EQ(PlotSettings.CadFileName, c.expected);
    CadClose();
    EXPECT_TRUE(fs::exists(c.expected));
    const auto asked = host_->RecordsOf(TDialogKind::SaveFile);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].fileRequest.filter, "*.dxf|*.dxf|*.*|*.*");
    EXPECT_EQ(asked[0].fileRequest.directory, scratch_.string() + "/");
  }
}

TEST_F(CadTest, CancelInTheSaveDialogAbortsAndWritesNothing) {
  ConfigVariables.BatchCadFlag = false;
  host_->AnswerCancel();
  CadOpen(kCadIges);
  EXPECT_TRUE(AbortFlag);
  EXPECT_TRUE(PlotSettings.CadFileName.empty());
  CadLine(0, 0, 1, 1);  // the drawing code would stop; a stray primitive goes nowhere
  CadClose();
  EXPECT_TRUE(fs::is_empty(scratch_));
}

TEST_F(CadTest, AnAbortedDrawingLeavesTheOldFileAsItWas) {
  {
    std::ofstream old(scratch_ / "part.dxf");
    old << "old drawing";
  }
  CadOpen(kCadDxf);
  CadLine(0, 0, 1, 1);
  AbortFlag = true;
  CadClose();
  EXPECT_EQ(ReadWholeFile(scratch_ / "part.dxf"), "old drawing");
}

TEST_F(CadTest, AFileThatCannotBeCreatedIsReportedAndAborts) {
  CurrentFileName = (scratch_ / "no such dir" / "part").string();
  CadOpen(kCadText);
  EXPECT_TRUE(AbortFlag);
  EXPECT_FALSE(host_->Messages().empty());
}

TEST_F(CadTest, OpenResetsTheStateTheDrawingSetsItself) {
  CadSetOrigin(5, 6);
  CadTextJustify(2, 2);
  CadSetLineSpacing(3);
  PlotSettings.cadFactor = 1.5L;
  CadSetDimensionSize(4);
  SetGraphicsKind(3);
  CadTextHeight(2, 30, 7, 5);
  CadColour(4);
  CadOpen(kCadScreen);
  EXPECT_EQ(PlotSettings.originX, 0.0L);
  EXPECT_EQ(PlotSettings.originY, 0.0L);
  EXPECT_EQ(PlotSettings.justifyH, 0);
  EXPECT_EQ(PlotSettings.justifyV, 0);
  EXPECT_EQ(PlotSettings.lineSpacing, 1.0L);
  EXPECT_EQ(PlotSettings.dimensionSize, 1.5L);  // 1.0 times the configured factor
  EXPECT_EQ(PrintSettings.PictureKind, 0);
  // Text size and colour stay until the drawing sets them.
  EXPECT_EQ(PlotSettings.textHeight, 7.0L);
  EXPECT_EQ(PlotSettings.textAngle, 30.0L);
  EXPECT_EQ(PlotSettings.currentColour, 4);
}

TEST_F(CadTest, TextHeightSetsTheWidthFactorFromTheConfiguredRatio) {
  PlotSettings.cadTextWidthRatio = 0.8L;
  PlotSettings.cadFontAngle = 15;
  const struct {
    const char* name;
    long double height, width, factor;
  } cases[] = {
      {"width 0: 0.7 of the ratio", 3.5L, 0.0L, 0.56L},
      {"width / height times the ratio", 3.5L, 2.5L, 2.5L / 3.5L * 0.8L},
      {"height 0 keeps a finite factor", 0.0L, 2.0L, 0.56L},
  };
  for (const auto& c : cases) {
    CadTextHeight(2, 45, c.height, c.width);
    EXPECT_NEAR(static_cast<double>(PlotSettings.textWidthFactor), static_cast<double>(c.factor),
                1e-12)
        << c.name;
    EXPECT_TRUE(std::isfinite(PlotSettings.textWidthFactor)) << c.name;
    EXPECT_EQ(PlotSettings.textAngle, 45.0L);
    EXPECT_EQ(PlotSettings.obliqueAngle, 15.0L);
  }
}

TEST_F(CadTest, TextHeightOnTheScreenSetsTheWindowStyle) {
  CadOpen(kCadScreen);
  const std::size_t before = DisplayList->Count();
  CadTextHeight(2, 90, 4, 3);
  ASSERT_EQ(DisplayList->Count(), before + 1);
  const TDisplayListRecord r = DisplayList->Record(before);
  ASSERT_EQ(r.op, TDisplayOp::TextStyle);
  EXPECT_DOUBLE_EQ(r.values[0], 4.0);         // height
  EXPECT_DOUBLE_EQ(r.values[1], 0.95 * 3.0);  // width
  EXPECT_DOUBLE_EQ(r.values[3], 90.0);        // angle
}

TEST_F(CadTest, TextHeightFitShrinksLongTexts) {
  CadTextHeightFit(2, std::string(20, 'x'), 10, 0, 5, 4);
  EXPECT_EQ(PlotSettings.textHeight, 2.5L);
  CadTextHeightFit(2, std::string(8, 'x'), 10, 0, 5, 4);
  EXPECT_EQ(PlotSettings.textHeight, 5.0L);
}

TEST_F(CadTest, ScreenColoursTakeTheLayerAndPenSettings) {
  PlotSettings.LayerColours[2] = 4;
  PlotSettings.LayerLineWidths[2] = 3;
  PlotSettings.PenNumbers[18] = 9;
  PlotSettings.PenWidths[18] = 7;
  PlotSettings.PenWidths[19] = 60;  // outside 2..50: width 1
  CadOpen(kCadScreen);
  CadColour(2);
  EXPECT_EQ(window_->CurrentColour, MapColour(4));
  EXPECT_EQ(window_->LastLineStyle, 3);  // layer 2 is dashed
  EXPECT_EQ(window_->LastLineWidth, 3);
  CadColour(18);
  EXPECT_EQ(window_->CurrentColour, MapColour(9));
  EXPECT_EQ(window_->LastLineStyle, 0);
  EXPECT_EQ(window_->LastLineWidth, 7);
  CadColour(19);
  EXPECT_EQ(window_->LastLineWidth, 1);
  const int before = window_->CurrentColour;
  CadColour(9);  // 6..15 keep the window colour
  EXPECT_EQ(window_->CurrentColour, before);
}

// --- sheet frame ---------------------------------------------------------------------------

TEST_F(CadTest, TheScreenSheetFrameDrawsBorderAndFooter) {
  PrintSettings.PrintBorder = true;
  PlotSettings.HideFooterLine = false;
  SetProgramIdentity();
  CurrentFileName = "welle";
  TCadRecorder rec;
  CadOpen(kCadScreen);
  CadSheetFrame(0, 0, 420, 297);
  const auto lines = rec.OfKind(Kind::Line);
  ASSERT_EQ(lines.size(), 4u);
  for (const auto& l : lines) EXPECT_EQ(l.colour, 19);
  const auto texts = rec.OfKind(Kind::Text);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_NE(texts[0].text.find("welle.vuk"), std::string::npos) << texts[0].text;
  EXPECT_NEAR(static_cast<double>(texts[0].x[0]), 0.005 * 420, 1e-9);
  EXPECT_NEAR(static_cast<double>(texts[0].y[0]), 0.002 * 297, 1e-9);
  EXPECT_NEAR(static_cast<double>(texts[0].height), 0.006 * 297, 1e-9);
  EXPECT_EQ(texts[0].colour, 30);
}

TEST_F(CadTest, ThePlotProgramBorderWaitsForTheEntitiesSection) {
  PrintSettings.PrintBorder = true;
  PlotSettings.PlotCommandLines.lines[1] = "";  // nothing to start
  MessagesEnabled = false;
  CadOpen(kCadPlot);
  const std::string file = PlotSettings.CadFileName;
  EXPECT_EQ(file, PlotDxfName() + ".dxf");
  CadSheetFrame(0, 0, 200, 100);
  CadBeginTables(0);
  CadBeginBlocks();
  CadBeginBlock("B");
  CadLine(0, 0, 1, 1);
  CadEndBlock();
  CadEndSection();
  CadBeginEntities();
  CadInsertBlock("B", 5, 5, 0, 1, 1);
  CadEndSection();
  CadClose();
  const auto pairs = DxfPairs(ReadWholeFile(file));
  // Every entity stands inside a section; the border's four lines in the entities.
  std::string section;
  int depth = 0, borderLines = 0;
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    const auto& [code, value] = pairs[i];
    if (code == 0 && value == "SECTION") {
      ++depth;
      section = pairs[i + 1].second;
    } else if (code == 0 && value == "ENDSEC") {
      --depth;
      section.clear();
    } else if (code == 0 && value == "LINE") {
      EXPECT_EQ(depth, 1) << "a line outside every section";
      if (section == "ENTITIES") ++borderLines;
    }
  }
  EXPECT_EQ(borderLines, 4);
  EXPECT_EQ(depth, 0);
}

// --- dimensioning --------------------------------------------------------------------------

// Tip of the arrowhead solid i and the direction (degrees) it points away from the tip.
struct Arrow {
  double x, y, direction;
};
std::vector<Arrow> Arrows(const TCadRecorder& rec) {
  std::vector<Arrow> arrows;
  for (const auto& s : rec.OfKind(Kind::Solid)) {
    const double dx = static_cast<double>(s.x[3] - s.x[0]);
    const double dy = static_cast<double>(s.y[3] - s.y[0]);
    arrows.push_back({static_cast<double>(s.x[0]), static_cast<double>(s.y[0]),
                      std::atan2(dy, dx) * 180 / M_PI});
  }
  return arrows;
}

TEST_F(CadTest, ShortDimensionsGetTheirArrowsOutside) {
  // Arrows sit at the dimension's ends; a back pointing into the dimension (towards the other
  // end) means the arrows are outside it.
  const struct {
    const char* name;
    double length;
    bool outside;
  } cases[] = {{"exactly ten sizes", 20.0, true}, {"a little more", 20.002, false}};
  for (const auto& c : cases) {
    TCadRecorder rec;
    CadOpen(kCadScreen);
    CadSetDimensionSize(2);
    CadDimensionLine("20", "", "", 0, c.length, 50);
    const auto arrows = Arrows(rec);
    ASSERT_EQ(arrows.size(), 2u) << c.name;
    for (const Arrow& a : arrows) {
      EXPECT_NEAR(a.x, 50, 1e-9);
      const bool atBottom = std::fabs(a.y) < 1e-9;
      const bool backPointsUp = a.direction > 0;
      // Inside: the bottom arrow's back points up into the dimension, the top one's down.
      EXPECT_EQ(atBottom == backPointsUp, !c.outside) << c.name;
    }
    const auto lines = rec.OfKind(Kind::Line);
    ASSERT_FALSE(lines.empty());
    EXPECT_NEAR(static_cast<double>(std::fabs(lines[0].y[1] - lines[0].y[0])), c.length, 1e-9);
  }
}

TEST_F(CadTest, ArrowheadsAreTenDegreeWedgesOfThreeAndAHalfSizes) {
  TCadRecorder rec;
  CadOpen(kCadScreen);
  CadSetDimensionSize(2);
  CadDimArrow(0, 0, 0);
  const auto s = rec.OfKind(Kind::Solid);
  ASSERT_EQ(s.size(), 1u);
  const double length = 7.0;  // 3.5 x 2
  EXPECT_NEAR(static_cast<double>(s[0].x[1]), length * std::cos(10 * M_PI / 180), 1e-12);
  EXPECT_NEAR(static_cast<double>(s[0].y[1]), length * std::sin(10 * M_PI / 180), 1e-12);
  EXPECT_NEAR(static_cast<double>(s[0].y[2]), -length * std::sin(10 * M_PI / 180), 1e-12);
  const auto l = rec.OfKind(Kind::Line);
  ASSERT_EQ(l.size(), 1u);
  EXPECT_NEAR(static_cast<double>(l[0].x[1]), length, 1e-12);
}

TEST_F(CadTest, TheWindowFillsTheWholeArrowhead) {
  // The window fills its quadrilateral corner by corner. An arrowhead of length L and half
  // angle h is the kite tip, barb, back, barb: its area is L^2 sin h. Taken in the corner
  // order of a DXF solid instead, the outline crosses itself and fills only about half of it.
  CadOpen(kCadScreen);
  CadSetDimensionSize(2);
  CadDimArrow(10, 20, 30);
  const auto items = ScreenItems();
  ASSERT_EQ(items.size(), 2u);
  ASSERT_EQ(items[0].op, TDisplayOp::Solid);
  const std::vector<double>& v = items[0].v;
  double twiceArea = 0;
  for (int i = 0; i < 4; ++i) {
    const int j = (i + 1) % 4;
    twiceArea += v[2 * i] * v[2 * j + 1] - v[2 * j] * v[2 * i + 1];
  }
  const double length = 7.0;
  EXPECT_NEAR(std::fabs(twiceArea) / 2, length * length * std::sin(10 * M_PI / 180), 1e-9);
}

TEST_F(CadTest, ADimensionOfSizeZeroStaysFinite) {
  TCadRecorder rec;
  CadOpen(kCadScreen);
  PlotSettings.cadFactor = 0;
  CadSetDimensionSize(1);
  CadDimension("12", "0.1", "-0.1", 10, 0, 10, 12, 20);
  ASSERT_FALSE(rec.Items().empty());
  for (const auto& p : rec.Items()) {
    for (int i = 0; i < 4; ++i) {
      EXPECT_TRUE(std::isfinite(p.x[i]) && std::isfinite(p.y[i]));
    }
    EXPECT_TRUE(std::isfinite(p.height) && std::isfinite(p.widthFactor));
  }
}

TEST_F(CadTest, DimensionExtensionLinesRunOneSizeBeyondTheLevel) {
  const struct {
    const char* name;
    double level, end;
  } cases[] = {{"level right of the points", 60, 61}, {"level left of the points", 20, 19}};
  for (const auto& c : cases) {
    TCadRecorder rec;
    CadOpen(kCadScreen);
    CadSetDimensionSize(1);
    CadDimension("30", "", "", 40, 0, 40, 30, c.level);
    const auto lines = rec.OfKind(Kind::Line);
    ASSERT_GE(lines.size(), 2u);
    for (int i = 0; i < 2; ++i) {
      EXPECT_EQ(lines[i].colour, 3) << c.name;
      EXPECT_EQ(lines[i].x[0], 40.0L) << c.name;
      EXPECT_EQ(lines[i].y[0], lines[i].y[1]) << c.name;  // horizontal
      EXPECT_NEAR(static_cast<double>(lines[i].x[1]), c.end, 1e-12) << c.name;
    }
    EXPECT_EQ(lines[0].y[0], 0.0L);
    EXPECT_EQ(lines[1].y[0], 30.0L);
  }
}

TEST_F(CadTest, ToleranceTextsFollowTheirSigns) {
  const struct {
    const char* name;
    const char *upper, *lower;
    std::vector<std::string> texts;  // after the dimension text
  } cases[] = {
      {"symmetric",
       "0.1",
       "-0.1",
       {"\xF1"
        "0.1"}},
      {"both positive", "0.2", "0.1", {"+0.1", "+0.2"}},
      {"both negative", "-0.1", "-0.3", {"-0.3", "-0.1"}},
      {"zero lower", "0.2", "0", {"+0.2"}},
      {"lower only", "", "-0.05", {"-0.05"}},
      {"upper only", "+0.05", "", {"+0.05"}},
  };
  for (const auto& c : cases) {
    TCadRecorder rec;
    CadOpen(kCadScreen);
    CadDimensionLine("25", c.upper, c.lower, 0, 25, 0);
    const auto texts = rec.OfKind(Kind::Text);
    ASSERT_EQ(texts.size(), c.texts.size() + 1) << c.name;
    EXPECT_EQ(texts[0].text, "25");
    for (std::size_t i = 0; i < c.texts.size(); ++i) {
      EXPECT_EQ(texts[i + 1].text, c.texts[i]) << c.name;
      EXPECT_EQ(texts[i + 1].angle, 90.0L);
    }
  }
}

// --- choosing the code ---------------------------------------------------------------------

TEST_F(CadTest, SelectCodeOffersTheFiveTargets) {
  host_->AnswerChoice(5);
  CadSelectCode();
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(PlotSettings.CadCode, kCadText);
  const auto asked = host_->RecordsOf(TDialogKind::Choice);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].prompt, "CAD Code");
  EXPECT_EQ(asked[0].helpNumber, 2050);
  EXPECT_EQ(asked[0].entries,
            (std::vector<std::string>{"DXF", "IGES", "Control Output to Screen",
                                      "VECTRIX - Send to Printer/Plotter", "TXT"}));
}

TEST_F(CadTest, SelectCodeForThePlotProgramPicksAndEditsACommandLine) {
  TPlotCommandLines& lines = PlotSettings.PlotCommandLines;
  lines.count = 3;
  lines.lines[1] = "/opt/Größe/wvectrix plan /CHPL";  // told apart by their folders alone
  lines.lines[2] = "/opt/日本/wvectrix plan /CHPL";
  lines.lines[3] = "/opt/łódź/wvectrix plan /CHPL";
  host_->AnswerChoice(4);
  host_->AnswerChoice(2);
  host_->AnswerText("myplot vectrix /CPS");
  CadSelectCode();
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(lines.current, 2);
  EXPECT_EQ(lines.lines[2], "myplot vectrix /CPS");
  EXPECT_EQ(
      host_->RecordsOf(TDialogKind::Choice).at(1).entries,
      (std::vector<std::string>{"/opt/Größe/wvectrix plan /CHPL", "/opt/日本/wvectrix plan /CHPL",
                                "/opt/łódź/wvectrix plan /CHPL"}));
  const auto texts = host_->RecordsOf(TDialogKind::Text);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].prompt, "VECTRIX command line (0=Parameter)");
  EXPECT_EQ(texts[0].offeredText, "/opt/日本/wvectrix plan /CHPL");
  EXPECT_EQ(texts[0].maxLength, 0);  // a line of any length is offered whole
}

TEST_F(CadTest, AZeroCommandLineAsksForTheLineStartingFromTheCurrentProgram) {
  PlotSettings.PlotCommandLines.count = 1;
  PlotSettings.PlotCommandLines.lines[1] = "/opt/plot/wvectrix /tmp/vectrix /CPS";
  fs::create_directories(scratch_ / "prog Größe");
  std::ofstream(scratch_ / "prog Größe" / "wvectrix") << "#!/bin/sh\n";
  host_->AnswerChoice(4);
  host_->AnswerText("0");
  host_->AnswerChoice(1);                                 // WVECTRIX
  host_->AnswerText((scratch_ / "prog Größe").string());  // found: no message, next question
  host_->AnswerCancel();                                  // the destination code
  CadSelectCode();
  EXPECT_TRUE(AbortFlag);
  const auto texts = host_->RecordsOf(TDialogKind::Text);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[1].prompt, "Program directory of wvectrix");
  EXPECT_EQ(texts[1].offeredText, "/opt/plot");
  EXPECT_EQ(host_->Records().back().prompt, "destination code");
  EXPECT_EQ(PlotSettings.PlotCommandLines.lines[1], "/opt/plot/wvectrix /tmp/vectrix /CPS");
}

TEST_F(CadTest, CancelWhileSelectingTheCodeAbortsTheOpen) {
  host_->AnswerCancel();
  CadOpen(0);
  EXPECT_TRUE(AbortFlag);
  EXPECT_TRUE(fs::is_empty(scratch_));
}

// --- the plot program ----------------------------------------------------------------------

bool WaitFor(const fs::path& path) {
  for (int i = 0; i < 500 && !fs::exists(path); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return fs::exists(path);
}

// The stored line (PostScript to a file, rotated, folders named in German, Japanese and Polish,
// 278 bytes), confirmed as offered, is kept and reaches a stand-in program byte for byte.
TEST_F(CadTest, ClosingThePlotOutputStartsTheCommandLine) {
  const fs::path dir = scratch_ / "Größe 日本 łukasz", marker = dir / "plot.args";
  fs::create_directories(dir);
  std::ofstream(dir / "plot")
      << "#!/bin/sh\nprintf '%s\\n' \"$@\" >\"$0.p\"; mv \"$0.p\" \"$0.args\"\n";
  fs::permissions(dir / "plot", fs::perms::owner_all);
  TPlotProgramOptions o{(dir / "plot").string(), 1, 2, "1", "1", (dir / "out").string()};
  o.rotate = true;  // PostScript (1) to a file (2), rotated
  o.outputDirectory.append(278 - std::min<std::size_t>(MakePlotCommandLine(o).size(), 278), 'x');
  const std::string line = PlotSettings.PlotCommandLines.lines[1] = MakePlotCommandLine(o);
  host_->AnswerChoice(4);
  host_->AnswerText(line);
  CadOpen(0);
  CadSheetFrame(0, 0, 10, 10);
  CadLine(0, 0, 10, 10);
  CadClose();
  EXPECT_TRUE(WaitFor(marker));
  EXPECT_EQ(host_->RecordsOf(TDialogKind::Text).at(0).offeredText, line);
  EXPECT_EQ(PlotSettings.PlotCommandLines.lines[1], line);
  EXPECT_EQ(MakePlotCommandLine(PlotOptionsFromLine(line)), line);  // the dialog reopens on it
  EXPECT_EQ(ReadWholeFile(marker),
            PlotDxfName() + "\n/CPS\n/D3\n/F" + o.outputDirectory + "/vectrix\n/R\n/T\n");
  EXPECT_TRUE(host_->Messages().empty());
  EXPECT_TRUE(fs::exists(PlotDxfName() + ".dxf"));
}

TEST_F(CadTest, APlotProgramThatCannotStartIsReported) {
  PlotSettings.PlotCommandLines.current = 1;
  PlotSettings.PlotCommandLines.lines[1] = "/nonexistent/wvectrix vectrix /CHPL";
  CadOpen(kCadPlot);
  CadClose();
  EXPECT_EQ(host_->Messages(), (std::vector<std::string>{"file not found"}));
  EXPECT_TRUE(fs::exists(PlotDxfName() + ".dxf"));  // the DXF file stays
}

}  // namespace
