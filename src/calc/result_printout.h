// The result listing of a calculated spline joint: geometry, tool, pitches and tooth dimensions,
// measurements, then the remarks section, written through the output router to the configured
// device.
#pragma once

#include <string>

// Writes the listing; with a fatal calculation the message list is shown instead and nothing is
// written.
void ResultPrintout();

// A number as the listing prints it, right-aligned in intDigits + 1 + decimals places: a value
// that is no number shows "???", one too large for any joint (1e15 and beyond) "***".
std::string ListingReal(int intDigits, int decimals, long double x);
// The same for a length in mm, shown in the unit system's unit.
std::string ListingLength(int intDigits, int decimals, long double mm);
