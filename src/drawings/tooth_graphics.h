// The tooth pictures: one tooth, tooth gap, generating simulation, whole wheel, basic rack,
// tooth contact and shaft with hub, on the screen or into a CAD file; their menus.
#pragma once

#include <cstdint>

// The spline program's menu of the tooth pictures; preset 1..8 draws that entry once without
// the menu, 0 shows the menu. output: 3 screen, 0 ask for the CAD code, 1 DXF, 2 IGES, 5 TXT.
void SplineToothGraphicsMenu(int16_t output, int16_t preset);

// Forwards to ToothGraphics.
void CallToothGraphics(int16_t output, int16_t part, int16_t view, int16_t kind, int16_t section);

// Draws view (1..10, 0 = menu "Tooth drawing") of part (1 shaft, 2 hub). kind 0: interactive
// gear-pair use with prompts and the menu again after each picture; 1, 2, 3: one picture
// without prompts, 2 into an output that is already open. section: 1 transverse, 2 normal.
void ToothGraphics(int16_t output, int16_t part, int16_t view, int16_t kind, int16_t section);
