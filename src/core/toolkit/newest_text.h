#pragma once

#include <cstddef>
#include <string_view>

namespace scantouch {

// The end of `text` that a box showing only its newest `bytes` bytes of UTF-8 shows: cut where a
// character begins, so that no face lays out half a character (a box of Chinese text would start
// with a replacement sign). Text no longer than that is shown whole.
std::string_view NewestText(std::string_view text, std::size_t bytes);

}  // namespace scantouch
