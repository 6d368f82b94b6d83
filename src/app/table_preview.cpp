// Sorting and searching the rows of the table preview.
#include "app/table_preview.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <numeric>

#include "common/formatting.h"

namespace {

std::string_view Trimmed(const std::string& text) {
  std::string_view view(text);
  while (!view.empty() && std::isspace(static_cast<unsigned char>(view.front()))) {
    view.remove_prefix(1);
  }
  while (!view.empty() && std::isspace(static_cast<unsigned char>(view.back()))) {
    view.remove_suffix(1);
  }
  return view;
}

// The whole text as a number ("," counts as the decimal point); false for any other text.
bool AsNumber(std::string_view text, double& value) {
  if (text.empty()) return false;
  std::string copy(text);
  std::replace(copy.begin(), copy.end(), ',', '.');
  const char* first = copy.data();
  if (*first == '+') ++first;
  const char* last = copy.data() + copy.size();
  const auto [end, ec] = std::from_chars(first, last, value);
  return ec == std::errc() && end == last;
}

// ASCII letters folded alike in every locale (under a Turkish one "I" is no upper-case "i").
int CompareIgnoringCase(std::string_view a, std::string_view b) {
  return LowerStr(a).compare(LowerStr(b));
}

}  // namespace

bool CellLess(const std::string& a, const std::string& b) {
  const std::string_view ta = Trimmed(a);
  const std::string_view tb = Trimmed(b);
  if (ta.empty() || tb.empty()) return ta.empty() && !tb.empty();
  double na = 0;
  double nb = 0;
  const bool numA = AsNumber(ta, na);
  const bool numB = AsNumber(tb, nb);
  if (numA != numB) return numA;
  if (numA) return na < nb;
  const int c = CompareIgnoringCase(ta, tb);
  if (c != 0) return c < 0;
  // Texts that differ only in case still get one fixed order.
  return ta < tb;
}

void SortStringsWithIndex(std::vector<std::string>& keys, std::vector<int>& index, int lo, int hi) {
  if (hi < lo) return;
  if (static_cast<int>(index.size()) <= hi) index.resize(hi + 1);
  std::vector<int> order(hi - lo + 1);
  std::iota(order.begin(), order.end(), lo);
  std::stable_sort(order.begin(), order.end(),
                   [&](int x, int y) { return CellLess(keys[x], keys[y]); });
  std::vector<std::string> sorted;
  sorted.reserve(order.size());
  for (int k : order) sorted.push_back(keys[k]);
  for (int k = lo; k <= hi; ++k) {
    keys[k] = std::move(sorted[k - lo]);
    index[k] = order[k - lo];
  }
}

void SortGridByColumn(TTextGrid& grid, int column, std::vector<int>& index) {
  const int rows = static_cast<int>(grid.size());
  index.assign(std::max(rows, 1), 0);
  if (rows < 2 || column < 0) {
    std::iota(index.begin(), index.end(), 0);
    return;
  }
  std::vector<std::string> keys(rows);
  for (int r = 1; r < rows; ++r) {
    if (column < static_cast<int>(grid[r].size())) keys[r] = grid[r][column];
  }
  SortStringsWithIndex(keys, index, 1, rows - 1);
  TTextGrid old = grid;
  for (int r = 1; r < rows; ++r) grid[r] = std::move(old[index[r]]);
}

int RowOfIndex(const std::vector<int>& index, int row) {
  for (std::size_t r = 1; r < index.size(); ++r) {
    if (index[r] == row) return static_cast<int>(r);
  }
  return 0;
}

bool SearchGrid(const TTextGrid& grid, const std::string& text, int startRow, int& foundRow,
                int& foundColumn) {
  const int rows = static_cast<int>(grid.size());
  if (text.empty() || rows < 2) return false;
  int start = std::max(startRow, 0);
  if (start >= rows) start = rows - 1;
  for (int r = start + 1; r < rows; ++r) {
    for (std::size_t c = 0; c < grid[r].size(); ++c) {
      if (grid[r][c].find(text) != std::string::npos) {
        foundRow = r;
        foundColumn = static_cast<int>(c);
        return true;
      }
    }
  }
  return false;
}
