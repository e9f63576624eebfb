#include "touch_mapper.h"

#include <limits>
#include <string>

#include "common/number_format.h"
#include "common/pair.h"
#include "common/rounding.h"

namespace scantouch {
namespace {

bool FitsInt32(std::int64_t value) {
  return value >= std::numeric_limits<std::int32_t>::min() &&
         value <= std::numeric_limits<std::int32_t>::max();
}

// A pair text as the mapping reads it: a pair that cannot be read leaves both values at 0.
IntPair ReadPair(const TextBox& box) {
  return ParsePair(box.text()).value_or(IntPair{});
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

TouchMapper::TouchMapper(MappingControls controls, DesktopInput& desktop)
    : controls_(controls), desktop_(desktop) {}

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

void TouchMapper::mapTouch(const Touch& touch) {
  mapOffset(TouchOffset(touch));
}

void TouchMapper::mapTouchToScreen() {
  mapOffset(ReadPair(controls_.currentTouch));
}

void TouchMapper::mapOffset(IntPair offset) {
  const IntPair screenSize = ReadPair(controls_.screenSize);
  const IntPair screenTopLeft = ReadPair(controls_.screenTopLeft);
  std::optional<ScreenPoint> perspective;
  if (surfaceMapping_ != nullptr && surfaceMapping_->perspective()) {
    const Shape& rect = controls_.touchRect;
    perspective =
        surfaceMapping_->toScreen(PlanePoint{rect.left() + static_cast<double>(offset.first),
                                             rect.top() + static_cast<double>(offset.second)},
                                  screenSize, screenTopLeft);
  }
  const ScreenPoint at = perspective.value_or(MapOffsetToScreen(offset, screenSize, screenTopLeft,
                                                                controls_.touchRect.width(),
                                                                controls_.touchRect.height()));

  std::string mapped = FormatZeroPadded(std::int64_t{at.x}, 4);
  mapped += ',';
  mapped += FormatZeroPadded(std::int64_t{at.y}, 4);
  controls_.mappedTouch.setText(mapped);

  if (!actsOnDesktop_)
    return;
  // The desktop's answers change nothing here: a refused move or click is simply not repeated.
  if (controls_.mouseMove.isChecked())
    (void)desktop_.setCursorPos(at.x, at.y);
  if (controls_.mouseClick.isChecked())
    (void)desktop_.leftClick();
}

}  // namespace scantouch
