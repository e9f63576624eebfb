#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/hex_text.h"
#include "node_stream.h"

namespace scantouch::testing {

// The receive-buffer text of raw node bytes.
inline std::string GroupText(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3,
                             std::uint8_t b4) {
  const std::vector<std::uint8_t> bytes{b0, b1, b2, b3, b4};
  return HexText(bytes);
}

// The receive-buffer text of a genuine node. Whole even degrees make a byte 1 of 01, so that a
// misaligned group can look like a skipped one; streams where that matters use fractions.
inline std::string NodeText(double angle, int distanceMm, int quality = 47,
                            bool startOfTurn = false) {
  const auto node = scanner_sim::EncodeNode(angle, distanceMm, quality, startOfTurn);
  return HexText(node);
}

inline std::string DescriptorText() {
  return HexText(scanner_sim::kScanDescriptor);
}

}  // namespace scantouch::testing
