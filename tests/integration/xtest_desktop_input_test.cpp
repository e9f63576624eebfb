// The XTest desktop input against a real X server (run under Xvfb by CTest): the pointer really
// moves, and a window under it receives exactly one press and one release of button 1 per click.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "x11/xtest_desktop_input.h"

// Last: Xlib defines macros such as None and Bool that clash with the test framework's names.
#include <X11/Xlib.h>

namespace scantouch {
namespace {

// Waits, bounded, until the server has delivered everything pending to `display`.
void Settle(Display* display) {
  for (int i = 0; i < 20; ++i) {
    XSync(display, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

class X11InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    input_ = XTestDesktopInput::open();
    ASSERT_NE(input_, nullptr) << "no X server with the XTest extension on $DISPLAY";
    display_ = XOpenDisplay(nullptr);
    ASSERT_NE(display_, nullptr);
  }
  void TearDown() override {
    if (display_ != nullptr)
      XCloseDisplay(display_);
  }

  std::unique_ptr<XTestDesktopInput> input_;
  Display* display_ = nullptr;
};

TEST_F(X11InputTest, MovesTheRealPointer) {
  ASSERT_TRUE(input_->setCursorPos(123, 456));
  Settle(display_);
  Window root = 0, child = 0;
  int x = 0, y = 0, wx = 0, wy = 0;
  unsigned int mask = 0;
  ASSERT_TRUE(
      XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &x, &y, &wx, &wy, &mask));
  EXPECT_EQ(x, 123);
  EXPECT_EQ(y, 456);
  EXPECT_EQ(input_->cursorPos(), (ScreenPoint{123, 456}));
}

TEST_F(X11InputTest, AClickIsOnePressAndOneReleaseOfTheLeftButton) {
  const Window window =
      XCreateSimpleWindow(display_, DefaultRootWindow(display_), 100, 100, 300, 200, 0, 0, 0);
  XSelectInput(display_, window, ButtonPressMask | ButtonReleaseMask | StructureNotifyMask);
  XMapWindow(display_, window);
  XEvent event;
  do {
    XNextEvent(display_, &event);
  } while (event.type != MapNotify);

  ASSERT_TRUE(input_->setCursorPos(200, 150));
  ASSERT_TRUE(input_->leftClick());
  Settle(display_);

  int presses = 0, releases = 0;
  while (XPending(display_) > 0) {
    XNextEvent(display_, &event);
    if (event.type == ButtonPress) {
      EXPECT_EQ(event.xbutton.button, 1u);
      EXPECT_EQ(event.xbutton.x, 100);  // window coordinates of (200, 150)
      EXPECT_EQ(event.xbutton.y, 50);
      ++presses;
    }
    if (event.type == ButtonRelease) {
      EXPECT_EQ(event.xbutton.button, 1u);
      ++releases;
    }
  }
  EXPECT_EQ(presses, 1);
  EXPECT_EQ(releases, 1);
  XDestroyWindow(display_, window);
}

}  // namespace
}  // namespace scantouch
