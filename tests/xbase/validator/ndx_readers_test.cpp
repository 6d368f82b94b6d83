// Indexes we build, read by an independent program: Perl XBase::Index (index_dump) walks the
// tree and must list our keys and record numbers in our order. (libxbase64's checkndx is built
// for 1024-byte nodes and rejects 512-byte NDX files, its own reindex output included.)
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "../ndx_test_support.h"
#include "validator_support.h"
#include "xbase/ndx_keys.h"

using namespace ndx_test;

namespace {

bool ToolPresent(const char* path) {
  return std::ifstream(path).good();
}

#define REQUIRE_TOOL(path) \
  REQUIRE_OR_SKIP(ToolPresent(path), path << " is not installed", path << " is not installed")

// One "key record" line per entry, in the order the reader walked the tree.
std::vector<std::pair<std::string, std::int32_t>> IndexDump(const std::string& file) {
  // With a single-tag file index_dump lists the tag names unless one is named; NDX ignores it.
  const validator_support::ToolRun run =
      validator_support::Execute("/usr/bin/index_dump " + validator_support::Quote(file) + " KEY");
  EXPECT_EQ(run.status, 0) << run.output;
  std::vector<std::pair<std::string, std::int32_t>> rows;
  std::istringstream in(run.output);
  std::string line;
  while (std::getline(in, line)) {
    const std::size_t sp = line.find_last_of(' ');
    if (sp == std::string::npos) continue;
    rows.push_back({line.substr(0, sp), std::atoi(line.c_str() + sp + 1)});
  }
  return rows;
}

class NdxReaders : public NdxFixture {};

TEST_F(NdxReaders, PerlWalksOurTreesInOurOrder) {
  REQUIRE_TOOL("/usr/bin/index_dump");
  MakeTable("walk");
  Fill(4000);
  struct {
    const char* expr;
    int kind;  // 0 name, 1 amount, 2 date
    bool unique;
  } cases[] = {{"NAME", 0, false}, {"AMOUNT", 1, false}, {"BORN", 2, false}, {"NAME", 0, true}};
  for (const auto& c : cases) {
    MakeIndex("walk", c.expr, false, 1, c.unique, false);
    ASSERT_EQ(XbaseErrorCode, 0) << XbaseErrorMessage;
    const auto dump = IndexDump(Path("walk.NDX"));
    std::vector<std::pair<double, std::int32_t>> numeric;
    std::vector<std::pair<std::string, std::int32_t>> text;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
      const auto rec = static_cast<std::int32_t>(i + 1);
      if (c.kind == 0)
        text.push_back({rows_[i].name, rec});
      else
        numeric.push_back({c.kind == 1 ? rows_[i].amount : rows_[i].born, rec});
    }
    std::sort(text.begin(), text.end());
    std::sort(numeric.begin(), numeric.end());
    if (c.unique)
      text.erase(std::unique(text.begin(), text.end(),
                             [](auto& a, auto& b) { return a.first == b.first; }),
                 text.end());
    const std::size_t expected = c.kind == 0 ? text.size() : numeric.size();
    ASSERT_EQ(dump.size(), expected) << c.expr;
    for (std::size_t i = 0; i < dump.size(); ++i) {
      if (c.kind == 0) {
        ASSERT_EQ(dump[i].first, text[i].first) << c.expr << " entry " << i;
        ASSERT_EQ(dump[i].second, text[i].second) << c.expr << " entry " << i;
      } else {
        // Perl decodes the 8 key bytes as a little-endian double; dates are Julian days.
        ASSERT_DOUBLE_EQ(std::stod(dump[i].first), numeric[i].first) << c.expr << " entry " << i;
        ASSERT_EQ(dump[i].second, numeric[i].second) << c.expr << " entry " << i;
      }
    }
  }
}

TEST_F(NdxReaders, PerlWalksAMaintainedTree) {
  REQUIRE_TOOL("/usr/bin/index_dump");
  MakeTable("grow");
  Fill(100);
  MakeIndex("grow", "AMOUNT", false, 1, false, false);
  ASSERT_TRUE(SetIndexTo("grow", 1));
  // Appends grow the tree from one leaf through splits up to a new root level.
  for (int i = 101; i <= 3000; ++i) {
    rows_.push_back(RowFor(i * 7, 900));
    AppendRow(rows_.back());
  }
  // Key changes take entries out of some nodes and put them into others.
  for (int r = 3; r <= 3000; r += 3) {
    Go(r);
    rows_[r - 1].amount = -rows_[r - 1].amount * 2 - 0.25;
    PutRow(rows_[r - 1]);
    StoreFields();
    PutDbfRecord(*CurrentWorkArea(), r);
    IndexHooks.keysChanged();
    ASSERT_EQ(XbaseErrorCode, 0) << r << XbaseErrorMessage;
  }
  CloseIndexFile(1);
  std::vector<std::pair<double, std::int32_t>> expected;
  for (std::size_t i = 0; i < rows_.size(); ++i)
    expected.push_back({rows_[i].amount, static_cast<std::int32_t>(i + 1)});
  std::sort(expected.begin(), expected.end());
  const auto dump = IndexDump(Path("grow.NDX"));
  ASSERT_EQ(dump.size(), expected.size());
  for (std::size_t i = 0; i < dump.size(); ++i) {
    ASSERT_DOUBLE_EQ(std::stod(dump[i].first), expected[i].first) << i;
    ASSERT_EQ(dump[i].second, expected[i].second) << i;
  }
}

}  // namespace
