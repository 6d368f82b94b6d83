// Shared pieces of the CAD driver tests: a fixture with a fresh driver and a scratch
// directory, the group-code pairs of a written DXF file, and the drawing records of the
// display list.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "common/file_utils.h"
#include "common/message_list.h"
#include "graphics/cad_blocks.h"
#include "graphics/cad_recorder.h"
#include "graphics_fixture.h"

class CadTest : public GraphicsTest {
 protected:
  void SetUp() override {
    GraphicsTest::SetUp();
    ResetCadDriverForTests();
    ResetErrors();
    PlotSettings.HideFooterLine = true;
    scratch_ = std::filesystem::temp_directory_path() /
               ("vuko_cad_" + std::to_string(::getpid()) + "_" + std::to_string(++counter_));
    std::filesystem::create_directories(scratch_);
    ConfigVariables.BatchCadFlag = true;
    CurrentFileName = (scratch_ / "part").string();
    // What is handed to the plot program goes here, not into the real home.
    setenv("XDG_CACHE_HOME", (scratch_ / "cache").c_str(), 1);
  }
  void TearDown() override {
    unsetenv("XDG_CACHE_HOME");
    ResetCadDriverForTests();
    ConfigVariables.BatchCadFlag = false;
    std::error_code ec;
    std::filesystem::remove_all(scratch_, ec);
    GraphicsTest::TearDown();
  }

  std::filesystem::path scratch_;
  static inline int counter_ = 0;
};

inline std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The (group code, value) pairs of a DXF text.
inline std::vector<std::pair<int, std::string>> DxfPairs(const std::string& text) {
  std::vector<std::pair<int, std::string>> pairs;
  std::istringstream in(text);
  std::string code, value;
  while (std::getline(in, code) && std::getline(in, value)) {
    if (!value.empty() && value.back() == '\r') value.pop_back();
    pairs.emplace_back(std::stoi(code), value);
  }
  return pairs;
}

// How many entities of that name the pairs hold.
inline int CountEntities(const std::vector<std::pair<int, std::string>>& pairs,
                         const std::string& name) {
  int n = 0;
  for (const auto& [code, value] : pairs) n += code == 0 && value == name;
  return n;
}

// The real value of the first pair with that group code after the n-th entity of that name.
inline double EntityValue(const std::vector<std::pair<int, std::string>>& pairs,
                          const std::string& name, int n, int groupCode) {
  int seen = -1;
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    if (pairs[i].first == 0 && pairs[i].second == name && ++seen == n) {
      for (std::size_t k = i + 1; k < pairs.size() && pairs[k].first != 0; ++k) {
        if (pairs[k].first == groupCode) return std::stod(pairs[k].second);
      }
    }
  }
  return std::nan("");
}

// Drawing records of the display list (colour, style and window records left out).
struct ScreenItem {
  TDisplayOp op;
  std::vector<double> v;
  std::string text;
};

inline std::vector<ScreenItem> ScreenItems() {
  std::vector<ScreenItem> items;
  for (std::size_t i = 0; i < DisplayList->Count(); ++i) {
    const TDisplayListRecord r = DisplayList->Record(i);
    if (r.op != TDisplayOp::Line && r.op != TDisplayOp::Circle && r.op != TDisplayOp::Arc &&
        r.op != TDisplayOp::Text && r.op != TDisplayOp::Solid) {
      continue;
    }
    ScreenItem item{r.op, std::vector<double>(r.values, r.values + r.valueCount), {}};
    if (r.text) item.text = *r.text;
    items.push_back(item);
  }
  return items;
}
