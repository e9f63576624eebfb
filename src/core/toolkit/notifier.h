#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <utility>

namespace scantouch {

// A list of handlers run synchronously, in the order they were connected. Handlers may connect
// or disconnect others while a notification runs: the list is a deque, whose elements stay in
// place when it grows, and a disconnected handler is only emptied, never erased.
template <typename... Args>
class Notifier {
 public:
  using Handler = std::function<void(Args...)>;
  using ConnectionId = std::size_t;

  ConnectionId connect(Handler handler) {
    handlers_.push_back(std::move(handler));
    return handlers_.size() - 1;
  }

  void disconnect(ConnectionId id) {
    if (id < handlers_.size())
      handlers_[id] = nullptr;
  }

  void notify(Args... args) const {
    for (std::size_t i = 0; i < handlers_.size(); ++i) {
      if (handlers_[i])
        handlers_[i](args...);
    }
  }

 private:
  std::deque<Handler> handlers_;
};

}  // namespace scantouch
