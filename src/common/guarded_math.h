// Guarded mathematics and the involute functions. Nothing here raises: a bad argument gives a
// fixed substitute value and, for the guarded functions, a message in the message list.
// Angles are radians unless a routine says degrees.
#pragma once

#include <cstdint>
#include <string>

constexpr long double kPi = 3.141592653589793238462643383279502884L;
constexpr long double kHugeReal = 1e3000L;  // result of an overflowing SafePower

// Guarded functions: post to the message list on a bad argument.
long double SafeArcSin(long double x);                                         // |x| > 1: pi/2
long double SafeArcCos(long double x);                                         // |x| > 1: 0
long double ArcCosMsg(const std::string& text, long double x);                 // |x| > 1: 0
long double SafeSqrt(const std::string& text, long double x);                  // x < 0: 0
long double SafePower(const std::string& text, long double x, long double y);  // x^y
// Inverse involute: the a in [-1.57, 1.57] with tan a - a = y; beyond that range (or for no
// number) 0 and "Error: ArcInv in unit math".
long double ArcInv(long double y);

// Plain functions.
long double Tan(long double x);
long double Inv(long double x);  // involute: tan x - x
long double RoundTo(int n, long double x);
long double IntPower(int n, long double x);
long double TurnedX(long double x, long double y, long double a);
long double TurnedY(long double x, long double y, long double a);
long double Hypot(long double x, long double y);
long double Cathetus(long double h, long double a);
long double ArcTan2(long double x, long double y);   // range -pi/2 .. 3pi/2
long double ArcTanYX(long double y, long double x);  // ArcTan2(x, y)
long double RadToDeg(long double x);
long double DegToRad(long double x);
long double NormAngle(long double x);  // into [0, 2pi)
long double Log10(long double x);      // 0 for x <= 0
long double Pow10(long double x);
bool IsEven(std::int64_t n);
long double Floor(long double x);  // largest integer not above x
int Exponent10(long double x);     // decimal exponent; 0 for x = 0
void RotatePoint(long double& xr, long double& yr, long double x, long double y, long double a);
void RotateTranslate(long double& xr, long double& yr, long double dx, long double dy,
                     long double adeg, long double x, long double y);
void ScaleRotateTranslate(long double& xr, long double& yr, long double sx, long double sy,
                          long double dx, long double dy, long double adeg, long double x,
                          long double y);
bool IsEqual(long double a, long double b);  // |b - a| < 1e-5
long double Max(long double a, long double b);
long double Min(long double a, long double b);
int IMax(int a, int b);
int IMin(int a, int b);
int IRange(int lo, int hi, int n);
bool IsBetween(long double x, long double a, long double b);  // strictly between, either order
long double DeviationPercent(long double a, long double b);   // relative to a; 0 when a = 0
long double Sign(long double x);                              // 1 for x >= 0, else -1
long double Sgn(long double x);                               // same as Sign
long double AngleDiff360(long double a, long double b);       // degrees from a to b, in [0, 360)
long double InchToMm(long double x);
long double MmToInch(long double x);
