#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
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

// The wire's angle of a group of at least three bytes, in 1/64 degree (bytes 1 and 2 without the
// check bit).
inline int WireAngle64(ByteSpan group) {
  return (group[2] * 256 + group[1]) >> 1;
}

// As LooksGenuine, stricter, for telling where nodes begin: the angle lies within a turn, and a
// node with the start flag must be where a turn can begin: within kTurnStartDegrees of the
// scanner's angle 0, or past 0 by at most a sweep's largest step (TurnFinder) from the node before
// it, whose wire angle `before` gives when it is known. A scanner sparser than 360 /
// kTurnStartDegrees = 18 nodes a turn starts its turns farther from 0 than the first, never
// farther than the second. A group that starts one byte late takes byte 1 of a node, always odd,
// for its byte 0, so half of such groups carry the flag, at an angle made of other bytes.
inline constexpr int kTurnStartDegrees = 20;
// `before` by reference: it is read for every node, and a copy of a value made of an int and a
// flag written apart costs a stalled load.
bool LooksLikeANodeStart(ByteSpan group, const std::optional<int>& before = std::nullopt);

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
