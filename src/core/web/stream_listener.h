#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/notifier.h"

namespace scantouch {

// The bytes of `text`, as a connection takes them.
inline std::span<const std::uint8_t> BytesOf(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// One TCP connection a StreamListener accepted. Its notifiers run on the event loop, one event at
// a time, never from within a call on the connection itself.
class StreamConnection {
 public:
  // Without close() first, the connection is dropped at once and what is queued is lost.
  virtual ~StreamConnection() = default;

  // All bytes received so far, taken out of the connection.
  virtual std::vector<std::uint8_t> readAll() = 0;
  // Queues all of `bytes` for sending, or none of them and false when the connection is closed
  // or failed. Never waits.
  virtual bool write(std::span<const std::uint8_t> bytes) = 0;
  // Bytes queued and not yet taken by the system.
  virtual std::size_t bytesToWrite() const = 0;
  // Sends what is queued, then closes. The object may be destroyed right after: the queued bytes
  // still go out, for a few seconds at most. No notifier runs after this.
  virtual void close() = 0;
  // The peer's address and port, for the log ("127.0.0.1:53211").
  virtual std::string peer() const = 0;

  Notifier<> dataArrived;   // bytes wait for readAll()
  Notifier<> disconnected;  // the peer closed or the connection failed; nothing more comes
};

// A listening TCP socket on one address and port.
class StreamListener {
 public:
  // Stops listening; connections already taken live on.
  virtual ~StreamListener() = default;

  // Listens on `host` (an address of this machine, "0.0.0.0" or "::" for all of them, or a name
  // such as "localhost") at `port` (0: any free port). False with the system's reason in `error`,
  // for example when the port is in use.
  virtual bool listen(const std::string& host, std::uint16_t port, std::string& error) = 0;
  // The port listened on, 0 before listen() succeeded.
  virtual std::uint16_t port() const = 0;
  // The oldest connection accepted and not yet taken, or nullptr.
  virtual std::unique_ptr<StreamConnection> nextPending() = 0;

  Notifier<> newConnection;  // nextPending() has one
};

class StreamListenerFactory {
 public:
  virtual ~StreamListenerFactory() = default;
  virtual std::unique_ptr<StreamListener> create() = 0;
};

}  // namespace scantouch
