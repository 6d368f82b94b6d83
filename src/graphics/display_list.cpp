// Packed storage of the display list and the text form of its records.
#include "graphics/display_list.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

int DisplayOpValueCount(TDisplayOp op) {
  switch (op) {
    case TDisplayOp::MoveTo:
    case TDisplayOp::LineTo:
      return 2;
    case TDisplayOp::Circle:
      return 3;
    case TDisplayOp::Line:
    case TDisplayOp::TextStyle:
      return 4;
    case TDisplayOp::Arc:
    case TDisplayOp::Solid:
    case TDisplayOp::Window:
      return 8;
    case TDisplayOp::Text:
      return 3;  // x, y and the index of the text
    case TDisplayOp::Colour:
    case TDisplayOp::LineStyle:
    case TDisplayOp::LineWidth:
    case TDisplayOp::Sleep:
      return 1;
    case TDisplayOp::Unknown:
      return 1;  // the raw opcode
  }
  return 0;
}

std::string FormatCoord(double value) {
  if (!std::isfinite(value)) return "0";
  char buf[40];
  auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 8);
  std::string s(buf, res.ptr);
  if (s == "-0") s = "0";
  return s;
}

void TDisplayList::Clear() {
  entries_.clear();
  entries_.shrink_to_fit();
  chunks_.clear();
  used_ = 0;
  texts_.clear();
}

std::uint32_t TDisplayList::Reserve(int count) {
  std::uint32_t inChunk = used_ & (kChunkSize - 1);
  if (used_ != 0 && inChunk == 0) inChunk = kChunkSize;  // the last chunk is full
  if (chunks_.empty() || inChunk + static_cast<std::uint32_t>(count) > kChunkSize) {
    used_ = static_cast<std::uint32_t>(chunks_.size()) << kChunkBits;
    chunks_.push_back(std::make_unique<double[]>(kChunkSize));
  }
  const std::uint32_t offset = used_;
  used_ += static_cast<std::uint32_t>(count);
  return offset;
}

std::uint32_t TDisplayList::AppendValues(const double* values, int count) {
  const std::uint32_t offset = Reserve(count);
  std::copy(values, values + count, At(offset));
  return offset;
}

void TDisplayList::Append(TDisplayOp op, std::initializer_list<double> values) {
  const int count = static_cast<int>(values.size());
  entries_.push_back(Entry{AppendValues(values.begin(), count), static_cast<std::uint8_t>(op),
                           static_cast<std::uint8_t>(count), 1, 0});
}

void TDisplayList::AppendText(double x, double y, std::string text) {
  const double index = static_cast<double>(texts_.size());
  texts_.push_back(std::move(text));
  Append(TDisplayOp::Text, {x, y, index});
}

namespace {

bool ParseReal(std::string_view field, double& out) {
  // Blanks around a number are tolerated; "," is not a decimal separator in records.
  while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
  while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
  if (!field.empty() && field.front() == '+') field.remove_prefix(1);
  if (field.empty()) return false;
  auto res = std::from_chars(field.data(), field.data() + field.size(), out);
  return res.ec == std::errc() && res.ptr == field.data() + field.size() && std::isfinite(out);
}

bool ParseInt(std::string_view field, long long& out) {
  while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
  while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
  if (!field.empty() && field.front() == '+') field.remove_prefix(1);
  if (field.empty()) return false;
  auto res = std::from_chars(field.data(), field.data() + field.size(), out);
  return res.ec == std::errc() && res.ptr == field.data() + field.size();
}

// Splits off the field up to the next ";" (or the rest when there is none).
std::string_view NextField(std::string_view& rest) {
  const auto pos = rest.find(';');
  std::string_view field = rest.substr(0, pos);
  rest = pos == std::string_view::npos ? std::string_view{} : rest.substr(pos + 1);
  return field;
}

}  // namespace

void TDisplayList::AppendRecordText(std::string_view recordText) {
  std::string_view rest = recordText;
  long long opcode = 0;
  if (!ParseInt(NextField(rest), opcode)) opcode = 0;
  const auto op = static_cast<TDisplayOp>(opcode >= 1 && opcode <= 13 ? opcode : 0);
  bool valid = true;
  std::vector<double> vals;
  auto real = [&](std::string_view f) {
    double v = 0;
    if (!ParseReal(f, v)) valid = false;
    vals.push_back(v);
  };
  auto integer = [&](std::string_view f) {
    long long v = 0;
    if (!ParseInt(f, v)) valid = false;
    vals.push_back(static_cast<double>(v));
  };
  switch (op) {
    case TDisplayOp::Unknown:
      vals.push_back(static_cast<double>(opcode));
      break;
    case TDisplayOp::Text: {
      real(NextField(rest));
      real(NextField(rest));
      vals.push_back(static_cast<double>(texts_.size()));
      texts_.emplace_back(rest);
      entries_.push_back(Entry{AppendValues(vals.data(), 3), static_cast<std::uint8_t>(op), 3,
                               static_cast<std::uint8_t>(valid), 0});
      return;
    }
    case TDisplayOp::TextStyle:
      real(NextField(rest));
      real(NextField(rest));
      integer(NextField(rest));
      real(rest);
      break;
    case TDisplayOp::Colour:
    case TDisplayOp::LineStyle:
    case TDisplayOp::LineWidth:
    case TDisplayOp::Sleep:
      integer(rest);
      break;
    default: {
      const int n = DisplayOpValueCount(op);
      for (int i = 0; i < n; ++i) real(NextField(rest));
      break;
    }
  }
  const int count = static_cast<int>(vals.size());
  entries_.push_back(Entry{AppendValues(vals.data(), count), static_cast<std::uint8_t>(op),
                           static_cast<std::uint8_t>(count), static_cast<std::uint8_t>(valid), 0});
}

TDisplayListRecord TDisplayList::Record(std::size_t index) const {
  const Entry& e = entries_[index];
  TDisplayListRecord r;
  r.op = static_cast<TDisplayOp>(e.op);
  r.values = At(e.offset);
  r.valueCount = e.count;
  r.valid = e.valid != 0;
  r.rawOpcode = r.op == TDisplayOp::Unknown ? static_cast<int>(r.values[0]) : e.op;
  if (r.op == TDisplayOp::Text) {
    r.text = &texts_[static_cast<std::size_t>(r.values[2])];
    r.valueCount = 2;
  }
  return r;
}

std::string TDisplayList::RecordText(std::size_t index) const {
  const TDisplayListRecord r = Record(index);
  std::string s = std::to_string(r.rawOpcode);
  auto integer = [](double v) { return std::to_string(static_cast<long long>(v)); };
  switch (r.op) {
    case TDisplayOp::Unknown:
      break;
    case TDisplayOp::MoveTo:
    case TDisplayOp::LineTo:
      s += ';' + FormatCoord(r.values[0]) + ';' + FormatCoord(r.values[1]) + ';';
      break;
    case TDisplayOp::Text:
      s += ';' + FormatCoord(r.values[0]) + ';' + FormatCoord(r.values[1]) + ';' + *r.text;
      break;
    case TDisplayOp::TextStyle:
      s += ';' + FormatCoord(r.values[0]) + ';' + FormatCoord(r.values[1]) + ';' +
           integer(r.values[2]) + ';' + FormatCoord(r.values[3]);
      break;
    case TDisplayOp::Window:
      for (int i = 0; i < 4; ++i) s += ';' + integer(r.values[i]);
      for (int i = 4; i < 8; ++i) s += ';' + FormatCoord(r.values[i]);
      break;
    case TDisplayOp::Colour:
    case TDisplayOp::LineStyle:
    case TDisplayOp::LineWidth:
    case TDisplayOp::Sleep:
      s += ';' + integer(r.values[0]);
      break;
    default:
      for (int i = 0; i < r.valueCount; ++i) s += ';' + FormatCoord(r.values[i]);
      break;
  }
  return s;
}

std::size_t TDisplayList::MemoryBytes() const {
  // A deque holds its entries in blocks of 512 bytes plus one map pointer per block.
  const std::size_t blocks = (entries_.size() * sizeof(Entry) + 511) / 512 + 1;
  std::size_t bytes = blocks * (512 + sizeof(void*)) +
                      chunks_.size() * kChunkSize * sizeof(double) +
                      chunks_.capacity() * sizeof(void*) + texts_.capacity() * sizeof(std::string);
  for (const auto& t : texts_)
    if (t.capacity() > 15) bytes += t.capacity() + 1;
  return bytes;
}
