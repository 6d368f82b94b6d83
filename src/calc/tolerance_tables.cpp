// ISO 286 tolerance grades (IT4..IT11) and DIN 3967 tooth thickness tolerances and upper
// deviations in micrometres, with the diameter-range lookups.
#include "calc/tolerance_tables.h"

#include <cmath>

namespace {

// Rows: diameter steps 1..21 (up to 3, 6, 10, 18, 30, 50, 80, 120, 180, 250, 315, 400, 500,
// 630, 800, 1000, 1250, 1600, 2000, 2500, 3150 mm); columns IT4..IT11.
constexpr int32_t kIT[21][8] = {
    {3, 4, 6, 10, 14, 25, 40, 60},           {4, 5, 8, 12, 18, 30, 48, 75},
    {4, 6, 9, 15, 22, 36, 58, 90},           {5, 8, 11, 18, 27, 43, 70, 110},
    {6, 9, 13, 21, 33, 52, 84, 130},         {7, 11, 16, 25, 39, 62, 100, 160},
    {8, 13, 19, 30, 46, 74, 120, 190},       {10, 15, 22, 35, 54, 87, 140, 220},
    {12, 18, 25, 40, 63, 100, 160, 250},     {14, 20, 29, 46, 72, 115, 185, 290},
    {16, 23, 32, 52, 81, 130, 210, 320},     {18, 25, 36, 57, 89, 140, 230, 360},
    {20, 27, 40, 63, 97, 155, 250, 400},     {22, 32, 44, 70, 110, 175, 280, 440},
    {25, 36, 50, 80, 125, 200, 320, 500},    {28, 40, 56, 90, 140, 230, 360, 560},
    {33, 47, 66, 105, 165, 260, 420, 660},   {39, 55, 78, 125, 195, 310, 500, 780},
    {46, 65, 92, 150, 230, 370, 600, 920},   {55, 78, 110, 175, 280, 440, 700, 1100},
    {68, 96, 135, 210, 330, 540, 860, 1350},
};

// Rows: DIN steps 1..11; columns tolerance series 21..30.
constexpr int32_t kTsn[11][10] = {
    {3, 5, 8, 12, 20, 30, 50, 80, 130, 200},
    {5, 8, 12, 20, 30, 50, 80, 130, 200, 300},
    {6, 10, 16, 25, 40, 60, 100, 160, 250, 400},
    {8, 12, 20, 30, 50, 80, 130, 200, 300, 500},
    {10, 16, 25, 40, 60, 100, 160, 250, 400, 600},
    {12, 20, 30, 50, 80, 130, 200, 300, 500, 800},
    {16, 25, 40, 60, 100, 160, 250, 400, 600, 1000},
    {20, 30, 50, 80, 130, 200, 300, 500, 800, 1300},
    {25, 40, 60, 100, 160, 250, 400, 600, 1000, 1600},
    {30, 50, 80, 130, 200, 300, 500, 800, 1300, 2000},
    {40, 60, 100, 160, 250, 400, 600, 1000, 1600, 2400},
};

// Rows: DIN steps 1..11; columns deviation fields a, ab, b, bc, c, cd, d, e, f, g, h.
constexpr int32_t kAs[11][11] = {
    {100, 85, 70, 58, 48, 40, 33, 22, 10, 5, 0},
    {135, 110, 95, 75, 65, 54, 44, 30, 14, 7, 0},
    {180, 150, 125, 105, 85, 70, 60, 40, 19, 9, 0},
    {250, 200, 170, 140, 115, 95, 80, 56, 26, 12, 0},
    {330, 280, 230, 190, 155, 130, 110, 75, 35, 17, 0},
    {450, 370, 310, 260, 210, 175, 145, 100, 48, 22, 0},
    {600, 500, 420, 340, 290, 240, 200, 135, 64, 30, 0},
    {820, 680, 560, 460, 390, 320, 270, 180, 85, 41, 0},
    {1100, 920, 760, 620, 520, 430, 360, 250, 115, 56, 0},
    {1500, 1250, 1020, 840, 700, 580, 480, 330, 155, 75, 0},
    {2000, 1650, 1350, 1150, 940, 780, 640, 450, 210, 100, 0},
};

// The integer that picks the row. The magnitude is taken first so that a hub diameter
// (negative) finds the same row as the shaft of the same size. The tiny allowance keeps a
// decimal input such as 2500.01 from falling below its integer after the subtraction.
int32_t RowKey(long double d, long double offset) {
  long double v = std::fabs(d) - offset + 1e-9L;
  if (v > 1e9L) return 1000000000;
  return static_cast<int32_t>(std::trunc(v));
}

}  // namespace

int32_t ISODiameterStep(int32_t n) {
  static constexpr int32_t kUpper[] = {3,   6,   10,  18,  30,  50,   80,   120,  180,  250,
                                       315, 400, 500, 630, 800, 1000, 1250, 1600, 2000, 2500};
  n = n < 0 ? -n : n;
  for (int32_t i = 0; i < 20; ++i) {
    if (n < kUpper[i]) return i + 1;
  }
  return 21;
}

int32_t DINDiameterStep(int32_t n) {
  static constexpr int32_t kUpper[] = {10, 50, 125, 280, 560, 1000, 1600, 2500, 4000, 6300};
  n = n < 0 ? -n : n;
  for (int32_t i = 0; i < 10; ++i) {
    if (n < kUpper[i]) return i + 1;
  }
  return 11;
}

int32_t ToleranceGradeIT(int32_t grade, long double d) {
  if (grade < 1 || grade > 8) return 0;
  return kIT[ISODiameterStep(RowKey(d, 0.01L)) - 1][grade - 1];
}

int32_t ToothThicknessTolerance(int32_t series, long double d) {
  if (series < 1 || series > 10) return 0;
  return kTsn[DINDiameterStep(RowKey(d, 0.0001L)) - 1][series - 1];
}

int32_t ToothThicknessDeviation(int32_t field, long double d) {
  if (field < 1 || field > 11) return 0;
  return kAs[DINDiameterStep(RowKey(d, 0.0001L)) - 1][field - 1];
}
