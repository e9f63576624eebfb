#include "toolkit/newest_text.h"

namespace scantouch {

std::string_view NewestText(std::string_view text, std::size_t bytes) {
  if (text.size() <= bytes)
    return text;
  text.remove_prefix(text.size() - bytes);
  // A continuation byte (10xxxxxx) lies inside a character.
  while (!text.empty() && (static_cast<unsigned char>(text.front()) & 0xC0) == 0x80)
    text.remove_prefix(1);
  return text;
}

}  // namespace scantouch
