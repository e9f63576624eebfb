#include "web/sha1.h"

#include <bit>
#include <cstddef>

namespace scantouch {
namespace {

class Sha1State {
 public:
  void block(const std::uint8_t* data) {
    std::array<std::uint32_t, 80> w{};
    for (std::size_t i = 0; i < 16; ++i) {
      w[i] = std::uint32_t{data[4 * i]} << 24 | std::uint32_t{data[4 * i + 1]} << 16 |
             std::uint32_t{data[4 * i + 2]} << 8 | std::uint32_t{data[4 * i + 3]};
    }
    for (std::size_t i = 16; i < 80; ++i)
      w[i] = std::rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
    std::uint32_t a = h_[0], b = h_[1], c = h_[2], d = h_[3], e = h_[4];
    for (std::size_t i = 0; i < 80; ++i) {
      std::uint32_t f = 0;
      std::uint32_t k = 0;
      if (i < 20) {
        f = (b & c) | (~b & d);
        k = 0x5A827999;
      } else if (i < 40) {
        f = b ^ c ^ d;
        k = 0x6ED9EBA1;
      } else if (i < 60) {
        f = (b & c) | (b & d) | (c & d);
        k = 0x8F1BBCDC;
      } else {
        f = b ^ c ^ d;
        k = 0xCA62C1D6;
      }
      const std::uint32_t next = std::rotl(a, 5) + f + e + k + w[i];
      e = d;
      d = c;
      c = std::rotl(b, 30);
      b = a;
      a = next;
    }
    h_[0] += a;
    h_[1] += b;
    h_[2] += c;
    h_[3] += d;
    h_[4] += e;
  }

  std::array<std::uint8_t, 20> digest() const {
    std::array<std::uint8_t, 20> out{};
    for (std::size_t i = 0; i < 5; ++i) {
      for (std::size_t j = 0; j < 4; ++j)
        out[4 * i + j] = static_cast<std::uint8_t>(h_[i] >> (24 - 8 * j));
    }
    return out;
  }

 private:
  std::array<std::uint32_t, 5> h_{0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
};

}  // namespace

std::array<std::uint8_t, 20> Sha1(std::string_view bytes) {
  Sha1State state;
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  std::size_t whole = bytes.size() / 64 * 64;
  for (std::size_t at = 0; at < whole; at += 64)
    state.block(data + at);

  // The tail, the 0x80 that ends the message, and its length in bits, in one or two blocks.
  std::array<std::uint8_t, 128> tail{};
  const std::size_t rest = bytes.size() - whole;
  for (std::size_t i = 0; i < rest; ++i)
    tail[i] = data[whole + i];
  tail[rest] = 0x80;
  const std::size_t blocks = rest + 1 + 8 <= 64 ? 1 : 2;
  const std::uint64_t bits = static_cast<std::uint64_t>(bytes.size()) * 8;
  for (std::size_t j = 0; j < 8; ++j)
    tail[blocks * 64 - 1 - j] = static_cast<std::uint8_t>(bits >> (8 * j));
  for (std::size_t b = 0; b < blocks; ++b)
    state.block(tail.data() + 64 * b);
  return state.digest();
}

}  // namespace scantouch
