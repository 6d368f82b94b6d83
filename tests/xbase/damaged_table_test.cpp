// dBASE III header: header length at byte 8, record length at 10, decimals at 32 + 17 per field.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ndx_test_support.h"

using namespace ndx_test;
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
  // What, file (0 table, 1 index), offset, value, bytes written (-1: last record cut off), code.
  const std::tuple<const char*, int, std::size_t, std::uint32_t, int, int> cases[] = {
      {"intact", 0, 0, 0, 0, 0},
      {"cut short", 0, 0, 0, -1, 212},
      {"leaf names record 10,000,000", 1, leaf * 512 + 8, 10000000, 4, 212},
      {"header length 33", 0, 8, 33, 2, 210},
      {"header length 65535", 0, 8, 65535, 2, 210},
      {"record length + 1", 0, 10, kRecordLength + 1, 2, 210},
      {"record length - 1", 0, 10, kRecordLength - 1, 2, 210},
      {"decimals 11 of N 10.2", 0, 32 + 32 + 17, 11, 1, 210}};
  for (const auto& [what, file, at, value, width, code] : cases) {
    SCOPED_TRACE(what);
    std::string bytes[] = {dbf, ndx};
    for (int i = 0; i < width; ++i) bytes[file][at + i] = char(value >> (8 * i));
    if (width == -1) bytes[0].resize(dbf.size() - 1 - kRecordLength);
    for (int f : {0, 1}) std::ofstream(Path(f ? "t.NDX" : "t.dbf"), std::ios::binary) << bytes[f];
    XbaseErrorCode = 0;
    if (UseDbf(Path("t.dbf"), false) && SetIndexTo("t", 1))
      EXPECT_EQ(WalkForward().size() == rows_.size(), code == 0);  // all, or a code
    EXPECT_EQ(XbaseErrorCode, code) << XbaseErrorMessage;
    if (code == 212) EXPECT_NE(XbaseErrorMessage.find("needs rebuilding"), std::string::npos);
    CloseAll();
  }
}

// Another process appends keys that sort behind the position this one stands on.
TEST_F(DamagedTable, AnotherProcessesFreshAppendsAreFoundThroughTheIndex) {
  MakeTable("shared", false);
  Fill(200);
  Unlock();
  MakeIndex("shared", "NAME", false, 1, false, false);
  ASSERT_TRUE(SetIndexTo("shared", 1)) << XbaseErrorMessage;
  GoTop();
  Skip(150);
  if (::fork() == 0) {
    Select(2);
    if (!UseDbf(Path("shared.dbf"), false) || !SetIndexTo("shared", 1)) ::_exit(1);
    for (int i = 1; i <= 5; ++i) AppendRow({"ZZ" + std::to_string(i), 0, 2444240});
    CloseArea();
    ::_exit(::testing::Test::HasFailure() ? 1 : 0);
  }
  int status = 0;
  ASSERT_TRUE(::wait(&status) > 0 && WEXITSTATUS(status) == 0);
  std::vector<std::int32_t> rest;
  for (XbaseErrorCode = 0; !dEOF() && rest.size() < 100; Skip(1)) rest.push_back(RecNo());
  ASSERT_EQ(rest.size(), 200u - 150u + 5u) << XbaseErrorMessage;
  for (int i = 0; i < 5; ++i) EXPECT_EQ(rest[50 + i], 201 + i);
}
