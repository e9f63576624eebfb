#include "frame_pacer.h"

namespace scantouch::gui {

FramePacer::FramePacer(QObject* parent) : QObject(parent) {
  timer_.setInterval(kFrameInterval_ms);
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, [this] { frame(); });
}

std::function<void()> FramePacer::add(std::function<void()> refresh) {
  entries_.push_back(Entry{std::move(refresh), false});
  const std::size_t index = entries_.size() - 1;
  return [this, index] {
    entries_[index].stale = true;
    if (!timer_.isActive())
      timer_.start();
  };
}

void FramePacer::frame() {
  for (Entry& entry : entries_) {
    if (!entry.stale)
      continue;
    entry.stale = false;
    entry.refresh();
  }
}

}  // namespace scantouch::gui
