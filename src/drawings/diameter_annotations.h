// The characteristic diameters of a part around its tooth: labelled arcs, full circles with a
// legend of their values. Angles in degrees; hub diameters are negative and drawn on the
// opposite side of the centre.
#pragma once

#include <string>

// Arc of diameter d about (cx, cy), centred on the direction dir, half degrees to each side,
// labelled outside (inside false) or inside the arc; a label that would cover one written
// since ClearDiameterLabels moves along its arc to the nearest free place.
void ClearDiameterLabels();
void DrawDiameterArc(const std::string& label, bool inside, long double cx, long double cy,
                     long double half, long double d, long double dir);

// The same arc shortened so that it ends on the line y = yLimit; nothing when that line
// misses the circle.
void DrawLimitedDiameterArc(const std::string& label, bool inside, long double cx, long double cy,
                            long double half, long double d, long double dir, long double yLimit);

// The eight labelled diameter arcs of part n.
void DrawAuxDiameters(int n, long double dir, long double cx, long double cy);

// Full circles of the diameters of part n about the gear centre (cx, cy), with a legend line
// for each.
void DrawDiameterLegend(int n, long double cx, long double cy);

// One legend entry: the circle of diameter d and the text at the pen; a is not used.
void DrawLegendLine(const std::string& text, long double cx, long double cy, long double a,
                    long double d, long double size);
