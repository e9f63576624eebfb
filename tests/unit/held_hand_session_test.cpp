// Hands held in the touch rectangle through the whole program while the line garbles one byte in
// a thousand, at 2 000 nodes a second: a hand 4 m away is met by a single beam a turn, and falls
// between two beams in about one turn in seven. A garbled byte must not make that two turns (a
// beam lost to the line, a turn cut short where a garbled angle passed 0 or a garbled flag stood
// before it, a sighting moved by a garbled distance that sends the contact off on a false way).

#include <gtest/gtest.h>

#include "hand_sessions.h"

namespace scantouch {
namespace {

TEST(HeldHandSessionTest, AStillAndASlowHandKeepTheirSessionsOnAGarbledLine) {
  testing::HandSessionOptions options;
  options.hands = testing::StillAndSlowHands();
  options.simulated_s = 240;
  options.corrupt = 1e-3;
  const testing::HandSessionFigures figures = testing::RunHandSessions(options);
  ASSERT_GT(figures.damagedBytes, 1500u);
  ASSERT_EQ(figures.sessions.size(), 2u);
  // At most one break a hand in ten minutes is the goal (bench/touch_bench measures it over
  // hours); in four, one may come. Before, a still hand broke two to four times a minute.
  EXPECT_LE(figures.sessions[0], 2) << "still hand";
  EXPECT_LE(figures.sessions[1], 2) << "slow hand";
  EXPECT_EQ(figures.strangers, 0);
}

TEST(HeldHandSessionTest, OnACleanLineEachHandHasOneSession) {
  testing::HandSessionOptions options;
  options.hands = testing::StillAndSlowHands();
  options.simulated_s = 120;
  const testing::HandSessionFigures figures = testing::RunHandSessions(options);
  EXPECT_EQ(figures.sessions, (std::vector<int>{1, 1}));
  EXPECT_EQ(figures.strangers, 0);
}

}  // namespace
}  // namespace scantouch
