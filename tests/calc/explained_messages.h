// Whether a message has a record in the shipped explanation file, found by its first 14 characters.
#pragma once
#include <fstream>
#include <string>
namespace calc_test {
inline bool Explained(const std::string& message) {
  std::ifstream in(std::string(VUKO_DATA_DIR) + "/vuko.err");
  std::string line;
  for (int n = 0; std::getline(in, line); ++n)
    if (n % 3 == 0 && line.substr(0, 14) == message.substr(0, 14)) return true;
  return false;
}
}  // namespace calc_test
