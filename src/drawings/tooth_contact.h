// The tooth contact picture: shaft teeth about the origin and hub teeth about the hub centre
// in mesh at the chosen rotation angle, framed, with a legend of the joint's data and the
// main diameter arcs of both parts.
#pragma once

// Draws into the open entities section; needs blocks "EVOLV1" and "EVOLV2". w, b, t: half
// width, bottom and top of the frame; rotationDeg: rotation angle of gear 1 in degrees.
void DrawToothContact(bool withLegend, long double w, long double b, long double t,
                      long double rotationDeg);
