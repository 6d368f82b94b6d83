// Runs a fuzz target's entry point over every file of the folders given: in the normal build the
// seeds, and with them every input that ever made a target fail, stay part of the test suite.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  std::vector<std::filesystem::path> files;
  for (int i = 1; i < argc; ++i)
    for (const auto& entry : std::filesystem::directory_iterator(argv[i]))
      if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  if (files.empty()) {
    fprintf(stderr, "no inputs\n");
    return 1;
  }
  for (const auto& file : files) {
    fprintf(stderr, "%s\n", file.c_str());
    const std::string bytes = fuzz::GetFile(file.string());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  }
  printf("%zu inputs\n", files.size());
  return 0;
}
