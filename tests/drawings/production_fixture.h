// Shared set-up of the production drawing tests: the example joint calculated, the pieces'
// fixture around it, and readers of the recorded table texts.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "calc/spline_joint.h"
#include "calc/toothing_data.h"
#include "common/formatting.h"
#include "drawings/pieces_fixture.h"

class ProductionTest : public PiecesTest {
 protected:
  void SetUp() override {
    PiecesTest::SetUp();
    InitToothingData();
    NewSplineExample();
    CalcSplineJoint();
    ASSERT_FALSE(CalcFatalFlag);
  }
};

// The texts of the row whose first cell reads meaning (leading blank of the cells ignored),
// left to right, the meaning first; empty when there is no such row.
inline std::vector<std::string> RowTexts(const TCadRecorder& rec, const std::string& meaning) {
  std::vector<TCadPrimitive> texts = rec.OfKind(Kind::Text);
  for (const TCadPrimitive& p : texts) {
    if (TrimStr(p.text) != meaning) continue;
    std::vector<TCadPrimitive> row;
    for (const TCadPrimitive& q : texts) {
      if (std::fabs(D(q.y[0] - p.y[0])) < 1e-6 && q.x[0] >= p.x[0]) row.push_back(q);
    }
    std::sort(row.begin(), row.end(), [](const auto& a, const auto& b) { return a.x[0] < b.x[0]; });
    std::vector<std::string> cells;
    for (const auto& q : row) cells.push_back(TrimStr(q.text));
    return cells;
  }
  return {};
}

// The number in the last cell of that row (NaN when the row is missing).
inline double RowValue(const TCadRecorder& rec, const std::string& meaning) {
  const auto cells = RowTexts(rec, meaning);
  if (cells.size() < 2) return std::nan("");
  return std::strtod(cells.back().c_str(), nullptr);
}

inline bool HasText(const TCadRecorder& rec, const std::string& text) {
  for (const auto& p : rec.OfKind(Kind::Text))
    if (TrimStr(p.text) == text) return true;
  return false;
}
