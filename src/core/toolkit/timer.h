#pragma once

#include <cstdint>
#include <string>

#include "toolkit/control.h"
#include "toolkit/event_loop.h"

namespace scantouch {

// A timer control: interval in milliseconds and an enabled flag. It ticks while enabled with an
// interval above 0; changing the interval of a running timer starts its period anew.
class Timer : public Control {
 public:
  Timer(std::string name, EventLoop& loop, std::int64_t interval_ms, bool enabled);
  ~Timer();

  std::int64_t interval_ms() const { return interval_ms_; }
  bool enabled() const { return enabled_; }

  void setEnabled(bool enabled);
  void setInterval(std::int64_t interval_ms);

  Notifier<> ticked;

 private:
  void restart();

  EventLoop& loop_;
  std::int64_t interval_ms_;
  bool enabled_;
  bool running_ = false;
  EventLoop::TimerId id_ = 0;
};

}  // namespace scantouch
