#pragma once

#include <cstdint>
#include <string>

namespace scantouch {

// A touch as the point processing finds it: the midpoint of a run of hits, relative to the touch
// rectangle's top-left corner, in whole view units.
struct Touch {
  std::int64_t x = 0;
  std::int64_t y = 0;
  friend bool operator==(const Touch&, const Touch&) = default;
};

// The offsets rounded to whole units, halves away from zero; an offset beyond any view (or not a
// number) is 0.
Touch RoundTouch(double offsetX, double offsetY);

// "xxxx,yyyy": the form in which TXT当前处理数据 shows a touch, at least four digits each.
std::string TouchText(const Touch& touch);

}  // namespace scantouch
