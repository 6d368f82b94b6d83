// NDX byte layout: anchor fields, item geometry, key encodings and the stored expression.
#include "xbase/ndx_format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct GeometryCase {
  const char* name;
  char type;
  int keyLength;
  int itemSize;
  int keysPerNode;
  int keyClass;
};

// Item size and fan-out of the published NDX layout: item = 8 + key rounded to 4, 504 div item.
const GeometryCase kGeometry[] = {
    {"character_10", 'C', 10, 20, 25, 0}, {"numeric_8", 'N', 8, 16, 31, 1},
    {"date_8", 'D', 8, 16, 31, 1},        {"character_100", 'C', 100, 108, 4, 0},
    {"character_1", 'C', 1, 12, 42, 0},   {"character_12", 'C', 12, 20, 25, 0},
    {"character_13", 'C', 13, 24, 21, 0},
};

TEST(NdxFormat, GeometryFollowsKeyLength) {
  for (const auto& c : kGeometry) {
    TNdxAnchor a;
    SetNdxKeyGeometry(a, c.type, c.keyLength);
    EXPECT_EQ(a.itemSize, c.itemSize) << c.name;
    EXPECT_EQ(a.keysPerNode, c.keysPerNode) << c.name;
    EXPECT_EQ(a.keyClass, c.keyClass) << c.name;
    // A full interior node with its pointer-only item still fits into the block.
    EXPECT_LE(4 + a.keysPerNode * a.itemSize + 4, kNdxBlockSize) << c.name;
  }
}

TEST(NdxFormat, AnchorBlockBytes) {
  TNdxAnchor a;
  SetNdxKeyGeometry(a, 'C', 10);
  a.root = 0x01020304;
  a.nextFree = 7;
  a.unique = 1;
  const TNdxBlock b = MakeNdxAnchorBlock(a, "UPPER(NAME)", 1000, "/tmp/dir/PEOPLE.DBF");
  const unsigned char head[24] = {4,  3, 2,  1, 7, 0, 0,  0, 0, 'C', 0, 0,
                                  10, 0, 25, 0, 0, 0, 20, 0, 0, 0,   0, 1};
  EXPECT_EQ(0, std::memcmp(b.data(), head, 24));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data() + 24)), "UPPER(NAME)");
  for (int i = 24 + 11; i < 488; ++i) ASSERT_EQ(b[i], 0) << i;
  // 1000 = 0x3E8; its complement 0xFFFFFC17.
  const unsigned char counts[8] = {0x17, 0xFC, 0xFF, 0xFF, 0xE8, 0x03, 0, 0};
  EXPECT_EQ(0, std::memcmp(b.data() + 488, counts, 8));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data() + 496)), "PEOPLE.DBF");
  for (int i = 509; i < 512; ++i) EXPECT_EQ(b[i], 0);
  const TNdxAnchor back = UnpackNdxAnchor(b.data());
  EXPECT_EQ(back.root, a.root);
  EXPECT_EQ(back.nextFree, 7u);
  EXPECT_EQ(back.keyType, 'C');
  EXPECT_EQ(back.unique, 1);
  EXPECT_EQ(NdxStoredExpression(b.data()), "UPPER(NAME)");
}

TEST(NdxFormat, TableNameIsCutToTwelveCharacters) {
  TNdxAnchor a;
  SetNdxKeyGeometry(a, 'N', 8);
  const TNdxBlock b = MakeNdxAnchorBlock(a, "X", 0, "ABCDEFGHIJKLMN.DBF");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data() + 496)), "ABCDEFGHIJKL");
}

TEST(NdxFormat, ExpressionNormalisation) {
  struct {
    const char* typed;
    const char* stored;
  } cases[] = {
      {"upper(name) + dtos(born)", "UPPER(NAME)+DTOS(BORN)"},
      {"name + 'a b'", "NAME+\"a b\""},
      {"\tcity\t+ \"x'y\"", "CITY+\"x'y\""},
      {"str(price, 10, 2)", "STR(PRICE,10,2)"},
  };
  for (const auto& c : cases) EXPECT_EQ(NormalizeKeyExpression(c.typed), c.stored) << c.typed;
  EXPECT_EQ(KeyMakerMarker(), "USERDEFINEDKEYMAKERWASUSEDTOBUILDTHISINDEX");
}

TEST(NdxFormat, DoubleKeysAreLittleEndianIeee) {
  // Reference bytes from Python's struct.pack('<d', value).
  struct {
    double value;
    unsigned char bytes[8];
  } cases[] = {
      {1.0, {0, 0, 0, 0, 0, 0, 0xF0, 0x3F}},
      {-2.5, {0, 0, 0, 0, 0, 0, 0x04, 0xC0}},
      {2451545.0, {0, 0, 0, 0x80, 0x2C, 0xB4, 0x42, 0x41}},  // Julian day of 2000-01-01
  };
  for (const auto& c : cases) {
    unsigned char out[8];
    EncodeDoubleKey(c.value, out);
    EXPECT_EQ(0, std::memcmp(out, c.bytes, 8)) << c.value;
    EXPECT_EQ(DecodeDoubleKey(c.bytes), c.value);
  }
  unsigned char a[8], b[8];
  EncodeDoubleKey(-1.0, a);
  EncodeDoubleKey(0.5, b);
  EXPECT_LT(CompareNdxKeys(false, a, b, 8), 0);  // numerically, not by bytes
  EXPECT_GT(CompareNdxKeys(true, a, b, 8), 0);
}

TEST(NdxFormat, DescendingInversionReversesByteOrder) {
  std::string a = "AB", b = "AC";
  InvertKeyBytes(a);
  InvertKeyBytes(b);
  EXPECT_EQ(static_cast<unsigned char>(a[0]), 255 - 'A');
  EXPECT_GT(CompareNdxKeys(true, reinterpret_cast<const unsigned char*>(a.data()),
                           reinterpret_cast<const unsigned char*>(b.data()), 2),
            0);
}

TEST(NdxFormat, NodeItemLayout) {
  TNdxBlock node{};
  const unsigned char key[3] = {'A', 'B', 'C'};
  PutNodeItem(NodeItem(node.data(), 1, 12), 12, 5, 77, key, 3);
  SetNodeItemCount(node.data(), 2);
  const unsigned char expect[12] = {5, 0, 0, 0, 77, 0, 0, 0, 'A', 'B', 'C', 0};
  EXPECT_EQ(0, std::memcmp(node.data() + 4 + 12, expect, 12));
  EXPECT_EQ(NodeItemCount(node.data()), 2);
  EXPECT_TRUE(NodeIsLeaf(node.data()));  // item 0's child is 0
}

}  // namespace
