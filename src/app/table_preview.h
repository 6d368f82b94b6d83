// Sorting and searching the rows of the table preview, without the window: a grid of texts whose
// row 0 is the header. Sorting keeps the rows together and tells where each old row went, so the
// selection can follow its record.
#pragma once

#include <string>
#include <vector>

#include "app/data_file_table.h"

// Sort order of two cells: empty texts first, then numbers by value (blanks around them are
// ignored, "," counts as the decimal point), then other texts ignoring letter case.
bool CellLess(const std::string& a, const std::string& b);

// index[k] := k for k = lo..hi, then keys[lo..hi] sorted ascending by CellLess with the index
// entries carried along; equal keys keep their order.
void SortStringsWithIndex(std::vector<std::string>& keys, std::vector<int>& index, int lo, int hi);

// Sorts rows 1 .. end of the grid by the cells of one column (rows shorter than the column count
// as empty there). index[r] is the old row now at row r (index[0] = 0).
void SortGridByColumn(TTextGrid& grid, int column, std::vector<int>& index);

// The row where old row `row` went (the first r >= 1 with index[r] = row); 0 when none.
int RowOfIndex(const std::vector<int>& index, int row);

// First cell after row startRow (row 0, the header, is never searched) whose text contains the
// search text (case-sensitive), rows top-down, columns left to right. A start row at or beyond
// the end counts as the last row. False when none; an empty search text finds nothing.
bool SearchGrid(const TTextGrid& grid, const std::string& text, int startRow, int& foundRow,
                int& foundColumn);
