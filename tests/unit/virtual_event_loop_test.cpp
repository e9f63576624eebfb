#include "toolkit/virtual_event_loop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/timer.h"

namespace scantouch {
namespace {

TEST(VirtualEventLoop, TimersTickInTimeOrderAsTheClockAdvances) {
  VirtualEventLoop loop;
  std::vector<std::string> ticks;
  Timer fast("Timer2", loop, 100, true);
  Timer slow("Timer1", loop, 250, true);
  fast.ticked.connect([&] { ticks.push_back("fast@" + std::to_string(loop.nowMs())); });
  slow.ticked.connect([&] { ticks.push_back("slow@" + std::to_string(loop.nowMs())); });
  loop.advance(300);
  EXPECT_EQ(ticks, (std::vector<std::string>{"fast@100", "fast@200", "slow@250", "fast@300"}));
  EXPECT_EQ(loop.nowMs(), 300);
}

TEST(VirtualEventLoop, DisabledAndZeroIntervalTimersDoNotTick) {
  VirtualEventLoop loop;
  int ticks = 0;
  Timer timer("TMR开始", loop, 100, false);
  timer.ticked.connect([&] { ++ticks; });
  loop.advance(1000);
  timer.setEnabled(true);
  loop.advance(250);
  EXPECT_EQ(ticks, 2);
  timer.setInterval(0);
  loop.advance(1000);
  EXPECT_EQ(ticks, 2);
  EXPECT_EQ(loop.activeTimers(), 0u);
}

TEST(VirtualEventLoop, AOneShotTimerCanStopItselfInItsTick) {
  VirtualEventLoop loop;
  int ticks = 0;
  Timer timer("TMR开始", loop, 100, true);
  timer.ticked.connect([&] {
    ++ticks;
    timer.setEnabled(false);
  });
  loop.advance(1000);
  EXPECT_EQ(ticks, 1);
}

TEST(VirtualEventLoop, YieldRunsPendingEventsAndDueTimersButNotTheRunningTimerAgain) {
  VirtualEventLoop loop;
  std::vector<std::string> order;
  Timer other("other", loop, 10, true);
  other.ticked.connect([&] { order.push_back("other"); });
  Timer yielding("yielding", loop, 10, true);
  yielding.ticked.connect([&] {
    order.push_back("yield-start");
    loop.post([&] { order.push_back("posted"); });
    loop.yield();
    order.push_back("yield-end");
  });
  loop.advance(10);
  EXPECT_EQ(order, (std::vector<std::string>{"other", "yield-start", "posted", "yield-end"}));
}

TEST(VirtualEventLoop, AnEventThatPostsAnotherDoesNotKeepYieldGoing) {
  VirtualEventLoop loop;
  int runs = 0;
  std::function<void()> again = [&] {
    ++runs;
    loop.post(again);
  };
  loop.post(again);
  loop.yield();
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(loop.pendingEvents(), 1u);
}

}  // namespace
}  // namespace scantouch
