// The drawing primitives of the CAD driver: each adds the driver's origin and goes to the
// current target (file writer, graphics window, or on the screen inside the blocks section the
// open block file). With CAD code 0 they do nothing.
#pragma once

#include <string>

#include "graphics/cad_driver.h"

void CadLine(long double x1, long double y1, long double x2, long double y2);
void CadCircle(long double x, long double y, long double r);
// Counter-clockwise from a1 to a2 (degrees); radius 0 draws nothing.
void CadArc(long double x, long double y, long double a1, long double a2, long double r);
// Text in the DOS code page at the current size, moved by the justification; empty: nothing.
void CadText(long double x, long double y, const std::string& text);
// Filled quadrilateral; corners in DXF order (the outline runs 1, 2, 4, 3).
void CadSolid(long double x1, long double y1, long double x2, long double y2, long double x3,
              long double y3, long double x4, long double y4);

// Polyline: flags 1 = closed (DXF entity only). Each vertex carries the included angle in
// radians (counter-clockwise positive, 0 straight) of the piece from it to the next vertex.
void CadPolylineBegin(int flags);
void CadPolylineVertex(long double x, long double y, long double angle);
void CadPolylineEnd();

// Pen operations (the pen position is kept without the origin).
void CadMoveTo(long double x, long double y);
void CadLineTo(long double x, long double y);
void CadRectangle(long double x1, long double y1, long double x2, long double y2);
// Text at the pen; the pen then moves down one line (1.6 x height x line spacing).
void CadTextLine(const std::string& text);

// Axis-parallel ellipse of short straight pieces.
void CadEllipse(long double cx, long double cy, long double rx, long double ry);
// Arc of an ellipse with radii r*fx and r*fy from a1 to a2 (degrees) in steps of step
// (degrees), as one polyline.
void CadEllipseArc(long double cx, long double cy, long double a1, long double a2, long double r,
                   long double fx, long double fy, long double step);
