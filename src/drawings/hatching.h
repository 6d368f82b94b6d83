// Hatching of closed contours and freehand break lines for the section views of the drawings.
//
// One global contour store collects the outline (AddHatchPoint, FreehandLine with feed) and
// HatchPoints fills it with parallel lines at a given angle and spacing. Everything is drawn
// through the CAD primitives, so it reaches every CAD target.
#pragma once

#include <cstdint>
#include <span>

#include "common/range_array.h"

constexpr int kHatchPointCount = 100;  // points a contour may have

struct THatchPoint {
  long double x = 0.0L;
  long double y = 0.0L;
};

// points 1..100 hold the contour; point 101 takes the copy of the first point that closes a full
// contour. count is the number of points collected by AddHatchPoint; it may exceed 100 after an
// overflow, which a later HatchPoints(0, ...) reports again.
struct THatchStore {
  RangeArray<THatchPoint, 1, kHatchPointCount + 1> points;
  std::uint16_t count = 0;
};
extern THatchStore HatchStore;

// Start state: every slot (0, 0), count 0, the break-line generator seeded. (HatchMode is a
// setting of PlotSettings and starts at 1 with the program settings.)
void InitHatching();

// Hatches the closed contour of slots 1..n: outline and colours by PlotSettings.HatchMode
// (1 outline colour 5 and lines colour 3; 2 lines colour 3 only; else both in the current
// colour). angle in degrees (exactly 0: outline only); spacing is the distance between the
// lines, 0 for ten steps across the contour. A contour that differs in its last point from its
// first is closed with a copy of the first.
void HatchContour(int n, long double spacing, long double angle);
// HatchContour with n, or with the collected point count when n is 0.
void HatchPoints(int n, long double spacing, long double angle);
void AddHatchPoint(long double x, long double y);
// Forgets the collected points (the slots keep their values).
void ClearHatchPoints();
void SetHatchMode(std::uint16_t mode);

// Sorts values ascending; index receives the permutation: index[k] is the original position of
// the k-th smallest value. Both must have the same length ("Fatal  : QSORT2 error" and
// AbortFlag otherwise). Equal values keep their order.
void SortWithIndex(std::span<double> values, std::span<int> index);

// Irregular break line of six pieces from (x1, y1) to (x2, y2); the five inner points lie
// within 2 x amplitude across the straight line. With feed its seven points are appended to
// the contour.
void FreehandLine(bool feed, long double x1, long double y1, long double x2, long double y2,
                  long double amplitude);
// Restarts the break-line generator, so a drawing made after it is reproducible.
void SetFreehandSeed(std::uint32_t seed);
