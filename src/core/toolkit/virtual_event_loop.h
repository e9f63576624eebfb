#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "toolkit/event_loop.h"

namespace scantouch {

// An event loop on a virtual clock: time moves only when advance() says so, so a test of a
// 15-second time-out runs in microseconds and always the same way.
class VirtualEventLoop final : public EventLoop {
 public:
  std::int64_t nowMs() const override { return now_ms_; }
  TimerId startTimer(std::int64_t interval_ms, std::function<void()> tick) override;
  void stopTimer(TimerId id) override;
  void post(std::function<void()> event) override;
  void yield() override;
  // The virtual time since the start, as "T+<ms>ms": enough to tell entries apart in tests.
  std::string localDateTimeText() const override { return "T+" + std::to_string(now_ms_) + "ms"; }
  // The virtual time since `setWallClockStart`'s value, 0 unless set.
  std::int64_t wallClockMs() const override { return wallClockStart_ms_ + now_ms_; }
  void setWallClockStart(std::int64_t ms) { wallClockStart_ms_ = ms; }

  // Moves the clock forward by `ms`, delivering every timer tick and posted event that falls due
  // on the way, in time order.
  void advance(std::int64_t ms);

  std::size_t pendingEvents() const { return posted_.size(); }
  std::size_t activeTimers() const { return timers_.size(); }

 private:
  struct TimerEntry {
    std::int64_t interval_ms;
    std::int64_t due_ms;
    std::shared_ptr<std::function<void()>> tick;
    bool inTick = false;
  };

  void runPostedEvents(std::size_t count);
  // Fires the earliest timer due at or before `limit_ms`; false when none is.
  bool fireNextTimer(std::int64_t limit_ms);

  std::int64_t now_ms_ = 0;
  std::int64_t wallClockStart_ms_ = 0;
  TimerId nextId_ = 1;
  std::map<TimerId, TimerEntry> timers_;
  std::deque<std::function<void()>> posted_;
};

}  // namespace scantouch
