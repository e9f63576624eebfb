#include "mouse_contact_driver.h"

#include <algorithm>

namespace scantouch {

MouseContactDriver::MouseContactDriver(DesktopInput& desktop, CheckBox& mouseMove,
                                       CheckBox& mouseClick)
    : desktop_(desktop), mouseMove_(mouseMove), mouseClick_(mouseClick) {}

void MouseContactDriver::setEnabled(bool enabled) {
  if (enabled == enabled_)
    return;
  enabled_ = enabled;
  if (!enabled_ && driver_)
    letGo(lastMove_.value_or(ScreenPoint{}));
}

void MouseContactDriver::onTouchFrame(const TouchFrame& frame) {
  if (!enabled_)
    return;
  if (driver_) {
    const auto live = std::find_if(frame.live.begin(), frame.live.end(),
                                   [this](const Contact& c) { return c.sessionId == *driver_; });
    if (live != frame.live.end()) {
      follow(*live);
      return;
    }
    const auto gone = std::find_if(frame.removed.begin(), frame.removed.end(),
                                   [this](const Contact& c) { return c.sessionId == *driver_; });
    letGo(gone != frame.removed.end() ? gone->screen : lastMove_.value_or(ScreenPoint{}));
    for (const Contact& contact : frame.live)
      freeSince_ = std::max(freeSince_, contact.sessionId + 1);
  }
  // A contact that came while another had the mouse never takes it over: its button would go
  // down in the middle of its gesture, a click or a drag nobody made.
  for (const Contact& contact : frame.live) {
    if (contact.sessionId >= freeSince_) {
      take(contact);
      return;
    }
  }
}

void MouseContactDriver::take(const Contact& contact) {
  driver_ = contact.sessionId;
  moveTo(contact.screen);
  if (mouseClick_.isChecked())
    pressed_ = desktop_.setLeftButton(true);
}

void MouseContactDriver::follow(const Contact& contact) {
  // A still hand whose smoothed position stays on one pixel moves nothing.
  if (lastMove_ != contact.screen)
    moveTo(contact.screen);
}

void MouseContactDriver::letGo(const ScreenPoint& at) {
  if (lastMove_ != at)
    moveTo(at);
  if (pressed_)
    (void)desktop_.setLeftButton(false);
  pressed_ = false;
  freeSince_ = std::max(freeSince_, *driver_ + 1);
  driver_.reset();
}

void MouseContactDriver::moveTo(const ScreenPoint& at) {
  if (!mouseMove_.isChecked())
    return;
  (void)desktop_.setCursorPos(at.x, at.y);
  lastMove_ = at;
}

}  // namespace scantouch
