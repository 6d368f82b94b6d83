// The choice of one gear of a pair before its tooth graphics are drawn.
#pragma once

#include <cstdint>

// ScreenLines entry that keeps the chosen gear as text ("1" or "2") for the drawings.
constexpr int kGearChoiceLine = 30;

// Offers "gear 1" and "gear 2" with gear proposed (out of range: gear 1); returns the choice in
// gear and as text in ScreenLines[kGearChoiceLine]. Cancel sets AbortFlag and keeps gear.
void SelectGear(std::uint16_t& gear);
