// Scratch directory and library start-up for the tests of the table library core, and
// whole-file byte access for layout checks.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "xbase/work_areas.h"
#include "xbase/xbase_errors.h"

namespace core_test {

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline unsigned Byte(const std::string& b, std::size_t at) {
  return std::uint8_t(b.at(at));
}

inline std::uint32_t Le16(const std::string& b, std::size_t at) {
  return Byte(b, at) | Byte(b, at + 1) << 8;
}

inline std::uint32_t Le32(const std::string& b, std::size_t at) {
  return Byte(b, at) | Byte(b, at + 1) << 8 | Byte(b, at + 2) << 16 | Byte(b, at + 3) << 24;
}

// Library core started, errors recorded instead of ending the program, a private directory.
class CoreFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    InitXbaseCore();
    SetErrorHandling(false);
    std::string pattern = (std::filesystem::temp_directory_path() / "vuko-xcore-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    DoneXbaseCore();
    std::filesystem::remove_all(dir_);
  }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

  // A table NAME C 10, QTY N 5, PRICE N 8.2, DONE L, BORN D, opened in the current area.
  void MakeSample(const std::string& name, bool exclusive = true) {
    const std::vector<TFieldSpec> fields = {{"NAME", 'C', 10, 0},
                                            {"QTY", 'N', 5, 0},
                                            {"PRICE", 'N', 8, 2},
                                            {"DONE", 'L', 1, 0},
                                            {"BORN", 'D', 8, 0}};
    ASSERT_TRUE(CreateDbf(Path(name), fields, 0, exclusive)) << XbaseErrorMessage;
  }

  // Appends records named by the texts (QTY = position, 1-based).
  void AppendNamed(const std::vector<std::string>& names) {
    for (std::size_t i = 0; i < names.size(); ++i) {
      ClearRecord();
      SetFieldText(1, names[i]);
      SetFieldNumber(2, static_cast<double>(i + 1));
      Append();
      ASSERT_EQ(XbaseErrorCode, 0) << XbaseErrorMessage;
    }
  }

  std::string dir_;
};

}  // namespace core_test
