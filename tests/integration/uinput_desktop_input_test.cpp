// The uinput pointer without /dev/uinput: the device it describes and the events a move and a
// click send, through the seam where the device would take them.

#include "uinput/uinput_desktop_input.h"

#include <gtest/gtest.h>
#include <libevdev/libevdev.h>

#include <tuple>
#include <vector>

#include "recording_input_events.h"

namespace scantouch {
namespace {

using RecordingSink = testing::RecordingInputEvents;

TEST(UinputPointer, DescribesAnAbsolutePointerOverTheWholeDesktop) {
  libevdev* device = DescribePointer(DesktopArea{-1920, 0, 3840, 1080});
  EXPECT_TRUE(libevdev_has_event_code(device, EV_KEY, BTN_LEFT));
  EXPECT_TRUE(libevdev_has_event_code(device, EV_ABS, ABS_X));
  EXPECT_TRUE(libevdev_has_event_code(device, EV_ABS, ABS_Y));
  EXPECT_FALSE(libevdev_has_event_code(device, EV_KEY, BTN_TOUCH));
  EXPECT_EQ(libevdev_get_abs_minimum(device, ABS_X), 0);
  EXPECT_EQ(libevdev_get_abs_maximum(device, ABS_X), 3839);
  EXPECT_EQ(libevdev_get_abs_maximum(device, ABS_Y), 1079);
  EXPECT_TRUE(libevdev_has_property(device, INPUT_PROP_POINTER));
  libevdev_free(device);
}

TEST(UinputPointer, AMoveIsOneAbsoluteReportAndAClickAPressAndARelease) {
  RecordingSink sink;
  UinputDesktopInput desktop(sink, DesktopArea{-1920, 0, 3840, 1080});
  EXPECT_TRUE(desktop.setCursorPos(-1000, 500));  // on the left monitor
  EXPECT_TRUE(desktop.leftClick());
  EXPECT_TRUE(desktop.setCursorPos(5000, -20));  // beyond the desktop: its edge
  using Event = std::tuple<unsigned, unsigned, int>;
  EXPECT_EQ(sink.events, (std::vector<Event>{{EV_ABS, ABS_X, 920},
                                             {EV_ABS, ABS_Y, 500},
                                             {EV_SYN, SYN_REPORT, 0},
                                             {EV_KEY, BTN_LEFT, 1},
                                             {EV_SYN, SYN_REPORT, 0},
                                             {EV_KEY, BTN_LEFT, 0},
                                             {EV_SYN, SYN_REPORT, 0},
                                             {EV_ABS, ABS_X, 3839},
                                             {EV_ABS, ABS_Y, 0},
                                             {EV_SYN, SYN_REPORT, 0}}));
  EXPECT_FALSE(desktop.canReadCursor());
  EXPECT_EQ(desktop.cursorPos(), std::nullopt);
}

TEST(UinputPointer, AMoveToThePixelOfTheLastStepsAsideSoThatTheKernelTakesIt) {
  // The user moved the real mouse in between; the kernel would drop a repeated absolute value.
  RecordingSink sink;
  UinputDesktopInput desktop(sink, DesktopArea{0, 0, 1920, 1080});
  EXPECT_TRUE(desktop.setCursorPos(1919, 500));
  sink.events.clear();
  EXPECT_TRUE(desktop.setCursorPos(1919, 500));
  using Event = std::tuple<unsigned, unsigned, int>;
  EXPECT_EQ(sink.events, (std::vector<Event>{{EV_ABS, ABS_X, 1918},
                                             {EV_SYN, SYN_REPORT, 0},
                                             {EV_ABS, ABS_X, 1919},
                                             {EV_ABS, ABS_Y, 500},
                                             {EV_SYN, SYN_REPORT, 0}}));
}

}  // namespace
}  // namespace scantouch
