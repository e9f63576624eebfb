#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace scantouch {

// Shortest decimal form: "." as decimal point, no leading blank, no trailing zeros, no point for
// whole numbers (2, 2.5, -3, 0). At most 15 significant digits, as the settings files have always
// held them, unless those would read back as no finite number (next to the largest double); very
// large or small magnitudes use an exponent ("1E+16"). A value that is not a finite number has no
// decimal form: nullopt.
std::optional<std::string> FormatShortest(double value);

// The number formats "0000" and "000": the value rounded to a whole number (halves away from
// zero), written with at least `minDigits` digits and leading zeros, a minus sign in front of
// the padded digits (-5 -> "-0005"); longer numbers are written in full.
std::string FormatZeroPadded(double value, int minDigits);
std::string FormatZeroPadded(std::int64_t value, int minDigits);

}  // namespace scantouch
