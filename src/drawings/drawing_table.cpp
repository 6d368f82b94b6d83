// Text tables on drawings and the table of the message list.
#include "drawings/drawing_table.h"

#include <algorithm>

#include "common/message_list.h"
#include "graphics/cad_primitives.h"

namespace {

constexpr int kLineColour = 17;
constexpr int kTextColour = 18;
constexpr long double kCharWidth = 0.9L;   // of the text height, for the column layout
constexpr long double kTextWidth = 0.75L;  // of the text height, as written
constexpr int kDefaultMessageWidth = 31;

}  // namespace

TAusTabelle::TAusTabelle(long double left, long double top, long double h,
                         const TTableWidths& widths, const TTableTexts& titles) {
  x[1] = left;
  for (int i = 1; i <= 7; ++i) {
    x[i + 1] = x[i] + kCharWidth * widths[static_cast<std::size_t>(i - 1)] * h;
    texts[i] = titles[static_cast<std::size_t>(i - 1)];
  }
  this->h = h;
  rowH = 2.0L * h;
  this->top = top;
  rowBottom = top - 2.0L * h;
  textY = top - 1.5L * h;
  colCount = ColumnCount();

  CadColour(kLineColour);
  CadRectangle(x[1], top, x[colCount], top - rowH);
  // The header row has its outer edges only.
  CadLine(x[1], top - rowH, x[1], top);
  CadLine(x[colCount], top - rowH, x[colCount], top);
  CadTextHeight(2, 0.0L, h, kTextWidth * h);
  WriteRowTexts();
}

int TAusTabelle::ColumnCount() const {
  for (int i = 2; i <= 7; ++i) {
    if (x[i] == x[i - 1]) return i - 1;
  }
  return 8;
}

void TAusTabelle::WriteRowTexts() {
  CadColour(kTextColour);
  for (int i = 1; i <= colCount - 1; ++i) CadText(x[i], textY, " " + texts[i]);
  rowBottom -= rowH;
  textY -= rowH;
}

void TAusTabelle::AddRow(const TTableTexts& cells) {
  for (int i = 1; i <= 7; ++i) texts[i] = cells[static_cast<std::size_t>(i - 1)];
  CadColour(kLineColour);
  CadLine(x[1], rowBottom, x[colCount], rowBottom);
  for (int i = 1; i <= colCount; ++i) CadLine(x[i], rowBottom + rowH, x[i], rowBottom);
  WriteRowTexts();
}

TSheetBox TableBox(long double left, long double top, long double h, const TTableWidths& widths,
                   int rows) {
  long double width = 0;
  for (long double w : widths) {
    if (w == 0) break;
    width += kCharWidth * w * h;
  }
  return {left, top - 2.0L * h * (rows + 1), left + width, top};
}

namespace {

// Text height of the message table: shrunk so that header and rows fit into the height
// available.
long double MessageTextHeight(long double h, long double available) {
  const int n = ErrorCount();
  return n > 1 && available > 0.1L ? std::min(h, available / (n + 1) / 2.0L) : h;
}

}  // namespace

TSheetBox MessageTableBox(int width, long double left, long double top, long double h,
                          long double available) {
  if (width == 0) width = kDefaultMessageWidth;
  return TableBox(left, top, MessageTextHeight(h, available), {static_cast<long double>(width)},
                  ErrorCount());
}

void DrawMessageTable(int width, long double left, long double top, long double h,
                      long double available) {
  if (width == 0) width = kDefaultMessageWidth;
  const int n = ErrorCount();
  h = MessageTextHeight(h, available);
  if (n == 0) return;
  TAusTabelle table(left, top, h, {static_cast<long double>(width)}, {"error messages"});
  for (int i = 1; i <= n; ++i) table.AddRow({ErrorText(i)});
}
