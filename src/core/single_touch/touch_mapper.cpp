#include "single_touch/touch_mapper.h"

#include <limits>
#include <string>

#include "common/number_format.h"
#include "common/pair.h"
#include "common/rounding.h"

namespace scantouch {
namespace {

// A pair text as the mapping reads it: a pair that cannot be read leaves both values at 0.
IntPair ReadPair(const TextBox& box) {
  return ParsePair(box.text()).value_or(IntPair{});
}

}  // namespace

TouchMapper::TouchMapper(MappingControls controls, DesktopInput& desktop)
    : controls_(controls), desktop_(desktop) {}

void TouchMapper::mapTouch(const Touch& touch) {
  mapOffset(TouchOffset(touch));
}

void TouchMapper::mapTouchToScreen() {
  mapOffset(ReadPair(controls_.currentTouch));
}

void TouchMapper::mapOffset(IntPair offset) {
  const IntPair screenSize = screen_.size;
  const IntPair screenTopLeft = screen_.topLeft;
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
