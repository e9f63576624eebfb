#pragma once

#include <cstdint>

namespace scantouch {

// A colour as 0x00RRGGBB, or a system colour of the desktop: 0x80000000 with the system colour's
// index in the low bits, as window designs have always written them.
using Colour = std::uint32_t;

namespace colours {
inline constexpr Colour kBlack = 0x000000;
inline constexpr Colour kGreen = 0x00FF00;
inline constexpr Colour kRed = 0xFF0000;
inline constexpr Colour kSystemFlag = 0x80000000;
inline constexpr Colour kButtonFace = kSystemFlag | 15;

constexpr bool IsSystemColour(Colour colour) {
  return (colour & kSystemFlag) != 0;
}
}  // namespace colours

}  // namespace scantouch
