#pragma once

#include <cstdint>
#include <optional>

namespace scantouch {

// Nearest integer, a tie going to the even neighbour (2.5 -> 2, 3.5 -> 4). A value that does not
// fit the target range (or is not a number) is an error the caller has to handle: nullopt.
std::optional<std::int16_t> RoundHalfEven16(double x);
std::optional<std::int32_t> RoundHalfEven32(double x);

// Nearest integer as a double, ties to even, with no range limit.
double RoundHalfEvenUnbounded(double x);

}  // namespace scantouch
