// Gear pair engine, measurement stage: span over k teeth and dimension over two balls for
// each gear at its premachining, nominal and finishing profile shifts.
#pragma once

// Stage 6: the five spans and ball dimensions per gear, then the root plausibility check.
void CalcGearTolerances();
// Span W of gear i (1 or 2) at the profile shift xE; computes k[i] when it is 0.
long double CalcGearSpan(int i, long double xE);
// Dimension over (external) or between (internal, negative) two balls of diameter Dm[i].
long double CalcGearBallDimension(int i, long double xE);
// For a helical gear with an odd tooth count: the dimension of two balls in one axial plane.
long double OddToothBallDimension(int i, long double M);
