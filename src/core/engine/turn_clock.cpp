#include "engine/turn_clock.h"

#include <algorithm>

namespace scantouch {

double TurnClock::turnEnded(std::int64_t now_ms) {
  if (!started_) {
    started_ = true;
    anchor_ms_ = now_ms;
    return turn_s_;
  }
  ++turnsSinceAnchor_;
  if (now_ms > anchor_ms_) {
    const double measured_s = static_cast<double>(now_ms - anchor_ms_) / 1000.0 / turnsSinceAnchor_;
    // A pause of the stream is not a slow turn: it only counts up to the longest turn.
    const double bounded_s = std::clamp(measured_s, kShortestTurn_s, kLongestTurn_s);
    turn_s_ += 0.5 * (bounded_s - turn_s_);
    anchor_ms_ = now_ms;
    turnsSinceAnchor_ = 0;
  }
  return turn_s_;
}

void TurnClock::reset() {
  started_ = false;
  turnsSinceAnchor_ = 0;
  turn_s_ = kFirstTurn_s;
}

}  // namespace scantouch
