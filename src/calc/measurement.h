// Measurement values of an involute toothing: ball or pin diameter, teeth spanned, span,
// dimension over or between balls, the ball contact check, and closed-form helpers of the
// gear pair engine's form-diameter stage. Angles in radians, lengths in mm; z is negative
// for an internal toothing.
#pragma once

#include <cstdint>

// Standard ball or pin diameter for measuring over the flanks (rounded to the unit system).
long double CalcBallDiameter(long double z, long double beta, long double alpha, long double x,
                             long double mn);
// Number of teeth spanned by the standard rule.
int32_t CalcSpanTeeth(long double z, long double beta, long double alpha, long double x,
                      long double mn);
// Span measurement over k teeth.
long double CalcSpanMeasurement(int32_t z, int32_t k, long double mn, long double alpha,
                                long double beta, long double x);
// Dimension over (external) or between (internal, negative) balls.
long double CalcDimensionOverBalls(int32_t z, long double mn, long double alpha, long double beta,
                                   long double x, long double Dm);
// As CalcDimensionOverBalls; for helical odd tooth counts the odd-teeth correction is undone.
long double CalcBallDimension(int32_t z, long double mn, long double alpha, long double beta,
                              long double x, long double Dm);
// True when a ball of diameter Dm rests on both flanks of the gap at addendum modification x
// (its centre angle is not negative); posts nothing.
bool BallFitsGap(int32_t z, long double mn, long double alpha, long double beta, long double x,
                 long double Dm);
// What is wrong with a part's measuring ball: too small (it falls to the root or touches below the
// root form circle), too large (it rests on the tips or touches above the tip form circle), or
// resting on the flanks but reaching the root.
enum class TBallFinding { TooSmall, TooLarge, NearRoot };
// Posts "Error  : small Dm ball !  (", "Error  : Dm ball !  (" or "Warning: Dm ball   (" + Dm +
// unit + ")", then the part, " (1)" or " (2)", so that two balls of one size are told apart.
void PostBallFinding(TBallFinding finding, long double Dm, int part);
// PostBallFinding of a ball too small or too large.
void PostBallMisfit(bool tooSmall, long double Dm, int part);
// Posts PostBallMisfit's message when BallFitsGap is false.
void CheckBallInGap(int32_t z, long double mn, long double alpha, long double beta, long double x,
                    long double Dm, int part);
// Signed diameter (negative for an internal toothing) at which a ball of diameter Dm that rests
// on both flanks (BallFitsGap) touches them, straight or helical; 0 for a shaft's ball so small
// that it reaches down to the base circle, where no involute is left to touch.
long double BallContactDiameter(int32_t z, long double mn, long double alpha, long double beta,
                                long double x, long double Dm);
// True when the ball over the dimension MdR reaches beyond the root limit dfLimit (signed
// diameters).
bool BallReachesRoot(int32_t z, long double MdR, long double dfLimit, long double Dm);
// Posts errors or warnings when the ball does not touch the flanks properly (the estimate of the
// gear pair engine); the messages name the part.
void CheckBallContact(int32_t z, long double MdR, long double M, long double dfLimit,
                      long double daLimit, long double Dm, long double alpha, long double rhoaP0,
                      int part);

// Diameter where the tooth involute meets a second involute (chamfer); thickness of the
// second involute goes to sB.
long double InvoluteIntersection(int32_t z, int32_t messageNumber, long double& sB,
                                 long double alpha, long double beta, long double mn, long double x,
                                 long double xC, long double alphaB, long double qB,
                                 long double dU);
long double FilletPointRadiusA(long double p1, long double p2, long double p3, long double p4,
                               long double p5, long double p6, long double p7, long double p8);
long double FilletPointRadiusB(long double p1, long double p2, long double p3, long double p4,
                               long double p5, long double p6, long double p7, long double p8,
                               long double p9);
// (n mod 2) + 1 with the sign of n: 1 even, 2 positive odd, 0 negative odd.
int32_t ParityIndex(int32_t n);
