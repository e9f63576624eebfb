#include "qt/qt_event_loop.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>

namespace scantouch {

QtEventLoop::QtEventLoop() {
  clock_.start();
}

QtEventLoop::~QtEventLoop() = default;

EventLoop::TimerId QtEventLoop::startTimer(std::int64_t interval_ms, std::function<void()> tick) {
  const TimerId id = nextId_++;
  auto entry = std::make_shared<Entry>();
  entry->timer = std::make_unique<QTimer>();
  // Short intervals need the precise kind: a coarse timer may fire 5 % late.
  entry->timer->setTimerType(interval_ms < 20 ? Qt::PreciseTimer : Qt::CoarseTimer);
  entry->timer->setInterval(static_cast<int>(std::max<std::int64_t>(interval_ms, 1)));
  std::weak_ptr<Entry> weak = entry;
  QObject::connect(entry->timer.get(), &QTimer::timeout, &context_, [weak, tick = std::move(tick)] {
    const auto alive = weak.lock();
    // A tick never runs nested inside the same timer's tick (a yield in it).
    if (!alive || alive->inTick)
      return;
    alive->inTick = true;
    tick();
    alive->inTick = false;
  });
  entry->timer->start();
  timers_[id] = std::move(entry);
  return id;
}

void QtEventLoop::stopTimer(TimerId id) {
  const auto it = timers_.find(id);
  if (it == timers_.end())
    return;
  it->second->timer->stop();
  // Deleted later: the timer may be stopping itself from inside its own tick.
  it->second->timer.release()->deleteLater();
  timers_.erase(it);
}

void QtEventLoop::post(std::function<void()> event) {
  QMetaObject::invokeMethod(&context_, std::move(event), Qt::QueuedConnection);
}

void QtEventLoop::yield() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

std::string QtEventLoop::localDateTimeText() const {
  const QLocale locale = QLocale::system();
  const QDateTime now = QDateTime::currentDateTime();
  return (locale.toString(now.date(), QLocale::ShortFormat) + " " +
          locale.toString(now.time(), QLocale::LongFormat))
      .toStdString();
}

std::int64_t QtEventLoop::wallClockMs() const {
  return QDateTime::currentMSecsSinceEpoch();
}

}  // namespace scantouch
