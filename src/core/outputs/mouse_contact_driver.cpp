#include "outputs/mouse_contact_driver.h"

#include <algorithm>

namespace scantouch {

MouseContactDriver::MouseContactDriver(EventLoop& loop, DesktopInput& desktop, CheckBox& mouseMove,
                                       CheckBox& mouseClick)
    : loop_(loop), desktop_(desktop), mouseMove_(mouseMove), mouseClick_(mouseClick) {}

MouseContactDriver::~MouseContactDriver() {
  if (driver_)
    letGo(lastMove_.value_or(ScreenPoint{}));
  stopStaleTimer();
}

void MouseContactDriver::setEnabled(bool enabled) {
  if (enabled == enabled_)
    return;
  enabled_ = enabled;
  if (!enabled_ && driver_)
    letGo(lastMove_.value_or(ScreenPoint{}));
  // Contacts that are there already began their gesture before the mouse was theirs to take.
  freeSince_ = newest_ + 1;
}

void MouseContactDriver::onTouchFrame(const TouchFrame& frame) {
  for (const Contact& contact : frame.live)
    newest_ = std::max(newest_, contact.sessionId);
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
  }
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
  restartStaleTimer();
}

void MouseContactDriver::follow(const Contact& contact) {
  // A still hand whose smoothed position stays on one pixel moves nothing.
  if (lastMove_ != contact.screen)
    moveTo(contact.screen);
  restartStaleTimer();
}

void MouseContactDriver::letGo(const ScreenPoint& at) {
  if (lastMove_ != at)
    moveTo(at);
  if (pressed_)
    (void)desktop_.setLeftButton(false);
  pressed_ = false;
  driver_.reset();
  freeSince_ = newest_ + 1;
  stopStaleTimer();
}

void MouseContactDriver::moveTo(const ScreenPoint& at) {
  if (!mouseMove_.isChecked())
    return;
  (void)desktop_.setCursorPos(at.x, at.y);
  lastMove_ = at;
}

void MouseContactDriver::restartStaleTimer() {
  // Counted from the last frame, so that the mouse is let go exactly that long after it.
  stopStaleTimer();
  staleTimer_ = loop_.startTimer(kStaleAfter_ms, [this] {
    // The contact may come back with the stream; having been let go, it does not press again.
    letGo(lastMove_.value_or(ScreenPoint{}));
  });
}

void MouseContactDriver::stopStaleTimer() {
  if (staleTimer_) {
    loop_.stopTimer(*staleTimer_);
    staleTimer_.reset();
  }
}

}  // namespace scantouch
