// Scratch tables with memo fields for the memo tests: a private directory, a table of a chosen
// memo layout (NAME C 10, NOTES M 10) created through the library, and whole-file reads.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "xbase/dbf_file.h"
#include "xbase/memo_ops.h"
#include "xbase/work_areas.h"
#include "xbase/xbase_errors.h"

namespace memo_test {

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::uint32_t Le32(const std::string& b, std::size_t at) {
  return std::uint32_t(std::uint8_t(b[at])) | std::uint32_t(std::uint8_t(b[at + 1])) << 8 |
         std::uint32_t(std::uint8_t(b[at + 2])) << 16 |
         std::uint32_t(std::uint8_t(b[at + 3])) << 24;
}
inline std::uint32_t Be32(const std::string& b, std::size_t at) {
  return std::uint32_t(std::uint8_t(b[at + 3])) | std::uint32_t(std::uint8_t(b[at + 2])) << 8 |
         std::uint32_t(std::uint8_t(b[at + 1])) << 16 | std::uint32_t(std::uint8_t(b[at])) << 24;
}

// Library started with errors recorded (not fatal) and a private directory.
class MemoFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    InitXbaseCore();
    InitXbaseMemo();
    SetErrorHandling(false);
    std::string pattern = (std::filesystem::temp_directory_path() / "vuko-memo-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    CloseAll();
    DefaultMemoBlockSize = 512;
    std::filesystem::remove_all(dir_);
  }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

  // Creates and opens, in the current area, a table of the given version with a memo file.
  void MakeTable(const std::string& name, std::uint8_t version, bool exclusive = true) {
    const std::vector<TFieldSpec> fields = {{"NAME", 'C', 10, 0}, {"NOTES", 'M', 10, 0}};
    ASSERT_TRUE(CreateDbf(Path(name + ".dbf"), fields, version, exclusive)) << XbaseErrorMessage;
    // The memo file again through the memo unit, with the default block size.
    if (TMemoDescriptor* made = CurrentMemo()) {
      const std::string madeName = made->name;
      CloseMemofile();
      std::filesystem::remove(madeName);
    }
    CreateAndOpenMemofile(Path(name + ".dbf"));
    ASSERT_NE(CurrentMemo(), nullptr) << XbaseErrorMessage;
    ASSERT_EQ(XbaseErrorCode, 0) << XbaseErrorMessage;
  }
  // Appends a record with this name and memo block.
  void AppendRecord(const std::string& name, std::int32_t block) {
    ClearRecord();
    SetFieldText(1, name);
    SetFieldMemo(2, block);
    Append();
    ASSERT_EQ(XbaseErrorCode, 0) << XbaseErrorMessage;
  }
  std::string MemoOf(std::int32_t block) {
    std::string text;
    EXPECT_TRUE(ReadMemoText(block, text)) << XbaseErrorMessage;
    return text;
  }

  std::string dir_;
};

}  // namespace memo_test
