#pragma once

#include "geometry/screen_area.h"
#include "geometry/view_rect.h"
#include "toolkit/shape.h"
#include "toolkit/text_box.h"

namespace scantouch {

// The window's controls as the parts of the road take them, read as those parts always read the
// controls themselves.

// A box that cannot be read as a pair gives 0 and 0.
ScreenArea ReadScreenArea(const TextBox& size, const TextBox& topLeft);

ViewRect ReadViewRect(const Shape& shape);

}  // namespace scantouch
