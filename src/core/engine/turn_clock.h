#pragma once

#include <cstdint>

namespace scantouch {

// The time between turns. Turns arrive in blocks (a serial poll, a network read), often several
// at the same millisecond; each turn is given the mean time of the turns since the clock last
// moved, smoothed, so that a turn never lasts 0 s and a late block is not one long turn.
class TurnClock {
 public:
  static constexpr double kFirstTurn_s = 0.1;
  static constexpr double kShortestTurn_s = 0.01;
  static constexpr double kLongestTurn_s = 1.0;

  // A turn ended at `now_ms`; returns its length in seconds.
  double turnEnded(std::int64_t now_ms);
  void reset();

 private:
  bool started_ = false;
  std::int64_t anchor_ms_ = 0;  // when the clock last moved
  int turnsSinceAnchor_ = 0;
  double turn_s_ = kFirstTurn_s;
};

}  // namespace scantouch
