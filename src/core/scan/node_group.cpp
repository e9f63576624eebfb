#include "node_group.h"

#include "common/numeric_value.h"

namespace scantouch {
namespace {

// n / 2 rounded to the nearest integer, a tie going to the even neighbour, for n >= 0.
int HalfTiesToEven(int n) {
  const int whole = n >> 1;
  if ((n & 1) == 0) return whole;
  return (whole & 1) == 0 ? whole : whole + 1;
}

// n / 4 rounded the same way, for n >= 0.
int QuarterTiesToEven(int n) {
  const int whole = n >> 2;
  const int rest = n & 3;
  if (rest < 2) return whole;
  if (rest > 2) return whole + 1;
  return (whole & 1) == 0 ? whole : whole + 1;
}

}  // namespace

int GroupByte(std::string_view group, std::size_t index) {
  const std::size_t at = index * kByteChars;
  int value = 0;
  for (std::size_t i = at; i < at + 2 && i < group.size(); ++i) {
    const char c = group[i];
    if (IsNumericBlank(c)) continue;
    const int digit = HexDigitValue(c);
    if (digit < 0) break;
    value = value * 16 + digit;
  }
  return value;
}

bool CheckBitSet(std::string_view group) {
  if (group.size() < kCheckableChars) return false;
  const int digit = HexDigitValue(group[4]);
  return digit >= 0 && (digit & 1) == 1;
}

bool LooksGenuine(std::string_view group) {
  if (group.size() < kCheckableChars || !CheckBitSet(group)) return false;
  const int startBits = GroupByte(group, 0) & 3;
  return startBits == 1 || startBits == 2;
}

RawNode DecodeGroup(std::string_view group) {
  const int b0 = GroupByte(group, 0);
  const int b1 = GroupByte(group, 1);
  const int b2 = GroupByte(group, 2);
  const int b3 = GroupByte(group, 3);
  const int b4 = GroupByte(group, 4);
  // Raw angle = byte 2 * 128 + byte 1 / 2 in 1/64 degree, ties to even; twice that is exact.
  const int rawAngle = HalfTiesToEven(b2 * 256 + b1);
  return RawNode{rawAngle / 64, QuarterTiesToEven(b0), QuarterTiesToEven(b4 * 256 + b3)};
}

}  // namespace scantouch
