// Shared set-up of the tests of the drawing pieces: fresh settings, the screen as CAD target
// with a recorder of everything drawn, a scratch directory for file targets, a fixed clock and
// an empty message list; plus small geometry helpers written apart from the code under test.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "common/message_list.h"
#include "common/program_state.h"
#include "common/system_info.h"
#include "drawings/drawing_documentation.h"
#include "drawings/hatching.h"
#include "graphics/cad_blocks.h"
#include "graphics/cad_recorder.h"
#include "graphics/graphics_fixture.h"

using Kind = TCadPrimitive::Kind;

inline double D(long double v) {
  return static_cast<double>(v);
}

// 14 March 2026, 09:26:53 local time.
inline std::time_t FixedTestTime() {
  std::tm t{};
  t.tm_year = 2026 - 1900;
  t.tm_mon = 2;
  t.tm_mday = 14;
  t.tm_hour = 9;
  t.tm_min = 26;
  t.tm_sec = 53;
  t.tm_isdst = -1;
  return std::mktime(&t);
}

class PiecesTest : public GraphicsTest {
 protected:
  void SetUp() override {
    GraphicsTest::SetUp();
    ResetCadDriverForTests();
    ClearErrors();
    InitHatching();
    SetClockForTests(FixedTestTime());
    InitChangeRecords();
    SetProgramIdentity();
    PlotSettings.HideFooterLine = true;
    scratch_ = std::filesystem::temp_directory_path() /
               ("vuko_pieces_" + std::to_string(::getpid()) + "_" + std::to_string(++counter_));
    std::filesystem::create_directories(scratch_);
    ConfigVariables.BatchCadFlag = true;
    CurrentFileName = (scratch_ / "part").string();
  }
  void TearDown() override {
    ResetCadDriverForTests();
    SetClockForTests(0);
    ConfigVariables.BatchCadFlag = false;
    std::error_code ec;
    std::filesystem::remove_all(scratch_, ec);
    GraphicsTest::TearDown();
  }

  std::filesystem::path scratch_;
  static inline int counter_ = 0;
};

struct Pt {
  double x, y;
};
using Polygon = std::vector<Pt>;

// Even-odd ray casting: true when p is inside the closed polygon (last point joins the first).
inline bool InsidePolygon(const Polygon& poly, Pt p) {
  bool inside = false;
  for (std::size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
    const Pt a = poly[i], b = poly[j];
    if ((a.y > p.y) != (b.y > p.y)) {
      const double xCross = a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y);
      if (p.x < xCross) inside = !inside;
    }
  }
  return inside;
}

inline double DistanceToSegment(Pt p, Pt a, Pt b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
  t = std::fmax(0, std::fmin(1, t));
  return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

inline double DistanceToOutline(const Polygon& poly, Pt p) {
  double d = 1e300;
  for (std::size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
    d = std::fmin(d, DistanceToSegment(p, poly[j], poly[i]));
  }
  return d;
}

// Shoelace area and perimeter.
inline double Area(const Polygon& poly) {
  double s = 0;
  for (std::size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
    s += poly[j].x * poly[i].y - poly[i].x * poly[j].y;
  }
  return std::fabs(s) / 2;
}
inline double Perimeter(const Polygon& poly) {
  double s = 0;
  for (std::size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
    s += std::hypot(poly[i].x - poly[j].x, poly[i].y - poly[j].y);
  }
  return s;
}

inline double Length(const TCadPrimitive& line) {
  return std::hypot(D(line.x[1] - line.x[0]), D(line.y[1] - line.y[0]));
}
