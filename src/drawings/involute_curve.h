// Points of the involute flank of shaft (part 1) and hub (part 2) and the premachining contour
// of the hub. Tooth frame: gear centre at (0, 0), tooth centre line on the y axis; hub values
// are negative, which mirrors its picture through the centre. Angles radians, lengths mm.
#pragma once

// Flank point of part n on the circle of diameter d, at the drawing tooth thickness snGen:
// psi is the half tooth-thickness angle there, (x, y) = (d/2)(sin psi, cos psi).
// d = 0 gives the zero point and the message "Fatal  : d = 0 !".
void InvolutePoint(int n, long double& x, long double& y, long double& psi, long double d);

// The same point for the flank at the mean premachining addendum modification.
void PremachInvolutePoint(int n, long double& x, long double& y, long double& psi, long double d);

// The premachining contour of the hub as one polyline (colour 3); nothing for the shaft or
// while AbortFlag is set.
void DrawPremachContour(int n);

// Number of involute points of the drawings; 0 is replaced by the default 20 and written back,
// fewer than 2 counts as 2.
int InvolutePointCount();
