#include "link/tcp_client_socket.h"

#include <cstddef>

namespace scantouch {
namespace {

constexpr bool IsSpace(char32_t c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
         c == 0x3000;
}

// The character `bytes` long at the start of `text`, if it is one in well-formed UTF-8.
bool SpaceAt(std::string_view text, std::size_t& bytes) {
  if (text.empty())
    return false;
  const auto lead = static_cast<unsigned char>(text[0]);
  char32_t c = 0;
  if (lead < 0x80) {
    bytes = 1;
    c = lead;
  } else if ((lead & 0xE0) == 0xC0) {
    bytes = 2;
    c = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    bytes = 3;
    c = lead & 0x0F;
  } else {
    return false;  // four-byte characters hold no spaces
  }
  if (text.size() < bytes)
    return false;
  for (std::size_t i = 1; i < bytes; ++i) {
    const auto next = static_cast<unsigned char>(text[i]);
    if ((next & 0xC0) != 0x80)
      return false;
    c = (c << 6) | (next & 0x3F);
  }
  const bool overlong = (bytes == 2 && c < 0x80) || (bytes == 3 && c < 0x800);
  return !overlong && IsSpace(c);
}

}  // namespace

std::string_view WithoutBlanksAround(std::string_view text) {
  std::size_t bytes = 0;
  while (SpaceAt(text, bytes))
    text.remove_prefix(bytes);
  // A space at the end starts at most three bytes before it.
  for (bool found = true; found;) {
    found = false;
    for (std::size_t length = 1; length <= 3 && length <= text.size(); ++length) {
      if (SpaceAt(text.substr(text.size() - length), bytes) && bytes == length) {
        text.remove_suffix(length);
        found = true;
        break;
      }
    }
  }
  return text;
}

std::string TcpClientSocket::hostToDial() const {
  return std::string(WithoutBlanksAround(remoteHost_));
}

}  // namespace scantouch
