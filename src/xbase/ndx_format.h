// Bytes of an NDX index file: the anchor block, tree nodes, items and key encodings.
// Everything here works on plain byte images so that the layout can be checked
// without a table or a file behind it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

constexpr int kNdxBlockSize = 512;
constexpr int kNdxMaxKeyLength = 100;
constexpr int kNdxMaxExpression = 100;
constexpr int kNdxAnchorSize = 24;
constexpr int kNdxExpressionOffset = 24;
constexpr int kNdxRecordCountCheckOffset = 488;
constexpr int kNdxRecordCountOffset = 492;
constexpr int kNdxTableNameOffset = 496;
constexpr int kNdxTableNameMax = 12;
// A reserved anchor byte that other readers pass over: 1 from just before a record write whose
// keys the index follows until the index has followed it. Found set, it tells of an update cut
// short.
constexpr int kNdxUpdateMarkOffset = 21;

using TNdxBlock = std::array<unsigned char, kNdxBlockSize>;

// The first 24 bytes of block 0, kept in memory with every open index.
struct TNdxAnchor {
  std::uint32_t root = 1;
  std::uint32_t nextFree = 2;
  char keyType = 'C';
  std::uint16_t keyLength = 0;
  std::uint16_t keysPerNode = 0;
  std::uint16_t keyClass = 0;
  std::uint16_t itemSize = 0;
  std::uint8_t unique = 0;
  std::uint8_t updating = 0;  // the update mark

  bool IsCharacter() const { return keyClass == 0; }
};

// item size = key length + 8 rounded up to a multiple of 4; keys per node = 504 div item size.
int NdxItemSize(int keyLength);
int NdxKeysPerNode(int itemSize);
// Fills key length, item size, keys per node and key class from the key type and length.
void SetNdxKeyGeometry(TNdxAnchor& anchor, char keyType, int keyLength);

void PackNdxAnchor(const TNdxAnchor& anchor, unsigned char* out24);
TNdxAnchor UnpackNdxAnchor(const unsigned char* in24);

// The whole block 0: anchor, stored expression, record count with its check, table name.
TNdxBlock MakeNdxAnchorBlock(const TNdxAnchor& anchor, std::string_view storedExpression,
                             std::uint32_t recordCount, std::string_view tableFileName);
// Expression text of block 0 (at most 100 characters, up to the first zero).
std::string NdxStoredExpression(const unsigned char* block);

// Outside string literals: letters upper-cased, blanks and tabs removed, both quote
// characters written as double quotes. Literal contents stay as typed.
std::string NormalizeKeyExpression(std::string_view text);
// Text stored in place of an expression when a key-maker routine built the index.
const std::string& KeyMakerMarker();

// Little-endian integers inside node and anchor images.
std::uint32_t GetU32(const unsigned char* p);
void PutU32(unsigned char* p, std::uint32_t v);
std::uint16_t GetU16(const unsigned char* p);
void PutU16(unsigned char* p, std::uint16_t v);

// Tree node accessors. Item i starts at 4 + i * itemSize.
inline int NodeItemCount(const unsigned char* node) {
  return GetU16(node);
}
inline void SetNodeItemCount(unsigned char* node, int n) {
  PutU32(node, static_cast<std::uint32_t>(n));
}
inline unsigned char* NodeItem(unsigned char* node, int i, int itemSize) {
  return node + 4 + i * itemSize;
}
inline const unsigned char* NodeItem(const unsigned char* node, int i, int itemSize) {
  return node + 4 + i * itemSize;
}
inline std::uint32_t ItemChild(const unsigned char* item) {
  return GetU32(item);
}
inline std::uint32_t ItemRecord(const unsigned char* item) {
  return GetU32(item + 4);
}
inline const unsigned char* ItemKey(const unsigned char* item) {
  return item + 8;
}
inline bool NodeIsLeaf(const unsigned char* node) {
  return ItemChild(node + 4) == 0;
}
// Writes child, record number and key; pads the rest of the item with zeros.
void PutNodeItem(unsigned char* item, int itemSize, std::uint32_t child, std::uint32_t record,
                 const unsigned char* key, int keyLength);

// Numeric and date keys: the value as a little-endian IEEE double.
void EncodeDoubleKey(double value, unsigned char* out8);
double DecodeDoubleKey(const unsigned char* in8);

// Byte inversion of DESCENDING key-maker keys: b -> 255 - b over at most 100 bytes.
void InvertKeyBytes(std::string& key);

// Key comparison of an index: unsigned bytes for character keys, doubles otherwise.
int CompareNdxKeys(bool characterKey, const unsigned char* a, const unsigned char* b,
                   int keyLength);
