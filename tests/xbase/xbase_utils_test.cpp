// Shared routines of the table library: occurrence search, Soundex against published codes,
// BCD keys against numeric order, the circular list, keyword removal and file names.
#include "xbase/xbase_utils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace {

TEST(XbaseUtils, OccurrencePosCountsOverlapsAndSearchesBackwards) {
  EXPECT_EQ(OccurrencePos(2, "aa", "aaaa"), 2);
  EXPECT_EQ(OccurrencePos(-1, "ab", "abcab"), 4);
  EXPECT_EQ(OccurrencePos(2, "ab", "abcab"), 4);
  EXPECT_EQ(OccurrencePos(3, "ab", "abcab"), 0);
  EXPECT_EQ(OccurrencePos(-3, "ab", "abcab"), 0);
  EXPECT_EQ(OccurrencePos(-1, "b", "abcab"), 5);
  EXPECT_EQ(OccurrencePos(0, "b", "abcab"), 0);
  EXPECT_EQ(OccurrencePos(1, "", "abc"), 0);
}

TEST(XbaseUtils, SoundexCodes) {
  // Codes from the published descriptions of the algorithm.
  EXPECT_EQ(Soundex("Robert"), "R163");
  EXPECT_EQ(Soundex("Rupert"), "R163");
  EXPECT_EQ(Soundex("Tymczak"), "T522");
  EXPECT_EQ(Soundex("Lee"), "L000");
  EXPECT_EQ(Soundex("7 Up"), "7100");
}

TEST(XbaseUtils, BcdKeysSortLikeTheirNumbers) {
  const std::vector<std::string> texts = {"-1000",  "-99.5", "-1",  "-0.5",      "-0.05",       "0",
                                          "0.0001", "0.05",  "0.5", "1",         "1.5",         "9",
                                          "10",     "99.5",  "100", "1234.5678", "100000000000"};
  std::vector<std::array<unsigned char, kBcdKeyLength>> keys(texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i) StrToBcd(keys[i].data(), texts[i], 20, 4);
  for (std::size_t i = 0; i < texts.size(); ++i)
    for (std::size_t j = 0; j < texts.size(); ++j) {
      const double a = std::stod(texts[i]), b = std::stod(texts[j]);
      const int c = CompareBcd(keys[i].data(), keys[j].data());
      EXPECT_EQ(c < 0, a < b) << texts[i] << " vs " << texts[j];
      EXPECT_EQ(c == 0, a == b) << texts[i] << " vs " << texts[j];
    }
  std::array<unsigned char, kBcdKeyLength> zero{}, minusZero{}, fromFloat{};
  StrToBcd(zero.data(), "0", 1, 0);
  StrToBcd(minusZero.data(), "-0.000", 6, 3);
  EXPECT_EQ(zero, minusZero);  // zero has one key
  // 1234.5678: exponent 0x34 + 4 digits before the point, digits packed two per byte.
  EXPECT_EQ(keys[15][0], 0x38);
  EXPECT_EQ(keys[15][2], 0x12);
  EXPECT_EQ(keys[15][5], 0x78);
  FloatToBcd(fromFloat.data(), 4, 1234.5678);
  EXPECT_EQ(CompareBcd(fromFloat.data(), keys[15].data()), 0);
}

TEST(XbaseUtils, ListWalksFromOldestToNewest) {
  TListNode* head = nullptr;
  for (int i = 1; i <= 3; ++i) *static_cast<int*>(ListNewNode(head, sizeof(int))) = i;
  std::vector<int> seen;
  for (TListNode* n = ListNext(head, nullptr); n; n = ListNext(head, n))
    seen.push_back(*static_cast<int*>(ListPayload(n)));
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(head->size, sizeof(int) + 10);
  TListNode* newest = ListPop(head);
  EXPECT_EQ(*static_cast<int*>(ListPayload(newest)), 3);
  ListFreeNode(newest);
  seen.clear();
  for (TListNode* n = ListNext(head, nullptr); n; n = ListNext(head, n))
    seen.push_back(*static_cast<int*>(ListPayload(n)));
  EXPECT_EQ(seen, (std::vector<int>{1, 2}));
  ListFreeAll(head);
  EXPECT_EQ(head, nullptr);
}

TEST(XbaseUtils, TextsAndBytes) {
  std::string options = "names.ndx soundex unique";
  EXPECT_TRUE(RemoveKeyword("SOUNDEX", options));
  EXPECT_EQ(options, "NAMES.NDX  UNIQUE");
  std::string keep = "SOUNDEX2";
  EXPECT_FALSE(RemoveKeyword("soundex", keep));
  EXPECT_EQ(AllTrim("\t a b \r\n"), "a b");
  EXPECT_EQ(StrWidth(42, 5), "   42");
  EXPECT_EQ(ZeroPad(7, 3), "007");
  char bytes[] = "abcXYZZ";
  RotateBytes(bytes, 3, 4);
  EXPECT_STREQ(bytes, "XYZZabc");
  EXPECT_LT(CompareBytes("\x01", "\xff", 1), 0);  // unsigned bytes
}

TEST(XbaseUtils, FileNames) {
  EXPECT_EQ(ForceDefaultExt("table", "DBT"), "table.DBT");
  EXPECT_EQ(ForceDefaultExt("table.dbf", "DBT"), "table.dbf");
  EXPECT_EQ(ForceDefaultExt("dir.x/table  ", "DBF"), "dir.x/table.DBF");
  std::string dir, name, ext;
  SplitFileName("/data/tables/printout.dbf", dir, name, ext);
  EXPECT_EQ(dir, "/data/tables/");
  EXPECT_EQ(name, "printout");
  EXPECT_EQ(ext, ".dbf");
  const std::string temp = UniqueFilename();
  ASSERT_FALSE(temp.empty());
  EXPECT_NE(temp.find("XBP"), std::string::npos);
  EXPECT_TRUE(FileExistsShort(temp));
  EXPECT_TRUE(FileDatedToday(temp));
  EXPECT_EQ(EraseFile(temp), 0);
  EXPECT_FALSE(FileExistsShort(temp));
}

}  // namespace
