// The drawing documentation of a data set that the title blocks print: the change records,
// the drawing information (approval rows, replacement texts) and the texts placed on the
// drawing. Texts are held in the DOS code page.
#pragma once

#include <cstdint>
#include <string>

#include "common/range_array.h"

constexpr int kMaxChangeRecords = 25;
constexpr int kMaxDrawingTextRecords = 8;
constexpr int kDrawingInfoCount = 10;

struct TChangeRecord {
  std::string modification;  // at most 20 characters
  std::string date;          // at most 10
  std::string editor;        // shown as "Compl.", at most 5
  std::string description;   // at most 255, line breaks as entered
};

// A text placed on the sheet: position and height in sheet millimetres, angle in degrees.
struct TDrawingTextRecord {
  long double x = 0.0L;
  long double y = 0.0L;
  long double height = 0.0L;
  long double angle = 0.0L;
  std::string text;
};

// Positions in TChangeRecords::drawingInfo.
enum TDrawingInfoItem : int {
  kComplDate = 1,
  kComplName = 2,
  kCheckDate = 3,
  kCheckName = 4,
  kStandDate = 5,
  kStandName = 6,
  kReplacementFor = 7,
  kReplacedBy = 8,
  kReleaseDate = 9,
  kReleaseName = 10,
};

struct TChangeRecords {
  std::uint16_t count = 0;  // changes 1..count are in use (0..25)
  RangeArray<TChangeRecord, 1, kMaxChangeRecords> changes;
  RangeArray<std::string, 1, kDrawingInfoCount> drawingInfo;
  std::uint16_t textCount = 0;  // drawing texts 1..textCount are in use (0..8)
  RangeArray<TDrawingTextRecord, 1, kMaxDrawingTextRecords> texts;
};
extern TChangeRecords ChangeRecords;

// Start state: no changes and no drawing texts, every text empty except the completion,
// check and standards dates, which are today's date.
void InitChangeRecords();

// The counts limited to the records that exist, for readers that must not trust a count
// read from a file.
int UsedChangeCount();
int UsedDrawingTextCount();
