// Free places for the text blocks of a sheet: a block whose given place lies over the drawn part
// or reaches out of the picture window moves to the nearest place where it covers neither;
// its size and content stay.
#pragma once

#include <vector>

struct TSheetBox {
  long double left = 0, bottom = 0, right = 0, top = 0;
};

class TSheetLayout {
 public:
  explicit TSheetLayout(const TSheetBox& window) : window_(window) {}

  // Drawn parts that text must not cover.
  void AddDisc(long double cx, long double cy, long double r);
  void AddBox(const TSheetBox& box);
  void AddSegment(long double x1, long double y1, long double x2, long double y2);

  // The top left corner (left, top) of a block width wide and height high moves to the nearest
  // place inside the window that keeps gap away from everything added; the block then counts
  // as drawn. A window without such a place grows to the right to take the block.
  void Place(long double& left, long double& top, long double width, long double height,
             long double gap);

  const TSheetBox& Window() const { return window_; }

 private:
  struct TDisc {
    long double x, y, r;
  };
  struct TSegment {
    long double x1, y1, x2, y2;
  };
  bool Free(const TSheetBox& box, long double gap) const;
  bool Search(const TSheetBox& area, long double& left, long double& top, long double width,
              long double height, long double gap) const;

  TSheetBox window_;
  std::vector<TDisc> discs_;
  std::vector<TSheetBox> boxes_;
  std::vector<TSegment> segments_;
};

// Extent of a text block written line by line with CadTextLine from the pen at (x, y): lines
// count lines of at most chars characters, text height h and character width w.
TSheetBox TextLinesBox(long double x, long double y, int lines, int chars, long double h,
                       long double w);
