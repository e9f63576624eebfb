#include "toolkit/frame_pacing.h"

#include <gtest/gtest.h>

#include "toolkit/virtual_event_loop.h"

namespace scantouch {
namespace {

// A view that counts its refreshes and shows while `shown` says so.
struct CountingView {
  bool shown = true;
  int refreshes = 0;
};

class FramePacingTest : public ::testing::Test {
 protected:
  std::function<void()> add(CountingView& view) {
    return pacing_.staleMarker(
        pacing_.add([&view] { return view.shown; }, [&view] { ++view.refreshes; }));
  }

  VirtualEventLoop loop_;
  FramePacing pacing_{loop_};
};

TEST_F(FramePacingTest, AViewMarkedManyTimesIsRefreshedOncePerFrameAndOnlyWhenStale) {
  CountingView view;
  const auto stale = add(view);
  for (int i = 0; i < 1000; ++i)
    stale();
  loop_.advance(FramePacing::kFrameInterval_ms - 1);
  EXPECT_EQ(view.refreshes, 0);  // not before the frame
  loop_.advance(1);
  EXPECT_EQ(view.refreshes, 1);

  // Marked through five frames: five refreshes.
  for (int frame = 0; frame < 5; ++frame) {
    for (int i = 0; i < 100; ++i)
      stale();
    loop_.advance(FramePacing::kFrameInterval_ms);
  }
  EXPECT_EQ(view.refreshes, 6);

  // Nothing stale: no refresh, and the pacing no longer wakes the loop.
  loop_.advance(10 * FramePacing::kFrameInterval_ms);
  EXPECT_EQ(view.refreshes, 6);
  EXPECT_FALSE(pacing_.frameScheduled());
  EXPECT_EQ(loop_.activeTimers(), 0u);
}

TEST_F(FramePacingTest, AHiddenViewIsNotRefreshedAndCatchesUpOnceWhenShown) {
  CountingView hidden{false};
  CountingView shown;
  const auto hiddenStale = add(hidden);
  const auto shownStale = add(shown);
  for (int i = 0; i < 100; ++i)
    hiddenStale();
  loop_.advance(1000);
  EXPECT_EQ(hidden.refreshes, 0);
  EXPECT_EQ(loop_.activeTimers(), 0u);  // a hidden view's changes cost no frames at all

  // Another view's frames leave the hidden one stale.
  shownStale();
  hiddenStale();
  loop_.advance(FramePacing::kFrameInterval_ms);
  EXPECT_EQ(shown.refreshes, 1);
  EXPECT_EQ(hidden.refreshes, 0);

  hidden.shown = true;
  pacing_.wake();
  loop_.advance(FramePacing::kFrameInterval_ms);
  EXPECT_EQ(hidden.refreshes, 1);
  loop_.advance(5 * FramePacing::kFrameInterval_ms);
  EXPECT_EQ(hidden.refreshes, 1);
  EXPECT_EQ(shown.refreshes, 1);

  // Waking with nothing stale schedules nothing.
  pacing_.wake();
  EXPECT_FALSE(pacing_.frameScheduled());
}

TEST_F(FramePacingTest, AViewMarkedStaleByItsOwnRefreshIsRefreshedAgainAtTheNextFrame) {
  std::function<void()> stale;
  int refreshes = 0;
  stale = pacing_.staleMarker(pacing_.add([] { return true; },
                                          [&] {
                                            if (++refreshes == 1)
                                              stale();
                                          }));
  stale();
  loop_.advance(FramePacing::kFrameInterval_ms);
  EXPECT_EQ(refreshes, 1);
  loop_.advance(FramePacing::kFrameInterval_ms);
  EXPECT_EQ(refreshes, 2);
  loop_.advance(3 * FramePacing::kFrameInterval_ms);
  EXPECT_EQ(refreshes, 2);
}

}  // namespace
}  // namespace scantouch
