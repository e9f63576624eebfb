#include "toolkit/virtual_event_loop.h"

#include <algorithm>
#include <utility>

namespace scantouch {

EventLoop::TimerId VirtualEventLoop::startTimer(std::int64_t interval_ms,
                                                std::function<void()> tick) {
  const std::int64_t interval = std::max<std::int64_t>(interval_ms, 1);
  const TimerId id = nextId_++;
  timers_[id] = TimerEntry{interval, now_ms_ + interval,
                           std::make_shared<std::function<void()>>(std::move(tick))};
  return id;
}

void VirtualEventLoop::stopTimer(TimerId id) {
  timers_.erase(id);
}

void VirtualEventLoop::post(std::function<void()> event) {
  posted_.push_back(std::move(event));
}

void VirtualEventLoop::runPostedEvents(std::size_t count) {
  for (std::size_t i = 0; i < count && !posted_.empty(); ++i) {
    auto event = std::move(posted_.front());
    posted_.pop_front();
    event();
  }
}

bool VirtualEventLoop::fireNextTimer(std::int64_t limit_ms) {
  auto next = timers_.end();
  for (auto it = timers_.begin(); it != timers_.end(); ++it) {
    if (it->second.inTick || it->second.due_ms > limit_ms)
      continue;
    if (next == timers_.end() || it->second.due_ms < next->second.due_ms)
      next = it;
  }
  if (next == timers_.end())
    return false;

  const TimerId id = next->first;
  TimerEntry& entry = next->second;
  now_ms_ = std::max(now_ms_, entry.due_ms);
  entry.due_ms += entry.interval_ms;
  entry.inTick = true;
  // Holding the tick keeps it alive even if it stops its own timer.
  const auto tick = entry.tick;
  (*tick)();
  if (auto it = timers_.find(id); it != timers_.end())
    it->second.inTick = false;
  return true;
}

void VirtualEventLoop::yield() {
  // Only what is pending now: an event that posts another must not keep the yield going forever.
  runPostedEvents(posted_.size());
  std::size_t budget = timers_.size();
  while (budget-- > 0 && fireNextTimer(now_ms_)) {
  }
}

void VirtualEventLoop::advance(std::int64_t ms) {
  const std::int64_t target = now_ms_ + std::max<std::int64_t>(ms, 0);
  runPostedEvents(posted_.size());
  while (fireNextTimer(target))
    runPostedEvents(posted_.size());
  now_ms_ = target;
  runPostedEvents(posted_.size());
}

}  // namespace scantouch
