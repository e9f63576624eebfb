#include "toolkit/frame_pacing.h"

#include <algorithm>

namespace scantouch {

FramePacing::FramePacing(EventLoop& loop) : loop_(loop) {}

FramePacing::~FramePacing() {
  if (timer_ != 0)
    loop_.stopTimer(timer_);
}

FramePacing::EntryId FramePacing::add(std::function<bool()> shown, std::function<void()> refresh) {
  entries_.push_back(Entry{std::move(shown), std::move(refresh), false});
  return entries_.size() - 1;
}

void FramePacing::markStale(EntryId id) {
  Entry& entry = entries_[id];
  entry.stale = true;
  // While a frame is due anyway, marking costs nothing more: this runs for every received block.
  if (timer_ == 0 && entry.shown())
    schedule();
}

void FramePacing::wake() {
  if (timer_ == 0 &&
      std::any_of(entries_.begin(), entries_.end(), [](const Entry& entry) { return entry.stale; }))
    schedule();
}

void FramePacing::schedule() {
  timer_ = loop_.startTimer(kFrameInterval_ms, [this] { frame(); });
}

void FramePacing::frame() {
  bool refreshed = false;
  // By index: a refresh may add an entry.
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (!entries_[i].stale || !entries_[i].shown())
      continue;
    entries_[i].stale = false;
    refreshed = true;
    entries_[i].refresh();
  }
  // The timer goes on while views keep changing and stops after the first frame without work;
  // views that are stale but hidden wait for wake().
  if (!refreshed) {
    loop_.stopTimer(timer_);
    timer_ = 0;
  }
}

}  // namespace scantouch
