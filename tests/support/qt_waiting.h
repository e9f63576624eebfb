#pragma once

// Waiting in tests that run Qt's event loop: sockets and child processes only report what they
// receive while it runs.

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <chrono>
#include <functional>

namespace scantouch::testing {

// Runs Qt's event loop until `done` holds or `timeout_ms` has passed; true when it held.
inline bool RunUntil(const std::function<bool()>& done, int timeout_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline)
      return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(2);
  }
  return true;
}

// Runs Qt's event loop for `ms` milliseconds, waking only for real events.
inline void RunFor(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// Runs Qt's event loop until `process` has ended; false when it still runs after `timeout_ms`.
inline bool WaitForEnd(const QProcess& process, int timeout_ms = 10000) {
  return RunUntil([&] { return process.state() == QProcess::NotRunning; }, timeout_ms);
}

}  // namespace scantouch::testing
