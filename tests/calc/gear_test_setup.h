// Data sets for the gear pair engine tests: a textbook spur gear pair with a standard tool
// and the example spline joint with the inputs the spline calculation completes.
#pragma once

#include "calc/toothing_data.h"
#include "common/message_list.h"
#include "common/program_state.h"

namespace gear_test {

inline void ResetState() {
  ResetProgramStateForTests();
  InitMessageList();
  InitToothingData();
  AbortFlag = false;
  CalcFatalFlag = false;
}

// A pair of spur or helical gears cut by the standard tool (addendum 1.25 mn, dedendum
// 1.0 mn, tip radius 0.25 mn), no allowances, tip diameters from the tool.
inline void SetGearPair(int z1, int z2, long double mn, long double alpha, long double beta,
                        long double x1, long double x2) {
  ResetState();
  TToothingData& t = ToothingData;
  t.mn = mn;
  t.alpha = alpha;
  t.beta = beta;
  t.b = 10 * mn;
  t.z[1] = z1;
  t.z[2] = z2;
  t.x[1] = x1;
  t.x[2] = x2;
  t.a = 0;
  t.centreTolIndex = 4;
  for (int i = 1; i <= 2; ++i) {
    t.toolKind[i] = 1;
    t.tipMode[i] = 2;
    t.tipReduction[i] = 0;
    t.toleranceSeries[i] = 11;
    t.Asne[i] = 0;
    t.Asni[i] = 0;
    t.q[i] = 0;
    t.qT[i] = 0;
    t.alphakP0[i] = 0;
    t.rhofP0mn[i] = 0;
    t.bGear[i] = 0;
    t.Dm[i] = 1.75L * mn;
    t.k[i] = 0;
    t.da[i] = 0;
  }
}

constexpr long double kExampleX1 = 0.26923L;
constexpr long double kExampleX2 = -0.3092L;

// The example joint (module 6.5, 30 degrees, 8 teeth, shaft tip 61 and root 48, clearances 1)
// with the addendum modifications and tool factors that the spline calculation derives.
inline void SetSplineExample() {
  ResetState();
  NewSplineExample();
  TToothingData& t = ToothingData;
  const long double mn = t.mn;
  const long double half = t.z[1] / 2.0L;
  t.z[2] = -t.z[1];
  t.beta = 0;
  t.x[1] = kExampleX1;
  t.x[2] = kExampleX2;
  // Shaft tip 61, shaft root 48, hub root 61 + 2 * 1.0, hub tip 48 + 2 * 1.0.
  t.hfP0mn[1] = 61 / 2.0L / mn - half - t.x[1];
  t.haP0mn[1] = -48 / 2.0L / mn + half + t.x[1];
  t.haP0mn[2] = 63 / 2.0L / mn - half + t.x[2];
  t.hfP0mn[2] = -50 / 2.0L / mn + half - t.x[2];
  for (int i = 1; i <= 2; ++i) {
    t.toleranceSeries[i] = 11;
    t.tipMode[i] = 2;
    t.toolKind[i] = 4;
    t.hFfP0mn[i] = t.hfP0mn[i];
    t.alphakP0[i] = t.alpha;
    t.Asne[i] = 0;
    t.Asni[i] = 0;
    t.q[i] = 0;
    t.qT[i] = 0;
    t.tipReduction[i] = 0;
    t.prP0mn[i] = 0;
    t.alphaprP0[i] = 0;
    t.rhofP0mn[i] = 0;
    t.bGear[i] = 15 * mn;
  }
  t.b = 15 * mn;
  t.a = 0;
}

inline bool HasMessage(const std::string& text) {
  for (int n = 1; n <= ErrorCount(); ++n)
    if (ErrorText(n) == text) return true;
  return false;
}

}  // namespace gear_test
