#include "radar/segment_clip.h"

#include <algorithm>
#include <cmath>

namespace scantouch {

std::optional<SegmentSpan> ClipSegment(double x1, double y1, double x2, double y2, double left,
                                       double top, double right, double bottom) {
  if (!(std::isfinite(x1) && std::isfinite(y1) && std::isfinite(x2) && std::isfinite(y2)))
    return std::nullopt;
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  SegmentSpan span;
  // Each edge in turn cuts off what lies beyond it.
  const auto clip = [&span](double towards, double room) {
    if (towards == 0)
      return room >= 0;
    const double t = room / towards;
    if (towards < 0)
      span.enter = std::max(span.enter, t);
    else
      span.leave = std::min(span.leave, t);
    return span.enter <= span.leave;
  };
  if (clip(-dx, x1 - left) && clip(dx, right - x1) && clip(-dy, y1 - top) && clip(dy, bottom - y1))
    return span;
  return std::nullopt;
}

}  // namespace scantouch
