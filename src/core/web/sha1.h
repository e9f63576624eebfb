#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace scantouch {

// SHA-1 of `bytes` (FIPS 180-4). Only for the WebSocket handshake, which names this hash; it
// protects nothing.
std::array<std::uint8_t, 20> Sha1(std::string_view bytes);

}  // namespace scantouch
