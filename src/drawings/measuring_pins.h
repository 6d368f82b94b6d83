// The measuring pin (or ball) of a part in its measuring position on the y axis.
#pragma once

// Pin of part n at the mean of the finishing limits of the dimension over (between) pins;
// a circle, or an ellipse in the transverse section of a helical part.
void DrawMeasuringPins(int n);
