#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "common/hex_text.h"
#include "decoding/scan_stream_decoder.h"
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

// What a line of garbage decodes into when it frames at all: well-formed nodes at random angles
// and distances, half of them with the start flag, none of them a sweep.
template <typename Random>
std::vector<std::uint8_t> RandomNodeBytes(Random& random, int nodes) {
  std::uniform_real_distribution<double> angle(0, 360);
  std::uniform_real_distribution<double> distance(100, 8000);
  std::bernoulli_distribution flag(0.5);
  std::vector<std::uint8_t> bytes;
  for (int i = 0; i < nodes; ++i) {
    const auto node = scanner_sim::EncodeNode(angle(random), distance(random), 47, flag(random));
    bytes.insert(bytes.end(), node.begin(), node.end());
  }
  return bytes;
}

inline std::string DescriptorText() {
  return HexText(scanner_sim::kScanDescriptor);
}

// The bytes of hex text as HexText writes it ("A5 5A 05 "): pairs of hexadecimal digits, each
// followed by a blank; a last pair without its blank counts too, a lone digit does not.
inline std::vector<std::uint8_t> BytesOfText(std::string_view text) {
  const auto digit = [](char c) { return c <= '9' ? c - '0' : c - 'A' + 10; };
  std::vector<std::uint8_t> bytes;
  for (std::size_t at = 0; at + 2 <= text.size(); at += 3)
    bytes.push_back(static_cast<std::uint8_t>(digit(text[at]) * 16 + digit(text[at + 1])));
  return bytes;
}

// Hands the bytes of hex text to the decoder, as a link hands it a received block.
inline void Feed(ScanStreamDecoder& decoder, std::string_view text) {
  decoder.feed(BytesOfText(text));
}

}  // namespace scantouch::testing
