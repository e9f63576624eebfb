#pragma once

#include <optional>

namespace scantouch {

// Where a straight line meets an upright rectangle, as the parameters along it.
struct SegmentSpan {
  double enter = 0;  // 0 at (x1, y1)
  double leave = 1;  // 1 at (x2, y2)
};

// The part of the segment from (x1, y1) to (x2, y2) that lies inside the rectangle, or nothing when
// it misses it (or a coordinate is not a number).
std::optional<SegmentSpan> ClipSegment(double x1, double y1, double x2, double y2, double left,
                                       double top, double right, double bottom);

}  // namespace scantouch
