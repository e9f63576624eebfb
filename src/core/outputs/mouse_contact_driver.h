#pragma once

#include <cstdint>
#include <optional>

#include "engine/touch_frame.h"
#include "outputs/desktop_input.h"
#include "toolkit/check_box.h"
#include "toolkit/event_loop.h"

namespace scantouch {

// The mouse as one finger: the oldest contact presses the left button when it is born, the
// cursor follows it, and the button goes up when it is removed, so a tap is a click, a drag
// drags and a hold holds. "鼠标移动" gates the moves and "鼠标点击" the button, as they do
// for the click per touch; a button this driver pressed is always released again.
//
// The desktop must outlive the driver: it lets go of the mouse when it goes.
class MouseContactDriver final : public TouchFrameSink {
 public:
  // The mouse held without a frame from the engine for this long is let go: the scanner or the
  // engine stopped, and a drag held on for good would drag whatever lies under the cursor.
  static constexpr std::int64_t kStaleAfter_ms = 1000;

  MouseContactDriver(EventLoop& loop, DesktopInput& desktop, CheckBox& mouseMove,
                     CheckBox& mouseClick);
  ~MouseContactDriver() override;
  MouseContactDriver(const MouseContactDriver&) = delete;
  MouseContactDriver& operator=(const MouseContactDriver&) = delete;

  // Off: the mouse is left alone, and a button still held is released.
  void setEnabled(bool enabled);
  bool enabled() const { return enabled_; }
  bool holdsTheMouse() const { return driver_.has_value(); }

  void onTouchFrame(const TouchFrame& frame) override;

 private:
  void take(const Contact& contact);
  void follow(const Contact& contact);
  void letGo(const ScreenPoint& at);
  void moveTo(const ScreenPoint& at);
  void restartStaleTimer();
  void stopStaleTimer();

  EventLoop& loop_;
  DesktopInput& desktop_;
  CheckBox& mouseMove_;
  CheckBox& mouseClick_;
  bool enabled_ = false;
  std::optional<SessionId> driver_;  // the contact that has the mouse
  // Contacts with lower ids were there while the mouse was held or the driver was off: one of
  // them pressing now would press in the middle of its gesture, a click or a drag nobody made.
  SessionId freeSince_ = 0;
  SessionId newest_ = 0;  // the highest session id any frame held
  bool pressed_ = false;
  std::optional<ScreenPoint> lastMove_;
  std::optional<EventLoop::TimerId> staleTimer_;
};

}  // namespace scantouch
