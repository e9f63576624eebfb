#include "engine/one_euro_filter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace scantouch {
namespace {

// Steps a filter through `seconds` at `rate_hz` towards `target`, from 0.
double After(double seconds, double rate_hz, double target) {
  OneEuroFilter filter;
  filter.step(0, 0, 1 / rate_hz);
  const int steps = static_cast<int>(std::lround(seconds * rate_hz));
  for (int i = 0; i < steps; ++i)
    filter.step(target, 0, 1 / rate_hz);
  return filter.x();
}

TEST(OneEuroFilter, FollowsInRealTimeWhateverTheTurnRate) {
  // A hand that jumps 100 mm is followed as far in 0.6 s at 5 turns a second as at 15: the
  // filter's time is the real time between turns, not a count of them.
  const double slow = After(0.6, 5, 100);
  const double fast = After(0.6, 15, 100);
  EXPECT_GT(slow, 90);
  EXPECT_GT(fast, 90);
  EXPECT_NEAR(slow, fast, 8);  // counted in turns, 3 against 9 would be 30 apart
}

TEST(OneEuroFilter, HoldsAStillPointSteady) {
  // A still hand whose measured position wanders by 2 mm: its filtered position stays within a
  // pixel of a 2 m wide picture 1920 pixels across (about 1 mm).
  std::mt19937 random(3);
  std::normal_distribution<double> noise(0, 2);
  OneEuroFilter filter;
  double sum = 0, squares = 0;
  constexpr int kTurns = 400;
  for (int turn = 0; turn < kTurns; ++turn) {
    filter.step(1000 + noise(random), 500 + noise(random), 0.1);
    if (turn < 50)
      continue;
    sum += filter.x();
    squares += filter.x() * filter.x();
  }
  const double n = kTurns - 50;
  const double deviation = std::sqrt(squares / n - (sum / n) * (sum / n));
  EXPECT_LT(deviation, 1.0);
}

}  // namespace
}  // namespace scantouch
