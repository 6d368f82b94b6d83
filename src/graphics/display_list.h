// The display list: every drawing operation of the graphics window appends one record here;
// a paint replays the list. Records are kept typed and packed (a small header plus the values
// in one shared pool) but each one can still be written and read as its record text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

enum class TDisplayOp : std::uint8_t {
  Unknown = 0,  // a record text whose opcode is no number or not one of ours
  MoveTo = 1,
  LineTo = 2,
  Circle = 3,
  Line = 4,
  Arc = 5,
  Text = 6,
  Solid = 7,
  Colour = 8,
  TextStyle = 9,
  Window = 10,
  LineStyle = 11,
  LineWidth = 12,
  Sleep = 13,
};

// Number of values a record of that opcode carries (texts keep theirs apart).
int DisplayOpValueCount(TDisplayOp op);

// One record as the replay sees it: opcode, values and, for texts, the text.
struct TDisplayListRecord {
  TDisplayOp op = TDisplayOp::Unknown;
  int rawOpcode = 0;  // the opcode as read, also for unknown ones
  const double* values = nullptr;
  int valueCount = 0;
  const std::string* text = nullptr;
  bool valid = true;  // false when a number of the record text could not be read
};

// How a replayed text stands on a device. The replay hands a canvas the text's cell: its
// height is kTextCellPerCadHeight times the CAD text height, its top left corner the anchor.
// The capitals stand one CAD height tall on a baseline kTextBaselineInCell cells below the
// cell's top, whichever face stands in for the configured one. A text style's width is an
// average character width as the configured face (Arial) has it: kTextAverageWidthEm of its
// em, so every face gets the em that Arial would get, not one from its own average.
constexpr double kTextCellPerCadHeight = 1.6;
constexpr double kTextBaselineInCell = 0.75;
constexpr double kTextAverageWidthEm = 0.441;

// Formats a real as a record text does: up to 8 significant digits, trailing zeros dropped,
// scientific notation only when the exponent calls for it, "." as decimal separator.
std::string FormatCoord(double value);

class TDisplayList {
 public:
  void Clear();
  std::size_t Count() const { return entries_.size(); }
  bool Empty() const { return entries_.empty(); }

  // Typed appends (what the window's drawing operations use).
  void Append(TDisplayOp op, std::initializer_list<double> values);
  void AppendText(double x, double y, std::string text);

  // Appends a record given as text ("4;0;0;10;10"); unreadable numbers mark it invalid and the
  // replay skips it.
  void AppendRecordText(std::string_view recordText);

  TDisplayListRecord Record(std::size_t index) const;

  // The record text of a record, as the list would hold it in text form.
  std::string RecordText(std::size_t index) const;

  // Bytes held by the list (headers, value pool and texts), for the memory budget.
  std::size_t MemoryBytes() const;

 private:
  struct Entry {
    std::uint32_t offset;  // into the value pool
    std::uint8_t op;
    std::uint8_t count;
    std::uint8_t valid;
    std::uint8_t spare;
  };
  // Values live in fixed chunks, so a growing list never holds twice its size while it
  // reallocates; a record's values never straddle two chunks.
  static constexpr std::uint32_t kChunkBits = 13;
  static constexpr std::uint32_t kChunkSize = 1u << kChunkBits;
  std::uint32_t Reserve(int count);  // offset of room for count values
  double* At(std::uint32_t offset) const {
    return chunks_[offset >> kChunkBits].get() + (offset & (kChunkSize - 1));
  }
  std::uint32_t AppendValues(const double* values, int count);

  std::deque<Entry> entries_;
  std::vector<std::unique_ptr<double[]>> chunks_;
  std::uint32_t used_ = 0;  // next free offset
  std::vector<std::string> texts_;
};
