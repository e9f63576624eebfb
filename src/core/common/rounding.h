#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace scantouch {

// Nearest integer as a double, ties to even, with no range limit. Inline and without a call to
// the maths library: the point processing rounds two coordinates of every node.
[[gnu::always_inline]] inline double RoundHalfEvenUnbounded(double x) {
  // From 2^52 on every double is a whole number; infinities and NaN come back as they are.
  constexpr double kWhole = 4503599627370496.0;
  if (!(std::abs(x) < kWhole))
    return x;
  auto below = static_cast<std::int64_t>(x);  // towards zero
  if (static_cast<double>(below) > x)
    --below;  // a negative fraction: floor is one lower
  const double fraction = x - static_cast<double>(below);  // exact below 2^52
  if (fraction == 0)
    return x;  // whole already, -0 included
  if (fraction > 0.5)
    return static_cast<double>(below + 1);
  if (fraction < 0.5)
    return static_cast<double>(below);
  return static_cast<double>(below % 2 == 0 ? below : below + 1);
}

// Nearest integer, a tie going to the even neighbour (2.5 -> 2, 3.5 -> 4). A value that does not
// fit the target range (or is not a number) is an error the caller has to handle: nullopt. Always
// inline: an optional returned from a call is read back whole after being written in two parts,
// a stalled load that cost more than the rounding for the two coordinates of every node.
template <typename Int>
[[gnu::always_inline]] inline std::optional<Int> RoundHalfEvenInto(double x) {
  if (!std::isfinite(x))
    return std::nullopt;
  const double rounded = RoundHalfEvenUnbounded(x);
  if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
      rounded > static_cast<double>(std::numeric_limits<Int>::max())) {
    return std::nullopt;
  }
  return static_cast<Int>(rounded);
}

[[gnu::always_inline]] inline std::optional<std::int16_t> RoundHalfEven16(double x) {
  return RoundHalfEvenInto<std::int16_t>(x);
}
[[gnu::always_inline]] inline std::optional<std::int32_t> RoundHalfEven32(double x) {
  return RoundHalfEvenInto<std::int32_t>(x);
}

}  // namespace scantouch
