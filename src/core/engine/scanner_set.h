#pragma once

#include <cstdint>

namespace scantouch {

// Which scanners of a surface saw something, a bit each: scanner i is bit i. Scanners beyond the
// 64th share the last bit, so they count as one another: never joined, never told apart wrongly.
using ScannerSet = std::uint64_t;

inline ScannerSet ScannerBit(int scanner) {
  constexpr int kLast = 63;
  return ScannerSet{1} << (scanner < 0 ? 0 : (scanner > kLast ? kLast : scanner));
}

}  // namespace scantouch
