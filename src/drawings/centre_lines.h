// Small drawing routines shared by the part views and the title blocks: centre lines, the
// outline pairs of cylindrical and conical sections, series of rulings, and the hatched
// shaft-end symbol. Line style and colour are the caller's unless a routine says otherwise.
#pragma once

// The shaft-end symbol about (x, y), size s across: a closed wavy contour hatched at 45
// degrees (through the hatch store, slots 1..47; the collected point count is left alone) and
// its upper edge mirrored about the vertical through x, not hatched.
void DrawHatchedSymbol(long double x, long double y, long double s);
// Vertical line of length l centred on (x, y).
void DrawCenterLine(long double x, long double y, long double l);
// The two outline lines of a conical section on the axis y from x1 (diameter d1) to x2 (d2):
// the lower line first.
void DrawConeOutline(long double x1, long double y, long double x2, long double d1, long double d2);
// The same for a cylinder of diameter d.
void DrawCylinderOutline(long double x1, long double y, long double x2, long double d);
// n horizontal lines of length l from x, at y - step, y - 2 step, ...; nothing for n <= 0.
void DrawLineSeries(int n, double x, double y, double l, double step);
