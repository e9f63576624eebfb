#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace scantouch {

struct IntPair {
  std::int32_t first = 0;
  std::int32_t second = 0;
  friend bool operator==(const IntPair&, const IntPair&) = default;
};

// Splits a pair text such as "1024,768" at its own first ","; each side is the rounded
// NumericValue of its part. A text without a comma gives 0 and the number of the whole text.
// A side that does not fit 32 bits makes the whole pair an error: nullopt.
std::optional<IntPair> ParsePair(std::string_view text);

}  // namespace scantouch
