#pragma once

#include <cstdint>
#include <optional>

#include "desktop_input.h"
#include "engine/touch_frame.h"
#include "toolkit/check_box.h"

namespace scantouch {

// The mouse as one finger: the oldest contact presses the left button when it is born, the
// cursor follows it, and the button goes up when it is removed, so a tap is a click, a drag
// drags and a hold holds. "鼠标移动" gates the moves and "鼠标点击" the button, as they do
// for the click per touch; a button this driver pressed is always released again.
class MouseContactDriver final : public TouchFrameSink {
 public:
  MouseContactDriver(DesktopInput& desktop, CheckBox& mouseMove, CheckBox& mouseClick);

  // Off: the mouse is left alone, and a button still held is released.
  void setEnabled(bool enabled);
  bool enabled() const { return enabled_; }

  void onTouchFrame(const TouchFrame& frame) override;

 private:
  void take(const Contact& contact);
  void follow(const Contact& contact);
  void letGo(const ScreenPoint& at);
  void moveTo(const ScreenPoint& at);

  DesktopInput& desktop_;
  CheckBox& mouseMove_;
  CheckBox& mouseClick_;
  bool enabled_ = false;
  std::optional<std::uint32_t> driver_;  // the session id of the contact that has the mouse
  std::uint32_t freeSince_ = 0;          // contacts with lower ids came while the mouse was held
  bool pressed_ = false;
  std::optional<ScreenPoint> lastMove_;
};

}  // namespace scantouch
