// Drawing tables: column boundaries from the widths in characters, row placement, the lines of
// header and data rows, metric and imperial values in their cells, and the message table.
#include "drawings/drawing_table.h"

#include <gtest/gtest.h>

#include "common/formatting.h"
#include "pieces_fixture.h"

namespace {

std::vector<TCadPrimitive> OfColour(const std::vector<TCadPrimitive>& items, int colour) {
  std::vector<TCadPrimitive> out;
  for (const auto& p : items) {
    if (p.colour == colour) out.push_back(p);
  }
  return out;
}

bool IsVertical(const TCadPrimitive& l) {
  return l.x[0] == l.x[1] && l.y[0] != l.y[1];
}

}  // namespace

TEST_F(PiecesTest, ColumnCountEndsAtTheFirstZeroWidth) {
  const struct {
    const char* name;
    TTableWidths widths;
    int colCount;
  } cases[] = {
      {"one column", {12, 0, 0, 0, 0, 0, 0}, 2},
      {"three columns", {12, 5, 7, 0, 4, 4, 4}, 4},
      {"seven columns", {1, 2, 3, 4, 5, 6, 7}, 8},
      {"last width zero still counts the eighth boundary", {1, 2, 3, 4, 5, 6, 0}, 8},
  };
  CadOpen(kCadScreen);
  for (const auto& c : cases) {
    TAusTabelle table(0, 0, 2, c.widths, {});
    EXPECT_EQ(table.colCount, c.colCount) << c.name;
    EXPECT_EQ(table.ColumnCount(), c.colCount) << c.name;
  }
}

TEST_F(PiecesTest, HeaderRowIsBoxedWithItsOuterEdgesOnly) {
  TCadRecorder rec;
  CadOpen(kCadScreen);
  const long double h = 2.5L;
  TAusTabelle table(10, 200, h, {10, 4, 6}, {"Name", "Sym", "Unit"});
  // Boundaries: 0.9 h per character.
  const double x[] = {10, 10 + 0.9 * 10 * 2.5, 10 + 0.9 * 14 * 2.5, 10 + 0.9 * 20 * 2.5};
  const auto lines = OfColour(rec.OfKind(Kind::Line), 17);
  for (const auto& l : lines) {
    if (IsVertical(l)) {
      EXPECT_TRUE(std::fabs(D(l.x[0]) - x[0]) < 1e-9 || std::fabs(D(l.x[0]) - x[3]) < 1e-9)
          << "inner line in the header at " << D(l.x[0]);
    }
    for (int e = 0; e < 2; ++e) {
      EXPECT_GE(D(l.y[e]), 195 - 1e-12);
      EXPECT_LE(D(l.y[e]), 200 + 1e-12);
    }
  }
  const auto texts = rec.OfKind(Kind::Text);
  ASSERT_EQ(texts.size(), 3u);
  const char* titles[] = {" Name", " Sym", " Unit"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(texts[static_cast<std::size_t>(i)].text, titles[i]);
    EXPECT_NEAR(D(texts[static_cast<std::size_t>(i)].x[0]), x[i], 1e-12);
    EXPECT_NEAR(D(texts[static_cast<std::size_t>(i)].y[0]), 200 - 1.5 * 2.5, 1e-12);
    EXPECT_NEAR(D(texts[static_cast<std::size_t>(i)].height), 2.5, 1e-12);
    EXPECT_EQ(texts[static_cast<std::size_t>(i)].colour, 18);
  }
  EXPECT_NEAR(D(table.rowBottom), 200 - 4 * 2.5, 1e-12);
}

TEST_F(PiecesTest, DataRowsStepDownWithALineAtEveryBoundary) {
  // Values of a data table in both unit systems: the cell texts are the formatted values, the
  // cells stand at the column boundaries and each row is two text heights below the last.
  const struct {
    const char* name;
    int unitSystem;
  } cases[] = {{"metric", 0}, {"imperial", 1}};
  for (const auto& c : cases) {
    ConfigVariables.UnitSystem = static_cast<std::uint16_t>(c.unitSystem);
    TCadRecorder rec;
    CadOpen(kCadScreen);
    const long double h = 3;
    const long double left = 20, top = 150;
    TAusTabelle table(left, top, h, {24, 6, 5, 10, 10}, {"", "", "", "shaft", "hub"});
    rec.Clear();
    const long double values[][2] = {{25.4L, -50.8L}, {2.5L, 2.5L}, {127.0L, -101.6L}};
    const char* rows[] = {"Pitch diameter", "Module", "Tip diameter"};
    for (int r = 0; r < 3; ++r) {
      table.AddRow({rows[r], "d", c.unitSystem ? "in" : "mm", LengthStr(std::fabs(values[r][0])),
                    LengthStr(std::fabs(values[r][1]))});
    }
    const double xs[] = {20,
                         20 + 0.9 * 24 * 3,
                         20 + 0.9 * 30 * 3,
                         20 + 0.9 * 35 * 3,
                         20 + 0.9 * 45 * 3,
                         20 + 0.9 * 55 * 3};
    const auto texts = rec.OfKind(Kind::Text);
    ASSERT_EQ(texts.size(), 15u) << c.name;
    for (int r = 0; r < 3; ++r) {
      for (int col = 0; col < 5; ++col) {
        const auto& t = texts[static_cast<std::size_t>(r * 5 + col)];
        EXPECT_NEAR(D(t.x[0]), xs[col], 1e-9) << c.name;
        EXPECT_NEAR(D(t.y[0]), D(top - 1.5L * h - 2 * h * (r + 1)), 1e-9) << c.name;
      }
      EXPECT_EQ(texts[static_cast<std::size_t>(r * 5)].text, std::string(" ") + rows[r]);
    }
    // 25.4 mm is one inch.
    EXPECT_EQ(texts[3].text, " " + LengthStr(25.4L)) << c.name;
    if (c.unitSystem == 1) {
      EXPECT_EQ(texts[3].text.substr(0, 2), " 1") << texts[3].text;
    } else {
      EXPECT_EQ(texts[3].text.substr(0, 3), " 25") << texts[3].text;
    }
    // Per row: one horizontal line and six verticals spanning the row.
    const auto lines = rec.OfKind(Kind::Line);
    ASSERT_EQ(lines.size(), 3u * 7u) << c.name;
    for (int r = 0; r < 3; ++r) {
      const double bottom = D(top - 2 * h * (r + 2));
      const auto& across = lines[static_cast<std::size_t>(r * 7)];
      EXPECT_NEAR(D(across.y[0]), bottom, 1e-9);
      EXPECT_NEAR(D(across.x[1] - across.x[0]), xs[5] - xs[0], 1e-9);
      for (int b = 0; b < 6; ++b) {
        const auto& v = lines[static_cast<std::size_t>(r * 7 + 1 + b)];
        EXPECT_TRUE(IsVertical(v));
        EXPECT_NEAR(D(v.x[0]), xs[b], 1e-9);
        EXPECT_NEAR(D(v.y[0]), bottom + 2 * D(h), 1e-9);
        EXPECT_NEAR(D(v.y[1]), bottom, 1e-9);
      }
    }
  }
  ConfigVariables.UnitSystem = 0;
}

TEST_F(PiecesTest, MessageTableFitsTheAvailableHeight) {
  const struct {
    const char* name;
    int messages;
    int width;
    double h, available;
    double expectedH;
  } cases[] = {
      {"one message keeps its height", 1, 20, 5, 24, 5},
      {"five messages in 24 mm", 5, 20, 5, 24, 2},
      {"no limit", 5, 20, 5, 0, 5},
      {"already small enough", 2, 20, 1, 24, 1},
  };
  for (const auto& c : cases) {
    ClearErrors();
    for (int i = 1; i <= c.messages; ++i) AddError("Warning: message " + std::to_string(i));
    TCadRecorder rec;
    CadOpen(kCadScreen);
    DrawMessageTable(c.width, 30, 100, c.h, c.available);
    const auto texts = rec.OfKind(Kind::Text);
    ASSERT_EQ(texts.size(), static_cast<std::size_t>(c.messages + 1)) << c.name;
    EXPECT_EQ(texts[0].text, " error messages");
    EXPECT_EQ(texts[1].text, " Warning: message 1");
    for (const auto& t : texts) EXPECT_NEAR(D(t.height), c.expectedH, 1e-12) << c.name;
    const auto ext = rec.Extents();
    EXPECT_NEAR(D(ext.xMax - ext.xMin), 0.9 * c.width * c.expectedH, 1e-9) << c.name;
    EXPECT_NEAR(D(ext.yMax - ext.yMin), 2 * c.expectedH * (c.messages + 1), 1e-9) << c.name;
    if (c.available > 0) EXPECT_LE(D(ext.yMax - ext.yMin), c.available + 1e-9) << c.name;
  }
}

TEST_F(PiecesTest, MessageTableOfAnEmptyListDrawsNothingAndWidthZeroMeans31) {
  ClearErrors();
  TCadRecorder rec;
  CadOpen(kCadScreen);
  DrawMessageTable(0, 0, 0, 2, 0);
  EXPECT_TRUE(rec.Items().empty());
  AddError("Error  : one");
  DrawMessageTable(0, 0, 0, 2, 0);
  const auto ext = rec.Extents();
  EXPECT_NEAR(D(ext.xMax - ext.xMin), 0.9 * 31 * 2, 1e-9);
}
