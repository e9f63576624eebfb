#include "toolkit/timer.h"

#include <utility>

namespace scantouch {

Timer::Timer(std::string name, EventLoop& loop, std::int64_t interval_ms, bool enabled)
    : Control(std::move(name)), loop_(loop), interval_ms_(interval_ms), enabled_(enabled) {
  restart();
}

Timer::~Timer() {
  if (running_)
    loop_.stopTimer(id_);
}

void Timer::setEnabled(bool enabled) {
  if (enabled == enabled_)
    return;
  enabled_ = enabled;
  restart();
}

void Timer::setInterval(std::int64_t interval_ms) {
  interval_ms_ = interval_ms;
  restart();
}

void Timer::restart() {
  if (running_) {
    loop_.stopTimer(id_);
    running_ = false;
  }
  if (enabled_ && interval_ms_ > 0) {
    id_ = loop_.startTimer(interval_ms_, [this] { ticked.notify(); });
    running_ = true;
  }
}

}  // namespace scantouch
