#include "common/plain_fields.h"

#include <charconv>
#include <cmath>

#include "common/blanks.h"

namespace scantouch {

std::vector<std::string_view> SplitFields(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (;;) {
    const std::size_t at = text.find(separator);
    parts.push_back(text.substr(0, at));
    if (at == std::string_view::npos)
      return parts;
    text.remove_prefix(at + 1);
  }
}

std::optional<double> PlainDecimal(std::string_view text) {
  text = TrimBlanks(text);
  const bool plus = text.starts_with('+');
  if (plus)
    text.remove_prefix(1);
  // from_chars takes a minus of its own: "+-5" is no number.
  if (plus && text.starts_with('-'))
    return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size() ||
      !std::isfinite(value))
    return std::nullopt;
  return value;
}

}  // namespace scantouch
