#include "decoding/degree_table.h"

#include <array>
#include <cmath>
#include <numbers>

namespace scantouch {
namespace {

constexpr int kEntries = 361;

struct DegreeTable {
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

const DegreeTable& Table() {
  static const DegreeTable table;
  return table;
}

}  // namespace

double SinOfDegree(int degree) {
  return Table().sin[static_cast<std::size_t>(degree)];
}
double CosOfDegree(int degree) {
  return Table().cos[static_cast<std::size_t>(degree)];
}

}  // namespace scantouch
