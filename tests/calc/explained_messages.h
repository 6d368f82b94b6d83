// The record keys of the shipped explanation file: the first 14 characters of each record's
// message line, by which a listed message finds its origin and remedy.
#pragma once

#include <fstream>
#include <set>
#include <string>

namespace calc_test {

inline std::set<std::string> ExplainedKeys() {
  std::ifstream in(std::string(VUKO_DATA_DIR) + "/vuko.err");
  std::set<std::string> keys;
  std::string line;
  for (int n = 0; std::getline(in, line); ++n) {
    if (n % 3 == 0) keys.insert(line.substr(0, 14));
  }
  return keys;
}

inline bool Explained(const std::string& message) {
  static const std::set<std::string> keys = ExplainedKeys();
  return keys.count(message.substr(0, 14)) > 0;
}

}  // namespace calc_test
