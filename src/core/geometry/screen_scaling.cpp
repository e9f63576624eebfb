#include "geometry/screen_scaling.h"

#include <limits>

#include "common/rounding.h"

namespace scantouch {
namespace {

bool FitsInt32(std::int64_t value) {
  return value >= std::numeric_limits<std::int32_t>::min() &&
         value <= std::numeric_limits<std::int32_t>::max();
}

std::int32_t Clamp(std::int32_t value, std::int32_t upper) {
  // Upper bound first, as the area's own extent (one past its last pixel) is allowed.
  if (value > upper)
    value = upper;
  if (value < 0)
    value = 0;
  return value;
}

// Adds the area's offset; an addition that would leave 32 bits is skipped.
std::int32_t AddOffset(std::int32_t value, std::int32_t offset) {
  const std::int64_t sum = std::int64_t{value} + offset;
  return FitsInt32(sum) ? static_cast<std::int32_t>(sum) : value;
}

}  // namespace

std::optional<std::int32_t> ScaleToScreen(std::int32_t screenExtent, std::int32_t touch,
                                          float rectExtent) {
  const std::int64_t product = std::int64_t{screenExtent} * touch;
  if (!FitsInt32(product) || rectExtent == 0)
    return std::nullopt;
  return RoundHalfEven32(static_cast<double>(product) / static_cast<double>(rectExtent));
}

ScreenPoint MapOffsetToScreen(IntPair offset, IntPair screenSize, IntPair topLeft, float rectWidth,
                              float rectHeight) {
  std::int32_t x = ScaleToScreen(screenSize.first, offset.first, rectWidth).value_or(0);
  std::int32_t y = ScaleToScreen(screenSize.second, offset.second, rectHeight).value_or(0);
  x = AddOffset(Clamp(x, screenSize.first), topLeft.first);
  y = AddOffset(Clamp(y, screenSize.second), topLeft.second);
  return ScreenPoint{x, y};
}

IntPair TouchOffset(const Touch& touch) {
  if (!FitsInt32(touch.x) || !FitsInt32(touch.y))
    return IntPair{};
  return IntPair{static_cast<std::int32_t>(touch.x), static_cast<std::int32_t>(touch.y)};
}

}  // namespace scantouch
