// Named blocks: the screen's block files and their replay (moved, turned, scaled, nested),
// the failures around them, the file targets' own blocks and the small DXF reader.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "cad_test_support.h"
#include "common/program_state.h"

namespace {

using Kind = TCadPrimitive::Kind;

double D(long double v) {
  return static_cast<double>(v);
}

void ExpectLine(const TCadPrimitive& l, double x1, double y1, double x2, double y2,
                const std::string& where) {
  EXPECT_NEAR(D(l.x[0]), x1, 1e-9) << where;
  EXPECT_NEAR(D(l.y[0]), y1, 1e-9) << where;
  EXPECT_NEAR(D(l.x[1]), x2, 1e-9) << where;
  EXPECT_NEAR(D(l.y[1]), y2, 1e-9) << where;
}

// Opens the screen and defines the unit stroke "A" ((0,0)-(1,0), colour 2) and "B", which holds
// A inserted at (10, 0), turned 90 degrees and scaled 2.
void DefineNestedBlocks() {
  CadOpen(kCadScreen);
  CadBeginBlocks();
  CadBeginBlock("A");
  CadColour(2);
  CadLine(0, 0, 1, 0);
  CadEndBlock();
  CadBeginBlock("B");
  CadColour(4);
  CadCircle(0, 0, 1);
  CadInsertBlock("A", 10, 0, 90, 2, 2);
  CadEndBlock();
  CadEndSection();
  CadBeginEntities();
}

TEST_F(CadTest, OneBlockInsertedTwiceIsDrawnTwiceMoved) {
  DefineNestedBlocks();
  TCadRecorder rec;
  CadInsertBlock("A", 5, 5, 0, 1, 1);
  CadInsertBlock("a", -3, 2, 0, 1, 1);  // names are case-insensitive
  const auto lines = rec.OfKind(Kind::Line);
  ASSERT_EQ(lines.size(), 2u);
  ExpectLine(lines[0], 5, 5, 6, 5, "first insert");
  ExpectLine(lines[1], -3, 2, -2, 2, "second insert");
  EXPECT_EQ(lines[0].colour, 2);  // the colour read back from the layer
  EXPECT_FALSE(AbortFlag);
}

// B's own points are turned 90 degrees about its insert point and moved there; inside B, A sits
// at (10, 0) turned 90 and scaled 2, so A's stroke (0,0)-(1,0) is (10,0)-(10,2) in B; turned
// another 90 degrees: (0,10)-(-2,10); moved to (100, 100): (100,110)-(98,110).
TEST_F(CadTest, NestedInsertsAccumulateOffsetsAnglesAndScales) {
  DefineNestedBlocks();
  TCadRecorder rec;
  CadInsertBlock("B", 100, 100, 90, 1, 1);
  const auto lines = rec.OfKind(Kind::Line);
  ASSERT_EQ(lines.size(), 1u);
  ExpectLine(lines[0], 100, 110, 98, 110, "nested");
  const auto circles = rec.OfKind(Kind::Circle);
  ASSERT_EQ(circles.size(), 1u);
  EXPECT_NEAR(D(circles[0].x[0]), 100, 1e-9);
  // The colour in force before the nested insert comes back after it.
  EXPECT_EQ(PlotSettings.currentColour, 4);
}

TEST_F(CadTest, ScaledInsertsScaleRadiiAndTextAndTurnArcs) {
  CadOpen(kCadScreen);
  CadBeginBlocks();
  CadBeginBlock("S");
  CadArc(0, 0, 0, 90, 2);
  CadTextHeight(2, 0, 2.5, 0);
  CadText(1, 0, "T");
  CadEndBlock();
  CadEndSection();
  CadBeginEntities();
  TCadRecorder rec;
  CadInsertBlock("S", 10, 10, 30, 3, 3);
  const auto arcs = rec.OfKind(Kind::Arc);
  ASSERT_EQ(arcs.size(), 1u);
  EXPECT_NEAR(D(arcs[0].r), 6, 1e-9);
  EXPECT_NEAR(D(arcs[0].a1), 30, 1e-9);
  EXPECT_NEAR(D(arcs[0].a2), 120, 1e-9);
  const auto texts = rec.OfKind(Kind::Text);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_NEAR(D(texts[0].height), 7.5, 1e-9);
  EXPECT_NEAR(D(texts[0].angle), 30, 1e-9);
  EXPECT_NEAR(D(texts[0].x[0]), 10 + 3 * std::cos(std::numbers::pi / 6), 1e-9);
  EXPECT_NEAR(D(texts[0].y[0]), 10 + 3 * std::sin(std::numbers::pi / 6), 1e-9);
}

TEST_F(CadTest, ReplayedTextsAreNotJustifiedTwice) {
  CadOpen(kCadScreen);
  CadBeginBlocks();
  CadBeginBlock("J");
  CadTextHeight(2, 0, 2, 1);
  CadTextJustify(1, 0);
  CadText(0, 0, "ABCD");  // 4 mm long: placed at x = -2
  CadEndBlock();
  CadEndSection();
  CadBeginEntities();
  TCadRecorder rec;
  CadInsertBlock("J", 50, 0, 0, 1, 1);  // justification still centred
  const auto texts = rec.OfKind(Kind::Text);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_NEAR(D(texts[0].x[0]), 48, 1e-9);
}

TEST_F(CadTest, AMissingBlockStopsTheDrawingWithAMessage) {
  DefineNestedBlocks();
  CadInsertBlock("NOWHERE", 0, 0, 0, 1, 1);
  EXPECT_TRUE(AbortFlag);
  ASSERT_GE(ErrorCount(), 1);
  EXPECT_EQ(ErrorText(ErrorCount()), "Invalid temp directory");
}

TEST_F(CadTest, BlockFilesOfAnEarlierDrawingAreNeverInserted) {
  // A file left behind under a block's name, as an earlier run or drawing might leave it.
  {
    std::ofstream stale(BlockFileName("OLD"), std::ios::binary);
    stale << "  0\nLINE\n  8\n0\n 10\n0\n 20\n0\n 11\n5\n 21\n5\n  0\nEOF\n";
  }
  TCadRecorder rec;
  CadOpen(kCadScreen);
  CadInsertBlock("OLD", 0, 0, 0, 1, 1);
  EXPECT_TRUE(rec.OfKind(Kind::Line).empty());
  EXPECT_TRUE(AbortFlag);
  EXPECT_FALSE(CadBlockAvailable("OLD"));

  // A block of this drawing is available until the drawing is closed.
  AbortFlag = false;
  DefineNestedBlocks();
  EXPECT_TRUE(CadBlockAvailable("b"));
  CadClose();
  EXPECT_FALSE(CadBlockAvailable("B"));
}

TEST_F(CadTest, BlockFilesAreNamedInUpperCaseAndErasedAtClose) {
  DefineNestedBlocks();
  const std::string a = PrivateTempDir() + "$A.dx$";
  EXPECT_EQ(BlockFileName("a"), a);
  EXPECT_TRUE(std::filesystem::exists(a));
  CadClose();
  EXPECT_FALSE(std::filesystem::exists(a));
  EXPECT_FALSE(std::filesystem::exists(PrivateTempDir() + "$B.dx$"));
}

TEST_F(CadTest, EveryInsertReplaysTheBlockReadOnce) {
  DefineNestedBlocks();
  // Whatever happens to the file later, the block drawn is the one that was defined.
  {
    std::ofstream over(BlockFileName("A"), std::ios::binary | std::ios::trunc);
    over << "  0\nCIRCLE\n  8\n0\n 10\n0\n 20\n0\n 40\n9\n  0\nEOF\n";
  }
  TCadRecorder rec;
  for (int i = 0; i < 300; ++i) CadInsertBlock("A", i, 0, 0, 1, 1);
  EXPECT_EQ(rec.Count(Kind::Line), 300u);
  EXPECT_EQ(rec.Count(Kind::Circle), 0u);
}

TEST_F(CadTest, NestingBeyondFourIsAnErrorNotTheEnd) {
  CadOpen(kCadScreen);
  CadBeginBlocks();
  CadBeginBlock("R");
  CadLine(0, 0, 1, 0);
  CadInsertBlock("R", 1, 0, 0, 1, 1);  // a block that inserts itself
  CadEndBlock();
  CadEndSection();
  CadBeginEntities();
  TCadRecorder rec;
  CadInsertBlock("R", 0, 0, 0, 1, 1);
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(host_->Messages(), (std::vector<std::string>{"error blockno.5"}));
  EXPECT_EQ(rec.Count(Kind::Line), 4u);  // depths 1 to 4 drew theirs
  EXPECT_EQ(BlockTransform.depth, 0);
}

TEST_F(CadTest, ABlockFileThatCannotBeWrittenStopsTheDrawing) {
  CadOpen(kCadScreen);
  CadBeginBlocks();
  // A directory under the block file's name cannot be opened as a file, whoever runs the test.
  std::filesystem::create_directory(BlockFileName("BAD"));
  CadBeginBlock("bad");
  EXPECT_TRUE(AbortFlag);
  ASSERT_GE(ErrorCount(), 1);
  EXPECT_NE(ErrorText(ErrorCount()).find("$BAD.dx$"), std::string::npos);
  CadLine(0, 0, 1, 1);
  CadEndBlock();
  EXPECT_TRUE(AbortFlag);  // the end of the block does not hide the failure
  EXPECT_FALSE(CadBlockAvailable("BAD"));
  std::filesystem::remove(BlockFileName("BAD"));
}

TEST_F(CadTest, LogoBlocksAreInsertedOnlyIntoPlainScreenPictures) {
  const struct {
    const char* name;
    std::uint16_t kind;
    std::size_t circles;
  } cases[] = {{"picture kind 0", 0, 2}, {"A4 sheet", 2, 0}, {"A3 sheet", 3, 0}};
  for (const auto& c : cases) {
    TCadRecorder rec;
    CadOpen(kCadScreen);
    SetGraphicsKind(c.kind);
    CadSheetFrame(0, 0, 480, 360);
    CadBeginBlocks();
    for (const char* logo : {"LOGO_2", "logo_3"}) {
      CadBeginBlock(logo);
      CadCircle(0, 0, 1);
      CadEndBlock();
    }
    CadEndSection();
    CadBeginEntities();
    const auto circles = rec.OfKind(Kind::Circle);
    ASSERT_EQ(circles.size(), c.circles) << c.name;
    if (c.circles == 0) continue;
    // At 0.91 of the width and 0.01 / 0.96 of the height, scaled by width / 480.
    EXPECT_NEAR(D(circles[0].x[0]), 0.91 * 480, 1e-9);
    EXPECT_NEAR(D(circles[0].y[0]), 0.01 * 360, 1e-9);
    EXPECT_NEAR(D(circles[1].y[0]), 0.96 * 360, 1e-9);
    EXPECT_NEAR(D(circles[0].r), 1, 1e-12);
    CadClose();
  }
}

TEST_F(CadTest, FileTargetsWriteTheirOwnBlocksAndInserts) {
  TCadRecorder rec;
  CadOpen(kCadDxf);
  CadSheetFrame(0, 0, 100, 100);
  CadBeginTables(0);
  CadBeginBlocks();
  CadBeginBlock("Zahn1");
  CadLine(0, 0, 1, 0);
  CadEndBlock();
  CadEndSection();
  CadBeginEntities();
  CadSetOrigin(5, 0);
  CadInsertBlock("ZAHN1", 10, 20, 45, 2, 2);
  CadEndSection();
  CadClose();
  const auto pairs = DxfPairs(ReadWholeFile(scratch_ / "part.dxf"));
  EXPECT_EQ(CountEntities(pairs, "BLOCK"), 1);
  EXPECT_EQ(CountEntities(pairs, "INSERT"), 1);
  EXPECT_DOUBLE_EQ(EntityValue(pairs, "INSERT", 0, 10), 15);  // origin added
  EXPECT_DOUBLE_EQ(EntityValue(pairs, "INSERT", 0, 50), 45);
  // The recorder sees the definition and the insert, not a replay.
  const auto lines = rec.OfKind(Kind::Line);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(lines[0].inBlock);
  EXPECT_EQ(lines[0].blockName, "Zahn1");
  ASSERT_EQ(rec.Count(Kind::Insert), 1u);
  EXPECT_TRUE(rec.Extents().empty);  // block content is not on the sheet by itself
}

// --- the reader --------------------------------------------------------------------------

TEST(BlockFileReader, ReadsEveryEntityKindAndSkipsWhatItDoesNotKnow) {
  const std::string text =
      "  0\r\nLINE\r\n  5\r\n2A\r\n  8\r\n3\r\n 10\r\n1.5\r\n 20\r\n2\r\n 11\r\n3\r\n 21\r\n4\r\n"
      "  0\r\nPOINT\r\n  8\r\n0\r\n 10\r\n9\r\n 20\r\n9\r\n"
      "  0\nARC\n  8\n1\n 10\n0\n 20\n0\n 40\n5\n 50\n10\n 51\n20\n"
      "  0\nTEXT\n  8\n0\n 10\n1\n 20\n2\n 40\n3.5\n  1\n  two blanks\n 41\n0.8\n 50\n90\n"
      "  0\nSOLID\n  8\n0\n 10\n0\n 20\n0\n 11\n1\n 21\n0\n 12\n0\n 22\n1\n"
      "  0\nINSERT\n  2\nZahn1\n 10\n7\n 20\n8\n"
      "  0\nEOF\n"
      "  0\nLINE\n 10\n99\n";
  const TBlockFileContent c = ParseBlockFile(text);
  ASSERT_EQ(c.entities.size(), 5u);
  EXPECT_TRUE(c.errors.empty());
  using K = TBlockEntity::Kind;
  EXPECT_EQ(c.entities[0].kind, K::Line);
  EXPECT_EQ(c.entities[0].layer, "3");
  EXPECT_EQ(c.entities[0].px[0], 1.5L);
  EXPECT_EQ(c.entities[0].py[1], 4.0L);
  EXPECT_EQ(c.entities[1].kind, K::Arc);
  EXPECT_EQ(c.entities[1].angle2, 20.0L);
  EXPECT_EQ(c.entities[2].text, "  two blanks");
  EXPECT_EQ(c.entities[2].widthFactor, 0.8L);
  EXPECT_EQ(c.entities[2].angle1, 90.0L);
  // Three corners given: the fourth repeats the third.
  EXPECT_EQ(c.entities[3].py[3], 1.0L);
  EXPECT_EQ(c.entities[4].text, "Zahn1");
  EXPECT_EQ(c.entities[4].scaleX, 1.0L);  // absent scales are 1
  EXPECT_EQ(c.entities[4].angle1, 0.0L);
}

TEST(BlockFileReader, PolylinesKeepTheirVerticesAndBulges) {
  const std::string text =
      "  0\nPOLYLINE\n  8\n4\n 66\n1\n 70\n1\n"
      "  0\nVERTEX\n  8\n4\n 10\n0\n 20\n0\n 42\n0.414214\n"
      "  0\nVERTEX\n  8\n5\n 10\n10\n 20\n0\n"
      "  0\nSEQEND\n  8\n4\n"
      "  0\nPOLYLINE\n  8\n0\n 66\n1\n"
      "  0\nLINE\n  8\n0\n 10\n0\n 20\n0\n 11\n1\n 21\n1\n"
      "  0\nEOF\n";
  const TBlockFileContent c = ParseBlockFile(text);
  ASSERT_EQ(c.entities.size(), 2u);
  EXPECT_EQ(c.entities[0].flags, 1);
  ASSERT_EQ(c.entities[0].vertices.size(), 2u);
  EXPECT_EQ(c.entities[0].vertices[0].bulge, 0.414214L);
  EXPECT_EQ(c.entities[0].vertices[1].layer, "5");
  EXPECT_EQ(c.entities[1].kind, TBlockEntity::Kind::Line);  // after the broken polyline
  EXPECT_EQ(c.errors, (std::vector<std::string>{"Error in DXF File"}));
}

TEST(BlockFileReader, EmptyAndTruncatedTextsGiveWhatIsWhole) {
  EXPECT_TRUE(ParseBlockFile("").entities.empty());
  EXPECT_TRUE(ParseBlockFile("  0\n").entities.empty());
  const TBlockFileContent c = ParseBlockFile("  0\nLINE\n 10\n1\n 20");
  ASSERT_EQ(c.entities.size(), 1u);
  EXPECT_EQ(c.entities[0].px[0], 1.0L);
}

// Block text as another program writes it: a closed polyline whose middle vertex bends the
// next piece by a quarter circle (bulge tan(90 / 4)). From (10,0) to (10,10) counter-clockwise
// the centre lies left of the chord at (5, 5), r = 5 sqrt 2; then a straight piece closes it.
TEST_F(CadTest, ForeignPolylinesAreReplayedWithTheirArcsAndClosed) {
  const std::string text =
      "  0\nPOLYLINE\n  8\n0\n 66\n1\n 70\n1\n"
      "  0\nVERTEX\n  8\n0\n 10\n0\n 20\n0\n"
      "  0\nVERTEX\n  8\n0\n 10\n10\n 20\n0\n 42\n0.41421356237\n"
      "  0\nVERTEX\n  8\n3\n 10\n10\n 20\n10\n"
      "  0\nSEQEND\n  0\nEOF\n";
  CadOpen(kCadScreen);
  TCadRecorder rec;
  BlockTransform.offsetX = 100;
  CadReplayEntities(ParseBlockFile(text));
  BlockTransform = TBlockTransform{};
  const auto lines = rec.OfKind(Kind::Line);
  const auto arcs = rec.OfKind(Kind::Arc);
  ASSERT_EQ(lines.size(), 2u);
  ASSERT_EQ(arcs.size(), 1u);
  ExpectLine(lines[0], 100, 0, 110, 0, "first piece");
  ExpectLine(lines[1], 110, 10, 100, 0, "closing piece");
  EXPECT_NEAR(D(arcs[0].x[0]), 105, 1e-6);
  EXPECT_NEAR(D(arcs[0].y[0]), 5, 1e-6);
  EXPECT_NEAR(D(arcs[0].r), 5 * std::sqrt(2.0), 1e-6);
  EXPECT_EQ(arcs[0].colour, 3);  // a piece takes the later vertex's layer
}

}  // namespace
