// Helpers of the shell tests: a scratch directory, whole-file reads and writes, and a prepared
// data file.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace app_test {

// A fresh directory, removed with everything in it at the end of the test.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vuko-app-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& Path() const { return path_; }
  // path + "/" + name
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  std::string Make(const std::string& name) const {
    std::filesystem::create_directories(path_ + "/" + name);
    return path_ + "/" + name;
  }

 private:
  std::string path_;
};

inline std::string ReadBytes(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteBytes(const std::string& name, const std::string& bytes) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline bool Exists(const std::string& name) {
  return std::filesystem::exists(name);
}

// Stems that with a four-byte extension make the longest leaves (255 bytes at most) that most
// file systems take: 247 letters (251 bytes), 83 Japanese characters of three bytes (253).
inline std::vector<std::string> LongStems() {
  std::string japanese;
  for (int i = 0; i < 83; ++i) japanese += std::string("日本語の歯車").substr(i % 6 * 3, 3);
  return {std::string(247, 'a'), japanese};
}

// Whether the file system of dir takes a file of this leaf (some hold fewer bytes or no UTF-8).
inline bool TakesLeaf(const std::string& dir, const std::string& leaf) {
  std::error_code ec;
  return std::ofstream(dir + "/" + leaf).good() && std::filesystem::remove(dir + "/" + leaf, ec);
}

}  // namespace app_test
