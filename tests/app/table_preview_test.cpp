// Sorting and searching the table preview's rows: numbers by value, texts ignoring case, empty
// cells first, the selection following its record, and the search through rows and columns.
#include "app/table_preview.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

#include "validator_support.h"

namespace {

// Rows as the table of data files fills them: name, date, drawing number, pitch diameter, teeth,
// customer's place.
TTextGrid SampleGrid() {
  return {{"File", "Date", "1 (Shaft)", "d [mm]", "z", "Place"},
          {"b.vuk", "2025/01/31", "shaft-7", "  90.000", " 30", "hub"},
          {"D.vuk", "2026/03/02", "Shaft-10", " 100.000", "  9", "Istanbul"},
          {"c.vuk", "2024/12/01", "SHAFT-2", "   9.500", " 10", "izmir"},
          {"a2.vuk", "2026/03/01", "", " -12.000", "100", "Hamburg"}};
}

std::vector<std::string> Column(const TTextGrid& grid, int column) {
  std::vector<std::string> cells;
  for (std::size_t r = 1; r < grid.size(); ++r) cells.push_back(grid[r][column]);
  return cells;
}

struct SortCase {
  const char* name;
  int column;
  std::vector<std::string> files;  // column 0 afterwards
};

// Expected orders worked out by hand from the sample rows; byte order would differ in each.
const SortCase kSortCases[] = {
    // Byte order would put "D.vuk" first.
    {"FileNamesIgnoringCase", 0, {"a2.vuk", "b.vuk", "c.vuk", "D.vuk"}},
    // Dates as yyyy/mm/dd texts are chronological.
    {"DatesChronological", 1, {"c.vuk", "b.vuk", "a2.vuk", "D.vuk"}},
    // Empty first, then "Shaft-10" < "SHAFT-2" < "shaft-7" ignoring case.
    {"EmptyFirstThenTextsIgnoringCase", 2, {"a2.vuk", "D.vuk", "c.vuk", "b.vuk"}},
    // -12 < 9.5 < 90 < 100; as texts the padding and the sign would decide.
    {"DiametersByValue", 3, {"a2.vuk", "c.vuk", "b.vuk", "D.vuk"}},
    // 9 < 10 < 30 < 100; as texts "100" would come before " 30".
    {"TeethByValue", 4, {"D.vuk", "c.vuk", "b.vuk", "a2.vuk"}},
    // Hamburg < hub < Istanbul < izmir; byte order, or a Turkish lower case of "I" (which is no
    // "i" there), would put "Istanbul" before "hub".
    {"PlacesIgnoringCaseInEveryLocale", 5, {"a2.vuk", "b.vuk", "D.vuk", "c.vuk"}},
};

class SortTest : public ::testing::TestWithParam<SortCase> {};

// The same order whatever the user's locale.
TEST_P(SortTest, RowsStayTogether) {
  const std::string before = std::setlocale(LC_ALL, nullptr);
  std::string missing;
  for (const char* locale : {"C", "tr_TR.UTF-8", "de_DE.UTF-8"}) {
    if (validator_support::MissingLocale(locale, missing)) continue;
    std::setlocale(LC_ALL, locale);
    TTextGrid grid = SampleGrid();
    std::vector<int> index;
    SortGridByColumn(grid, GetParam().column, index);
    EXPECT_EQ(Column(grid, 0), GetParam().files) << locale;
    EXPECT_EQ(grid[0], SampleGrid()[0]);  // the header stays
    // Every row is a whole row of before, and index says which.
    for (std::size_t r = 1; r < grid.size(); ++r) EXPECT_EQ(grid[r], SampleGrid()[index[r]]);
  }
  std::setlocale(LC_ALL, before.c_str());
  SKIP_MISSING_ROWS(missing);
}

INSTANTIATE_TEST_SUITE_P(Columns, SortTest, ::testing::ValuesIn(kSortCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SortTest, EqualKeysKeepTheirOrderAndSelectionFollowsItsRecord) {
  TTextGrid grid = {{"h", "k"}, {"r1", "b"}, {"r2", "a"}, {"r3", "b"}, {"r4", "a"}};
  std::vector<int> index;
  SortGridByColumn(grid, 1, index);
  EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"r2", "r4", "r1", "r3"}));
  EXPECT_EQ(RowOfIndex(index, 1), 3);  // r1 was row 1, now row 3
  EXPECT_EQ(RowOfIndex(index, 4), 2);
  EXPECT_EQ(RowOfIndex(index, 0), 0);  // nothing selected stays nothing
  EXPECT_EQ(RowOfIndex(index, 9), 0);
}

struct SearchCase {
  const char* name;
  const char* text;
  int start;
  bool found;
  int row;
  int column;
};

const SearchCase kSearchCases[] = {
    {"FromTheTop", "vuk", 0, true, 1, 0},
    {"NextAfterARow", "vuk", 1, true, 2, 0},
    {"LaterColumnOfARow", "2026/03", 0, true, 2, 1},
    {"CaseSensitive", "shaft", 0, true, 1, 2},
    {"CaseSensitiveNoHit", "SHAFT-7", 0, false, 0, 0},
    {"HeaderNeverSearched", "File", 0, false, 0, 0},
    {"NextOnTheLastRowFindsNothing", "vuk", 4, false, 0, 0},
    {"StartBeyondTheEnd", "vuk", 99, false, 0, 0},
    {"EmptyTextFindsNothing", "", 0, false, 0, 0},
};

class SearchTest : public ::testing::TestWithParam<SearchCase> {};

TEST_P(SearchTest, Hit) {
  const auto& c = GetParam();
  int row = 0;
  int column = 0;
  EXPECT_EQ(SearchGrid(SampleGrid(), c.text, c.start, row, column), c.found);
  if (c.found) {
    EXPECT_EQ(row, c.row);
    EXPECT_EQ(column, c.column);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, SearchTest, ::testing::ValuesIn(kSearchCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
