#include "node_group.h"

#include <array>

#include "common/numeric_value.h"

namespace scantouch {
namespace {

// n / 2 rounded to the nearest integer, a tie going to the even neighbour, for n >= 0.
int HalfTiesToEven(int n) {
  const int whole = n >> 1;
  if ((n & 1) == 0)
    return whole;
  return (whole & 1) == 0 ? whole : whole + 1;
}

// n / 4 rounded the same way, for n >= 0.
int QuarterTiesToEven(int n) {
  const int whole = n >> 2;
  const int rest = n & 3;
  if (rest < 2)
    return whole;
  if (rest > 2)
    return whole + 1;
  return (whole & 1) == 0 ? whole : whole + 1;
}

// HexDigitValue for every byte, looked up instead of compared: the decoder reads ten digits a node.
constexpr std::array<std::int8_t, 256> kHexDigitTable = [] {
  std::array<std::int8_t, 256> table{};
  for (int c = 0; c < 256; ++c)
    table[static_cast<std::size_t>(c)] =
        static_cast<std::int8_t>(HexDigitValue(static_cast<char>(c)));
  return table;
}();

int FastHexDigit(char c) {
  return kHexDigitTable[static_cast<unsigned char>(c)];
}

}  // namespace

int GroupByte(std::string_view group, std::size_t index) {
  const std::size_t at = index * kByteChars;
  // Nearly always two hexadecimal digits: take them without the general reading.
  if (at + 2 <= group.size()) {
    const int high = FastHexDigit(group[at]);
    const int low = FastHexDigit(group[at + 1]);
    if ((high | low) >= 0)
      return high * 16 + low;
  }
  int value = 0;
  for (std::size_t i = at; i < at + 2 && i < group.size(); ++i) {
    const char c = group[i];
    if (IsNumericBlank(c))
      continue;
    const int digit = HexDigitValue(c);
    if (digit < 0)
      break;
    value = value * 16 + digit;
  }
  return value;
}

bool CheckBitSet(std::string_view group) {
  if (group.size() < kCheckableChars)
    return false;
  const int digit = FastHexDigit(group[4]);
  return digit >= 0 && (digit & 1) == 1;
}

bool LooksGenuine(std::string_view group) {
  if (group.size() < kCheckableChars || !CheckBitSet(group))
    return false;
  const int startBits = GroupByte(group, 0) & 3;
  if (startBits == 2)
    return true;
  if (startBits != 1)
    return false;
  // The start flag marks the first node of a turn, which the scanner measures just past its
  // own angle 0. A group that starts one byte late takes byte 1 of a node, always odd, for its
  // byte 0, so half of such groups carry the flag; their angle is anywhere.
  constexpr std::size_t kAngleChars = 8;
  if (group.size() < kAngleChars)
    return true;  // the angle has not arrived yet
  const int degrees = (GroupByte(group, 2) * 256 + GroupByte(group, 1)) / 128;
  return degrees < kTurnStartDegrees || degrees >= 360 - kTurnStartDegrees;
}

RawNode DecodeGroup(std::string_view group) {
  const int b0 = GroupByte(group, 0);
  const int b1 = GroupByte(group, 1);
  const int b2 = GroupByte(group, 2);
  const int b3 = GroupByte(group, 3);
  const int b4 = GroupByte(group, 4);
  // Raw angle = byte 2 * 128 + byte 1 / 2 in 1/64 degree, ties to even; twice that is exact.
  const int rawAngle = HalfTiesToEven(b2 * 256 + b1);
  // The exact angle is the wire's: bits 1 to 15, below them the check bit. The rounding above,
  // which the whole degrees have always had, would put every odd angle 1/64 degree high and a
  // node a hair below 360 degrees at 0, in the next turn.
  const int wireAngle = (b2 * 256 + b1) >> 1;
  return RawNode{rawAngle / 64, QuarterTiesToEven(b0), QuarterTiesToEven(b4 * 256 + b3), wireAngle,
                 (b0 & 3) == 1};
}

}  // namespace scantouch
