#include "app/view_values.h"

#include "common/pair.h"

namespace scantouch {

ScreenArea ReadScreenArea(const TextBox& size, const TextBox& topLeft) {
  return ScreenArea{ParsePair(size.text()).value_or(IntPair{}),
                    ParsePair(topLeft.text()).value_or(IntPair{})};
}

ViewRect ReadViewRect(const Shape& shape) {
  return ViewRect{shape.left(), shape.top(), shape.width(), shape.height()};
}

}  // namespace scantouch
