// Every tooth curve over the whole range of tooth counts and addendum modifications, for
// shaft and hub and for two tool forms: no coordinate, radius or angle of any recorded
// primitive is NaN or infinite, even where teeth are undercut or pointed.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "drawings/diameter_annotations.h"
#include "drawings/generating.h"
#include "drawings/involute_curve.h"
#include "drawings/measuring_pins.h"
#include "drawings/root_fillet.h"
#include "drawings/tool_profile.h"
#include "drawings/tooth_graphics_support.h"
#include "drawings/tooth_outline.h"
#include "tooth_test_support.h"

namespace {

using namespace tooth_test;

struct TToolForm {
  std::string name;
  Real alphaDeg, haP0mn, hfP0mn, rhoaP0mn, rootRadiusMn, protuberanceMn, chamferDeg;
};

class Robustness : public ToothTest, public ::testing::WithParamInterface<TToolForm> {
 protected:
  void Set(int z, Real x) {
    const TToolForm& f = GetParam();
    TSplineCase c;
    c.z = z;
    c.m = 2;
    c.alphaDeg = f.alphaDeg;
    c.x1 = x;
    c.x2 = -x;
    c.haP0mn = f.haP0mn;
    c.hfP0mn = f.hfP0mn;
    c.rhoaP0mn = f.rhoaP0mn;
    SetSplineCase(c);
    TToothingData& t = ToothingData;
    for (int n = 1; n <= 2; ++n) {
      t.rhofP0mn[n] = f.rootRadiusMn;
      t.rhofP0[n] = f.rootRadiusMn * c.m;
      t.prP0mn[n] = f.protuberanceMn;
      t.prP0[n] = f.protuberanceMn * c.m;
      t.alphaprP0[n] = f.alphaDeg / 2;
      t.hprP0[n] = f.protuberanceMn > 0 ? 0.5L : 0;
      if (f.chamferDeg > 0) {
        t.toolAngleFlag[n] = 1;
        t.alphakP0[n] = f.chamferDeg;
        t.hFfP0mn[n] = 0.15L;
        t.hFfP0[n] = 0.3L;
      }
      t.q[n] = 0.05L;  // premachining allowance: the hub's contour is drawn as well
      t.xePreMin[n] = t.x[n] - 0.05L;
      t.xePreMax[n] = t.x[n] - 0.03L;
      t.Dm[n] = 3.5L;
      t.MFinMin[n] = t.MFinMax[n] = t.d[n] + (n == 1 ? 3 : -3);
      t.dNf[n] = (t.d[n] + t.df[n]) / 2;
    }
  }
};

TEST_P(Robustness, NoCoordinateIsNanOrInfinite) {
  int drawn = 0;
  for (int z = 6; z <= 100; ++z) {
    for (int k = 0; k <= 17; ++k) {
      // -0.6 to 1.0 in tenths, then the shift that puts the tip radius centre on the rolling
      // line.
      const Real x = k <= 16 ? -0.6L + 0.1L * k : GetParam().haP0mn - GetParam().rhoaP0mn;
      Set(z, x);
      for (bool fillet : {false, true}) {
        ToothGraphicsSettings.drawRootCurve = fillet;
        Open();
        for (int n = 1; n <= 2; ++n) {
          Real xEnd, yEnd;
          RootFilletPoints(n, 1, xEnd, yEnd);
          RootFilletPoints(n, 2, xEnd, yEnd);
          ASSERT_TRUE(std::isfinite(xEnd) && std::isfinite(yEnd));
          DrawToothOutline(n, true);
          DrawToolProfile(n, false, 1);
          DrawToolProfile(n, true, 0);
          DrawMeasuringPins(n);
          DrawAuxDiameters(n, 90, 0, 0);
          DrawDiameterLegend(n, 0, 0);
          DrawLimitedDiameterArc("d", false, 0, 0, 20, ToothingData.d[n], 90,
                                 ToothingData.d[n] / 2.1L);
        }
        Close();
        for (const TCadPrimitive& p : rec_.Items()) {
          ASSERT_TRUE(Finite(p)) << "z " << z << " x " << static_cast<double>(x) << " fillet "
                                 << fillet << " colour " << p.colour;
        }
        drawn += static_cast<int>(rec_.Items().size());
      }
    }
  }
  EXPECT_GT(drawn, 0);
}

TEST_P(Robustness, GeneratingInsertsStayFinite) {
  const std::filesystem::path scratch =
      std::filesystem::temp_directory_path() / ("vuko_robust_" + std::to_string(::getpid()));
  std::filesystem::create_directories(scratch);
  ConfigVariables.BatchCadFlag = true;
  CurrentFileName = (scratch / "gen").string();
  for (int z = 6; z <= 100; z += 7) {
    for (Real x : {-0.6L, 0.2L, 1.0L}) {
      Set(z, x);
      rec_.Clear();
      CadOpen(kCadDxf);
      CadSheetFrame(-100, -100, 100, 100);
      CadBeginTables(0);
      CadBeginBlocks();
      DrawToolBlock(1, false);
      DrawToolBlock(2, false);
      CadEndSection();
      CadBeginEntities();
      GenerateToothShape(1);
      GenerateToothShape(2);
      CadEndSection();
      CadClose();
      ASSERT_EQ(rec_.Count(TCadPrimitive::Kind::Insert), 120u);
      for (const TCadPrimitive& p : rec_.Items()) ASSERT_TRUE(Finite(p)) << z;
    }
  }
  ConfigVariables.BatchCadFlag = false;
  std::error_code ec;
  std::filesystem::remove_all(scratch, ec);
}

INSTANTIATE_TEST_SUITE_P(Tools, Robustness,
                         ::testing::Values(TToolForm{"Din5480Rack", 30, 0.55L, 0.45L, 0.16L, 0, 0,
                                                     0},
                                           TToolForm{"Iso53Rack", 20, 1.25L, 1.0L, 0.38L, 0, 0, 0},
                                           TToolForm{"ProtuberanceChamferRootRadius", 20, 1.4L,
                                                     1.0L, 0.3L, 0.1L, 0.03L, 35}),
                         [](const auto& info) { return info.param.name; });

}  // namespace
