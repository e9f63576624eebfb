#include "common/rounding.h"

#include <cmath>
#include <limits>

namespace scantouch {
namespace {

template <typename Int>
std::optional<Int> RoundInto(double x) {
  if (!std::isfinite(x))
    return std::nullopt;
  const double rounded = RoundHalfEvenUnbounded(x);
  if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
      rounded > static_cast<double>(std::numeric_limits<Int>::max())) {
    return std::nullopt;
  }
  return static_cast<Int>(rounded);
}

}  // namespace

double RoundHalfEvenUnbounded(double x) {
  const double below = std::floor(x);
  const double fraction = x - below;
  if (fraction > 0.5)
    return below + 1;
  if (fraction < 0.5)
    return below;
  return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

std::optional<std::int16_t> RoundHalfEven16(double x) {
  return RoundInto<std::int16_t>(x);
}
std::optional<std::int32_t> RoundHalfEven32(double x) {
  return RoundInto<std::int32_t>(x);
}

}  // namespace scantouch
