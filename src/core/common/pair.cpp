#include "common/pair.h"

#include "common/numeric_value.h"
#include "common/rounding.h"

namespace scantouch {

std::optional<IntPair> ParsePair(std::string_view text) {
  const auto comma = text.find(',');
  const std::string_view firstText =
      comma == std::string_view::npos ? std::string_view{} : text.substr(0, comma);
  const std::string_view secondText =
      comma == std::string_view::npos ? text : text.substr(comma + 1);
  const auto first = RoundHalfEven32(NumericValue(firstText));
  const auto second = RoundHalfEven32(NumericValue(secondText));
  if (!first || !second)
    return std::nullopt;
  return IntPair{*first, *second};
}

}  // namespace scantouch
