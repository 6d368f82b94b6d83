// Shared pieces of the tooth curve tests: a fresh program state with the screen as CAD target
// and a recorder, spline data sets built from textbook formulas, and measurements on the
// recorded primitives (outline vertices, involute constants, distances).
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "calc/gear_checks.h"
#include "calc/spline_joint.h"
#include "calc/toothing_data.h"
#include "common/graphics_settings.h"
#include "common/message_list.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "graphics/cad_blocks.h"
#include "graphics/cad_recorder.h"
#include "graphics/graphics_facade.h"
#include "graphics/graphics_window.h"
#include "graphics/view_control.h"

namespace tooth_test {

using Real = long double;
constexpr Real kPiL = 3.141592653589793238462643383279502884L;

inline Real InvL(Real a) {
  return std::tan(a) - a;
}

// Inverse involute by Newton's method (own, so the tests do not lean on the program's).
inline Real ArcInvL(Real y) {
  Real a = std::cbrt(3 * y);
  for (int i = 0; i < 60; ++i) {
    const Real t = std::tan(a);
    a -= (t - a - y) / (t * t);
  }
  return a;
}

struct TPoint {
  Real x = 0, y = 0;
};
inline Real Radius(const TPoint& p) {
  return std::hypot(p.x, p.y);
}
inline Real Polar(const TPoint& p) {
  return std::atan2(p.y, p.x);
}
inline TPoint Rotated(const TPoint& p, Real a) {
  return {p.x * std::cos(a) - p.y * std::sin(a), p.x * std::sin(a) + p.y * std::cos(a)};
}
inline Real Distance(const TPoint& a, const TPoint& b) {
  return std::hypot(a.x - b.x, a.y - b.y);
}

// A spline tooth pair set from textbook formulas (DIN 3960 notation, beta = 0 unless given):
// d = m z, db = d cos alpha, sn = m (pi/2 + 2 x tan alpha), df = d - 2 haP0 + 2 x m,
// da = d + 2 hfP0 + 2 x m; the hub (part 2) has z and every diameter negative.
struct TSplineCase {
  int z = 20;
  Real m = 2;
  Real alphaDeg = 30;
  Real x1 = 0, x2 = 0;
  Real haP0mn = 0.55L, hfP0mn = 0.45L, rhoaP0mn = 0.16L;
  Real betaDeg = 0;
};

inline void SetSplineCase(const TSplineCase& c) {
  InitToothingData();
  TToothingData& t = ToothingData;
  TToothGraphicsSettings& g = ToothGraphicsSettings;
  t.mn = c.m;
  t.alpha = c.alphaDeg;
  t.alphaRad = c.alphaDeg * kPiL / 180;
  t.beta = c.betaDeg;
  t.betaRad = c.betaDeg * kPiL / 180;
  t.alphat = std::atan(std::tan(t.alphaRad) / std::cos(t.betaRad));
  for (int n = 1; n <= 2; ++n) {
    const int sign = n == 1 ? 1 : -1;
    const Real x = n == 1 ? c.x1 : c.x2;
    t.z[n] = sign * c.z;
    t.x[n] = x;
    t.d[n] = t.z[n] * c.m / std::cos(t.betaRad);
    t.db[n] = t.d[n] * std::cos(t.alphat);
    t.haP0mn[n] = c.haP0mn;
    t.hfP0mn[n] = c.hfP0mn;
    t.rhoaP0mn[n] = c.rhoaP0mn;
    t.haP0[n] = c.haP0mn * c.m;
    t.hfP0[n] = c.hfP0mn * c.m;
    t.rhoaP0[n] = c.rhoaP0mn * c.m;
    t.rhofP0mn[n] = 0;
    t.rhofP0[n] = 0;
    t.prP0mn[n] = 0;
    t.prP0[n] = 0;
    t.hFfP0mn[n] = 0;
    t.hFfP0[n] = 0;
    t.alphakP0[n] = c.alphaDeg;
    t.toolAngleFlag[n] = 0;
    t.q[n] = 0;
    t.xePreMin[n] = t.xePreMax[n] = t.xeFinMin[n] = t.xeFinMax[n] = x;
    t.sn[n] = c.m * (kPiL / 2 + 2 * x * std::tan(t.alphaRad));
    t.en[n] = kPiL * c.m - t.sn[n];
    t.da[n] = t.d[n] + 2 * t.hfP0[n] + 2 * x * c.m;
    t.df[n] = t.d[n] - 2 * t.haP0[n] + 2 * x * c.m;
    t.dw[n] = t.d[n];
    t.dFf[n] = t.db[n];
    t.dFa[n] = t.da[n];
    t.dNf[n] = t.da[n];  // every fillet point below it
    g.xeInvolute[n] = x;
    g.xeShape[n] = x;
    g.snGen[n] = t.sn[n];
    g.dfGen[n] = t.df[n];
    g.daGen[n] = t.da[n];
    g.dwGen[n] = t.d[n];
  }
}

// Fresh state: screen target with a facade and a window without screen, scripted dialogs.
class ToothTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramStateForTests();
    InitGraphicsSettings();
    InitViewState();
    ResetErrors();
    ProgramSettings.ScreenWidth = 640;
    ProgramSettings.ScreenHeight = 480;
    host_ = std::make_unique<ScriptedDialogHost>();
    facade_ = std::make_unique<TGraphicsFacade>();
    window_ = std::make_unique<TGraphicsWindow>();
    window_->FormCreate();
    GraphicsWindowInstance = window_.get();
    ResetCadDriverForTests();
    PlotSettings.HideFooterLine = true;
    AbortFlag = false;
  }
  void TearDown() override {
    ResetCadDriverForTests();
    GraphicsWindowInstance = nullptr;
    window_.reset();
    facade_.reset();
    host_.reset();
  }
  // Opens the screen as target; everything drawn until Close lands in rec_.
  void Open() {
    rec_.Clear();
    CadOpen(kCadScreen);
  }
  void Close() { CadClose(); }

  TCadRecorder rec_;
  std::unique_ptr<ScriptedDialogHost> host_;
  std::unique_ptr<TGraphicsFacade> facade_;
  std::unique_ptr<TGraphicsWindow> window_;
};

// End points of a recorded arc.
inline TPoint ArcStart(const TCadPrimitive& p) {
  const Real a = p.a1 * kPiL / 180;
  return {p.x[0] + p.r * std::cos(a), p.y[0] + p.r * std::sin(a)};
}
inline TPoint ArcEnd(const TCadPrimitive& p) {
  const Real a = p.a2 * kPiL / 180;
  return {p.x[0] + p.r * std::cos(a), p.y[0] + p.r * std::sin(a)};
}

// The vertices of a chain of recorded lines and arcs (a polyline as the driver hands it on),
// in drawing order. An arc's end points are matched to the neighbouring pieces.
inline std::vector<TPoint> ChainVertices(const std::vector<TCadPrimitive>& pieces) {
  std::vector<TPoint> v;
  auto ends = [](const TCadPrimitive& p, TPoint& a, TPoint& b) {
    if (p.kind == TCadPrimitive::Kind::Line) {
      a = {p.x[0], p.y[0]};
      b = {p.x[1], p.y[1]};
    } else {
      a = ArcStart(p);
      b = ArcEnd(p);
    }
  };
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    TPoint a, b;
    ends(pieces[i], a, b);
    if (v.empty()) {
      if (pieces[i].kind == TCadPrimitive::Kind::Arc && i + 1 < pieces.size()) {
        TPoint c, d;
        ends(pieces[i + 1], c, d);
        const Real da = std::min(Distance(a, c), Distance(a, d));
        const Real db = std::min(Distance(b, c), Distance(b, d));
        if (da < db) std::swap(a, b);
      }
      v.push_back(a);
      v.push_back(b);
      continue;
    }
    if (Distance(a, v.back()) <= Distance(b, v.back())) {
      v.push_back(b);
    } else {
      v.push_back(a);
    }
  }
  return v;
}

// Lines and arcs of one colour, in drawing order.
inline std::vector<TCadPrimitive> Pieces(const TCadRecorder& rec, int colour) {
  std::vector<TCadPrimitive> out;
  for (const TCadPrimitive& p : rec.Items()) {
    if ((p.kind == TCadPrimitive::Kind::Line || p.kind == TCadPrimitive::Kind::Arc) &&
        p.colour == colour) {
      out.push_back(p);
    }
  }
  return out;
}

// Spread (max - min) of polar angle -/+ inv(arccos(rb / r)) over points: 0 for points on one
// involute of the base circle; sign +1 for a flank unwinding clockwise (x > 0 side).
struct TInvoluteFit {
  Real constant = 0;
  Real spread = 0;
  int count = 0;
};
inline TInvoluteFit FitInvolute(const std::vector<TPoint>& pts, Real rb, int sign) {
  TInvoluteFit fit;
  Real lo = 1e9, hi = -1e9, sum = 0;
  for (const TPoint& p : pts) {
    const Real c = std::min<Real>(1, std::fabs(rb) / Radius(p));
    const Real value = Polar(p) - sign * InvL(std::acos(c));
    lo = std::min(lo, value);
    hi = std::max(hi, value);
    sum += value;
    ++fit.count;
  }
  fit.constant = fit.count ? sum / fit.count : 0;
  fit.spread = hi - lo;
  return fit;
}

// Polar angle of the fitted involute at radius r.
inline Real InvoluteAngleAt(const TInvoluteFit& fit, Real rb, int sign, Real r) {
  return fit.constant + sign * InvL(std::acos(std::fabs(rb) / r));
}

// Least distance from c to the involute of the fit between radii r1 and r2 (golden section
// after a fine scan); the radius where it is reached goes to at.
inline Real DistanceToInvolute(const TInvoluteFit& fit, Real rb, int sign, TPoint c, Real r1,
                               Real r2, Real* at = nullptr) {
  auto dist = [&](Real r) {
    const Real a = InvoluteAngleAt(fit, rb, sign, r);
    return Distance(c, {r * std::cos(a), r * std::sin(a)});
  };
  const int kScan = 2000;
  Real best = 1e9, bestR = r1;
  for (int i = 0; i <= kScan; ++i) {
    const Real r = r1 + (r2 - r1) * i / kScan;
    const Real d = dist(r);
    if (d < best) {
      best = d;
      bestR = r;
    }
  }
  Real lo = std::max(r1, bestR - (r2 - r1) / kScan), hi = std::min(r2, bestR + (r2 - r1) / kScan);
  const Real g = (std::sqrt(5.0L) - 1) / 2;
  for (int i = 0; i < 200; ++i) {
    const Real a = hi - g * (hi - lo), b = lo + g * (hi - lo);
    if (dist(a) < dist(b)) {
      hi = b;
    } else {
      lo = a;
    }
  }
  if (at) *at = (lo + hi) / 2;
  return std::min(best, dist((lo + hi) / 2));
}

inline bool Finite(const TCadPrimitive& p) {
  for (int i = 0; i < 4; ++i) {
    if (!std::isfinite(p.x[i]) || !std::isfinite(p.y[i])) return false;
  }
  return std::isfinite(p.r) && std::isfinite(p.a1) && std::isfinite(p.a2) &&
         std::isfinite(p.height) && std::isfinite(p.angle);
}

}  // namespace tooth_test

namespace tooth_test {

// Splits lines and arcs into chains of pieces that share end points (one chain per polyline).
inline std::vector<std::vector<TCadPrimitive>> Chains(const std::vector<TCadPrimitive>& pieces) {
  std::vector<std::vector<TCadPrimitive>> chains;
  auto ends = [](const TCadPrimitive& p) -> std::pair<TPoint, TPoint> {
    if (p.kind == TCadPrimitive::Kind::Line) return {{p.x[0], p.y[0]}, {p.x[1], p.y[1]}};
    return {ArcStart(p), ArcEnd(p)};
  };
  for (const TCadPrimitive& p : pieces) {
    bool joined = false;
    if (!chains.empty()) {
      const auto [a, b] = ends(p);
      const auto [c, d] = ends(chains.back().back());
      const Real tol = 1e-9L;
      joined = Distance(a, c) < tol || Distance(a, d) < tol || Distance(b, c) < tol ||
               Distance(b, d) < tol;
    }
    if (!joined) chains.emplace_back();
    chains.back().push_back(p);
  }
  return chains;
}

}  // namespace tooth_test

namespace tooth_test {

// The example joint of New, calculated, with the drawing values at the calculated x of each
// part (both generating shifts set to it).
inline void SetExampleJoint() {
  InitMessageList();
  InitToothingData();
  ResetSplineData();
  NewSplineExample();
  CalcSplineJoint();
  PartReal x = ToothingData.x;
  ToothGraphicsSettings.xeInvolute = x;
  ToothGraphicsSettings.xeShape = x;
  CalcGearDiameters(x);
}

// DIN 5480 W 45x2x21: m 2, z 21, alpha 30, x1 0.2 (hub x2 = -0.2 for a zero-clearance mate),
// DIN 5480 basic rack: tool addendum 0.55 m, dedendum 0.45 m, tip radius 0.16 m.
inline TSplineCase Din5480W45x2x21() {
  TSplineCase c;
  c.z = 21;
  c.m = 2;
  c.alphaDeg = 30;
  c.x1 = 0.2L;
  c.x2 = -0.2L;
  return c;
}

// Where the flanks of a drawn tooth outline (one polyline, N involute points) stand in its
// vertex list; the other vertices belong to the root sides.
struct TFlanks {
  std::vector<TPoint> right, left;  // right: x > 0
  std::size_t expectedVertices = 0;
};
enum class TRootForm { Hub, RootArc, BaseCircle, GeneratedFillet };
inline TFlanks SplitFlanks(const std::vector<TPoint>& v, TRootForm form, int n) {
  TFlanks f;
  std::size_t r0 = 0, r1 = 0, l0 = 0, l1 = 0;  // inclusive index ranges
  switch (form) {
    case TRootForm::Hub:  // R, T1, T2 | N - 2 flank, tip | tip, N - 2 flank | T2, T1, R
      f.expectedVertices = 2 * n + 4;
      r0 = 3, r1 = n + 1, l0 = n + 2, l1 = 2 * n;
      break;
    case TRootForm::RootArc:  // R, C, P | P, N - 2 flank, tip | tip, N - 2 flank, P | C, R
      f.expectedVertices = 2 * n + 5;
      r0 = 2, r1 = n + 2, l0 = n + 3, l1 = 2 * n + 2;
      break;
    case TRootForm::BaseCircle:  // N - 1 flank, tip | tip, N - 2 flank, base point
      f.expectedVertices = 2 * n;
      r0 = 0, r1 = n - 1, l0 = n, l1 = 2 * n - 1;
      break;
    case TRootForm::GeneratedFillet:  // fillet end, as BaseCircle, fillet end
      f.expectedVertices = 2 * n;
      r0 = 1, r1 = n - 1, l0 = n, l1 = 2 * n - 2;
      break;
  }
  if (v.size() != f.expectedVertices) return f;
  for (std::size_t i = r0; i <= r1; ++i) f.right.push_back(v[i]);
  for (std::size_t i = l0; i <= l1; ++i) f.left.push_back(v[i]);
  return f;
}

}  // namespace tooth_test
