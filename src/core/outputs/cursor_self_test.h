#pragma once

#include <cstdint>

#include "outputs/desktop_input.h"
#include "toolkit/check_box.h"
#include "toolkit/event_loop.h"
#include "toolkit/timer.h"
#include "toolkit/window.h"

namespace scantouch {

// The controls of the cursor self-test.
struct SelfTestControls {
  CheckBox& enabled;   // CHK鼠标画4个圈测试
  Timer& circleTimer;  // tmr鼠标画4个圈测试, 1 ms
  Timer& stopTimer;  // tmr鼠标画4个圈测试20秒自动关闭, 1000 ms; its tag counts the seconds
  Window& mainWindow;  // minimised on every circle tick
};

// Drives the cursor around six circles to test the path to the desktop, and stops by itself at
// the eleventh second.
class CursorSelfTest {
 public:
  static constexpr int kRadius = 192;
  static constexpr int kStopAfterSeconds = 10;

  CursorSelfTest(SelfTestControls controls, EventLoop& loop, DesktopInput& desktop);

  void onSwitch();
  void circleTick();
  void stopTick();
  std::int16_t angle() const { return angle_; }

 private:
  SelfTestControls c_;
  EventLoop& loop_;
  DesktopInput& desktop_;
  std::int16_t angle_ = 0;
};

}  // namespace scantouch
