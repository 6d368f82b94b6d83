// Scratch tables for the index tests: a private directory, a table NAME C 10, AMOUNT N 10 2,
// BORN D 8 filled with rows that repeat keys, the expected (key, record) order worked out
// here by plain sorting, and a walk of the controlling index through the table API.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "xbase/dbf_file.h"
#include "xbase/locking.h"
#include "xbase/ndx_build.h"
#include "xbase/ndx_sets.h"
#include "xbase/work_areas.h"
#include "xbase/xbase_dates.h"
#include "xbase/xbase_errors.h"
#include "xbase/xbase_expr_compiler.h"

namespace ndx_test {

struct TRow {
  std::string name;  // 10 characters
  double amount;
  double born;  // Julian day
};

// Row i (1-based) of the scratch table: about 1 in 7 names repeat, amounts repeat, dates
// spread over some 30 years from 1980-01-01 (Julian day 2444240).
inline TRow RowFor(int i, int distinct = 400) {
  char name[16];
  std::snprintf(name, sizeof name, "K%04d", (i * 7919) % distinct);
  std::string n = name;
  n.resize(10, ' ');
  return {n, ((i * 37) % 900) / 4.0 - 100.0, 2444240.0 + (i * 113) % 11000};
}

inline std::string DtosOf(double julian) {
  return JulianToDtos(julian);
}

template <typename Key>
std::vector<std::pair<Key, std::int32_t>> ExpectedOrder(const std::vector<Key>& keys) {
  std::vector<std::pair<Key, std::int32_t>> out;
  for (std::size_t i = 0; i < keys.size(); ++i)
    out.push_back({keys[i], static_cast<std::int32_t>(i + 1)});
  std::sort(out.begin(), out.end());  // by key, equal keys by record number
  return out;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::uint32_t Le32(const std::string& b, std::size_t at) {
  return std::uint32_t(std::uint8_t(b[at])) | std::uint32_t(std::uint8_t(b[at + 1])) << 8 |
         std::uint32_t(std::uint8_t(b[at + 2])) << 16 |
         std::uint32_t(std::uint8_t(b[at + 3])) << 24;
}
inline std::uint16_t Le16(const std::string& b, std::size_t at) {
  return std::uint16_t(std::uint8_t(b[at]) | std::uint8_t(b[at + 1]) << 8);
}

class NdxFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    InitXbaseCore();
    InstallParserHooks();
    IndexInit();
    SetErrorHandling(false);
    std::string pattern = (std::filesystem::temp_directory_path() / "vuko-ndx-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    IndexDone();
    CloseAll();
    IndexSortRunItems = 8189;
    std::filesystem::remove_all(dir_);
  }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

  void MakeTable(const std::string& name, bool exclusive = true) {
    const std::vector<TFieldSpec> fields = {
        {"NAME", 'C', 10, 0}, {"AMOUNT", 'N', 10, 2}, {"BORN", 'D', 8, 0}};
    ASSERT_TRUE(CreateDbf(Path(name + ".dbf"), fields, 0x03, exclusive)) << XbaseErrorMessage;
  }
  void PutRow(const TRow& row) {
    SetFieldText(1, row.name);
    SetFieldNumber(2, row.amount);
    // The typed date slot holds the date in the current date mode.
    SetFieldText(3, JulianToDateText(row.born));
  }
  void AppendRow(const TRow& row) {
    ClearRecord();
    PutRow(row);
    if (!CurrentWorkArea()->exclusive) ASSERT_TRUE(ALock());
    Append();
    ASSERT_EQ(XbaseErrorCode, 0) << XbaseErrorMessage;
  }
  void Fill(int count, int distinct = 400) {
    for (int i = 1; i <= count; ++i) {
      rows_.push_back(RowFor(i, distinct));
      AppendRow(rows_.back());
    }
  }
  // Record numbers in the order of the controlling index, GoTop to EOF.
  std::vector<std::int32_t> WalkForward() {
    std::vector<std::int32_t> out;
    GoTop();
    while (!dEOF() && out.size() <= rows_.size() + 5) {
      out.push_back(RecNo());
      Skip(1);
    }
    return out;
  }

  std::string dir_;
  std::vector<TRow> rows_;
};

}  // namespace ndx_test
