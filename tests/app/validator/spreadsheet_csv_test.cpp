// The workbook files handed to the spreadsheet, read back by Python's csv module with the tab as
// delimiter (the way spreadsheet programs import tab-separated text): every cell comes back as
// it was put, tabs, quotes, line breaks and non-ASCII letters included.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/process.h"
#include "platform/spreadsheet.h"
#include "platform/temp_dir.h"

namespace {

// Python prints every field as hex, fields separated by blanks, one row per line.
constexpr char kReader[] =
    "import csv,sys\n"
    "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
    "    for row in csv.reader(f, delimiter='\\t'):\n"
    "        print(' '.join(x.encode('utf-8').hex() or '-' for x in row))\n";

std::string Unhex(const std::string& hex) {
  if (hex == "-") return {};
  std::string out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    out.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return out;
}

platform::CellRows ReadBack(const std::string& file) {
  platform::CellRows rows;
  const std::string command = std::string(SYSTEM_PYTHON3) + " -c \"$VUKO_READER\" '" + file + "'";
  setenv("VUKO_READER", kReader, 1);
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return rows;
  std::string text;
  char buffer[4096];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
  if (pclose(pipe) != 0) return {};
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    const std::string line = text.substr(start, end - start);
    platform::CellRows::value_type row;
    std::size_t p = 0;
    while (p <= line.size()) {
      const std::size_t q = std::min(line.find(' ', p), line.size());
      row.push_back(Unhex(line.substr(p, q - p)));
      p = q + 1;
    }
    rows.push_back(row);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return rows;
}

TEST(SpreadsheetFileValidator, CellsComeBackAsPut) {
  if (!std::filesystem::exists(SYSTEM_PYTHON3)) {
    if (getenv("CI") != nullptr) FAIL() << SYSTEM_PYTHON3 " is missing";
    GTEST_SKIP() << SYSTEM_PYTHON3 " is missing";
  }
  platform::SetSpreadsheetOpener({"/bin/true"});
  platform::Spreadsheet sheet;
  ASSERT_TRUE(sheet.Start(""));
  sheet.SetVisible(true);
  sheet.AddWorkbook();
  const platform::CellRows cells = {
      {"plain", "with\ttab", "say \"hi\""},
      {"two\nlines", "", "Maß 20°"},
      {"\"quoted\"", " padded ", "CR\r\nLF"},
  };
  for (std::size_t r = 0; r < cells.size(); ++r) {
    for (std::size_t c = 0; c < cells[r].size(); ++c) {
      sheet.SetCell(static_cast<int>(r + 1), static_cast<int>(c + 1), cells[r][c]);
    }
  }
  ASSERT_EQ(sheet.Show(), 0);
  EXPECT_EQ(ReadBack(sheet.LastFile()), cells);
  platform::SetSpreadsheetOpener({"xdg-open"});
  platform::RemovePrivateTempDirectory();
}

}  // namespace
