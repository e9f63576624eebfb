#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace scantouch {

// The parts of a text between separators, empty ones included ("a,,b" is three parts).
std::vector<std::string_view> SplitFields(std::string_view text, char separator);

// A finite decimal number and nothing else (blanks around it aside), with one sign at most, read
// without the locale: the strict reading of numbers the program writes itself, where the
// lenient NumericValue would take "+-5" or "12abc" for something.
std::optional<double> PlainDecimal(std::string_view text);

}  // namespace scantouch
