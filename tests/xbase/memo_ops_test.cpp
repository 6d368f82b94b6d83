// Memo operations: adding, reading into lines, the text-file interface, rewriting dBASE IV memos
// in their blocks, code-page conversion and the errors of bad addresses and full line tables.
#include "xbase/memo_ops.h"

#include <gtest/gtest.h>

#include "xbase/memo_test_support.h"

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

TEST_F(MemoOps, LinesKeepHardAndSoftLineEnds) {
  MakeTable("t", kMemoDbase4);
  const std::int32_t block = AddMemo("one\r\ntwo\x8D\nthree");
  ASSERT_TRUE(GetMemo(block));
  EXPECT_EQ(MemoLines.lines, (std::vector<std::string>{"one", "two", "three"}));
  EXPECT_EQ(MemoLines.lineEnds, (std::vector<std::uint8_t>{13, 141, 0}));
  EXPECT_EQ(MemoLinesText(), "one\r\ntwo\x8D\nthree");
}

TEST_F(MemoOps, LongLinesBreakAfterTheirLastBlank) {
  MakeTable("t", kMemoFoxPro);
  MemoWrapOn = true;
  MemoWrapWidth = 10;
  ASSERT_TRUE(GetMemo(AddMemo("aaaa bbbb cccc\r\nxxxxxxxxxxxxyy\r\n")));
  EXPECT_EQ(MemoLines.lines,
            (std::vector<std::string>{"aaaa bbbb ", "cccc", "xxxxxxxxxx", "xxyy"}));
  EXPECT_EQ(MemoLines.lineEnds, (std::vector<std::uint8_t>{0, 13, 0, 13}));
  // Read back whole: broken pieces join again.
  EXPECT_EQ(MemoLinesText(), "aaaa bbbb cccc\r\nxxxxxxxxxxxxyy\r\n");
}

TEST_F(MemoOps, LineTableCapacity) {
  MakeTable("t", kMemoDbase4);
  std::string text;
  for (int i = 0; i < 1024; ++i) text += "l\r\n";
  EXPECT_TRUE(GetMemo(AddMemo(text)));
  EXPECT_EQ(MemoLines.lines.size(), 1024u);
  EXPECT_FALSE(GetMemo(AddMemo(text + "one more")));
  EXPECT_EQ(XbaseErrorCode, 217);
  EXPECT_NE(XbaseErrorMessage.find("Reading memo field in "), std::string::npos);

  std::int32_t block = 0;
  TMemoTextFile file;
  AssignMemo(file, block);
  MemoRewrite(file);
  XbaseErrorCode = 0;
  for (int i = 0; i < 1025; ++i) MemoWriteLn(file, "l");
  EXPECT_EQ(XbaseErrorCode, 101);
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

TEST_F(MemoOps, TextFileWritesAndReadsLines) {
  MakeTable("t", kMemoDbase3);
  std::int32_t block = 0;
  TMemoTextFile file;
  AssignMemo(file, block);
  MemoRewrite(file);
  MemoWriteLn(file, "first line");
  MemoWrite(file, "soft\x8D\nsecond\n");
  MemoWrite(file, "tail");
  MemoClose(file);
  ASSERT_EQ(block, 1);
  EXPECT_EQ(MemoOf(block), "first line\r\nsoft\x8D\nsecond\r\ntail");

  AssignMemo(file, block);
  MemoReset(file);
  std::vector<std::string> read;
  std::string line;
  while (MemoReadLn(file, line)) read.push_back(line);
  MemoClose(file);
  // A soft line end joins its piece to the next line.
  EXPECT_EQ(read, (std::vector<std::string>{"first line", "softsecond", "tail"}));

  AssignMemo(file, block);
  MemoAppend(file);
  MemoWriteLn(file, " end");
  MemoClose(file);
  EXPECT_EQ(MemoOf(block), "first line\r\nsoft\x8D\nsecond\r\ntail end\r\n");
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

TEST_F(MemoOps, NoMemoFileIsReported) {
  const std::vector<TFieldSpec> fields = {{"NAME", 'C', 10, 0}};
  ASSERT_TRUE(CreateDbf(Path("plain.dbf"), fields, 0x03, true));
  std::int32_t block = 0;
  TMemoTextFile file;
  AssignMemo(file, block);
  EXPECT_EQ(XbaseErrorCode, 1019);
  EXPECT_NE(XbaseErrorMessage.find(" No Memo Field [AssignMemo]"), std::string::npos);
}

}  // namespace
