// Shared set-up of the production drawing tests: the example joint calculated inside the
// pieces' fixture, and a reader of the recorded table rows.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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

// Trimmed texts of the row whose first cell reads first, left to right; empty when missing.
inline std::vector<std::string> RowTexts(const TCadRecorder& rec, const std::string& first) {
  const std::vector<TCadPrimitive> texts = rec.OfKind(Kind::Text);
  for (const TCadPrimitive& p : texts) {
    if (TrimStr(p.text) != first) continue;
    std::vector<TCadPrimitive> row;
    for (const TCadPrimitive& q : texts)
      if (std::fabs(D(q.y[0] - p.y[0])) < 1e-6 && q.x[0] >= p.x[0]) row.push_back(q);
    std::sort(row.begin(), row.end(), [](const auto& a, const auto& b) { return a.x[0] < b.x[0]; });
    std::vector<std::string> cells;
    for (const auto& q : row) cells.push_back(TrimStr(q.text));
    return cells;
  }
  return {};
}

inline bool HasText(const TCadRecorder& rec, const std::string& text) {
  return !RowTexts(rec, text).empty();
}
