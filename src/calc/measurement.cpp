// Measurement values of an involute toothing and the closed-form helpers of the gear pair
// engine's form-diameter stage.
#include "calc/measurement.h"

#include <cmath>
#include <string>

#include "common/formatting.h"
#include "common/guarded_math.h"
#include "common/message_list.h"
#include "common/program_state.h"

namespace {

void PostFatal(const std::string& text) {
  AddError(text);
  CalcFatalFlag = true;
}

std::string BallText(long double Dm) {
  return LengthStr(Dm) + LengthUnitStr() + ")";
}


bool IsOdd(int32_t z) {
  return z % 2 != 0;
}

// Where a ball's centre stands in the gap: the base diameter (signed like z), the base helix
// angle and the involute of the centre's pressure angle alphaM (negative: no seat on both flanks).
struct TBallCentre {
  long double db, betab, invM;
};

TBallCentre BallCentre(int32_t z, long double mn, long double alpha, long double beta,
                       long double x, long double Dm) {
  const long double alphat = std::atan(std::tan(alpha) / std::cos(beta));
  const long double e = (kPi - 4 * x * std::tan(alpha)) / 2 / z - Inv(alphat);
  const long double betab = std::atan(std::cos(alphat) * std::tan(beta));
  const long double db = std::cos(alphat) * (mn / std::cos(beta) * z);
  return {db, betab, Dm / db / std::cos(betab) - e};
}

// The circle through the ball centres of a dimension over balls: with an odd number of teeth the
// balls stand in gaps that are not opposite.
long double BallCentreCircle(int32_t z, long double M, long double Dm) {
  if (IsOdd(z)) return (M - Dm) / std::cos(kPi / (2.0L * z));
  return M - Dm;
}

}  // namespace

void PostBallFinding(TBallFinding finding, long double Dm, int part) {
  const char* text = "Error  : Dm ball !  (";
  if (finding == TBallFinding::TooSmall) text = "Error  : small Dm ball !  (";
  if (finding == TBallFinding::NearRoot) text = "Warning: Dm ball   (";
  AddError(text + BallText(Dm) + " (" + std::to_string(part) + ")");
}

void PostBallMisfit(bool tooSmall, long double Dm, int part) {
  PostBallFinding(tooSmall ? TBallFinding::TooSmall : TBallFinding::TooLarge, Dm, part);
}

long double CalcBallDiameter(long double z, long double beta, long double alpha, long double x,
                             long double mn) {
  const long double zn = z / SafePower("Error  : DmMess", std::cos(beta), 3.3L);
  if (zn == 0 || !std::isfinite(zn)) return 0;
  // At x = -zn/2 the shifted reference circle shrinks to a point: no ball can be found.
  const long double shifted = 2 * x + zn;
  long double alphaK = 0;
  if (shifted != 0) alphaK = ArcCosMsg("Error  : DmMess", std::cos(alpha) * zn / shifted);
  if (alphaK == 0) {
    PostFatal("Fatal  : Diametr.Dim.o.balls DmMess !");
    return 0;
  }
  const long double alphaD =
      (kPi - 4 * x * std::tan(alpha)) / 2 / zn + (std::tan(alphaK) - Inv(alpha));
  const long double D = std::cos(alpha) * zn * mn * (std::tan(alphaD) - std::tan(alphaK));
  if (D < 0.5L) return D;
  if (ConfigVariables.UnitSystem == 1) return InchToMm(RoundTo(3, MmToInch(D)));
  return RoundTo(1, D);
}

int32_t CalcSpanTeeth(long double z, long double beta, long double alpha, long double x,
                      long double mn) {
  if (z == 0) {
    PostFatal("Fatal  : z = 0 !");
    return 0;
  }
  const long double d = mn / std::cos(beta) * z;
  const long double alphat = std::atan(std::tan(alpha) / std::cos(beta));
  const long double dx = 2 * mn * x + d;
  // The shifted circle of diameter 0 (x = -z/2) leaves no toothing to span.
  if (dx == 0) {
    PostFatal("Fatal  : z = 0 !");
    return 0;
  }
  const long double betax = std::atan(std::tan(beta) * dx / d);
  const long double alphax =
      ArcCosMsg("kmess", std::cos(alpha) * (d / dx) * std::cos(beta) / std::cos(betax));
  if (alphax == 0) return 1;
  return static_cast<int32_t>(std::trunc(z * Inv(alphat) / Inv(alpha) * alphax / kPi + 1));
}

long double CalcSpanMeasurement(int32_t z, int32_t k, long double mn, long double alpha,
                                long double beta, long double x) {
  if (z == 0) {
    PostFatal("Fatal  : z = 0 !");
    return 0;
  }
  const long double s = z > 0 ? 1.0L : -1.0L;
  const long double alphat = std::atan(std::tan(alpha) / std::cos(beta));
  return std::cos(alpha) * mn * (Inv(alphat) * z + (k - s / 2) * kPi) +
         std::sin(alpha) * 2 * x * mn;
}

long double CalcDimensionOverBalls(int32_t z, long double mn, long double alpha, long double beta,
                                   long double x, long double Dm) {
  if (z == 0) {
    PostFatal("Fatal  : z = 0 !");
    return 0;
  }
  const TBallCentre centre = BallCentre(z, mn, alpha, beta, x, Dm);
  const long double alphaM = ArcInv(centre.invM);
  // Below the gap's involutes: a shaft's ball is too small, a hub's (db < 0) too large. The
  // internal toothing is the hub.
  if (alphaM < 0) PostBallMisfit(z > 0, Dm, z > 0 ? 1 : 2);
  const long double dM = centre.db / std::cos(alphaM);
  if (IsOdd(z) && std::abs(z) != 1) return dM * std::cos(kPi / (2.0L * z)) + Dm;
  return dM + Dm;
}

bool BallFitsGap(int32_t z, long double mn, long double alpha, long double beta, long double x,
                 long double Dm) {
  if (z == 0) return false;
  const long double y = BallCentre(z, mn, alpha, beta, x, Dm).invM;
  // Beyond Inv(1.57) the inverse involute has no answer inside (-pi/2, pi/2).
  return std::isfinite(y) && y >= 0 && y < Inv(1.57L);
}

void CheckBallInGap(int32_t z, long double mn, long double alpha, long double beta, long double x,
                    long double Dm, int part) {
  if (BallFitsGap(z, mn, alpha, beta, x, Dm)) return;
  // The centre angle's involute comes out negative (a shaft's ball falls through, a hub's sits
  // on the tips) or beyond any angle (the reverse).
  const bool below = BallCentre(z, mn, alpha, beta, x, Dm).invM < 0;
  PostBallMisfit(below == (z > 0), Dm, part);
}

long double BallContactDiameter(int32_t z, long double mn, long double alpha, long double beta,
                                long double x, long double Dm) {
  const TBallCentre centre = BallCentre(z, mn, alpha, beta, x, Dm);
  // The flank's normal through the centre lies in the plane touching the base cylinder, square
  // to the base helix. There the centre stands db tan(alphaM) / 2 from the line of touch and the
  // contact half a ball along the normal, (Dm / 2) cos(betab) of it across the line: nearer the
  // line on a shaft's convex flank, farther on a hub's concave one (db < 0).
  const long double roll = centre.db * std::tan(ArcInv(centre.invM)) - Dm * std::cos(centre.betab);
  // A shaft's ball that reaches the base circle has no involute left to touch.
  if (roll * centre.db < 0) return 0;
  return std::copysign(std::hypot(centre.db, roll), centre.db);
}

long double CalcBallDimension(int32_t z, long double mn, long double alpha, long double beta,
                              long double x, long double Dm) {
  const long double value = CalcDimensionOverBalls(z, mn, alpha, beta, x, Dm);
  if (IsOdd(z) && beta > 0 && std::abs(z) != 1) {
    return (value - Dm) / std::cos(kPi / (2.0L * z)) + Dm;
  }
  return value;
}

bool BallReachesRoot(int32_t z, long double MdR, long double dfLimit, long double Dm) {
  return dfLimit > BallCentreCircle(z, MdR, Dm) - Dm;
}

void CheckBallContact(int32_t z, long double MdR, long double M, long double dfLimit,
                      long double daLimit, long double Dm, long double alpha, long double rhoaP0,
                      int part) {
  const long double c = kPi;
  // With a single tooth there is no opposite gap: the odd-teeth conversion divides by
  // cos(pi/2) and no ball can be placed.
  if (std::abs(z) <= 1) {
    PostFatal("Fatal  : Diametr.Dim.o.balls DmMess !");
    return;
  }
  const long double E = BallCentreCircle(z, MdR, Dm);
  const long double F = BallCentreCircle(z, M, Dm);
  const long double G = E - std::sin(std::abs(c / z) + alpha) * Dm;
  const long double H = (1 - std::sin(alpha)) * 2 * rhoaP0 + dfLimit;
  if (G < H) {
    PostBallFinding(TBallFinding::TooSmall, Dm, part);  // it touches below the form circle
  } else if (BallReachesRoot(z, MdR, dfLimit, Dm)) {
    PostBallFinding(TBallFinding::NearRoot, Dm, part);
  } else if (daLimit < F - std::sin(std::abs(c / z) + alpha) * Dm) {
    PostBallFinding(TBallFinding::TooLarge, Dm, part);
  }
}

long double InvoluteIntersection(int32_t z, int32_t messageNumber, long double& sB,
                                 long double alpha, long double beta, long double mn, long double x,
                                 long double xC, long double alphaB, long double qB,
                                 long double dU) {
  const long double mt = mn / std::cos(beta);
  const long double alphat = std::atan(std::tan(alpha) / std::cos(beta));
  const long double d = z * mt;
  const long double db = d * std::cos(alphat);
  const long double st = mt * kPi / 2 + 2 * x * mn * std::tan(alphat);
  const long double alphatB = std::atan(std::tan(alphaB) / std::cos(beta));
  const long double dbk = d * std::cos(alphatB);
  const long double sBd = (std::tan(alphatB) - std::tan(alphat)) * 2 * qB + mt * kPi / 2 +
                          std::tan(alphatB) * 2 * xC * mn;
  long double lower = db;
  long double upper = dU;
  for (int i = 0; i < 100; ++i) {
    const long double dm = (lower + upper) / 2;
    if (dm < db) {
      if (z >= 1) AddError("Error  : db > dFa" + std::to_string(messageNumber));
      return dU;
    }
    const long double s1 = (Inv(alphat) + st / d - Inv(SafeArcCos(db / dm))) * dm;
    if (dm < dbk) {
      if (z >= 1) AddError("Error  : dbk > dFa" + std::to_string(messageNumber) + " !");
      return dU;
    }
    const long double s2 = (Inv(alphatB) + sBd / d - Inv(SafeArcCos(dbk / dm))) * dm;
    sB = s2;
    if (s2 - s1 <= 0) {
      upper = dm;
    } else {
      lower = dm;
    }
    if (std::abs(s2 - s1) < 0.0005L) return dm;
  }
  return dU;
}

long double FilletPointRadiusA(long double p1, long double p2, long double p3, long double p4,
                               long double p5, long double p6, long double p7, long double p8) {
  const long double t =
      std::sin(p2) * p1 - 2 * (p3 - p4 * p5 - (1 - std::sin(p7)) * p6) / std::sin(p2);
  return std::sqrt(p8 * p8 + t * t);
}

long double FilletPointRadiusB(long double p1, long double p2, long double p3, long double p4,
                               long double p5, long double p6, long double p7, long double p8,
                               long double p9) {
  const long double q = (1 / std::sin(p8) - std::tan(p8) * p1) * p1;
  const long double t =
      std::sin(p3) * p2 - 2 * (p4 - q - p5 * p6 - (1 - std::sin(p8)) * p7) / std::sin(p3);
  return std::sqrt(p9 * p9 + t * t);
}

int32_t ParityIndex(int32_t n) {
  return n % 2 + 1;
}
