// Memo file bytes against the published layouts of dBASE III, dBASE IV and FoxPro memo files:
// fresh headers, the first memos written, and the block headers in front of a memo.
#include "xbase/memo_format.h"

#include <gtest/gtest.h>

#include "xbase/memo_test_support.h"

namespace {

using memo_test::Be32;
using memo_test::Le32;
using memo_test::ReadFile;

TEST(MemoBlockHeader, RecognisedFromItsFirstBytes) {
  const std::uint8_t group[8] = {0xFF, 0xFF, 0x08, 0x00, 13, 0, 0, 0};
  const std::uint8_t text[8] = {'h', 'e', 'l', 'l', 'o', 0x1A, 0, 0};
  EXPECT_EQ(RecogniseMemo(kMemoDbase3, group), TMemoLayout::Dbase4Group);
  EXPECT_EQ(StoredTextLength(TMemoLayout::Dbase4Group, group), 5u);
  EXPECT_EQ(RecogniseMemo(kMemoDbase4, text), TMemoLayout::Dbase3Text);
  // A FoxPro table's memos are FoxPro blocks whatever their bytes.
  EXPECT_EQ(RecogniseMemo(kMemoFoxPro, group), TMemoLayout::FoxPro);
}

TEST(MemoHeaderBlockSize, ZeroMeansTheDefaultAndDbase3IsFixed) {
  std::uint8_t header[24] = {};
  EXPECT_EQ(HeaderBlockSize(kMemoDbase4, header, 512), 512);
  header[20] = 0x00;
  header[21] = 0x04;  // 1024, LE
  EXPECT_EQ(HeaderBlockSize(kMemoDbase4, header, 512), 1024);
  EXPECT_EQ(HeaderBlockSize(kMemoDbase3, header, 512), 512);
}

class MemoFileBytes : public memo_test::MemoFixture {};

TEST_F(MemoFileBytes, Dbase3NewFileAndFirstTwoMemos) {
  MakeTable("d3", kMemoDbase3);
  const std::string fresh = ReadFile(Path("d3.dbt"));
  ASSERT_EQ(fresh.size(), 513u);
  EXPECT_EQ(Le32(fresh, 0), 1u);
  EXPECT_EQ(fresh.substr(4, 508), std::string(508, '\0'));
  EXPECT_EQ(fresh[512], '\x1A');

  EXPECT_EQ(AddMemo("hello"), 1);
  EXPECT_EQ(AddMemo("second memo"), 2);
  const std::string b = ReadFile(Path("d3.dbt"));
  ASSERT_EQ(b.size(), 1536u);                    // each memo fills its last block with zeros
  EXPECT_EQ(b.substr(512, 7), "hello\x1A\x1A");  // two end marks, as dBASE III writes them
  EXPECT_EQ(b.substr(519, 505), std::string(505, '\0'));
  EXPECT_EQ(b.substr(1024, 13), "second memo\x1A\x1A");
  EXPECT_EQ(Le32(b, 0), 3u);  // next free block
}

TEST_F(MemoFileBytes, Dbase4NewFileHasItsWholeHeaderBlock) {
  MakeTable("notes4", kMemoDbase4);
  const std::string fresh = ReadFile(Path("notes4.dbt"));
  // Readers that take a 512-byte header block need the whole block in a fresh file.
  ASSERT_EQ(fresh.size(), 512u);
  EXPECT_EQ(Le32(fresh, 0), 1u);
  EXPECT_EQ(Le32(fresh, 4), 0u);
  EXPECT_EQ(fresh.substr(8, 8), std::string("notes4\0\0", 8));
  EXPECT_EQ(fresh.substr(16, 8), std::string("\0\0\x02\x01\x00\x02\0\0", 8));

  EXPECT_EQ(AddMemo("abc"), 1);
  const std::string b = ReadFile(Path("notes4.dbt"));
  ASSERT_EQ(b.size(), 512u + 8 + 3);  // no padding behind the text
  EXPECT_EQ(b.substr(512, 11), std::string("\xFF\xFF\x08\x00\x0B\0\0\0abc", 11));
  EXPECT_EQ(Le32(b, 0), 2u);
  EXPECT_GT(Le32(b, 32), 0u);     // the write counter grew
  EXPECT_EQ(AddMemo("next"), 2);  // starts on the next block boundary
}

TEST_F(MemoFileBytes, FoxProBlockSize64) {
  DefaultMemoBlockSize = 64;
  MakeTable("fox", kMemoFoxPro);
  const std::string fresh = ReadFile(Path("fox.fpt"));
  ASSERT_EQ(fresh.size(), 512u);
  EXPECT_EQ(Be32(fresh, 0), 8u);  // 511 div 64 + 1: the header covers 8 blocks
  EXPECT_EQ(fresh.substr(4, 4), std::string("\0\0\0\x40", 4));
  EXPECT_EQ(CurrentMemo()->blockSize, 64);

  EXPECT_EQ(AddMemo("fox text"), 8);
  const std::string b = ReadFile(Path("fox.fpt"));
  ASSERT_EQ(b.size(), 512u + 8 + 8);
  EXPECT_EQ(b.substr(512, 16), std::string("\0\0\0\x01\0\0\0\x08"
                                           "fox text",
                                           16));
  EXPECT_EQ(Be32(b, 0), 9u);  // 528 bytes: 9 blocks of 64, the last one begun
}

}  // namespace
