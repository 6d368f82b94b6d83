// Shared pieces of the fuzz targets: one private scratch directory per fuzzing process, whole
// file reads and writes, and a check that stops the run (so libFuzzer keeps the input) when a
// reader gives back something other than what it was handed.
#pragma once

#include <stdio.h>
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fuzz {

inline const std::string& ScratchDir() {
  static const std::string dir = [] {
    // Memory-backed when the machine has it: the writers sync every file they commit.
    char shm[] = "/dev/shm/vuko-fuzz-XXXXXX";
    char tmp[] = "/tmp/vuko-fuzz-XXXXXX";
    const char* made_ = mkdtemp(shm);
    if (made_ == nullptr) made_ = mkdtemp(tmp);
    if (made_ == nullptr) abort();
    std::string made = made_;
    // libFuzzer ends the process through exit(); the directory goes with it.
    static std::string forAtExit = made;
    atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(forAtExit, ec);
    });
    return made;
  }();
  return dir;
}

inline std::string Path(const std::string& name) {
  return ScratchDir() + "/" + name;
}

// Empties the scratch directory, so that no file of an earlier input (a memo file, an index)
// takes part in the next one.
inline void ClearScratch() {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(ScratchDir(), ec))
    std::filesystem::remove_all(entry.path(), ec);
}

inline void PutFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline std::string GetFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::string Bytes(const std::uint8_t* data, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

// Two files a round trip wrote must agree; otherwise the first line where they part is shown.
inline void CheckSameFiles(const std::string& first, const std::string& second) {
  const std::string a = GetFile(first), b = GetFile(second);
  if (a == b) return;
  std::size_t at = 0, line = 1;
  while (at < a.size() && at < b.size() && a[at] == b[at]) {
    if (a[at] == '\n') ++line;
    ++at;
  }
  const auto lineOf = [at](const std::string& text) {
    const std::size_t from = text.rfind('\n', at == 0 ? 0 : at - 1);
    const std::size_t begin = from == std::string::npos ? 0 : from + 1;
    return text.substr(begin, text.find('\n', begin) - begin);
  };
  fprintf(stderr, "round trip differs in line %zu: \"%s\" then \"%s\"\n", line, lineOf(a).c_str(),
          lineOf(b).c_str());
  abort();
}

}  // namespace fuzz

#define FUZZ_CHECK(condition)                                                       \
  do {                                                                              \
    if (!(condition)) {                                                             \
      fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      abort();                                                                      \
    }                                                                               \
  } while (false)
