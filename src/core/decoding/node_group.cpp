#include "decoding/node_group.h"

#include "decoding/turn_finder.h"

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

}  // namespace

bool LooksGenuine(ByteSpan group) {
  if (!CheckBitSet(group))
    return false;
  const int startBits = group[0] & 3;
  return startBits == 1 || startBits == 2;
}

bool LooksLikeANodeStart(ByteSpan group, const std::optional<int>& before) {
  if (!LooksGenuine(group))
    return false;
  if (group.size() < 3)
    return true;  // the angle has not arrived yet
  constexpr int kTurn64 = 360 * 64;
  const int angle = WireAngle64(group);
  if (angle >= kTurn64)
    return false;  // no scanner measures beyond a whole turn
  if ((group[0] & 3) != 1)
    return true;
  constexpr int kNearZero64 = kTurnStartDegrees * 64;
  if (angle < kNearZero64 || angle >= kTurn64 - kNearZero64)
    return true;
  // The first node of a sparse scanner's turn: the sweep passed 0 since the node before.
  constexpr auto kStep64 = static_cast<int>(TurnFinder::kLargestStep_degrees * 64);
  return before && angle < *before && angle + kTurn64 - *before <= kStep64;
}

RawNode DecodeGroup(ByteSpan group) {
  const int b0 = group[0];
  const int b1 = group[1];
  const int b2 = group[2];
  const int b3 = group[3];
  const int b4 = group[4];
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
