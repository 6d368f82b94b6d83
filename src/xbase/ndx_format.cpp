// Bytes of an NDX index file: anchor block, node items and key encodings.
#include "xbase/ndx_format.h"

#include <algorithm>
#include <bit>
#include <cstring>

std::uint32_t GetU32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void PutU32(unsigned char* p, std::uint32_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
  p[2] = static_cast<unsigned char>(v >> 16);
  p[3] = static_cast<unsigned char>(v >> 24);
}

std::uint16_t GetU16(const unsigned char* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

void PutU16(unsigned char* p, std::uint16_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
}

int NdxItemSize(int keyLength) {
  return keyLength + 8 + (4 - keyLength % 4) % 4;
}

int NdxKeysPerNode(int itemSize) {
  return itemSize > 0 ? 504 / itemSize : 0;
}

void SetNdxKeyGeometry(TNdxAnchor& anchor, char keyType, int keyLength) {
  anchor.keyType = keyType;
  anchor.keyLength = static_cast<std::uint16_t>(keyLength);
  anchor.itemSize = static_cast<std::uint16_t>(NdxItemSize(keyLength));
  anchor.keysPerNode = static_cast<std::uint16_t>(NdxKeysPerNode(anchor.itemSize));
  anchor.keyClass = keyType == 'C' ? 0 : 1;
}

void PackNdxAnchor(const TNdxAnchor& anchor, unsigned char* out) {
  std::memset(out, 0, kNdxAnchorSize);
  PutU32(out, anchor.root);
  PutU32(out + 4, anchor.nextFree);
  out[9] = static_cast<unsigned char>(anchor.keyType);
  PutU16(out + 12, anchor.keyLength);
  PutU16(out + 14, anchor.keysPerNode);
  PutU16(out + 16, anchor.keyClass);
  PutU16(out + 18, anchor.itemSize);
  out[kNdxUpdateMarkOffset] = anchor.updating;
  out[23] = anchor.unique;
}

TNdxAnchor UnpackNdxAnchor(const unsigned char* in) {
  TNdxAnchor a;
  a.root = GetU32(in);
  a.nextFree = GetU32(in + 4);
  a.keyType = static_cast<char>(in[9]);
  a.keyLength = GetU16(in + 12);
  a.keysPerNode = GetU16(in + 14);
  a.keyClass = GetU16(in + 16);
  a.itemSize = GetU16(in + 18);
  a.unique = in[23];
  a.updating = in[kNdxUpdateMarkOffset];
  // Files of other programs leave the type letter out; the key class tells enough.
  if (a.keyType != 'C' && a.keyType != 'D' && a.keyType != 'N' && a.keyType != 'F')
    a.keyType = a.keyClass == 0 ? 'C' : 'N';
  return a;
}

TNdxBlock MakeNdxAnchorBlock(const TNdxAnchor& anchor, std::string_view storedExpression,
                             std::uint32_t recordCount, std::string_view tableFileName) {
  TNdxBlock b{};
  PackNdxAnchor(anchor, b.data());
  const std::size_t n = std::min<std::size_t>(storedExpression.size(), kNdxMaxExpression);
  std::memcpy(b.data() + kNdxExpressionOffset, storedExpression.data(), n);
  PutU32(b.data() + kNdxRecordCountCheckOffset, 0xFFFFFFFFu - recordCount);
  PutU32(b.data() + kNdxRecordCountOffset, recordCount);
  const std::size_t slash = tableFileName.find_last_of("/\\:");
  if (slash != std::string_view::npos) tableFileName.remove_prefix(slash + 1);
  const std::size_t t = std::min<std::size_t>(tableFileName.size(), kNdxTableNameMax);
  std::memcpy(b.data() + kNdxTableNameOffset, tableFileName.data(), t);
  return b;
}

std::string NdxStoredExpression(const unsigned char* block) {
  const char* p = reinterpret_cast<const char*>(block + kNdxExpressionOffset);
  return std::string(p, strnlen(p, kNdxMaxExpression));
}

std::string NormalizeKeyExpression(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  char quote = 0;
  for (char c : text) {
    if (quote) {
      if (c == quote) {
        out += '"';
        quote = 0;
      } else {
        out += c;
      }
    } else if (c == '\'' || c == '"') {
      quote = c;
      out += '"';
    } else if (c == ' ' || c == '\t') {
      continue;
    } else if (c >= 'a' && c <= 'z') {
      out += static_cast<char>(c - 'a' + 'A');
    } else {
      out += c;
    }
  }
  return out;
}

const std::string& KeyMakerMarker() {
  static const std::string marker =
      NormalizeKeyExpression("User defined KeyMaker was used to build this index");
  return marker;
}

void PutNodeItem(unsigned char* item, int itemSize, std::uint32_t child, std::uint32_t record,
                 const unsigned char* key, int keyLength) {
  std::memset(item, 0, itemSize);
  PutU32(item, child);
  PutU32(item + 4, record);
  if (key) std::memcpy(item + 8, key, keyLength);
}

void EncodeDoubleKey(double value, unsigned char* out) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  for (int i = 0; i < 8; ++i) out[i] = static_cast<unsigned char>(bits >> (8 * i));
}

double DecodeDoubleKey(const unsigned char* in) {
  std::uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = (bits << 8) | in[i];
  return std::bit_cast<double>(bits);
}

void InvertKeyBytes(std::string& key) {
  const std::size_t n = std::min<std::size_t>(key.size(), kNdxMaxKeyLength);
  for (std::size_t i = 0; i < n; ++i)
    key[i] = static_cast<char>(255 - static_cast<unsigned char>(key[i]));
}

int CompareNdxKeys(bool characterKey, const unsigned char* a, const unsigned char* b,
                   int keyLength) {
  if (characterKey) {
    for (int i = 0; i < keyLength; ++i)
      if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    return 0;
  }
  const double x = DecodeDoubleKey(a);
  const double y = DecodeDoubleKey(b);
  return x < y ? -1 : (x > y ? 1 : 0);
}
