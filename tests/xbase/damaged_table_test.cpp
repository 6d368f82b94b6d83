// Damaged copies of a table and its index written by the library (dBASE III header length at
// byte 8, record length at 10, field decimals at 17; NDX item: child, record, key): each walks
// all its records in key order or ends in a code; another process's appends are no damage.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ndx_test_support.h"

using namespace ndx_test;

namespace {

using DamagedTable = NdxFixture;

TEST_F(DamagedTable, EveryCopyWalksItsRecordsOrReportsACode) {
  constexpr std::uint32_t kRecordLength = 1 + 10 + 10 + 8;
  MakeTable("t");
  Fill(3000);  // header length 65535 then still lies inside the file
  MakeIndex("t", "NAME", false, 1, false, false);
  CloseAll();
  const std::string dbf = ReadFile(Path("t.dbf")), ndx = ReadFile(Path("t.NDX"));
  std::uint32_t leaf = Le32(ndx, 0);  // down the first children from the root
  while (Le32(ndx, leaf * 512 + 4) != 0) leaf = Le32(ndx, leaf * 512 + 4);
  std::vector<std::string> names;
  std::vector<std::int32_t> keyOrder;
  for (const TRow& row : rows_) names.push_back(row.name);
  for (const auto& [key, record] : ExpectedOrder(names)) keyOrder.push_back(record);
  // What, file (0 table, 1 index), offset, value, bytes written (-1: last record cut off), and
  // the codes of the open and of the walk.
  const std::tuple<const char*, int, std::size_t, std::uint32_t, int, int, int> cases[] = {
      {"intact", 0, 0, 0, 0, 0, 0},
      {"cut short", 0, 0, 0, -1, 0, 212},
      {"leaf names record 10,000,000", 1, leaf * 512 + 8, 10000000, 4, 0, 212},
      {"header length 33", 0, 8, 33, 2, 210, 0},
      {"header length 65535", 0, 8, 65535, 2, 210, 0},
      {"record length + 1", 0, 10, kRecordLength + 1, 2, 210, 0},
      {"record length - 1", 0, 10, kRecordLength - 1, 2, 210, 0},
      {"decimals 11 of N 10.2", 0, 32 + 32 + 17, 11, 1, 210, 0},
  };
  for (const auto& [what, file, at, value, width, openCode, walkCode] : cases) {
    for (bool exclusive : {true, false}) {
      SCOPED_TRACE(std::string(what) + (exclusive ? ", exclusive" : ", shared"));
      std::string bytes[] = {dbf, ndx};
      for (int i = 0; i < width; ++i) bytes[file][at + i] = char(value >> (8 * i));
      if (width == -1) bytes[0].resize(dbf.size() - 1 - kRecordLength);
      std::ofstream(Path("t.dbf"), std::ios::binary | std::ios::trunc) << bytes[0];
      std::ofstream(Path("t.NDX"), std::ios::binary | std::ios::trunc) << bytes[1];
      XbaseErrorCode = 0;
      if (!UseDbf(Path("t.dbf"), exclusive) || !SetIndexTo("t", 1)) {
        EXPECT_EQ(XbaseErrorCode, openCode) << XbaseErrorMessage;
        continue;
      }
      const std::vector<std::int32_t> walked = WalkForward();
      EXPECT_EQ(XbaseErrorCode, walkCode) << XbaseErrorMessage;
      if (walkCode == 0) EXPECT_EQ(walked, keyOrder);
      if (walkCode != 0)
        EXPECT_NE(XbaseErrorMessage.find("index needs rebuilding"), std::string::npos);
      CloseAll();
    }
  }
}

// The other process appends keys that sort behind the position this one stands on.
TEST_F(DamagedTable, AnotherProcessesFreshAppendsAreFoundThroughTheIndex) {
  MakeTable("shared", false);
  Fill(200);
  Unlock();
  MakeIndex("shared", "NAME", false, 1, false, false);
  ASSERT_TRUE(SetIndexTo("shared", 1)) << XbaseErrorMessage;
  GoTop();
  for (int i = 0; i < 150; ++i) Skip(1);
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
