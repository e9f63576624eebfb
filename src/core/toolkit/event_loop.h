#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace scantouch {

// The only source of time and deferred work in the core. The program runs it on the GUI
// toolkit's event loop; tests run it on a virtual clock.
class EventLoop {
 public:
  using TimerId = std::uint64_t;

  virtual ~EventLoop() = default;

  // Milliseconds since an arbitrary start; only differences mean anything.
  virtual std::int64_t nowMs() const = 0;

  // Calls `tick` every `interval_ms` (at least 1) until stopped. A tick is an event like any
  // other: it never runs nested inside the same timer's own tick.
  virtual TimerId startTimer(std::int64_t interval_ms, std::function<void()> tick) = 0;
  virtual void stopTimer(TimerId id) = 0;

  // Runs `event` later, after the current event has finished.
  virtual void post(std::function<void()> event) = 0;

  // Processes all pending events, then returns.
  virtual void yield() = 0;

  // The local date and time as the desktop writes it, for log entries.
  virtual std::string localDateTimeText() const = 0;

  // Milliseconds since 1970 by the system's clock, for what must differ from one run to the next.
  // The clock may be set back or on at any time, so it never measures a time.
  virtual std::int64_t wallClockMs() const = 0;
};

}  // namespace scantouch
