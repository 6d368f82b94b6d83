// Tooth outlines written as one DXF polyline each and read back by ezdxf, which turns the
// bulges into arcs by its own code: the vertices are the ones drawn, the tip arc is centred
// on the gear centre with the tip radius and spans the tip, the fillet arcs have the tool's
// tip radius, and the flank vertices still lie on the involute of the base circle.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "drawings/tooth_outline.h"
#include "drawings/tooth_test_support.h"
#include "validator_support.h"

namespace {

using namespace tooth_test;
using namespace validator_support;

struct TReadBack {
  std::vector<TPoint> vertices;
  struct TArc {
    Real cx, cy, r, a1, a2;
  };
  std::vector<TArc> arcs;
};

TReadBack Parse(const std::string& text) {
  TReadBack out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream row(line);
    std::string kind;
    row >> kind;
    if (kind == "V") {
      TPoint p;
      row >> p.x >> p.y;
      out.vertices.push_back(p);
    } else if (kind == "ARC") {
      TReadBack::TArc a;
      row >> a.cx >> a.cy >> a.r >> a.a1 >> a.a2;
      out.arcs.push_back(a);
    }
  }
  return out;
}

class ToothPolylineValidator : public ToothTest {
 protected:
  void SetUp() override {
    ToothTest::SetUp();
    REQUIRE_VALIDATOR(HaveEzdxf(), "ezdxf");
    scratch_ =
        std::filesystem::temp_directory_path() / ("vuko_tooth_dxf_" + std::to_string(::getpid()));
    std::filesystem::create_directories(scratch_);
    ConfigVariables.BatchCadFlag = true;
    CurrentFileName = (scratch_ / "tooth").string();
    PlotSettings.involuteAsPolyline = true;
  }
  void TearDown() override {
    ConfigVariables.BatchCadFlag = false;
    std::error_code ec;
    std::filesystem::remove_all(scratch_, ec);
    ToothTest::TearDown();
  }
  // The outline of part n as DXF, read back; the recorder keeps what was drawn.
  TReadBack WriteAndRead(int n) {
    rec_.Clear();
    CadOpen(kCadDxf);
    CadSheetFrame(-100, -100, 100, 100);
    CadBeginTables(0);
    CadBeginEntities();
    DrawToothOutline(n, false);
    CadEndSection();
    CadClose();
    const ToolRun run = Python(VUKO_SOURCE_DIR "/tests/drawings/validator/tooth_polyline_check.py",
                               Quote((scratch_ / "tooth.dxf").string()));
    EXPECT_EQ(run.status, 0) << run.output;
    return Parse(run.output);
  }
  std::filesystem::path scratch_;
};

TEST_F(ToothPolylineValidator, ExampleJointShaftAndHub) {
  SetExampleJoint();
  ASSERT_FALSE(CalcFatalFlag);
  for (int n = 1; n <= 2; ++n) {
    const TReadBack back = WriteAndRead(n);
    const auto drawn = ChainVertices(Chains(Pieces(rec_, 5)).back());
    ASSERT_EQ(back.vertices.size(), drawn.size()) << "part " << n;
    // Six decimals in the file.
    for (std::size_t i = 0; i < drawn.size(); ++i) {
      EXPECT_NEAR(back.vertices[i].x, drawn[i].x, 2e-6L) << "part " << n << " vertex " << i;
      EXPECT_NEAR(back.vertices[i].y, drawn[i].y, 2e-6L) << "part " << n << " vertex " << i;
    }
    // The tip arc: about the centre, through both tip corners, over the tooth (not around).
    // Its bulge is small, so the six decimals of the file leave some 0.3 um on the radius.
    const Real ra = std::fabs(ToothGraphicsSettings.daGen[n]) / 2;
    int tip = 0, fillet = 0;
    for (const auto& a : back.arcs) {
      if (std::fabs(a.r - ra) < 1e-3L) {
        ++tip;
        EXPECT_NEAR(a.cx, 0, 1e-3L);
        EXPECT_NEAR(a.cy, 0, 1e-3L);
        Real span = a.a2 - a.a1;
        while (span < 0) span += 360;
        EXPECT_LT(span, 180) << "part " << n;
        const Real middle = a.a1 + span / 2;
        EXPECT_NEAR(std::fmod(middle + 360, 360), n == 1 ? 90 : 270, 1e-4L);
      } else if (std::fabs(a.r - ToothingData.rhoaP0[n]) < 1e-5L) {
        ++fillet;
      }
    }
    EXPECT_EQ(tip, 1) << "part " << n;
    EXPECT_EQ(fillet, 2) << "part " << n;
    // Flank vertices as read still lie on the involute (to the file's six decimals).
    const TFlanks f = SplitFlanks(back.vertices, n == 1 ? TRootForm::RootArc : TRootForm::Hub,
                                  ToothGraphicsSettings.InvolutePoints);
    ASSERT_EQ(back.vertices.size(), f.expectedVertices);
    const Real rb = ToothingData.db[n] / 2;
    EXPECT_LT(FitInvolute(f.right, rb, +1).spread, 1e-6L);
    EXPECT_LT(FitInvolute(f.left, rb, -1).spread, 1e-6L);
  }
}

}  // namespace
