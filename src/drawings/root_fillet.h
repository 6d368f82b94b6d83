// The root fillet that the tip radius of the generating rack leaves in an external part: the
// equidistant of the trochoid of the tip radius centre rolling on the reference circle.
#pragma once

#include <functional>

// True when the generated fillet of part n runs up to the base circle (never for the hub).
bool FilletReachesBaseCircle(int n);

// Draws the fillet of part n as one polyline: side 1 as generated (the left side of the tooth
// on the y axis), side 2 mirrored. (xEnd, yEnd) receive the last turned point of side 1.
void RootFilletPoints(int n, int side, long double& xEnd, long double& yEnd);

// Number of fillet steps; 0 is replaced by the default 30 and written back.
int FilletStepCount();

// The root side of a hub's tooth gap as the outline draws it: from the root point R on the gap's
// centre line along the root side to T1, the fillet arc of the tool's tip radius rho to T2 on the
// flank (its included angle turn, counter-clockwise positive, never more than a half turn), then
// the flank. flank(d, x, y) gives the flank point on the (negative) diameter d; the corner lies on
// the root diameter df, the flank's direction there is taken towards the diameter near * df.
// Where the flanks of the gap meet inside the root circle, the corner is their meeting point on
// the centre line and R the fillet's point there. A radius the root side cannot hold is made as
// small as the side's length allows.
struct THubRootFillet {
  long double rx = 0, ry = 0, t1x = 0, t1y = 0, t2x = 0, t2y = 0, turn = 0;
};
THubRootFillet HubRootFillet(
    const std::function<void(long double, long double&, long double&)>& flank, long double da,
    long double df, long double near, long double rx, long double ry, long double rho);
