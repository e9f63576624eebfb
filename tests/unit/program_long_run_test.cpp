// The whole program with every output on, through a few simulated minutes of hands, taps and
// pinches with every fault the long run knows crowded in: stalls, garbage, restarts, a device that
// goes away, settings typed while contacts live; and in a room open on one side. bench/
// long_run_bench runs the same for a week.

#include <gtest/gtest.h>

#include "long_run.h"

namespace scantouch::testing {
namespace {

void ExpectEveryInvariantHeld(const LongRunFigures& figures) {
  for (const InvariantRecord& record : figures.invariants) {
    EXPECT_EQ(record.breaches, 0u)
        << record.name << ": first at " << record.first_s.value_or(0) << " s, "
        << record.firstDetail << "; longest " << record.longest_s << " s";
  }
}

TEST(ProgramLongRunTest, OutputsLetGoAndIdsStayUniqueThroughStallsGarbageRestartsAndTyping) {
  // Every output lets go within a second of the last frame when the stream stalls.
  LongRunOptions options;
  options.simulated_s = 240;
  options.gestureEvery_s = 3;
  options.stallEvery_s = 30;
  options.garbageEvery_s = 20;
  options.restartEvery_s = 45;
  options.unplugEvery_s = 80;
  options.typingEvery_s = 8;
  const LongRunFigures figures = RunLongRun(options);

  // The run did what it is for.
  EXPECT_GT(figures.turns, 1000u);
  EXPECT_GT(figures.contactsBorn, 30u);
  EXPECT_GT(figures.pinches, 5u);
  EXPECT_GT(figures.stalls, 2u);
  EXPECT_GT(figures.garbageBursts, 3u);
  EXPECT_GT(figures.unplugs, 0u);
  EXPECT_GT(figures.typedSettings, 5u);
  EXPECT_GT(figures.buttonPresses, 10u);
  EXPECT_GT(figures.tuioBundles, 100u);
  EXPECT_GT(figures.touchReports, 100u);
  ExpectEveryInvariantHeld(figures);
}

TEST(ProgramLongRunTest, ARoomOpenOnOneSideKeepsItsTurnsAndLetsGoOfItsHands) {
  // With walls at 0-180 degrees only, the turns are the sweep's whether a hand stands before the
  // open half or not: frames never stop while the stream flows.
  LongRunOptions options;
  options.simulated_s = 120;
  options.room = scanner_sim::RoomKind::half;
  options.stallEvery_s = 0;
  options.garbageEvery_s = 0;
  options.restartEvery_s = 0;
  options.unplugEvery_s = 0;
  const LongRunFigures figures = RunLongRun(options);

  EXPECT_GT(static_cast<double>(figures.turns), 0.95 * 120 * options.turnsPerSecond);
  EXPECT_GT(figures.contactsBorn, 10u);
  ExpectEveryInvariantHeld(figures);
}

}  // namespace
}  // namespace scantouch::testing
