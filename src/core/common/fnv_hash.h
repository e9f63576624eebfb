#pragma once

#include <cstdint>
#include <string_view>

namespace scantouch {

// FNV-1a, 64 bits, over the bytes of a text: cheap, stable across platforms and runs.
inline std::uint64_t Fnv1a64(std::string_view text) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ULL;
  }
  return hash;
}

}  // namespace scantouch
