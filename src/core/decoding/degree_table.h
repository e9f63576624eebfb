#pragma once

#include <array>
#include <cmath>
#include <numbers>

namespace scantouch {

// sin and cos of whole degrees 0..360, as angle * pi / 180 gives them. The sweep only ever
// needs whole degrees, and a table lookup is many times cheaper than the library call; inline,
// as the point processing looks up two for every node.
struct DegreeTable {
  static constexpr int kEntries = 361;
  std::array<double, kEntries> sin{};
  std::array<double, kEntries> cos{};
  DegreeTable() {
    for (int degree = 0; degree < kEntries; ++degree) {
      const double theta = degree * std::numbers::pi / 180;
      sin[static_cast<std::size_t>(degree)] = std::sin(theta);
      cos[static_cast<std::size_t>(degree)] = std::cos(theta);
    }
  }
};

inline const DegreeTable kDegreeTable;

inline double SinOfDegree(int degree) {
  return kDegreeTable.sin[static_cast<std::size_t>(degree)];
}
inline double CosOfDegree(int degree) {
  return kDegreeTable.cos[static_cast<std::size_t>(degree)];
}

}  // namespace scantouch
