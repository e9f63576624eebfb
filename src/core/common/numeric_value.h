#pragma once

#include <string_view>

namespace scantouch {

// The number at the start of a text, read the way the settings files, the text boxes and the
// decoder have always read numbers:
// - blanks, tabs and line feeds are skipped wherever they stand;
// - an optional sign, decimal digits with at most one ".", an optional exponent introduced by
//   E or D (either case) with its own optional sign;
// - or "&H" followed by hexadecimal digits (an unsigned integer);
// - reading stops at the first character that cannot continue the number, a "," included;
// - no number at all gives 0.
// A number too large for a double reads as an infinity; callers that round it see the error.
double NumericValue(std::string_view text);

// Value of one hexadecimal digit, or -1 for any other character.
constexpr int HexDigitValue(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  return -1;
}

// The blanks, tabs and line feeds that NumericValue passes over.
constexpr bool IsNumericBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n';
}

}  // namespace scantouch
