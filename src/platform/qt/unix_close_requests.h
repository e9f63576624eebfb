#pragma once

#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace scantouch {

// Turns SIGTERM, SIGINT and SIGHUP (log-out, shut-down, Ctrl+C) into a call on the event loop,
// where the program can close as if its window had been closed.
class UnixCloseRequests {
 public:
  explicit UnixCloseRequests(std::function<void()> onRequest);
  ~UnixCloseRequests();

 private:
  std::function<void()> onRequest_;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace scantouch
