// Plane geometry on extended-precision reals: 2 x 2 determinant and linear solve, line
// intersections, rotation about a point, triangle angle, arc centre through two points and the
// fillet arc between two lines. Angles in radians. Degenerate input never gives NaN: the
// routines return their substitute values (stated per routine) and carry on.
#pragma once

// a d - b c
long double Det2(long double a, long double b, long double c, long double d);

// Solves a1 x + b1 y = c1, a2 x + b2 y = c2 by Cramer's rule. A zero determinant gives
// x = y = 0 and false.
bool SolveLinear2(long double& x, long double& y, long double a1, long double b1, long double c1,
                  long double a2, long double b2, long double c2);

// Intersection of the line through (x1, y1), (x2, y2) with the line through (x3, y3), (x4, y4).
// Parallel lines give (x1, y1) and false.
bool IntersectLines(long double& x, long double& y, long double x1, long double y1, long double x2,
                    long double y2, long double x3, long double y3, long double x4, long double y4);

// The point (px, py) turned by angle about the centre (cx, cy).
void RotateAboutPoint(long double& x, long double& y, long double px, long double py,
                      long double cx, long double cy, long double angle);

// Angle between the sides a and b of a triangle, opposite the side c; 0 when a or b is 0.
long double AngleFromSides(long double a, long double b, long double c);

// Centre (xc, yc), radius r and start and end angles a1, a2 of the arc from (x1, y1) to
// (x2, y2) with the included angle dphi (positive counter-clockwise; for a negative dphi the
// angles are exchanged). dphi with sin(dphi / 2) = 0 posts a message and leaves every output
// unchanged; coincident end points post a message and give the midpoint as centre.
void GetArcCenter(long double& xc, long double& yc, long double& a1, long double x1, long double y1,
                  long double x2, long double y2, long double dphi, long double& a2,
                  long double& r);

// Intersection of the line through (x1, y1) with direction a1 and the line through (x2, y2)
// with direction a2; parallel lines give (x1, y1).
void IntersectRays(long double& x, long double& y, long double x1, long double y1, long double a1,
                   long double x2, long double y2, long double a2);

// Fillet arc of radius r between line 1 (through (x1, y1), direction a1) and line 2 (through
// (x2, y2), direction a2), in the corner on the side of both given points: centre (xc, yc),
// tangent points (xt1, yt1) on line 1 and (xt2, yt2) on line 2, and the arc's included angle
// dphi from tangent point 1 to tangent point 2 (not normalised). Parallel lines give zeros.
void FilletCorner(long double& xc, long double& yc, long double& xt1, long double x1,
                  long double y1, long double a1, long double x2, long double y2, long double a2,
                  long double r, long double& yt1, long double& xt2, long double& yt2,
                  long double& dphi);

// a + pi, minus 2 pi when that exceeds 2 pi.
long double TurnHalf(long double a);

// Fillet of radius r at the corner (cornerX, cornerY) where a line with direction a1 leaves and a
// line with direction a2 arrives; outputs as FilletCorner, a negative dphi increased by 2 pi.
void FilletFromAngle(long double& xc, long double& yc, long double& xt1, long double& yt1,
                     long double& xt2, long double& yt2, long double& dphi, long double r,
                     long double a2, long double a1, long double cornerY, long double cornerX);
