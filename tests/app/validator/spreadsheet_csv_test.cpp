// The workbook files handed to the spreadsheet, read back by Python's csv module (the dialect
// spreadsheet programs write): every cell comes back as it was put, commas, tabs, quotes, line
// breaks and non-ASCII letters included.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/process.h"
#include "platform/spreadsheet.h"
#include "platform/temp_dir.h"
#include "validator_support.h"

namespace {

// Python prints the fields of a row joined by 0x1F, each row ended by 0x1E.
constexpr char kReader[] =
    "import csv,sys\n"
    "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
    "    for row in csv.reader(f):\n"
    "        sys.stdout.write('\\x1f'.join(row) + '\\x1e')\n";

platform::CellRows ReadBack(const std::string& file) {
  setenv("VUKO_READER", kReader, 1);
  const validator_support::ToolRun run = validator_support::Execute(
      SYSTEM_PYTHON3 " -c \"$VUKO_READER\" " + validator_support::Quote(file), false);
  if (run.status != 0) return {};
  platform::CellRows rows(1, {std::string()});
  for (const char c : run.output) {
    if (c == 0x1E) {
      rows.push_back({std::string()});
    } else if (c == 0x1F) {
      rows.back().emplace_back();
    } else {
      rows.back().back().push_back(c);
    }
  }
  rows.pop_back();
  return rows;
}

TEST(SpreadsheetFileValidator, CellsComeBackAsPut) {
  REQUIRE_VALIDATOR(std::filesystem::exists(SYSTEM_PYTHON3), SYSTEM_PYTHON3);
  platform::SetSpreadsheetOpener({"/bin/true"});
  platform::Spreadsheet sheet;
  sheet.Start();
  sheet.SetVisible(true);
  sheet.AddWorkbook();
  const platform::CellRows cells = {
      {"plain", "with\ttab", "say \"hi\"", "1,5"},
      {"two\nlines", "", "Maß 20°"},
      {"\"quoted\"", " padded ", "CR\r\nLF"},
  };
  for (std::size_t r = 0; r < cells.size(); ++r) {
    for (std::size_t c = 0; c < cells[r].size(); ++c) {
      sheet.SetCell(static_cast<int>(r + 1), static_cast<int>(c + 1), cells[r][c]);
    }
  }
  const std::string file = platform::PrivateTempDirectory("") + "sheet.csv";
  ASSERT_EQ(sheet.Show(file), 0);
  EXPECT_EQ(ReadBack(file), cells);
  platform::SetSpreadsheetOpener({"xdg-open"});
  platform::RemovePrivateTempDirectory();
}

}  // namespace
