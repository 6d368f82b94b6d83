// The root fillet that the tip radius of the generating rack leaves in an external part: the
// equidistant of the trochoid of the tip radius centre rolling on the reference circle.
#pragma once

// True when the generated fillet of part n runs up to the base circle (never for the hub).
bool FilletReachesBaseCircle(int n);

// Draws the fillet of part n as one polyline: side 1 as generated (the left side of the tooth
// on the y axis), side 2 mirrored. (xEnd, yEnd) receive the last turned point of side 1.
void RootFilletPoints(int n, int side, long double& xEnd, long double& yEnd);

// Number of fillet steps; 0 is replaced by the default 30 and written back.
int FilletStepCount();
