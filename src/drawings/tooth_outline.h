// One tooth of shaft or hub as a single polyline, symmetric about the y axis: root side of the
// right gap, right flank up, tip arc, left flank down, root side of the left gap; for an
// external part with a generated fillet also the two fillet curves and the tooth centre line.
#pragma once

// Draws the tooth of part n into the current CAD target; withPremach adds the premachining
// contour for a hub with a premachining allowance. Nothing while AbortFlag is set.
void DrawToothOutline(int n, bool withPremach);

// Part-number query of the whole-wheel and ring-gear pictures; always false.
bool AlwaysFalseQuery(int n);
