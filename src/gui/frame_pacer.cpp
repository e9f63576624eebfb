#include "frame_pacer.h"

#include <QEvent>

namespace scantouch::gui {

FramePacer::FramePacer(QObject* parent) : QObject(parent) {
  timer_.setInterval(kFrameInterval_ms);
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, [this] { frame(); });
}

std::function<void()> FramePacer::add(QWidget* widget, std::function<void()> refresh) {
  entries_.push_back(Entry{widget, std::move(refresh), false});
  widget->installEventFilter(this);
  const std::size_t index = entries_.size() - 1;
  return [this, index] {
    entries_[index].stale = true;
    if (!timer_.isActive() && entries_[index].widget->isVisible())
      timer_.start();
  };
}

bool FramePacer::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Show && !timer_.isActive())
    timer_.start();
  return QObject::eventFilter(watched, event);
}

void FramePacer::frame() {
  for (Entry& entry : entries_) {
    if (!entry.stale || !entry.widget->isVisible())
      continue;
    entry.stale = false;
    entry.refresh();
  }
}

}  // namespace scantouch::gui
