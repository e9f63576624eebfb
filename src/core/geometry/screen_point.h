#pragma once

#include <cstdint>

namespace scantouch {

// A point of the desktop in pixels; may lie on any monitor, so either coordinate may be negative.
struct ScreenPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

}  // namespace scantouch
