// The engine's contacts as reports to the system's touch input, on the virtual clock.

#include "outputs/system_touch_output.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "recording_log.h"
#include "recording_touch_injector.h"
#include "toolkit/virtual_event_loop.h"

namespace scantouch {
namespace {

using testing::RecordingTouchInjector;
using State = std::vector<TouchPointState>;
constexpr TouchPhase kDown = TouchPhase::down;
constexpr TouchPhase kMove = TouchPhase::move;
constexpr TouchPhase kUp = TouchPhase::up;

Contact Touch(SessionId sessionId, std::int32_t x, std::int32_t y) {
  Contact contact;
  contact.sessionId = sessionId;
  contact.screen = ScreenPoint{x, y};
  return contact;
}

using testing::RecordingLog;

class SystemTouchOutputTest : public ::testing::Test {
 protected:
  // One turn of the engine: `live` oldest first, `removed` with their last positions.
  void turn(std::vector<Contact> live, std::vector<Contact> removed = {}) {
    TouchFrame frame;
    frame.timeMs = loop.nowMs();
    frame.live = std::move(live);
    frame.removed = std::move(removed);
    output.onTouchFrame(frame);
  }

  VirtualEventLoop loop;
  RecordingLog log;
  RecordingTouchInjector injector{loop};
  SystemTouchOutput output{loop, injector, &log};
};

TEST_F(SystemTouchOutputTest, ContactsGoDownMoveAndComeUpWhereTheEngineSawThemLast) {
  turn({});  // a turn without contacts says nothing
  EXPECT_TRUE(injector.reports.empty());

  turn({Touch(7, 100, 200)});
  EXPECT_EQ(injector.last(), (State{{0, {100, 200}, kDown}}));
  turn({Touch(7, 110, 205), Touch(8, 900, 50)});
  EXPECT_EQ(injector.last(), (State{{0, {110, 205}, kMove}, {1, {900, 50}, kDown}}));
  turn({Touch(8, 905, 55)}, {Touch(7, 112, 207)});
  EXPECT_EQ(injector.last(), (State{{1, {905, 55}, kMove}, {0, {112, 207}, kUp}}));
  // The freed place is taken by the next contact; the one still held keeps its own.
  turn({Touch(8, 905, 55), Touch(9, -300, 10)});
  EXPECT_EQ(injector.last(), (State{{1, {905, 55}, kMove}, {0, {-300, 10}, kDown}}));
  turn({}, {Touch(8, 906, 56), Touch(9, -301, 11)});
  EXPECT_EQ(injector.last(), (State{{1, {906, 56}, kUp}, {0, {-301, 11}, kUp}}));
  EXPECT_EQ(output.heldContacts(), 0u);

  const std::size_t reports = injector.reports.size();
  turn({});
  EXPECT_EQ(injector.reports.size(), reports);
}

TEST_F(SystemTouchOutputTest, APlaceThatComesUpGoesDownAgainOnlyWithTheNextTurn) {
  RecordingTouchInjector single(loop, 1);
  SystemTouchOutput one(loop, single);
  TouchFrame frame;
  frame.live = {Touch(1, 10, 10)};
  one.onTouchFrame(frame);
  frame.live = {Touch(2, 20, 20)};
  frame.removed = {Touch(1, 11, 11)};
  one.onTouchFrame(frame);
  EXPECT_EQ(single.last(), (State{{0, {11, 11}, kUp}}));
  frame.removed.clear();
  one.onTouchFrame(frame);
  EXPECT_EQ(single.last(), (State{{0, {20, 20}, kDown}}));
}

TEST_F(SystemTouchOutputTest, OverTheDevicesLimitTheOldestAreHeld) {
  RecordingTouchInjector two(loop, 2);
  SystemTouchOutput output2(loop, two);
  TouchFrame frame;
  frame.live = {Touch(1, 10, 10), Touch(2, 20, 20), Touch(3, 30, 30)};
  output2.onTouchFrame(frame);
  EXPECT_EQ(two.last(), (State{{0, {10, 10}, kDown}, {1, {20, 20}, kDown}}));

  // The oldest leaves: the youngest gets room, one turn later.
  frame.live = {Touch(2, 21, 21), Touch(3, 31, 31)};
  frame.removed = {Touch(1, 12, 12)};
  output2.onTouchFrame(frame);
  EXPECT_EQ(two.last(), (State{{1, {21, 21}, kMove}, {0, {12, 12}, kUp}}));
  frame.removed.clear();
  output2.onTouchFrame(frame);
  EXPECT_EQ(two.last(), (State{{1, {21, 21}, kMove}, {0, {31, 31}, kDown}}));

  // A contact never held leaves without a word.
  frame.live = {Touch(2, 21, 21), Touch(3, 31, 31)};
  frame.removed = {Touch(4, 40, 40)};
  output2.onTouchFrame(frame);
  EXPECT_EQ(two.last(), (State{{1, {21, 21}, kMove}, {0, {31, 31}, kMove}}));
}

TEST_F(SystemTouchOutputTest, HeldContactsAreSentAgainEveryIntervalAndAnIdleOutputHasNoTimer) {
  RecordingTouchInjector windows(loop, 10, 50);
  SystemTouchOutput refreshed(loop, windows);
  TouchFrame frame;
  frame.live = {Touch(1, 10, 10)};
  refreshed.onTouchFrame(frame);
  loop.advance(120);
  // Counted from the last report: a frame at 120 moves the next refresh to 170.
  frame.live = {Touch(1, 15, 15)};
  refreshed.onTouchFrame(frame);
  loop.advance(60);
  std::vector<std::int64_t> times;
  for (const auto& report : windows.reports)
    times.push_back(report.at_ms);
  EXPECT_EQ(times, (std::vector<std::int64_t>{0, 50, 100, 120, 170}));
  EXPECT_EQ(windows.reports[1].contacts, (State{{0, {10, 10}, kMove}}));
  EXPECT_EQ(windows.last(), (State{{0, {15, 15}, kMove}}));

  frame.live.clear();
  frame.removed = {Touch(1, 16, 16)};
  refreshed.onTouchFrame(frame);
  EXPECT_EQ(windows.last(), (State{{0, {16, 16}, kUp}}));
  EXPECT_EQ(loop.activeTimers(), 0u);
  const std::size_t reports = windows.reports.size();
  loop.advance(1000);
  EXPECT_EQ(windows.reports.size(), reports);

  // A device that keeps its contacts is not sent them again between turns.
  turn({Touch(5, 1, 1)});
  loop.advance(900);
  EXPECT_EQ(injector.reports.size(), 1u);
}

TEST_F(SystemTouchOutputTest, ContactsAreLiftedWhenTheEngineFallsSilentOrTheOutputGoes) {
  turn({Touch(5, 1, 1)});
  turn({Touch(5, 2, 2)});
  loop.advance(SystemTouchOutput::kStaleAfter_ms);
  EXPECT_EQ(injector.last(), (State{{0, {2, 2}, kUp}}));
  EXPECT_EQ(loop.activeTimers(), 0u);

  RecordingTouchInjector windows(loop, 10, 50);
  {
    SystemTouchOutput refreshed(loop, windows);
    TouchFrame frame;
    frame.live = {Touch(1, 10, 10)};
    refreshed.onTouchFrame(frame);
    loop.advance(999);
    EXPECT_EQ(windows.last(), (State{{0, {10, 10}, kMove}}));
    loop.advance(1);
    EXPECT_EQ(windows.last(), (State{{0, {10, 10}, kUp}}));

    refreshed.onTouchFrame(frame);
    EXPECT_EQ(windows.last(), (State{{0, {10, 10}, kDown}}));
  }
  EXPECT_EQ(windows.last(), (State{{0, {10, 10}, kUp}}));
  EXPECT_EQ(loop.activeTimers(), 0u);
}

TEST_F(SystemTouchOutputTest, ARefusedReportIsToldOnceAndTheContactsGoDownAfresh) {
  // A system that cancels contacts not reported in time has let go of them itself.
  RecordingTouchInjector windows(loop, 10, 50);
  SystemTouchOutput refreshed(loop, windows, &log);
  TouchFrame frame;
  const auto turnAt = [&](std::int32_t at) {
    frame.live = {Touch(1, at, at)};
    refreshed.onTouchFrame(frame);
  };
  turnAt(10);
  windows.refusing = true;
  turnAt(11);
  turnAt(12);
  turnAt(13);
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_NE(log.lines[0].find("refused by the test"), std::string::npos);
  // Forgotten after the first refusal, the contact is tried as a new one.
  EXPECT_EQ(windows.reports[2].contacts, (State{{0, {12, 12}, kDown}}));

  windows.refusing = false;
  turnAt(14);
  EXPECT_EQ(windows.last(), (State{{0, {14, 14}, kDown}}));
  turnAt(15);
  EXPECT_EQ(windows.last(), (State{{0, {15, 15}, kMove}}));
  // Working again in between, a new refusal is told again.
  windows.refusing = true;
  turnAt(16);
  EXPECT_EQ(log.lines.size(), 2u);
}

TEST_F(SystemTouchOutputTest, ADeviceThatKeepsItsTouchesHasEveryPlaceOfARefusedReportLifted) {
  turn({Touch(1, 10, 10), Touch(2, 50, 50)});
  injector.refusing = true;
  turn({Touch(1, 11, 11)}, {Touch(2, 51, 51)});
  EXPECT_EQ(injector.last(), (State{{0, {11, 11}, kMove}, {1, {51, 51}, kUp}}));
  // Either place may be down now: both are lifted, with every turn and every tick, before
  // anything goes down again.
  turn({Touch(1, 12, 12)});
  const State lifts{{0, {11, 11}, kUp}, {1, {51, 51}, kUp}};
  EXPECT_EQ(injector.last(), lifts);
  const std::size_t reports = injector.reports.size();
  loop.advance(SystemTouchOutput::kStaleAfter_ms);
  EXPECT_EQ(injector.reports.size(), reports + 1);
  EXPECT_EQ(injector.last(), lifts);
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_NE(log.lines[0].find("lifted"), std::string::npos);

  injector.refusing = false;
  turn({Touch(1, 13, 13)});
  EXPECT_EQ(injector.last(), lifts);
  EXPECT_EQ(output.placesToLift(), 0u);
  EXPECT_EQ(loop.activeTimers(), 0u);
  turn({Touch(1, 14, 14)});
  EXPECT_EQ(injector.last(), (State{{0, {14, 14}, kDown}}));

  // Lifting everything, refused, is tried again at the next tick.
  injector.refusing = true;
  turn({Touch(1, 15, 15)});
  output.liftAll();
  EXPECT_EQ(injector.last(), (State{{0, {15, 15}, kUp}}));
  injector.refusing = false;
  loop.advance(SystemTouchOutput::kStaleAfter_ms);
  EXPECT_EQ(injector.last(), (State{{0, {15, 15}, kUp}}));
  EXPECT_EQ(output.placesToLift(), 0u);
}

}  // namespace
}  // namespace scantouch
