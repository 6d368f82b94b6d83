// Contact stage of the gear pair engine and the protuberance flank height.
#include "calc/gear_contact.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "calc/measurement.h"
#include "calc/toothing_data.h"
#include "common/guarded_math.h"
#include "common/message_list.h"
#include "common/program_state.h"

namespace {

std::string Num(int i) {
  return std::to_string(i);
}

long double Square(long double v) {
  return v * v;
}

long double ToothThickness(const TToothingData& t, long double x) {
  return t.mn * (kPi / 2 + 2 * x * std::tan(t.alphaRad));
}

// Tip form diameters of a tool with a chamfer angle: where the tooth involute meets the
// involute that the chamfer flank cuts.
void ChamferTipForm(TToothingData& t, int i) {
  long double thickness = 0;
  const long double chamferAngle = DegToRad(t.alphakP0[i]);
  t.dFaMin[i] =
      InvoluteIntersection(t.z[i], i, thickness, t.alphaRad, t.betaRad, t.mn, t.xeFinMin[i],
                           t.xePreMin[i], chamferAngle, t.hFfP0[i], t.da[i]);
  t.dFa[i] = InvoluteIntersection(t.z[i], i, thickness, t.alphaRad, t.betaRad, t.mn, t.xeFinMax[i],
                                  t.xePreMax[i], chamferAngle, t.hFfP0[i], t.da[i]);
}

// First pass for gear i; false when the tip diameter is 0.
bool TipsAndThicknesses(TToothingData& t, int i) {
  const int j = 3 - i;
  const long double cosBeta = std::cos(t.betaRad);

  t.tipReduction[i] = (t.da0[i] - t.da[i]) / 2;
  if (std::fabs(t.tipReduction[i]) < 0.001L) {
    t.tipReduction[i] = 0;
    t.da[i] = t.da0[i];
  }
  if (t.tipReduction[i] < 0) AddError("Error  : kmn < 0 !  (" + Num(i) + ")");

  t.daMin[i] = t.dfTol[i] + t.da[i];
  t.c[i] = t.a - (t.dfLimit[j] + t.da[i]) / 2;
  t.h[i] = (t.da[i] - t.dfLimit[i]) / 2;
  t.hMin[i] = (t.daMin[i] - t.dfLimit[i]) / 2;
  t.hMax[i] = (t.da[i] - t.dfMin[i]) / 2;

  t.sn[i] = ToothThickness(t, t.x[i]);
  t.snMax[i] = ToothThickness(t, t.xeFinMax[i]);
  t.snMin[i] = ToothThickness(t, t.xeFinMin[i]);
  t.st[i] = t.sn[i] / cosBeta;
  t.stMax[i] = t.snMax[i] / cosBeta;
  t.stMin[i] = t.snMin[i] / cosBeta;
  t.et[i] = t.pt - t.st[i];
  t.en[i] = t.et[i] * cosBeta;

  if (t.toolAngleFlag[i] == 0) {
    if (t.rhofP0mn[i] <= 0) {
      t.dFa[i] = t.da[i];
      t.dFaMin[i] = t.daMin[i];
    } else {
      t.dFa[i] = std::min(t.da0[i] - 2 * t.rhofP0[i] * (1 - std::sin(t.alphaRad)), t.da[i]);
      t.dFaMin[i] = t.dFa[i] + t.dfTol[i];
    }
  } else {
    ChamferTipForm(t, i);
  }

  if (t.da[i] == 0) {
    AddError("Fatal  : da = 0 !");
    CalcFatalFlag = true;
    return false;
  }
  const long double tipCos = std::cos(t.alphat) * t.d[i] / t.da[i];
  if (tipCos <= 1) {
    t.alphaat[i] = ArcCosMsg("Fatal  : ArcCos(cos(alpha t)*d/da)>1 !", tipCos);
  } else {
    AddError("Error  : cos(alpha t)*d/da)>1");
    t.alphaat[i] = 0;
  }

  const long double base = Inv(t.alphat) - Inv(t.alphaat[i]);
  t.sa[i] = t.da[i] * (t.st[i] / t.d[i] + base);
  t.sw[i] = t.dw[i] * (t.st[i] / t.d[i] + Inv(t.alphat) - Inv(t.alphawt));
  if (t.toolAngleFlag[i] == 0) {
    t.satMax[i] = t.da[i] * (t.stMax[i] / t.d[i] + base);
    t.satMin[i] = t.da[i] * (t.stMin[i] / t.d[i] + base);
  } else {
    const long double chamferAngle = DegToRad(t.alphakP0[i]) + kPi / t.z[i];
    t.satMax[i] = t.Asne[i] + (t.chamfer[i] - (t.da[i] - t.dFa[i]) * std::tan(chamferAngle));
    t.satMin[i] = t.Asni[i] + (t.chamfer[i] - (t.da[i] - t.dFaMin[i]) * std::tan(chamferAngle));
  }
  t.san[i] = t.sa[i] * cosBeta;
  t.sanMax[i] = t.satMax[i] * cosBeta;
  t.sanMin[i] = t.satMin[i] * cosBeta;
  t.sanInt[i] = t.sanMax[i];
  return true;
}

void RootForm(TToothingData& t, int i) {
  const long double rootRound = 2 * t.rhoaP0[i] * (1 - std::sin(t.alphaRad));
  if (t.z[i] < 0) {
    t.dFf[i] = t.dfNominal[i] + rootRound;
    t.dFfMin[i] = t.dfMin[i] + rootRound;
    t.dFfMax[i] = t.dfLimit[i] + rootRound;
    return;
  }
  // Form circle where the generated fillet meets the involute:
  // sqrt(db^2 + (d sin(at) - 2 (haP0 - xE mn - rhoaP0 (1 - sin(a))) / sin(at))^2).
  const auto form = [&](long double xE) {
    if (t.prP0[i] > 0)
      return Sgn(t.z[i]) * FilletPointRadiusB(t.prP0[i], t.d[i], t.alphat, t.haP0[i], xE, t.mn,
                                              t.rhoaP0[i], t.alphaRad, t.db[i]);
    return Sgn(t.z[i]) * FilletPointRadiusA(t.d[i], t.alphat, t.haP0[i], xE, t.mn, t.rhoaP0[i],
                                            t.alphaRad, t.db[i]);
  };
  t.dFf[i] = form(t.x[i]);
  t.dFfMax[i] = form(t.xeFinMax[i]);
  t.dFfMin[i] = form(t.xeFinMin[i]);
}

// Limits that gear i sets for the tip of gear j, and the active tip diameters of gear j.
void ActiveTips(TToothingData& t, int i) {
  const int j = 3 - i;
  long double limit, limitSmall, limitLarge;
  if (t.z[i] < 0) {
    limit = t.da[j];
    limitSmall = t.daMin[j];
    limitLarge = t.da[j];
  } else {
    // Distance from the centre of gear j to where the line of action touches base circle i.
    const long double side = 2.0L * t.z[j] / std::abs(t.z[j]);
    const long double along = t.db[i] * std::cos(t.alphawt) / 2;
    const long double across = t.db[i] * std::sin(t.alphawt) / 2;
    limit = side * Hypot(t.a - along, across);
    limitSmall = side * Hypot(t.a + t.Aai - along, across);
    limitLarge = side * Hypot(t.a + t.Aae - along, across);
  }
  if (t.da[j] > limit) {
    AddError("Error  : tooth collision da" + Num(j) + " !");
    t.dA[j] = limit;
    t.dAMin[j] = limitSmall;
    t.dAMax[j] = limitLarge;
  } else {
    t.dA[j] = std::min(limit, t.dFa[j]);
    t.dAMin[j] = std::min(limitSmall, t.dFaMin[j]);
    t.dAMax[j] = std::min(limitLarge, t.dFa[j]);
  }
}

void PartialContactRatio(TToothingData& t, int i) {
  const long double ratio = t.dFaMin[i] / t.db[i];
  long double root = 0;
  if (ratio <= 1)
    AddError("Error  : db > da  (" + Num(i) + ") !");
  else
    root = SafeSqrt("Error  : eps.alpha", ratio * ratio - 1);
  t.epsPart[i] = t.z[i] * (root - std::tan(t.alphawt)) / 2 / kPi;
}

// Path of contact for the given active tips, centre distance and working pressure angle.
long double ContactPath(const TToothingData& t, long double dA1, long double dA2,
                        long double centre, long double alphaw) {
  const std::string text = "Error  : g alpha";
  const long double r1 = SafeSqrt(text, Square(dA1) - Square(t.db[1]));
  const long double r2 = SafeSqrt(text, Square(dA2) - Square(t.db[2]));
  const long double sides = t.z[1] >= 0 ? r1 + Sgn(t.z[2]) * r2 : r2 + Sgn(t.z[1]) * r1;
  return 0.5L * (sides - 2 * centre * std::sin(alphaw));
}

long double PathLength(const TToothingData& t, int i, long double dA, long double dw) {
  return Sgn(t.z[i]) * (Cathetus(dA / 2, t.db[i] / 2) - Cathetus(dw / 2, t.db[i] / 2));
}

long double ActiveRoot(const TToothingData& t, int i, const std::string& text) {
  const int j = 3 - i;
  const long double mating = SafeSqrt(text, Square(t.dA[j]) - Square(t.db[j]));
  const long double along = 2 * t.a * std::sin(t.alphawt) - Sgn(t.z[j]) * mating;
  return Sgn(t.z[i]) * SafeSqrt(text, Square(along) + Square(t.db[i]));
}

}  // namespace

void CalcGearContact() {
  if (CalcFatalFlag) {
    AddError("Fatal  : Unit2");
    return;
  }
  TToothingData& t = ToothingData;
  for (int i = 1; i <= 2; ++i)
    if (!TipsAndThicknesses(t, i)) return;

  for (int i = 1; i <= 2; ++i) {
    const int j = 3 - i;
    t.cAai[i] = t.a + t.Aai - t.da[i] / 2 - t.dfLimit[j] / 2;
    t.cAae[i] = t.a + t.Aae - (t.da[i] + t.dfTol[i]) / 2 - (t.dfLimit[j] + t.dfTol[j]) / 2;
  }

  for (int i = 1; i <= 2; ++i) {
    t.toothAngleDw[i] = 2 * SafeArcSin(t.sw[i] / (2 * t.dw[i]));
    RootForm(t, i);
    ActiveTips(t, i);
    PartialContactRatio(t, i);
  }

  t.gAlpha = ContactPath(t, t.dA[1], t.dA[2], t.a, t.alphawt);
  t.gAlphaAae = ContactPath(t, t.dAMin[1], t.dAMin[2], t.a + t.Aae, t.alphawtAae);
  t.gAlphaAai = ContactPath(t, t.dAMax[1], t.dAMax[2], t.a + t.Aai, t.alphawtAai);
  for (int i = 1; i <= 2; ++i) {
    t.pathNominal[i] = PathLength(t, i, t.dA[i], t.dw[i]);
    t.pathAae[i] = PathLength(t, i, t.dAMin[i], t.dwAae[i]);
    t.pathAai[i] = PathLength(t, i, t.dAMax[i], t.dwAai[i]);
  }
  t.epsAlpha = t.gAlpha / t.pet;
  t.epsAlphaAae = t.gAlphaAae / t.pet;
  t.epsAlphaAai = t.gAlphaAai / t.pet;
  if (t.epsAlpha <= 0) {
    AddError("Fatal  : epsilon alpha <=0 !");
    CalcFatalFlag = true;
    return;
  }
  t.dNf[1] = ActiveRoot(t, 1, "Error  : dnf1");
  t.dNf[2] = ActiveRoot(t, 2, "Error  : dnf2");

  const long double width = t.doubleHelical ? t.b / 2 : t.b;
  t.epsBeta = width * std::sin(t.betaRad) / kPi / t.mn;
  t.epsGamma = t.epsAlpha + t.epsBeta;
  t.epsGammaAae = t.epsAlphaAae + t.epsBeta;
  t.epsGammaAai = t.epsAlphaAai + t.epsBeta;
  t.u = static_cast<long double>(t.z[2]) / t.z[1];
}

void CalcProfilePoints() {
  TToothingData& t = ToothingData;
  for (int i = 1; i <= 2; ++i) {
    if (t.prP0mn[i] <= 0) {
      t.hprP0[i] = 0;
      continue;
    }
    // Tool tooth in its own plane: u is the height above the tool tip line, x runs along the
    // datum line from the tooth centre. The tip radius touches the main flank moved outward
    // by prP0; the protuberance flank is that flank turned about the tip radius centre to
    // the protuberance angle, so it still touches the tip radius.
    const long double alpha = t.alphaRad;
    const long double alphaPr = DegToRad(t.alphaprP0[i]);
    const long double rho = t.rhoaP0[i];
    const long double halfWidth =
        t.prP0[i] / std::cos(alpha) + t.mn * kPi / 4 - std::tan(alpha) * (t.haP0[i] - rho);
    const long double cx = halfWidth - rho / std::cos(alpha);
    const long double cu = rho;
    // Main flank: (x - x0) cos a - u sin a = 0, x0 its x on the tip line.
    const long double x0 = t.mn * kPi / 4 - t.haP0[i] * std::tan(alpha);
    // Protuberance flank: (x - cx) cos ap - (u - cu) sin ap = rho.
    // Solve both for the crossing point.
    const long double a11 = std::cos(alpha), a12 = -std::sin(alpha), b1 = x0 * std::cos(alpha);
    const long double a21 = std::cos(alphaPr), a22 = -std::sin(alphaPr);
    const long double b2 = rho + cx * std::cos(alphaPr) - cu * std::sin(alphaPr);
    const long double det = a11 * a22 - a12 * a21;
    if (std::fabs(det) < 1e-15L) {
      t.hprP0[i] = 0;
      continue;
    }
    const long double u = (a11 * b2 - a21 * b1) / det;
    // The tool tip line lies this deep below the reference circle.
    const long double tipDepth = (t.d[i] - (t.dfLimit[i] + t.dfMin[i]) / 2) / 2;
    t.hprP0[i] = tipDepth - u;
  }
}
