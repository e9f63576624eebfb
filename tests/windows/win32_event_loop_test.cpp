// The Windows event loop under Wine: timers and posted events on the message loop.

#include "win32/win32_event_loop.h"

#include <gtest/gtest.h>

#include <vector>

#include "run_until.h"

namespace scantouch {
namespace {

using testing::RunUntil;

TEST(WindowsEventLoop, TimersTickAndPostedEventsRunAfterTheCurrentOne) {
  Win32EventLoop loop;
  int ticks = 0;
  const auto timer = loop.startTimer(20, [&] { ++ticks; });
  std::vector<int> order;
  loop.post([&] { order.push_back(2); });
  order.push_back(1);
  EXPECT_TRUE(RunUntil(
      loop, [&] { return ticks >= 3 && order.size() == 2; }, 3000));
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
  loop.stopTimer(timer);
  const int stopped = ticks;
  RunUntil(
      loop, [] { return false; }, 100);
  EXPECT_EQ(ticks, stopped);
  EXPECT_FALSE(loop.localDateTimeText().empty());
}

}  // namespace
}  // namespace scantouch
