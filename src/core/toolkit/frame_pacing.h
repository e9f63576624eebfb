#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "toolkit/event_loop.h"

namespace scantouch {

// Brings views up to date at a bounded frame rate. What changes thousands of times a second (the
// receive buffer, the beams, the quality labels) only marks its view stale; each stale view is
// refreshed at most once per frame, not at all while nothing changed, and not while it is hidden:
// it catches up at the first frame after it shows again. Both faces' pacers are this class with
// their own way of telling whether a view shows.
class FramePacing {
 public:
  static constexpr std::int64_t kFrameInterval_ms = 33;
  using EntryId = std::size_t;

  explicit FramePacing(EventLoop& loop);
  ~FramePacing();
  FramePacing(const FramePacing&) = delete;
  FramePacing& operator=(const FramePacing&) = delete;

  // A view: `shown` tells whether it shows now, `refresh` brings it up to date.
  EntryId add(std::function<bool()> shown, std::function<void()> refresh);
  // The entry's refresh runs at the next frame in which its view shows.
  void markStale(EntryId id);
  // A function that marks the entry stale, for a control's change notifier.
  std::function<void()> staleMarker(EntryId id) {
    return [this, id] { markStale(id); };
  }
  // A view was shown: what went stale while it was hidden is refreshed at the next frame.
  void wake();

  bool frameScheduled() const { return timer_ != 0; }

 private:
  struct Entry {
    std::function<bool()> shown;
    std::function<void()> refresh;
    bool stale = false;
  };
  void schedule();
  void frame();

  EventLoop& loop_;
  std::vector<Entry> entries_;
  EventLoop::TimerId timer_ = 0;  // 0 while no frame is due
};

}  // namespace scantouch
