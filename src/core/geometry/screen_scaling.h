#pragma once

#include <cstdint>
#include <optional>

#include "common/pair.h"
#include "geometry/screen_point.h"
#include "geometry/touch_offset.h"

namespace scantouch {

// A touch's offset as the mapping takes it: one beyond 32 bits is no offset at all, as its text
// always mapped.
IntPair TouchOffset(const Touch& touch);

// The desktop pixel of a touch `offset` from the rectangle's top-left corner (view units), for a
// rectangle `rectWidth` x `rectHeight` and a screen area of `screenSize` pixels at `topLeft`:
// scaled, kept within the area, then moved by the area's corner.
ScreenPoint MapOffsetToScreen(IntPair offset, IntPair screenSize, IntPair topLeft, float rectWidth,
                              float rectHeight);

// One coordinate of the mapping: screenExtent * touch / rectExtent, rounded ties-to-even;
// nullopt when the product leaves 32 bits, the rectangle extent is 0 or the result does not fit.
std::optional<std::int32_t> ScaleToScreen(std::int32_t screenExtent, std::int32_t touch,
                                          float rectExtent);

}  // namespace scantouch
