// Geometry stages of the gear pair engine.
#include "calc/gear_geometry.h"

#include <cmath>
#include <string>

#include "calc/tolerance_tables.h"
#include "calc/toothing_data.h"
#include "common/guarded_math.h"
#include "common/message_list.h"
#include "common/program_state.h"

namespace {

void ToothThicknessAllowances(TToothingData& t, int i) {
  if (t.toleranceSeries[i] < 11) {
    // The tables give micrometres; an internal gear passes its negative diameter.
    t.Asne[i] = -ToothThicknessDeviation(t.deviationField[i], t.d[i]) / 1000.0L;
    t.Tsn[i] = ToothThicknessTolerance(t.toleranceSeries[i], t.d[i]) / 1000.0L;
    t.Asni[i] = t.Asne[i] - t.Tsn[i];
  } else {
    t.Tsn[i] = t.Asne[i] - t.Asni[i];
  }
}

void ToleranceNames(TToothingData& t) {
  const int ct = t.centreTolIndex;
  t.centreTolName = (ct >= 1 && ct < 9) ? ToleranceLabels[ct - 1] : "";
  for (int i = 1; i <= 2; ++i) {
    const int ts = t.toleranceSeries[i];
    const int df = t.deviationField[i];
    if (ts < 11) {
      const std::string letters = (df >= 1 && df <= 11) ? DeviationLetters[df - 1] : "";
      t.toothTolName[i] = letters + " " + std::to_string(ts + 20);
    } else {
      t.toothTolName[i].clear();
    }
  }
}

// Tool factors of the standard tool kinds; other kinds keep what was entered.
void ToolKind(TToothingData& t, int i) {
  struct Standard {
    long double hfP0, haP0, rhoaP0, alphaprP0, prP0;
    const char* name;
  };
  static const Standard kStandard[3] = {{1.0L, 1.25L, 0.25L, 0, 0, "Normal"},
                                        {1.0L, 1.25L, 0.375L, 0, 0, "Normal"},
                                        {1.0L, 1.4L, 0.4L, 6.0L, 0.02L, "Protub."}};
  const int kind = t.toolKind[i];
  if (kind >= 1 && kind <= 3) {
    const Standard& s = kStandard[kind - 1];
    t.hfP0mn[i] = s.hfP0;
    t.haP0mn[i] = s.haP0;
    t.rhoaP0mn[i] = s.rhoaP0;
    t.alphaprP0[i] = s.alphaprP0;
    t.prP0mn[i] = s.prP0;
    t.alphakP0[i] = t.alpha;
    t.hFfP0mn[i] = t.hfP0mn[i];
    t.toolName[i] = s.name;
  } else if (kind == 4 || kind == 8) {
    t.toolName[i].clear();
  } else if (kind == 5 || kind == 9) {
    t.alphaprP0[i] = 0;
    t.prP0mn[i] = 0;
    t.toolName[i] = "Normal";
  }
  if (std::fabs(t.alphakP0[i] - t.alpha) < 0.001L) {
    t.toolAngleFlag[i] = 0;
    t.hFfP0mn[i] = t.hfP0mn[i];
  } else {
    t.toolAngleFlag[i] = 1;
  }
  t.hfP0[i] = t.hfP0mn[i] * t.mn;
  t.haP0[i] = t.haP0mn[i] * t.mn;
  t.rhoaP0[i] = t.rhoaP0mn[i] * t.mn;
  t.rhofP0[i] = t.rhofP0mn[i] * t.mn;
  t.prP0[i] = t.prP0mn[i] * t.mn;
  t.hFfP0[i] = t.hFfP0mn[i] * t.mn;
}

void GeneratingShifts(TToothingData& t, int i) {
  const long double s = 2 * std::tan(t.alphaRad) * t.mn;
  const long double radial = std::sin(t.alphaRad) * t.mn;
  t.xeFinMin[i] = t.x[i] + t.Asni[i] / s;
  t.xeFinMax[i] = t.x[i] + t.Asne[i] / s;
  if (std::fabs(t.q[i]) >= 1e-5L) {
    t.xePreMin[i] = t.x[i] + t.Asne[i] / s + t.q[i] / radial;
    t.xePreMax[i] = t.x[i] + t.Asne[i] / s + (t.q[i] + t.qT[i]) / radial;
    if (GearMaterialData.GearVariant == 0 && t.qT[i] < t.Tsn[i] / 2)
      AddError("Warning: q tol < Tsn/2  (" + std::to_string(i) + ")");
  } else {
    t.q[i] = 0;
    t.qT[i] = 0;
    t.xePreMin[i] = t.x[i] + t.Asni[i] / s;
    t.xePreMax[i] = t.x[i] + t.Asne[i] / s;
  }
}

// Diameters of one gear; false when the cut root of an external gear is negative.
bool GearDiameters(TToothingData& t, int i) {
  const long double cosAt = std::cos(t.alphat);
  t.zn[i] = t.z[i] / std::cos(t.betaRad) / t.cos2betab;
  t.dn[i] = t.mn * t.zn[i];
  t.dw[i] = t.d[i] * cosAt / std::cos(t.alphawt);
  t.dwAai[i] = t.d[i] * cosAt / std::cos(t.alphawtAai);
  t.dwAae[i] = t.d[i] * cosAt / std::cos(t.alphawtAae);
  const long double rootBase = t.d[i] - 2 * t.haP0[i];
  t.dfLimit[i] = rootBase + 2 * t.mn * t.xePreMax[i];
  if (t.z[i] > 0 && t.dfLimit[i] < 0) {
    AddError("Fatal  : df <=0 ! (" + std::to_string(i) + ")");
    return false;
  }
  t.dfMin[i] = rootBase + 2 * t.mn * t.xePreMin[i];
  t.dfNominal[i] = rootBase + 2 * t.mn * t.x[i];
  t.df[i] = t.dfNominal[i];
  t.dfTol[i] = t.dfMin[i] - t.dfLimit[i];
  t.daLimit[i] = t.d[i] + 2 * (t.x[i] * t.mn + t.hfP0[i]);
  t.da0[i] = t.dfLimit[i] + 2 * (t.haP0[i] + t.hfP0[i]);
  t.db[i] = t.d[i] * cosAt;
  t.meanDiameter[i] = (t.da0[i] + t.dfLimit[i]) / 2;
  return true;
}

}  // namespace

void CalcGearGeometry() {
  if (CalcFatalFlag) {
    AddError("Fatal  : Unit1");
    return;
  }
  TToothingData& t = ToothingData;
  const long double cosBeta = std::cos(t.betaRad);
  const long double tanAlpha = std::tan(t.alphaRad);
  const long double zSum = static_cast<long double>(t.z[1]) + t.z[2];

  for (int i = 1; i <= 2; ++i) ToothThicknessAllowances(t, i);
  t.ad = t.mn / 2 / cosBeta * zSum;
  ToleranceNames(t);
  for (int i = 1; i <= 2; ++i) ToolKind(t, i);

  t.betab = std::atan(std::tan(t.betaRad) * std::cos(t.alphat));
  if (zSum != 0)
    t.alphawt = ArcInv(2 * tanAlpha * (t.x[1] + t.x[2]) / zSum + Inv(t.alphat));
  else
    t.alphawt = t.alphat;
  if (t.alphawt == 0) {
    CalcFatalFlag = true;
    AddError("Fatal  : alpha wt !");
    AbortFlag = true;
    return;
  }
  const long double cosBetab = std::cos(t.betab);
  t.cos2betab = cosBetab * cosBetab;

  if (t.centreTolIndex < 9) {
    t.Aae = ToleranceGradeIT(t.centreTolIndex, t.a) / 2000.0L;
    t.Aai = -t.Aae;
  }
  const long double asneSum = t.Asne[1] + t.Asne[2];
  const long double asniSum = t.Asni[1] + t.Asni[2];
  t.jtMin = 2 * tanAlpha * t.Aai / cosBeta - asneSum / cosBeta;
  t.jtMax = 2 * tanAlpha * t.Aae / cosBeta - asniSum / cosBeta;
  const long double normalFactor = std::cos(t.alphaRad) * cosBeta;
  t.jnMin = t.jtMin * normalFactor;
  t.jnMax = t.jtMax * normalFactor;
  t.jrMin = t.jtMin / (2 * std::tan(t.alphawt));
  t.jrMax = t.jtMax / (2 * std::tan(t.alphawt));

  for (int i = 1; i <= 2; ++i) GeneratingShifts(t, i);

  if (zSum != 0 && t.a != 0) {
    const long double k = std::cos(t.alphat) * (t.d[1] + t.d[2]) / 2;
    t.alphawtAai = SafeArcCos(k / (t.a + t.Aai));
    t.alphawtAae = SafeArcCos(k / (t.a + t.Aae));
  } else {
    t.alphawtAai = t.alphat;
    t.alphawtAae = t.alphat;
  }

  // A negative root ends this stage only; the later stages still run.
  for (int i = 1; i <= 2; ++i)
    if (!GearDiameters(t, i)) return;

  t.pn = kPi * t.mn;
  t.pt = t.pn / cosBeta;
  t.pbt = t.pt * std::cos(t.alphat);
  t.pet = t.pbt;
  t.pbn = t.pn * std::cos(t.alphaRad);
  t.a = (t.dw[1] + t.dw[2]) / 2;
  t.betaw = std::atan(std::tan(t.betaRad) * t.dw[1] / t.d[1]);
}

void CalcTipAndClearance() {
  TToothingData& t = ToothingData;
  for (int i = 1; i <= 2; ++i) {
    const int j = 3 - i;
    switch (t.tipMode[i]) {
      case 1:
        t.da[i] = 2 * (t.a - t.c[i]) - t.dfLimit[j];
        t.tipReduction[i] = (t.da0[i] - t.da[i]) / 2;
        break;
      case 2:
        t.da[i] = t.da0[i] - 2 * t.tipReduction[i];
        t.c[i] = t.a - (t.da[i] + t.dfLimit[j]) / 2;
        break;
      case 3:
        t.tipReduction[i] = (t.da0[i] - t.da[i]) / 2;
        t.c[i] = t.a - (t.da[i] + t.dfLimit[j]) / 2;
        break;
      default:
        break;
    }
  }
}
