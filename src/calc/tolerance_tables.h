// ISO 286 tolerance grades and DIN 3967 tooth thickness tolerances and upper deviations,
// looked up by diameter range. Results in micrometres; lookups use the diameter's magnitude.
#pragma once

#include <cstdint>

// Diameter step 1..21 of the ISO 286 table for the integer n = |trunc(d - 0.01)|.
int32_t ISODiameterStep(int32_t n);
// Diameter step 1..11 of the DIN 3967 tables for n = |trunc(d - 0.0001)|.
int32_t DINDiameterStep(int32_t n);
// Tolerance grade IT4..IT11 (grade 1..8) for the diameter d; 0 outside the grade range.
int32_t ToleranceGradeIT(int32_t grade, long double d);
// Tooth thickness tolerance of series 21..30 (series 1..10); 0 outside the range.
int32_t ToothThicknessTolerance(int32_t series, long double d);
// Upper tooth thickness deviation (magnitude) of field "a".."h" (1..11); 0 outside.
int32_t ToothThicknessDeviation(int32_t field, long double d);
