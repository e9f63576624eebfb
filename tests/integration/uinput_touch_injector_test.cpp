// The uinput touchscreen without /dev/uinput: the device it describes, the events its reports
// send through the seam where the device would take them, and what it says when it cannot be made.

#include "uinput/uinput_touch_injector.h"

#include <gtest/gtest.h>
#include <libevdev/libevdev.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "recording_input_events.h"

namespace scantouch {
namespace {

using Event = testing::InputEvent;
using Events = testing::InputEvents;
constexpr DesktopArea kDesktop{-1920, 0, 3840, 1080};

using RecordingSink = testing::RecordingInputEvents;

bool Inject(UinputTouchInjector& screen, std::vector<TouchPointState> contacts) {
  return screen.inject(contacts);
}

TEST(UinputTouchInjector, DescribesADirectMultiTouchScreenOverTheWholeDesktop) {
  libevdev* device = DescribeTouchscreen(kDesktop);
  EXPECT_TRUE(libevdev_has_property(device, INPUT_PROP_DIRECT));
  EXPECT_FALSE(libevdev_has_property(device, INPUT_PROP_POINTER));
  EXPECT_TRUE(libevdev_has_event_code(device, EV_KEY, BTN_TOUCH));
  // Neither a mouse nor a touchpad: readers take it for a touchscreen.
  EXPECT_FALSE(libevdev_has_event_code(device, EV_KEY, BTN_LEFT));
  EXPECT_FALSE(libevdev_has_event_code(device, EV_KEY, BTN_TOOL_FINGER));
  for (const unsigned axis : {ABS_X, ABS_MT_POSITION_X}) {
    EXPECT_EQ(libevdev_get_abs_minimum(device, axis), 0);
    EXPECT_EQ(libevdev_get_abs_maximum(device, axis), 3839);
    EXPECT_GT(libevdev_get_abs_resolution(device, axis), 0);
  }
  for (const unsigned axis : {ABS_Y, ABS_MT_POSITION_Y}) {
    EXPECT_EQ(libevdev_get_abs_minimum(device, axis), 0);
    EXPECT_EQ(libevdev_get_abs_maximum(device, axis), 1079);
  }
  EXPECT_EQ(libevdev_get_num_slots(device), UinputTouchInjector::kSlots);
  EXPECT_EQ(libevdev_get_abs_maximum(device, ABS_MT_TRACKING_ID), 65535);
  EXPECT_STREQ(libevdev_get_name(device), "scantouch touchscreen");
  libevdev_free(device);
}

TEST(UinputTouchInjector, AContactGoesDownMovesAndComesUpInItsSlot) {
  RecordingSink sink;
  UinputTouchInjector screen(sink, kDesktop);
  EXPECT_EQ(screen.maxContacts(), UinputTouchInjector::kSlots);
  EXPECT_EQ(screen.refreshInterval_ms(), 0);

  EXPECT_TRUE(Inject(screen, {{0, {-1000, 500}, TouchPhase::down}}));  // on the left monitor
  EXPECT_EQ(sink.take(), (Events{{EV_ABS, ABS_MT_SLOT, 0},
                                 {EV_ABS, ABS_MT_TRACKING_ID, 0},
                                 {EV_ABS, ABS_MT_POSITION_X, 920},
                                 {EV_ABS, ABS_MT_POSITION_Y, 500},
                                 {EV_KEY, BTN_TOUCH, 1},
                                 {EV_ABS, ABS_X, 920},
                                 {EV_ABS, ABS_Y, 500},
                                 {EV_SYN, SYN_REPORT, 0}}));
  EXPECT_TRUE(Inject(screen, {{0, {5000, -20}, TouchPhase::move}}));  // beyond it: its edge
  EXPECT_EQ(sink.take(), (Events{{EV_ABS, ABS_MT_SLOT, 0},
                                 {EV_ABS, ABS_MT_POSITION_X, 3839},
                                 {EV_ABS, ABS_MT_POSITION_Y, 0},
                                 {EV_ABS, ABS_X, 3839},
                                 {EV_ABS, ABS_Y, 0},
                                 {EV_SYN, SYN_REPORT, 0}}));
  EXPECT_TRUE(Inject(screen, {{0, {0, 0}, TouchPhase::up}}));
  EXPECT_EQ(sink.take(), (Events{{EV_ABS, ABS_MT_SLOT, 0},
                                 {EV_ABS, ABS_MT_TRACKING_ID, -1},
                                 {EV_KEY, BTN_TOUCH, 0},
                                 {EV_SYN, SYN_REPORT, 0}}));
  // The next touch in the same slot is another touch to readers.
  EXPECT_TRUE(Inject(screen, {{0, {0, 0}, TouchPhase::down}}));
  EXPECT_EQ(std::get<2>(sink.take()[1]), 1);
}

TEST(UinputTouchInjector, TwoContactsTakeTwoSlotsAndSingleTouchReadersFollowTheOldest) {
  RecordingSink sink;
  UinputTouchInjector screen(sink, DesktopArea{0, 0, 1920, 1080});
  EXPECT_TRUE(Inject(screen, {{0, {100, 100}, TouchPhase::down}}));
  sink.take();
  EXPECT_TRUE(
      Inject(screen, {{0, {110, 105}, TouchPhase::move}, {1, {800, 600}, TouchPhase::down}}));
  EXPECT_EQ(sink.take(), (Events{{EV_ABS, ABS_MT_SLOT, 0},
                                 {EV_ABS, ABS_MT_POSITION_X, 110},
                                 {EV_ABS, ABS_MT_POSITION_Y, 105},
                                 {EV_ABS, ABS_MT_SLOT, 1},
                                 {EV_ABS, ABS_MT_TRACKING_ID, 1},
                                 {EV_ABS, ABS_MT_POSITION_X, 800},
                                 {EV_ABS, ABS_MT_POSITION_Y, 600},
                                 {EV_ABS, ABS_X, 110},
                                 {EV_ABS, ABS_Y, 105},
                                 {EV_SYN, SYN_REPORT, 0}}));
  // The first comes up while the second moves: BTN_TOUCH stays down, ABS_X follows the second.
  EXPECT_TRUE(Inject(screen, {{1, {810, 610}, TouchPhase::move}, {0, {111, 106}, TouchPhase::up}}));
  EXPECT_EQ(sink.take(), (Events{{EV_ABS, ABS_MT_SLOT, 1},
                                 {EV_ABS, ABS_MT_POSITION_X, 810},
                                 {EV_ABS, ABS_MT_POSITION_Y, 610},
                                 {EV_ABS, ABS_MT_SLOT, 0},
                                 {EV_ABS, ABS_MT_TRACKING_ID, -1},
                                 {EV_ABS, ABS_X, 810},
                                 {EV_ABS, ABS_Y, 610},
                                 {EV_SYN, SYN_REPORT, 0}}));
  EXPECT_TRUE(Inject(screen, {{1, {810, 610}, TouchPhase::up}}));
  EXPECT_EQ(sink.take(), (Events{{EV_ABS, ABS_MT_SLOT, 1},
                                 {EV_ABS, ABS_MT_TRACKING_ID, -1},
                                 {EV_KEY, BTN_TOUCH, 0},
                                 {EV_SYN, SYN_REPORT, 0}}));
}

TEST(UinputTouchInjector, AfterTheTrackingIdsWrapANewTouchSkipsTheIdOfOneStillHeld) {
  RecordingSink sink;
  UinputTouchInjector screen(sink, kDesktop);
  EXPECT_TRUE(Inject(screen, {{0, {0, 0}, TouchPhase::down}}));  // tracking id 0, held throughout
  // Taps in the other slot until the ids come round.
  for (int tap = 1; tap <= 65535; ++tap) {
    EXPECT_TRUE(Inject(screen, {{0, {0, 0}, TouchPhase::move}, {1, {5, 5}, TouchPhase::down}}));
    EXPECT_TRUE(Inject(screen, {{0, {0, 0}, TouchPhase::move}, {1, {5, 5}, TouchPhase::up}}));
  }
  sink.take();
  EXPECT_TRUE(Inject(screen, {{0, {0, 0}, TouchPhase::move}, {1, {5, 5}, TouchPhase::down}}));
  const Events events = sink.take();
  const auto id = std::find_if(events.begin(), events.end(), [](const Event& event) {
    return std::get<1>(event) == ABS_MT_TRACKING_ID;
  });
  ASSERT_NE(id, events.end());
  EXPECT_EQ(std::get<2>(*id), 1) << "0 is still the touch in slot 0";
}

TEST(UinputTouchInjector, AFailedReportIsToldAndTheNextStatesTheButtonAgain) {
  RecordingSink sink;
  UinputTouchInjector screen(sink, kDesktop);
  sink.failAfter = 3;  // the report ends before BTN_TOUCH
  EXPECT_FALSE(Inject(screen, {{0, {0, 0}, TouchPhase::down}}));
  EXPECT_FALSE(screen.lastProblem().empty());
  EXPECT_FALSE(Inject(screen, {{UinputTouchInjector::kSlots, {0, 0}, TouchPhase::down}}));
  EXPECT_NE(screen.lastProblem().find("no slot"), std::string::npos);

  sink.failAfter = -1;
  sink.take();
  EXPECT_TRUE(Inject(screen, {{0, {0, 0}, TouchPhase::up}}));
  EXPECT_EQ(sink.take(), (Events{{EV_ABS, ABS_MT_SLOT, 0},
                                 {EV_ABS, ABS_MT_TRACKING_ID, -1},
                                 {EV_KEY, BTN_TOUCH, 0},
                                 {EV_SYN, SYN_REPORT, 0}}));
  EXPECT_TRUE(screen.lastProblem().empty());
}

TEST(UinputTouchInjector, TellsWhatToDoWhenTheDeviceCannotBeMade) {
  EXPECT_NE(UinputOpenProblem(ENOENT).find("modprobe uinput"), std::string::npos);
  EXPECT_NE(UinputOpenProblem(EACCES).find("70-scantouch-uinput.rules"), std::string::npos);
  EXPECT_NE(UinputOpenProblem(EIO).find("/dev/uinput"), std::string::npos);

  std::string problem;
  const auto screen = UinputTouchInjector::Create(kDesktop, problem);
  if (::access("/dev/uinput", W_OK) != 0) {
    EXPECT_EQ(screen, nullptr);
    EXPECT_NE(problem.find("/dev/uinput"), std::string::npos);
    EXPECT_NE(problem.find("touch output is off"), std::string::npos);
  } else if (screen == nullptr) {
    EXPECT_NE(problem.find("cannot create the touchscreen"), std::string::npos);
  }
}

}  // namespace
}  // namespace scantouch
