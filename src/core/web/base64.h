#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace scantouch {

// Base64 with the standard alphabet and padding (RFC 4648, section 4).
std::string EncodeBase64(std::span<const std::uint8_t> bytes);
// The bytes of `text`, or nothing when it is not padded base64 of the standard alphabet (no
// blanks, no line breaks).
std::optional<std::vector<std::uint8_t>> DecodeBase64(std::string_view text);

}  // namespace scantouch
