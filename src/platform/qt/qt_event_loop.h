#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <map>
#include <memory>

#include "toolkit/event_loop.h"

namespace scantouch {

// The core's event loop on Qt's: timers are QTimers, posted events are queued calls, a yield
// processes what is pending.
class QtEventLoop final : public EventLoop {
 public:
  QtEventLoop();
  ~QtEventLoop() override;

  std::int64_t nowMs() const override { return clock_.elapsed(); }
  TimerId startTimer(std::int64_t interval_ms, std::function<void()> tick) override;
  void stopTimer(TimerId id) override;
  void post(std::function<void()> event) override;
  void yield() override;
  std::string localDateTimeText() const override;
  std::int64_t wallClockMs() const override;

 private:
  struct Entry {
    std::unique_ptr<QTimer> timer;
    bool inTick = false;
  };

  QElapsedTimer clock_;
  QObject context_;
  TimerId nextId_ = 1;
  std::map<TimerId, std::shared_ptr<Entry>> timers_;
};

}  // namespace scantouch
