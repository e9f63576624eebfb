#include "frame_pacer.h"

#include <QEvent>

namespace scantouch::gui {

FramePacer::FramePacer(QObject* parent) : QObject(parent) {}

std::function<void()> FramePacer::add(QWidget* widget, std::function<void()> refresh) {
  widget->installEventFilter(this);
  return pacing_.staleMarker(
      pacing_.add([widget] { return widget->isVisible(); }, std::move(refresh)));
}

bool FramePacer::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Show)
    pacing_.wake();
  return QObject::eventFilter(watched, event);
}

}  // namespace scantouch::gui
