#pragma once

#include <string_view>

namespace scantouch {

// The text without the blanks and tabs around it, as settings files and typed boxes are read.
inline std::string_view TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos)
    return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace scantouch
