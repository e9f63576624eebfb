#include "web/base64.h"

#include <cstddef>

namespace scantouch {
namespace {

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int ValueOf(char c) {
  const std::size_t at = kAlphabet.find(c);
  return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

}  // namespace

std::string EncodeBase64(std::span<const std::uint8_t> bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t at = 0; at < bytes.size(); at += 3) {
    const std::size_t n = std::min<std::size_t>(3, bytes.size() - at);
    std::uint32_t group = std::uint32_t{bytes[at]} << 16;
    if (n > 1)
      group |= std::uint32_t{bytes[at + 1]} << 8;
    if (n > 2)
      group |= bytes[at + 2];
    for (std::size_t i = 0; i < 4; ++i)
      out += i <= n ? kAlphabet[(group >> (18 - 6 * i)) & 0x3F] : '=';
  }
  return out;
}

std::optional<std::vector<std::uint8_t>> DecodeBase64(std::string_view text) {
  if (text.size() % 4 != 0)
    return std::nullopt;
  std::vector<std::uint8_t> out;
  out.reserve(text.size() / 4 * 3);
  for (std::size_t at = 0; at < text.size(); at += 4) {
    const bool last = at + 4 == text.size();
    std::size_t padding = 0;
    std::uint32_t group = 0;
    for (std::size_t i = 0; i < 4; ++i) {
      const char c = text[at + i];
      if (c == '=' && last && i >= 2) {
        ++padding;
        group <<= 6;
        continue;
      }
      const int value = ValueOf(c);
      if (value < 0 || padding > 0)
        return std::nullopt;
      group = group << 6 | static_cast<std::uint32_t>(value);
    }
    out.push_back(static_cast<std::uint8_t>(group >> 16));
    if (padding < 2)
      out.push_back(static_cast<std::uint8_t>(group >> 8));
    if (padding < 1)
      out.push_back(static_cast<std::uint8_t>(group));
  }
  return out;
}

}  // namespace scantouch
