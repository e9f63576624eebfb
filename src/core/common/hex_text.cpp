#include "common/hex_text.h"

namespace scantouch {

void AppendHexText(std::string& out, std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  const std::size_t start = out.size();
  out.resize(start + bytes.size() * 3);
  char* p = out.data() + start;
  for (const std::uint8_t byte : bytes) {
    *p++ = kDigits[byte >> 4];
    *p++ = kDigits[byte & 0x0F];
    *p++ = ' ';
  }
}

std::string HexText(std::span<const std::uint8_t> bytes) {
  std::string text;
  AppendHexText(text, bytes);
  return text;
}

}  // namespace scantouch
