#include "geometry/touch_offset.h"

#include <cmath>

#include "common/number_format.h"

namespace scantouch {
namespace {

std::int64_t RoundOffset(double offset) {
  constexpr double kLimit = 9.0e18;  // as FormatZeroPadded: no whole-number form beyond it
  const double rounded = std::round(offset);
  if (!std::isfinite(rounded) || std::fabs(rounded) > kLimit)
    return 0;
  return static_cast<std::int64_t>(rounded);
}

}  // namespace

Touch RoundTouch(double offsetX, double offsetY) {
  return Touch{RoundOffset(offsetX), RoundOffset(offsetY)};
}

std::string TouchText(const Touch& touch) {
  std::string text = FormatZeroPadded(touch.x, 4);
  text += ',';
  text += FormatZeroPadded(touch.y, 4);
  return text;
}

}  // namespace scantouch
