// Memo text of record r in a version, as write_loop writes it and the kill test expects it.
#pragma once
#include <string>

inline std::string MemoText(int r, int version) {
  return "record " + std::to_string(r) + " version " + std::to_string(version) + " " +
         std::string(std::size_t((r * 137 + version * 300) % 1400), char('a' + r % 26));
}
