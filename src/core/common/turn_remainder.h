#pragma once

#include <cmath>

namespace scantouch {

// std::fmod(degrees, 360.0), bit for bit, without a call into the maths library for the angles of
// every node, which lie within a few turns above zero. Taking whole turns off one at a time is
// exact there: both numbers are multiples of the larger one's last bit and the result is smaller.
inline double TurnRemainder(double degrees) {
  if (degrees >= 0 && degrees < 8 * 360.0) {
    while (degrees >= 360.0)
      degrees -= 360.0;
    return degrees;
  }
  return std::fmod(degrees, 360.0);
}

}  // namespace scantouch
