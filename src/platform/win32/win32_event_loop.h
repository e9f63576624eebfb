#pragma once

#include <deque>
#include <map>
#include <memory>

#include "toolkit/event_loop.h"
#include "win32/message_window.h"

namespace scantouch {

// The core's event loop on the thread's message loop: timers are window timers (Windows runs
// them no faster than every 10 ms or so, whatever is asked), posted events are window messages,
// and a yield dispatches what is waiting.
class Win32EventLoop final : public EventLoop {
 public:
  Win32EventLoop();

  std::int64_t nowMs() const override;
  TimerId startTimer(std::int64_t interval_ms, std::function<void()> tick) override;
  void stopTimer(TimerId id) override;
  void post(std::function<void()> event) override;
  void yield() override;
  std::string localDateTimeText() const override;
  std::int64_t wallClockMs() const override;

  // Runs the message loop until the thread is asked to quit; its exit code.
  int run();

 private:
  void onMessage(UINT message, WPARAM wParam);

  struct Entry {
    std::function<void()> tick;
    bool inTick = false;
  };

  MessageWindow window_;
  TimerId nextId_ = 1;
  std::map<TimerId, std::shared_ptr<Entry>> timers_;
  std::deque<std::function<void()>> posted_;
};

}  // namespace scantouch
