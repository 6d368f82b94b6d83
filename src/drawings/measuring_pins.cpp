// The measuring pin of the tooth pictures.
#include "drawings/measuring_pins.h"

#include <cmath>

#include "calc/toothing_data.h"
#include "common/guarded_math.h"
#include "graphics/cad_blocks.h"

void DrawMeasuringPins(int n) {
  const TToothingData& t = ToothingData;
  const long double dm = t.Dm[n];
  CadColour(4);
  long double r = (t.MFinMax[n] + t.MFinMin[n]) / 4 - dm / 2;
  // With an odd number of teeth the pins do not lie opposite each other.
  if (!IsEven(t.z[n]) && t.z[n] != 0) r /= std::cos(kPi / (2 * t.z[n]));
  if (t.beta == 0) {
    CadCircle(0, r, dm / 2);
  } else {
    CadEllipse(0, r, dm / (2 * std::cos(t.betaRad)), dm / 2);
  }
}
