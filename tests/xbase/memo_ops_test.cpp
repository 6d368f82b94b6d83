// Memo operations: adding, rewriting dBASE IV memos in their blocks, code-page conversion and
// the error of a bad memo address.
#include "xbase/memo_ops.h"

#include <gtest/gtest.h>

#include <fstream>

#include "xbase/memo_test_support.h"
#include "xbase/xbase_platform.h"

namespace {

using memo_test::Le32;
using memo_test::ReadFile;

class MemoOps : public memo_test::MemoFixture {};

TEST_F(MemoOps, BlankTextsStoreNothingAndTrailingBlanksAreDropped) {
  MakeTable("t", kMemoDbase3);
  const std::string before = ReadFile(Path("t.dbt"));
  EXPECT_EQ(AddMemo(""), 0);
  EXPECT_EQ(AddMemo("    "), 0);
  EXPECT_EQ(ReadFile(Path("t.dbt")), before);
  const std::int32_t block = AddMemo("kept  ");
  EXPECT_EQ(MemoOf(block), "kept");
}

TEST_F(MemoOps, BlockBeyondTheFileNamesTheRecord) {
  MakeTable("t", kMemoDbase3);
  AppendRecord("A", AddMemo("x"));
  EXPECT_FALSE(GetMemo(40));
  EXPECT_EQ(XbaseErrorCode, 1003);
  EXPECT_NE(XbaseErrorMessage.find(" Record # 1 [GetMemo]"), std::string::npos);
  EXPECT_TRUE(GetMemo(0));  // no memo
  EXPECT_TRUE(MemoLines.lines.empty());
}

TEST_F(MemoOps, AGroupHeaderClaimingMoreThanTheFileIsAReadError) {
  MakeTable("t", kMemoDbase4);
  const std::int32_t block = AddMemo("short text");
  CloseAll();
  std::string bytes = ReadFile(Path("t.dbt"));
  for (int i = 0; i < 4; ++i) bytes[block * 512 + 4 + i] = char(0xF0 | (i == 3 ? 0x0F : 0));
  std::ofstream(Path("t.dbt"), std::ios::binary | std::ios::trunc) << bytes;
  ASSERT_TRUE(UseDbf(Path("t.dbf"), true));
  std::string text;
  EXPECT_FALSE(ReadMemoText(block, text));
  EXPECT_EQ(XbaseErrorCode, 30);
  CloseAll();
  EXPECT_TRUE(ReadFile(Path("t.dbt")) == bytes);
}

TEST_F(MemoOps, AMemoCutBeforeItsEndMarkReportsACode) {
  MakeTable("t", kMemoDbase3);
  const std::string text(553, 'm');
  const std::int32_t block = AddMemo(text);
  CloseAll();
  const std::string whole = ReadFile(Path("t.dbt"));
  // Bytes kept: one end mark of two, the text cut inside and right before its end.
  for (const auto& [keep, code] : {std::pair{554, 0}, {100, 213}, {553, 213}}) {
    std::ofstream(Path("t.dbt"), std::ios::binary | std::ios::trunc)
        << whole.substr(0, block * 512 + keep);
    ASSERT_TRUE(UseDbf(Path("t.dbf"), true));
    std::string read;
    EXPECT_EQ(ReadMemoText(block, read), code == 0) << keep;
    EXPECT_EQ(XbaseErrorCode, code) << keep;
    EXPECT_EQ(read, code == 0 ? text : "") << keep;
    CloseAll();
  }
}

TEST_F(MemoOps, Dbase4RewriteStaysInItsBlocksWhenShorterAndMovesWhenLonger) {
  MakeTable("t", kMemoDbase4);
  const std::int32_t big = AddMemo(std::string(1500, 'a'));  // 3 blocks
  const std::int32_t after = AddMemo("after");
  ASSERT_EQ(big, 1);
  ASSERT_EQ(after, 4);
  EXPECT_EQ(ReplaceMemo(big, "short"), big);
  EXPECT_EQ(MemoOf(big), "short");
  EXPECT_EQ(MemoOf(after), "after");

  const std::int32_t moved = ReplaceMemo(after, std::string(700, 'b'));
  EXPECT_GT(moved, after);
  EXPECT_EQ(MemoOf(moved), std::string(700, 'b'));
  EXPECT_EQ(MemoOf(big), "short");
  // The header always points behind the end of the file.
  const std::string b = ReadFile(Path("t.dbt"));
  EXPECT_EQ(Le32(b, 0), (b.size() + 511) / 512);
}

TEST_F(MemoOps, OemTablesStoreDosCodePage) {
  MakeTable("t", kMemoDbase3);
  CurrentWorkArea()->oem = true;
  // "Müller" in the Windows page: u-umlaut 0xFC there, 0x81 in code page 850.
  const std::int32_t block = AddMemo("M\xFCller");
  EXPECT_EQ(ReadFile(Path("t.dbt")).substr(512, 7), "M\x81ller\x1A");
  EXPECT_EQ(MemoOf(block), "M\xFCller");
}

TEST_F(MemoOps, WritersOfASharedMemoFileTakeTheLockByte) {
  MakeTable("t", kMemoDbase4, false);
  const std::string name = CurrentMemo()->name;
  // Another open of the file holds byte 10, as another program would while it writes.
  std::uint16_t code = 0;
  const int other = XbOpenFile(name, false, false, code);
  ASSERT_GE(other, 0);
  ASSERT_EQ(XbLockBytes(other, false, 10, 1), 0);
  const std::string before = ReadFile(name);
  EXPECT_EQ(AddMemo("blocked"), 0);
  EXPECT_EQ(XbaseErrorCode, 1017);
  EXPECT_EQ(ReadFile(name), before);

  ASSERT_EQ(XbLockBytes(other, true, 10, 1), 0);
  XbaseErrorCode = 0;
  EXPECT_EQ(MemoOf(AddMemo("written")), "written");
  // The writer let the byte go again.
  EXPECT_EQ(XbLockBytes(other, false, 10, 1), 0);
  XbLockBytes(other, true, 10, 1);
  XbCloseFile(other);
}

}  // namespace
