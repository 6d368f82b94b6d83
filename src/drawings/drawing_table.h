// Text tables on drawings: a boxed header row with up to seven column titles, then data rows
// added one at a time downwards; and the table of the message list.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "common/range_array.h"
#include "drawings/sheet_layout.h"

using TTableWidths = std::array<long double, 7>;  // column widths in characters
using TTableTexts = std::array<std::string, 7>;   // one text per column

class TAusTabelle {
 public:
  // Init: columns from left, widths in characters of 0.9 h; draws the header row with the
  // titles. A zero width ends the table at the boundary before it (see ColumnCount).
  TAusTabelle(long double left, long double top, long double h, const TTableWidths& widths,
              const TTableTexts& titles);
  virtual ~TAusTabelle() = default;  // Done
  TAusTabelle(const TAusTabelle&) = delete;
  TAusTabelle& operator=(const TAusTabelle&) = delete;

  // One data row below the previous one, with a line at every column boundary.
  void AddRow(const TTableTexts& cells);
  // Column boundaries in use: the first i - 1 where boundary i equals boundary i - 1 for
  // i = 2..7, otherwise 8.
  int ColumnCount() const;
  // Writes the texts of the columns in use and moves the row cursor down one row.
  void WriteRowTexts();

  RangeArray<long double, 1, 8> x{};  // column boundaries
  long double top = 0.0L;
  long double rowBottom = 0.0L;  // lower edge of the current row
  long double textY = 0.0L;      // text base line of the current row
  RangeArray<std::string, 1, 7> texts;
  long double h = 0.0L;     // text height
  long double rowH = 0.0L;  // row height, 2 h
  std::int32_t colCount = 0;
};

// Extent of a table with its top left corner at (left, top): the columns of widths and rows
// rows below the header row, at text height h.
TSheetBox TableBox(long double left, long double top, long double h, const TTableWidths& widths,
                   int rows);

// The message list as a table titled "error messages", one column width characters wide
// (0: 31), its top left at (left, top). With more than one message and an available height
// above 0.1 the text height shrinks so that header and rows fit into it. No messages: nothing.
void DrawMessageTable(int width, long double left, long double top, long double h,
                      long double available);
// Extent of the message table that DrawMessageTable draws with the same arguments.
TSheetBox MessageTableBox(int width, long double left, long double top, long double h,
                          long double available);
