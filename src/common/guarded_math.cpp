// Guarded mathematics and the involute functions, all in extended precision.
#include "common/guarded_math.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "common/message_list.h"

namespace {

constexpr long double kHalfPi = kPi / 2.0L;
constexpr long double kTwoPi = kPi * 2.0L;
constexpr long double kEps = std::numeric_limits<long double>::epsilon();
constexpr long double kArcInvLimit = 1.57L;  // the largest angle ArcInv gives

// x in the general format with up to 15 significant digits, independent of the locale:
// "1.0000001", "-3.5", "1E20", "1.5E-7".
std::string GeneralText(long double x) {
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::general, 15);
  std::string s(buf, res.ptr);
  const auto e = s.find('e');
  if (e == std::string::npos) return s;
  std::string mantissa = s.substr(0, e);
  std::string exponent = s.substr(e + 1);
  std::string sign;
  if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) {
    if (exponent[0] == '-') sign = "-";
    exponent.erase(0, 1);
  }
  while (exponent.size() > 1 && exponent[0] == '0') exponent.erase(0, 1);
  return mantissa + "E" + sign + exponent;
}

// tan x - x for |x| < 0.5 without the cancellation of the direct difference:
// (sin x - x cos x) / cos x, the numerator summed from its series
// sum over k >= 1 of (-1)^(k+1) 2k x^(2k+1) / (2k+1)!.
long double SmallInvolute(long double x) {
  const long double x2 = x * x;
  long double power = x * x2;    // x^(2k+1) for k = 1
  long double factorial = 6.0L;  // (2k+1)! for k = 1
  long double sum = 0.0L;
  for (int k = 1; k <= 40; ++k) {
    const long double term = 2.0L * k * power / factorial;
    const long double signedTerm = (k % 2 == 1) ? term : -term;
    sum += signedTerm;
    if (std::fabs(term) <= kEps * 0.25L * std::fabs(sum)) break;
    power *= x2;
    factorial *= static_cast<long double>(2 * k + 2) * static_cast<long double>(2 * k + 3);
  }
  return sum / std::cos(x);
}

// 10^e rounded once, as the compiler rounds a decimal literal (exact up to 10^27).
long double PowerOfTen(int e) {
  return e >= 0 ? IntPower(e, 10.0L) : 1.0L / IntPower(-e, 10.0L);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Guarded functions

long double SafeArcSin(long double x) {
  if (std::fabs(x) > 1.0L || std::isnan(x)) {
    AddError("Error: ArcSin " + GeneralText(x));
    return kHalfPi;
  }
  return std::asin(x);
}

long double SafeArcCos(long double x) {
  if (std::fabs(x) > 1.0L || std::isnan(x)) {
    AddError("Error: ArcCos " + GeneralText(x));
    return 0.0L;
  }
  return std::acos(x);
}

long double ArcCosMsg(const std::string& text, long double x) {
  if (std::fabs(x) > 1.0L || std::isnan(x)) {
    AddError("Error : " + text + " (arccos)");
    return 0.0L;
  }
  return SafeArcCos(x);
}

long double SafeSqrt(const std::string& text, long double x) {
  if (x < 0.0L || std::isnan(x)) {
    if (!text.empty()) AddError(text + " (sqrt)");
    return 0.0L;
  }
  return std::sqrt(x);
}

long double SafePower(const std::string& text, long double x, long double y) {
  if (x == 0.0L) return 0.0L;
  if (x < 0.0L && !text.empty()) AddError(text + " (pow)");
  const long double e = y * std::log(std::fabs(x));
  if (std::isnan(e)) return 0.0L;
  if (e > 3000.0L) return kHugeReal;
  if (e < -3000.0L) return 0.0L;
  return std::exp(e);
}

long double ArcInv(long double y) {
  if (!std::isfinite(y)) {
    AddError("Error: ArcInv in unit math");
    return 0.0L;
  }
  if (y == 0.0L) return 0.0L;
  // The involute is odd: solve for y > 0 and carry the sign.
  const long double sign = y < 0.0L ? -1.0L : 1.0L;
  const long double v = std::fabs(y);

  // Below this the first series term alone is exact to the last bit.
  if (v < 1e-30L) return sign * std::cbrt(3.0L * v);

  // The search covers angles up to 1.57; an involute beyond that has no answer a caller could
  // use (the tangent runs off towards infinity).
  if (v > Inv(kArcInvLimit)) {
    AddError("Error: ArcInv in unit math");
    return 0.0L;
  }
  const long double top = kArcInvLimit;
  if (Inv(top) == v) return sign * top;

  // Both starts lie right of the root (inv a >= a^3 / 3 and inv a < tan a), and the involute
  // is convex on [0, pi/2), so Newton's steps from there fall monotonically onto the root.
  // The bracket guards against rounding; a step that leaves it bisects instead.
  long double lo = 0.0L;
  long double hi = top;
  long double a = std::fmin(std::cbrt(3.0L * v), std::atan(v + kHalfPi));
  if (!(a > lo && a < hi)) a = 0.5L * (lo + hi);
  for (int step = 0; step < 400; ++step) {
    const long double f = Inv(a) - v;
    if (f == 0.0L) return sign * a;
    if (f < 0.0L) {
      lo = a;
    } else {
      hi = a;
    }
    const long double t = std::tan(a);
    long double next = a - f / (t * t);
    if (!(next > lo && next < hi)) next = lo + 0.5L * (hi - lo);
    if (std::fabs(next - a) <= 2.0L * kEps * a || hi - lo <= 2.0L * kEps * hi) {
      return sign * next;
    }
    a = next;
  }
  AddError("Error: ArcInv in unit math");
  return 0.0L;
}

// ---------------------------------------------------------------------------------------------
// Plain functions

long double Tan(long double x) {
  return std::tan(x);
}

long double Inv(long double x) {
  if (std::fabs(x) < 0.5L) return SmallInvolute(x);
  return std::tan(x) - x;
}

long double RoundTo(int n, long double x) {
  // nearbyint rounds ties to even in the default rounding mode. The power of ten is exact, and
  // for negative n the division comes first so that no inexact 10^-k enters.
  if (n >= 0) {
    const long double scale = PowerOfTen(n);
    return std::nearbyint(x * scale) / scale;
  }
  const long double scale = PowerOfTen(-n);
  return std::nearbyint(x / scale) * scale;
}

long double IntPower(int n, long double x) {
  long long count = n < 0 ? -static_cast<long long>(n) : static_cast<long long>(n);
  long double result = 1.0L;
  long double base = x;
  // Square-and-multiply: the same product, without a loop as long as the exponent.
  while (count > 0) {
    if (count & 1) result *= base;
    base *= base;
    count >>= 1;
  }
  return n < 0 ? 1.0L / result : result;
}

long double TurnedX(long double x, long double y, long double a) {
  return x * std::cos(a) + y * std::sin(a);
}

long double TurnedY(long double x, long double y, long double a) {
  return y * std::cos(a) - x * std::sin(a);
}

long double Hypot(long double x, long double y) {
  return std::hypot(x, y);
}

long double Cathetus(long double h, long double a) {
  if (std::fabs(h) > std::fabs(a)) return std::sqrt((h - a) * (h + a));
  return 0.0L;
}

long double ArcTan2(long double x, long double y) {
  if (x == 0.0L) return y >= 0.0L ? kHalfPi : -kHalfPi;
  long double r = std::atan(y / x);
  if (x < 0.0L) r += kPi;
  return r;
}

long double ArcTanYX(long double y, long double x) {
  return ArcTan2(x, y);
}

long double RadToDeg(long double x) {
  return x * 180.0L / kPi;
}

long double DegToRad(long double x) {
  return x * kPi / 180.0L;
}

long double NormAngle(long double x) {
  if (!std::isfinite(x)) return 0.0L;
  long double r = std::fmod(x, kTwoPi);
  if (r < 0.0L) r += kTwoPi;
  if (r >= kTwoPi) r = 0.0L;  // a tiny negative remainder rounds up to 2pi
  return r;
}

long double Log10(long double x) {
  if (!(x > 0.0L)) return 0.0L;
  return std::log10(x);
}

long double Pow10(long double x) {
  return std::pow(10.0L, x);
}

bool IsEven(std::int64_t n) {
  return n % 2 == 0;
}

long double Floor(long double x) {
  return std::floor(x);
}

int Exponent10(long double x) {
  if (x == 0.0L || !std::isfinite(x)) return 0;
  const long double v = std::fabs(x);
  int e = static_cast<int>(Floor(Log10(v)));
  // The logarithm of a value read from a decimal text such as 0.001 can fall a hair below the
  // whole number; compare with the powers of ten themselves, rounded the same way.
  if (PowerOfTen(e + 1) <= v) ++e;
  if (PowerOfTen(e) > v) --e;
  return e;
}

void RotatePoint(long double& xr, long double& yr, long double x, long double y, long double a) {
  const long double c = std::cos(a);
  const long double s = std::sin(a);
  xr = x * c - y * s;
  yr = y * c + x * s;
}

void RotateTranslate(long double& xr, long double& yr, long double dx, long double dy,
                     long double adeg, long double x, long double y) {
  const long double a = DegToRad(adeg);
  const long double c = std::cos(a);
  const long double s = std::sin(a);
  xr = x * c - y * s + dx;
  yr = y * c + x * s + dy;
}

void ScaleRotateTranslate(long double& xr, long double& yr, long double sx, long double sy,
                          long double dx, long double dy, long double adeg, long double x,
                          long double y) {
  RotateTranslate(xr, yr, dx, dy, adeg, x * sx, y * sy);
}

bool IsEqual(long double a, long double b) {
  return std::fabs(b - a) < 1e-5L;
}

long double Max(long double a, long double b) {
  return b > a ? b : a;
}

long double Min(long double a, long double b) {
  return b < a ? b : a;
}

int IMax(int a, int b) {
  return b > a ? b : a;
}

int IMin(int a, int b) {
  return b < a ? b : a;
}

int IRange(int lo, int hi, int n) {
  return IMin(IMax(n, lo), hi);
}

bool IsBetween(long double x, long double a, long double b) {
  return (a < x && x < b) || (b < x && x < a);
}

long double DeviationPercent(long double a, long double b) {
  if (a == 0.0L) return 0.0L;
  return std::fabs((a - b) / a) * 100.0L;
}

long double Sign(long double x) {
  return x >= 0.0L ? 1.0L : -1.0L;
}

long double Sgn(long double x) {
  return Sign(x);
}

long double AngleDiff360(long double a, long double b) {
  const long double fb = b / 360.0L - std::trunc(b / 360.0L);
  const long double fa = a / 360.0L - std::trunc(a / 360.0L);
  long double d = (fb - fa) * 360.0L;
  // With negative angles the difference of the fractions spans two turns; bring every
  // result into one turn.
  if (d < 0.0L) d += 360.0L;
  if (d >= 360.0L) d -= 360.0L;
  if (d < 0.0L) d += 360.0L;
  return d;
}

long double InchToMm(long double x) {
  return x * 25.4L;
}

long double MmToInch(long double x) {
  return x / 25.4L;
}
