// Title blocks: change rows and their indices, approval data, placed texts, the file-name and
// date lines, the block's place on the sheet, the logo, and golden CAD-code files of every kind.
//
// Golden files live in tests/data/golden/drawings/. After a deliberate change, look at the new
// output (and its picture) and accept it with VUKO_ACCEPT_GOLDEN=1.
#include "drawings/title_block.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "common/codepage.h"
#include "common/file_utils.h"
#include "common/graphics_settings.h"
#include "pieces_fixture.h"
#include "sample_sheets.h"

namespace {

// Texts at that x, above yMin.
std::vector<TCadPrimitive> TextsAt(const TCadRecorder& rec, double x, double yMin = -1e9) {
  std::vector<TCadPrimitive> out;
  for (const auto& t : rec.OfKind(Kind::Text)) {
    if (std::fabs(D(t.x[0]) - x) < 1e-9 && D(t.y[0]) > yMin) out.push_back(t);
  }
  return out;
}

const TCadPrimitive* FindText(const TCadRecorder& rec, const std::string& text) {
  for (const auto& p : rec.Items()) {
    if (p.kind == Kind::Text && DosToWin(p.text) == text) return &p;
  }
  return nullptr;
}

void AddChanges(int n) {
  ChangeRecords.count = static_cast<std::uint16_t>(n);
  for (int i = 1; i <= std::min(n, kMaxChangeRecords); ++i) {
    ChangeRecords.changes[i].modification = "mod " + std::to_string(i);
    ChangeRecords.changes[i].date = "date " + std::to_string(i);
    ChangeRecords.changes[i].editor = "ed" + std::to_string(i);
  }
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

TEST_F(PiecesTest, ChangeIndexFollowsTheStyle) {
  const struct {
    int style;
    const char* first;
    const char* tenth;
  } cases[] = {{0, "a", "j"}, {1, "1", "10"}, {2, "A", "J"}, {3, "", ""}};
  for (const auto& c : cases) {
    ConfigVariables.ChangeIndexStyle = static_cast<std::uint16_t>(c.style);
    EXPECT_EQ(ChangeIndexText(1), c.first) << c.style;
    EXPECT_EQ(ChangeIndexText(10), c.tenth) << c.style;
  }
}

TEST_F(PiecesTest, TenChangesPrintTheLastEightNewestOnTop) {
  // A4 block: rows on 6.5 + 4.2 k; the DIN blocks: 1 + 4.25 k above the block's corner.
  const struct {
    const char* name;
    int kind;  // -1: the A4 title block
    double xIndex, xText, y0, step;
  } cases[] = {{"A4 title block", -1, 21, 27, 6.5, 4.2},
               {"DIN 6771 min.", 0, 17.9 + 1, 17.9 + 8.8, 5 + 1, 4.25},
               {"DIN 6771", 3, 17.9 + 1, 17.9 + 8.8, 5 + 1, 4.25}};
  for (const auto& c : cases) {
    for (int style : {0, 3}) {
      InitChangeRecords();
      AddChanges(10);
      ConfigVariables.ChangeIndexStyle = static_cast<std::uint16_t>(style);
      ConfigVariables.TitleBlockKind = c.kind;
      TCadRecorder rec;
      CadOpen(kCadScreen);
      if (c.kind < 0) {
        DrawTitleBlock("t1", "t2", "t3");
      } else {
        DrawSheetWithTitleBlock(4, "t1", "t2", "t3");
      }
      const auto mods = TextsAt(rec, c.xText, c.y0 + 1);  // above the column titles
      ASSERT_EQ(mods.size(), 8u) << c.name;
      for (int k = 1; k <= 8; ++k) {
        const auto& t = mods[static_cast<std::size_t>(k - 1)];
        EXPECT_EQ(t.text, "mod " + std::to_string(k + 2)) << c.name;
        EXPECT_NEAR(D(t.y[0]), c.y0 + c.step * k, 1e-9) << c.name;
      }
      const auto indices = TextsAt(rec, c.xIndex, c.y0 + 1);
      if (style == 0) {
        ASSERT_EQ(indices.size(), 8u) << c.name;
        EXPECT_EQ(indices.front().text, "c") << c.name;
        EXPECT_EQ(indices.back().text, "j") << c.name;
      } else {
        EXPECT_TRUE(indices.empty()) << c.name;
      }
    }
  }
}

TEST_F(PiecesTest, AChangeCountAboveTheRecordsPrintsTheLastRecords) {
  AddChanges(30);  // as a damaged data file might leave it
  TCadRecorder rec;
  CadOpen(kCadScreen);
  DrawTitleBlock("", "", "");
  const auto mods = TextsAt(rec, 27);
  ASSERT_EQ(mods.size(), 8u);
  EXPECT_EQ(mods.front().text, "mod 18");
  EXPECT_EQ(mods.back().text, "mod 25");
}

TEST_F(PiecesTest, IsoRevisionLetterCountsTheChangesWhateverTheIndexStyle) {
  for (int kind : {1, 2}) {
    for (int style : {0, 1, 3}) {
      for (int changes : {0, 1, 25}) {
        InitChangeRecords();
        AddChanges(changes);
        ConfigVariables.ChangeIndexStyle = static_cast<std::uint16_t>(style);
        ConfigVariables.TitleBlockKind = kind;
        TCadRecorder rec;
        CadOpen(kCadScreen);
        DrawSheetWithTitleBlock(4, "", "", "");
        const auto rev = TextsAt(rec, 25 + 130);
        ASSERT_EQ(rev.size(), 1u);
        EXPECT_EQ(rev[0].text, std::string(1, static_cast<char>('A' + changes)));
        EXPECT_NEAR(D(rev[0].y[0]), 5 + 2, 1e-9);
        const auto date = TextsAt(rec, 25 + 138);
        ASSERT_EQ(date.size(), 1u);
        EXPECT_EQ(date[0].text, "2026-03-14");
      }
    }
  }
}

TEST_F(PiecesTest, PlacedTextsOfHeightZeroAndLoneSlashesAreLeftOut) {
  ChangeRecords.textCount = 3;
  ChangeRecords.texts[1] = {50, 60, 4, 30, "shown"};
  ChangeRecords.texts[2] = {50, 70, 0, 0, "height zero"};
  ChangeRecords.texts[3] = {50, 80, -1, 0, "negative height"};
  ChangeRecords.texts[4] = {50, 90, 4, 0, "behind the count"};
  TCadRecorder rec;
  CadOpen(kCadScreen);
  DrawTitleBlock(" / ", "/", "a / b");
  const auto* shown = FindText(rec, "shown");
  ASSERT_NE(shown, nullptr);
  EXPECT_NEAR(D(shown->height), 4, 1e-9);
  EXPECT_NEAR(D(shown->angle), 30, 1e-9);
  EXPECT_EQ(FindText(rec, "height zero"), nullptr);
  EXPECT_EQ(FindText(rec, "negative height"), nullptr);
  EXPECT_EQ(FindText(rec, "behind the count"), nullptr);
  EXPECT_EQ(FindText(rec, " / "), nullptr);
  EXPECT_EQ(FindText(rec, "/"), nullptr);
  const auto* t3 = FindText(rec, "a / b");
  ASSERT_NE(t3, nullptr);
  EXPECT_NEAR(D(t3->x[0]), 120, 1e-9);
  EXPECT_NEAR(D(t3->y[0]), 12, 1e-9);
}

TEST_F(PiecesTest, LongTitlesAreWrittenSmallerToFitTheirField) {
  ConfigVariables.TitleBlockKind = 3;
  TCadRecorder rec;
  CadOpen(kCadScreen);
  const std::string longTitle(40, 'X');  // field of 20 characters at 5 mm
  DrawSheetWithTitleBlock(4, longTitle, "short", "");
  const auto* t1 = FindText(rec, longTitle);
  ASSERT_NE(t1, nullptr);
  EXPECT_NEAR(D(t1->height), 5.0 * 20 / 40, 1e-9);
  const auto* t2 = FindText(rec, "short");
  ASSERT_NE(t2, nullptr);
  EXPECT_NEAR(D(t2->height), 3.5, 1e-9);
}

TEST_F(PiecesTest, FileNameAndDateLines) {
  CurrentFileName = "demo";
  DataDirectory = "/data/splines";
  const struct {
    const char* name;
    int format;  // 0: the A4 title block
    bool hideFile, hideDate;
    double dateX;
  } cases[] = {{"A4 title block", 0, false, false, 186},
               {"A3 sheet", 3, false, false, 395},
               {"A4 sheet", 4, false, false, 186},
               {"file name hidden", 4, true, false, 186},
               {"date hidden", 3, false, true, 395}};
  for (const auto& c : cases) {
    PlotSettings.HideFileName = c.hideFile;
    PlotSettings.HideDateLine = c.hideDate;
    TCadRecorder rec;
    CadOpen(kCadScreen);
    if (c.format == 0) {
      DrawTitleBlock("", "", "");
    } else {
      DrawSheetWithTitleBlock(c.format, "", "", "");
    }
    const auto* file = FindText(rec, "/data/splines/demo.vuk");
    const auto* date = FindText(rec, "03/14/2026 9:26");  // date style 2, the fixed clock
    if (c.hideFile) {
      EXPECT_EQ(file, nullptr) << c.name;
    } else {
      ASSERT_NE(file, nullptr) << c.name;
      EXPECT_NEAR(D(file->x[0]), 18, 1e-9);
      EXPECT_NEAR(D(file->y[0]), 1, 1e-9);
      EXPECT_NEAR(D(file->height), 1.5, 1e-9);
    }
    if (c.hideDate) {
      EXPECT_EQ(date, nullptr) << c.name;
    } else {
      ASSERT_NE(date, nullptr) << c.name;
      EXPECT_NEAR(D(date->x[0]), c.dateX, 1e-9) << c.name;
    }
  }
  // A long name is shortened in the middle to 150 characters.
  PlotSettings.HideFileName = false;
  CurrentFileName = std::string(200, 'n');
  TCadRecorder rec;
  CadOpen(kCadScreen);
  DrawTitleBlock("", "", "");
  const auto line = TextsAt(rec, 18);
  ASSERT_EQ(line.size(), 1u);
  const std::string shown = DosToWin(line[0].text);
  EXPECT_EQ(shown.size(), 150u);
  EXPECT_EQ(shown.substr(0, 14), "/data/splines/");
  EXPECT_EQ(shown.substr(shown.size() - 4), ".vuk");
}

TEST_F(PiecesTest, TitleBlockSitsInTheFramesLowerRightCorner) {
  // ISO 7200 blocks are 180 mm wide; the DIN blocks 187.2 mm. Each closes the frame's lower
  // right corner: (205, 5) on A4, (415, 5) on A3.
  const struct {
    int format, kind;
    double width, height, frameRight;
  } cases[] = {{4, 0, 187.2, 38.25, 205}, {4, 1, 180, 27, 205},      {4, 2, 180, 36, 205},
               {4, 3, 187.2, 55.25, 205}, {3, 0, 187.2, 38.25, 415}, {3, 1, 180, 27, 415},
               {3, 2, 180, 36, 415},      {3, 3, 187.2, 55.25, 415}};
  for (const auto& c : cases) {
    ConfigVariables.TitleBlockKind = c.kind;
    PlotSettings.HideLogo = true;
    TCadRecorder rec;
    CadOpen(kCadScreen);
    DrawConfiguredTitleBlock(c.format, "Title", "Subtitle", "No. 1");
    EXPECT_EQ(PlotSettings.originX, 0.0L);
    EXPECT_EQ(PlotSettings.originY, 0.0L);
    const auto ext = rec.Extents();
    EXPECT_NEAR(D(ext.xMax), c.frameRight, 0.11) << c.format << "/" << c.kind;
    EXPECT_NEAR(D(ext.yMin), 5, 1e-9) << c.format << "/" << c.kind;
    EXPECT_NEAR(D(ext.xMax - ext.xMin), c.width, 1e-9) << c.format << "/" << c.kind;
    EXPECT_NEAR(D(ext.yMax - ext.yMin), c.height, 1e-9) << c.format << "/" << c.kind;
  }
}

TEST_F(PiecesTest, EverythingOfASheetLiesOnTheSheet) {
  for (const auto& sheet : kSampleSheets) {
    TCadRecorder rec;
    DrawSampleSheet(sheet, kCadScreen);
    ASSERT_FALSE(AbortFlag) << sheet.name;
    const double width = sheet.format == 3 ? 420 : 210;
    const auto ext = rec.Extents();
    EXPECT_GE(D(ext.xMin), 0) << sheet.name;
    EXPECT_GE(D(ext.yMin), 0) << sheet.name;
    EXPECT_LE(D(ext.xMax), width) << sheet.name;
    EXPECT_LE(D(ext.yMax), 297) << sheet.name;
    EXPECT_EQ(PrintSettings.PictureKind, sheet.format == 3 ? 3 : 2) << sheet.name;
  }
}

TEST_F(PiecesTest, HiddenTitleBlockDrawsNothingButSetsThePictureKind) {
  const struct {
    const char* name;
    bool hide, abort;
  } cases[] = {{"hidden", true, false}, {"aborted", false, true}};
  for (const auto& c : cases) {
    for (int format : {0, 3, 4}) {
      PlotSettings.HideTitleBlock = c.hide;
      TCadRecorder rec;
      CadOpen(kCadScreen);
      AbortFlag = c.abort;
      if (format == 0) {
        DrawTitleBlock("a", "b", "c");
      } else {
        DrawSheetWithTitleBlock(format, "a", "b", "c");
      }
      EXPECT_TRUE(rec.Items().empty()) << c.name << " " << format;
      EXPECT_EQ(PrintSettings.PictureKind, format == 3 ? 3 : 2) << c.name << " " << format;
      AbortFlag = false;
    }
  }
}

TEST_F(PiecesTest, LogoIsInsertedOnlyWhenTheDrawingDefinesIt) {
  const struct {
    const char* name;
    std::uint16_t code;
    bool define, hide;
    bool inserted;
  } cases[] = {{"screen with the block", kCadScreen, true, false, true},
               {"screen without the block", kCadScreen, false, false, false},
               {"logo hidden", kCadScreen, true, true, false},
               {"DXF file", kCadDxf, true, false, false}};
  for (const auto& c : cases) {
    PlotSettings.HideLogo = c.hide;
    ConfigVariables.TitleBlockKind = 2;
    TCadRecorder rec;
    CadOpen(c.code);
    ASSERT_FALSE(AbortFlag) << c.name;
    SetSheetExtents(4);
    CadBeginTables(0);
    CadBeginBlocks();
    if (c.define) {
      CadBeginBlock("LOGO_1");
      CadLine(0, 0, 40, 11);
      CadEndBlock();
    }
    CadEndSection();
    CadBeginEntities();
    rec.Clear();
    DrawSheetWithTitleBlock(4, "", "", "");
    CadEndSection();
    CadClose();
    bool found = false;
    for (const auto& l : rec.OfKind(Kind::Line)) {
      // ISO Fig. 2 block at (25, 5); the logo field starts 2 mm right and 2 mm up.
      found |= std::fabs(D(l.x[0]) - 27) < 1e-9 && std::fabs(D(l.y[0]) - 7) < 1e-9 &&
               std::fabs(D(l.x[1]) - 67) < 1e-9 && std::fabs(D(l.y[1]) - 18) < 1e-9;
    }
    found |= rec.Count(Kind::Insert) > 0;
    EXPECT_EQ(found, c.inserted) << c.name;
  }
}

TEST_F(PiecesTest, LogoFitsAFieldTheTitleBlockLeavesEmpty) {
  // A logo of the size the block expects (40 x 11) must cross no line and cover no text.
  for (int format : {0, 3, 4}) {
    for (int kind : {0, 1, 2, 3}) {
      if (format == 0 && kind > 0) continue;
      ConfigVariables.TitleBlockKind = kind;
      TCadRecorder rec;
      CadOpen(kCadScreen);
      SetSheetExtents(format == 3 ? 3 : 4);
      CadBeginTables(0);
      CadBeginBlocks();
      CadBeginBlock("logo_1");
      CadColour(9);
      CadRectangle(0, 0, 40, 11);
      CadEndBlock();
      CadEndSection();
      CadBeginEntities();
      rec.Clear();
      InitChangeRecords();
      AddChanges(8);
      if (format == 0) {
        DrawTitleBlock("Title", "Subtitle", "No. 1");
      } else {
        DrawSheetWithTitleBlock(format, "Title", "Subtitle", "No. 1");
      }
      double x1 = 1e9, y1 = 1e9, x2 = -1e9, y2 = -1e9;
      for (const auto& l : rec.OfKind(Kind::Line)) {
        if (l.colour != 9) continue;
        for (int e = 0; e < 2; ++e) {
          x1 = std::fmin(x1, D(l.x[e]));
          x2 = std::fmax(x2, D(l.x[e]));
          y1 = std::fmin(y1, D(l.y[e]));
          y2 = std::fmax(y2, D(l.y[e]));
        }
      }
      ASSERT_LT(x1, x2) << format << "/" << kind << ": no logo";
      auto inside = [&](double x, double y) {
        return x > x1 + 1e-6 && x < x2 - 1e-6 && y > y1 + 1e-6 && y < y2 - 1e-6;
      };
      for (const auto& p : rec.Items()) {
        if (p.colour == 9) continue;
        if (p.kind == Kind::Text) {
          EXPECT_FALSE(inside(D(p.x[0]), D(p.y[0]))) << format << "/" << kind << " " << p.text;
        } else if (p.kind == Kind::Line) {
          for (int k = 0; k <= 100; ++k) {
            const double t = k / 100.0;
            EXPECT_FALSE(
                inside(D(p.x[0] + t * (p.x[1] - p.x[0])), D(p.y[0] + t * (p.y[1] - p.y[0]))))
                << format << "/" << kind << " line " << D(p.x[0]) << "," << D(p.y[0]);
          }
        }
      }
    }
  }
}

TEST_F(PiecesTest, GoldenCadCodeFilesOfEveryTitleBlockKind) {
  const bool accept =
      std::getenv("VUKO_ACCEPT_GOLDEN") && std::string(std::getenv("VUKO_ACCEPT_GOLDEN")) == "1";
  for (const auto& sheet : kSampleSheets) {
    CurrentFileName = (scratch_ / sheet.name).string();
    DrawSampleSheet(sheet, kCadText);
    ASSERT_FALSE(AbortFlag) << sheet.name;
    const std::string actual = ReadFile((scratch_ / sheet.name).string() + ".txt");
    ASSERT_FALSE(actual.empty()) << sheet.name;
    const std::string golden =
        std::string(VUKO_TEST_DATA_DIR) + "/golden/drawings/" + sheet.name + ".txt";
    if (accept) {
      std::ofstream(golden, std::ios::binary) << actual;
      continue;
    }
    ASSERT_TRUE(FileExistsIO(golden))
        << golden << " is missing: look at the drawing, then accept it with VUKO_ACCEPT_GOLDEN=1";
    const std::string expected = ReadFile(golden);
    if (actual == expected) continue;
    std::istringstream a(actual), e(expected);
    std::string la, le;
    int line = 0;
    while (true) {
      ++line;
      const bool moreA = static_cast<bool>(std::getline(a, la));
      const bool moreE = static_cast<bool>(std::getline(e, le));
      if (!moreA && !moreE) break;
      if (la != le || moreA != moreE) {
        ADD_FAILURE() << sheet.name << " differs from " << golden << " at line " << line
                      << "\n  expected: " << le << "\n  actual:   " << la;
        break;
      }
    }
  }
}
