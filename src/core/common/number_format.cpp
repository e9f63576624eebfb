#include "common/number_format.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace scantouch {

std::optional<std::string> FormatShortest(double value) {
  if (!std::isfinite(value))
    return std::nullopt;
  if (value == 0)
    return "0";  // also turns -0 into 0
  std::array<char, 64> buffer{};
  auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                              std::chars_format::general, 15);
  double readBack = 0;
  if (std::from_chars(buffer.data(), result.ptr, readBack).ec != std::errc()) {
    // Near the largest number, rounding to 15 digits goes past it, and the text would read back
    // as no number at all: the shortest text that reads back as this very value instead.
    result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                           std::chars_format::general);
  }
  std::string text(buffer.data(), result.ptr);
  // %g style writes "1e+16" and "1e-05"; the settings files have "1E+16" and "1E-05".
  const auto e = text.find('e');
  if (e != std::string::npos)
    text[e] = 'E';
  return text;
}

std::string FormatZeroPadded(std::int64_t value, int minDigits) {
  // The magnitude as unsigned, so that the most negative value does not overflow.
  const std::uint64_t magnitude = value < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(value)
                                            : static_cast<std::uint64_t>(value);
  std::string digits = std::to_string(magnitude);
  if (static_cast<int>(digits.size()) < minDigits) {
    digits.insert(0, static_cast<std::size_t>(minDigits) - digits.size(), '0');
  }
  return value < 0 ? "-" + digits : digits;
}

std::string FormatZeroPadded(double value, int minDigits) {
  // Coordinates and offsets never come near these limits; a value outside them has no
  // meaningful whole-number form and is written as 0 rather than as undefined behaviour.
  constexpr double kLimit = 9.0e18;
  const double rounded = std::round(value);  // halves away from zero
  if (!std::isfinite(rounded) || std::fabs(rounded) > kLimit)
    return FormatZeroPadded(std::int64_t{0}, minDigits);
  return FormatZeroPadded(static_cast<std::int64_t>(rounded), minDigits);
}

}  // namespace scantouch
