// A memo as lines and as a text file: hard and soft line ends kept apart, long lines broken at
// the width, the capacity of the line table, and writing, reading and appending through the
// text-file operations.
#include "xbase/memo_text_file.h"

#include <gtest/gtest.h>

#include "xbase/memo_test_support.h"

namespace {

class MemoTextFile : public memo_test::MemoFixture {};

TEST_F(MemoTextFile, LinesKeepHardAndSoftLineEnds) {
  MakeTable("t", kMemoDbase4);
  const std::int32_t block = AddMemo("one\r\ntwo\x8D\nthree");
  ASSERT_TRUE(GetMemo(block));
  EXPECT_EQ(MemoLines.lines, (std::vector<std::string>{"one", "two", "three"}));
  EXPECT_EQ(MemoLines.lineEnds, (std::vector<std::uint8_t>{13, 141, 0}));
  EXPECT_EQ(MemoLinesText(), "one\r\ntwo\x8D\nthree");
}

TEST_F(MemoTextFile, LongLinesBreakAfterTheirLastBlank) {
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

TEST_F(MemoTextFile, LineTableCapacity) {
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

TEST_F(MemoTextFile, TextFileWritesAndReadsLines) {
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

TEST_F(MemoTextFile, NoMemoFileIsReported) {
  const std::vector<TFieldSpec> fields = {{"NAME", 'C', 10, 0}};
  ASSERT_TRUE(CreateDbf(Path("plain.dbf"), fields, 0x03, true));
  std::int32_t block = 0;
  TMemoTextFile file;
  AssignMemo(file, block);
  EXPECT_EQ(XbaseErrorCode, 1019);
  EXPECT_NE(XbaseErrorMessage.find(" No Memo Field [AssignMemo]"), std::string::npos);
}

}  // namespace
