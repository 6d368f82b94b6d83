// Fixed-size array indexed from Lo to Hi inclusive, for the program-wide records whose
// users count from 1 (choice entries, messages, recent files) or by layer number (0..5, 16..31).
#pragma once

#include <array>
#include <cassert>
#include <cstddef>

template <typename T, int Lo, int Hi>
struct RangeArray {
  static_assert(Hi >= Lo, "empty index range");
  static constexpr int kLow = Lo;
  static constexpr int kHigh = Hi;
  static constexpr std::size_t kSize = static_cast<std::size_t>(Hi - Lo + 1);

  std::array<T, kSize> items{};

  T& operator[](int i) {
    assert(i >= Lo && i <= Hi);
    return items[static_cast<std::size_t>(i - Lo)];
  }
  const T& operator[](int i) const {
    assert(i >= Lo && i <= Hi);
    return items[static_cast<std::size_t>(i - Lo)];
  }
  static constexpr bool InRange(int i) { return i >= Lo && i <= Hi; }
  static constexpr int Low() { return Lo; }
  static constexpr int High() { return Hi; }
  static constexpr std::size_t size() { return kSize; }
  void Fill(const T& value) { items.fill(value); }

  auto begin() { return items.begin(); }
  auto end() { return items.end(); }
  auto begin() const { return items.begin(); }
  auto end() const { return items.end(); }

  bool operator==(const RangeArray&) const = default;
};
