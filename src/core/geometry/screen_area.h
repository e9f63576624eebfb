#pragma once

#include "common/pair.h"

namespace scantouch {

// The part of the desktop touches map to, in desktop pixels: its width and height and its
// top-left corner (which may lie on any monitor, so either may be negative). A text that cannot
// be read as a pair gives 0 and 0, as the mapping always took it.
struct ScreenArea {
  IntPair size;
  IntPair topLeft;
  friend bool operator==(const ScreenArea&, const ScreenArea&) = default;
};

}  // namespace scantouch
