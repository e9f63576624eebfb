#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace scantouch {

// The scanner's wire form: a scan descriptor once after a start, then measurement nodes of five
// bytes each. Byte 0: quality << 2, then the start flag (bit 0) and its inverse (bit 1); bytes 1
// and 2: the angle in 1/64 degree shifted left by one, the check bit (always 1) in bit 0 of byte
// 1; bytes 3 and 4: the distance in 1/4 mm, low byte first.
using ByteSpan = std::span<const std::uint8_t>;
inline constexpr std::size_t kGroupBytes = 5;
inline constexpr std::array<std::uint8_t, 7> kScanDescriptor{0xA5, 0x5A, 0x05, 0x00,
                                                             0x00, 0x40, 0x81};

// A group of a skipped node: its byte 0 is 01.
inline bool IsSkippedGroup(ByteSpan group) {
  return !group.empty() && group[0] == 0x01;
}

// The check bit, bit 0 of byte 1.
inline bool CheckBitSet(ByteSpan group) {
  return group.size() >= 2 && (group[1] & 1) == 1;
}

// Whether the first bytes look like those of a genuine node: check bit set and the low two bits
// of byte 0 (start flag and its inverse) 01 or 10. Needs at least the first two bytes.
inline constexpr std::size_t kCheckableBytes = 2;
bool LooksGenuine(ByteSpan group);

// As LooksGenuine, and a node with the start flag must also lie within kTurnStartDegrees of the
// scanner's angle 0: stricter, for finding where nodes begin. A scanner sparser than 360 /
// kTurnStartDegrees = 18 nodes a turn may start its turns farther from 0, so the stricter test
// serves only the search after damage, never a stream decoded in step.
inline constexpr int kTurnStartDegrees = 20;
bool LooksLikeANodeStart(ByteSpan group);

// The raw values of a node as the scanner encodes them.
struct RawNode {
  int angleDegrees;       // uncorrected whole degrees (raw angle in 1/64 degree, rounded down)
  int quality;            // byte 0 / 4, ties to even
  std::int32_t distance;  // millimetres: (byte 4 * 256 + byte 3) / 4, ties to even
  int angle64;            // uncorrected angle in 1/64 degree as the wire carries it
  bool startOfTurn;       // the low two bits of byte 0 are 01
};
// `group` holds five bytes.
RawNode DecodeGroup(ByteSpan group);

}  // namespace scantouch
