#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace scantouch {

// Received bytes as the receive buffer holds them: each byte two upper-case hexadecimal digits
// and one blank, in arrival order ({0xA5, 0x05} -> "A5 05 "). Empty input gives empty text.
std::string HexText(std::span<const std::uint8_t> bytes);

// Appends HexText(bytes) to `out` without a temporary string.
void AppendHexText(std::string& out, std::span<const std::uint8_t> bytes);

}  // namespace scantouch
