#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace scantouch {

// The text forms the scanner stream arrives in (HexText): every byte is three characters, two
// hexadecimal digits and a blank, so a five-byte measurement node is a group of 15 characters
// and the scan descriptor A5 5A 05 00 00 40 81 is 21.
inline constexpr std::size_t kGroupChars = 15;
inline constexpr std::size_t kByteChars = 3;
inline constexpr std::string_view kScanDescriptorText = "A5 5A 05 00 00 40 81 ";

// Byte `index` (0..4) of a group, read as NumericValue reads "&H" followed by its two
// characters: blanks are passed over, hexadecimal digits count, anything else ends the number.
int GroupByte(std::string_view group, std::size_t index);

// A group of a skipped node: its byte 0 reads "01".
inline bool IsSkippedGroup(std::string_view group) {
  return group.size() >= 2 && group[0] == '0' && group[1] == '1';
}

// The check bit of byte 1, taken from the group's fifth character, the low hexadecimal digit.
bool CheckBitSet(std::string_view group);

// Whether the first bytes look like those of a genuine node: check bit set, the low two bits of
// byte 0 (start flag and its inverse) 01 or 10, and a node with the start flag within
// kTurnStartDegrees of the scanner's angle 0. Needs at least five characters.
inline constexpr std::size_t kCheckableChars = 5;
inline constexpr int kTurnStartDegrees = 20;
bool LooksGenuine(std::string_view group);

// The raw values of a node as the scanner encodes them.
struct RawNode {
  int angleDegrees;       // uncorrected whole degrees (raw angle in 1/64 degree, rounded down)
  int quality;            // byte 0 / 4, ties to even
  std::int32_t distance;  // millimetres: (byte 4 * 256 + byte 3) / 4, ties to even
  int angle64;            // uncorrected angle in 1/64 degree as the wire carries it
  bool startOfTurn;       // the low two bits of byte 0 are 01
};
RawNode DecodeGroup(std::string_view group);

}  // namespace scantouch
