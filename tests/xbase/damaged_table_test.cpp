// Damaged copies of a table and its index written by the library, walked in index order both
// ways: each gives every record with the name written into it, or ends in a code. The damage
// follows the dBASE III PLUS layout (header length at byte 8, record length at 10, decimals at
// 17 of a field descriptor) and the NDX item (child, record number, key). A second process's
// appends, past the count this one read, are no damage.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ndx_test_support.h"

using namespace ndx_test;

namespace {

constexpr std::uint32_t kRecordLength = 1 + 10 + 10 + 8;

class DamagedTable : public NdxFixture {
 protected:
  std::vector<std::int32_t> Walk(bool back, std::int32_t lastKeyRecord) {
    std::vector<std::int32_t> met;
    XbaseErrorCode = 0;
    back ? Go(lastKeyRecord) : GoTop();
    while (XbaseErrorCode == 0 && !(back ? dBOF() : dEOF()) && met.size() <= rows_.size()) {
      const std::int32_t r = RecNo();
      const bool sound = r >= 1 && r <= std::int32_t(rows_.size());
      EXPECT_TRUE(sound && GetFieldText(1) == rows_[r - 1].name) << "record " << r;
      if (!sound) break;
      met.push_back(r);
      Skip(back ? -1 : 1);
    }
    return met;
  }
};

TEST_F(DamagedTable, EveryCopyWalksItsRecordsOrReportsACode) {
  MakeTable("t");
  Fill(3000);  // header length 65535 then still lies inside the file
  MakeIndex("t", "NAME", false, 1, false, false);
  CloseAll();
  const std::string dbf = ReadFile(Path("t.dbf")), ndx = ReadFile(Path("t.NDX"));
  std::uint32_t leaf = Le32(ndx, 0);  // the left-most leaf: item 0's children from the root
  while (Le32(ndx, leaf * 512 + 4) != 0) leaf = Le32(ndx, leaf * 512 + 4);
  std::vector<std::string> names;
  for (const TRow& row : rows_) names.push_back(row.name);
  const std::int32_t lastKeyRecord = ExpectedOrder(names).back().second;
  const struct {
    const char* what;
    bool index;
    std::size_t at;
    std::uint32_t value;
    int width;  // bytes written at `at`; 0 none, -1 the last record cut off
    std::uint16_t openCode, walkCode;
  } cases[] = {
      {"intact", false, 0, 0, 0, 0, 0},
      {"cut short by one record", false, 0, 0, -1, 0, 212},
      {"first leaf entry names record 10,000,000", true, leaf * 512 + 8, 10000000, 4, 0, 212},
      {"header length 33", false, 8, 33, 2, 210, 0},
      {"header length 65535", false, 8, 65535, 2, 210, 0},
      {"record length one too long", false, 10, kRecordLength + 1, 2, 210, 0},
      {"record length one too short", false, 10, kRecordLength - 1, 2, 210, 0},
      {"decimals of AMOUNT N 10.2 set to 11", false, 32 + 32 + 17, 11, 1, 210, 0},
  };
  for (const auto& c : cases) {
    for (bool exclusive : {true, false}) {
      SCOPED_TRACE(std::string(c.what) + (exclusive ? ", exclusive" : ", shared"));
      std::string d = dbf, n = ndx;
      std::string& patched = c.index ? n : d;
      for (int i = 0; i < c.width; ++i) patched[c.at + i] = char(c.value >> (8 * i));
      if (c.width == -1) d.resize(d.size() - 1 - kRecordLength);
      std::ofstream(Path("t.dbf"), std::ios::binary | std::ios::trunc) << d;
      std::ofstream(Path("t.NDX"), std::ios::binary | std::ios::trunc) << n;
      XbaseErrorCode = 0;
      const bool opened = UseDbf(Path("t.dbf"), exclusive);
      EXPECT_EQ(XbaseErrorCode, c.openCode) << XbaseErrorMessage;
      if (!opened) continue;
      ASSERT_TRUE(SetIndexTo("t", 1)) << XbaseErrorMessage;
      for (bool back : {false, true}) {
        const std::vector<std::int32_t> met = Walk(back, lastKeyRecord);
        EXPECT_EQ(XbaseErrorCode, c.walkCode) << XbaseErrorMessage;
        if (XbaseErrorCode == 0) EXPECT_EQ(met.size(), std::size_t(RecCount()));
        if (XbaseErrorCode != 0) {
          EXPECT_NE(XbaseErrorMessage.find("index needs rebuilding"), std::string::npos);
          EXPECT_TRUE(dEOF()) << "the walk stops";
        }
      }
      CloseAll();
    }
  }
}

// The other program appends keys that sort behind the position this one stands on.
TEST_F(DamagedTable, AnotherProcessesFreshAppendsAreFoundThroughTheIndex) {
  MakeTable("shared", false);
  Fill(200);
  Unlock();
  MakeIndex("shared", "NAME", false, 1, false, false);
  ASSERT_TRUE(SetIndexTo("shared", 1)) << XbaseErrorMessage;
  GoTop();
  for (int i = 0; i < 150; ++i) Skip(1);
  ASSERT_EQ(CurrentWorkArea()->recordCount, 200);
  const pid_t child = ::fork();
  if (child == 0) {
    Select(2);
    bool ok = UseDbf(Path("shared.dbf"), false) && SetIndexTo("shared", 1);
    for (int i = 1; ok && i <= 5; ++i) {
      ClearRecord();
      SetFieldText(1, "ZZ" + std::to_string(i));
      ok = ALock();
      Append();
      Unlock();
      ok = ok && XbaseErrorCode == 0;
    }
    CloseArea();
    ::_exit(ok ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_EQ(WEXITSTATUS(status), 0);
  std::vector<std::int32_t> rest;
  for (XbaseErrorCode = 0; !dEOF() && rest.size() < 100; Skip(1)) rest.push_back(RecNo());
  EXPECT_EQ(XbaseErrorCode, 0) << XbaseErrorMessage;
  ASSERT_EQ(rest.size(), 200u - 150u + 5u);
  EXPECT_EQ(std::vector<std::int32_t>(rest.end() - 5, rest.end()),
            (std::vector<std::int32_t>{201, 202, 203, 204, 205}));
}

}  // namespace
