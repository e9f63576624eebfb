#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/notifier.h"

namespace scantouch {

// A TCP client socket to a networked scanner. Events arrive on the event loop, one at a time.
class TcpSocket {
 public:
  // The state numbers the connection supervision works with; any other value is neither.
  static constexpr int kClosed = 0;
  static constexpr int kConnecting = 6;
  static constexpr int kConnected = 7;
  static constexpr int kOther = 9;  // looking up a host, closing, or in error

  virtual ~TcpSocket() = default;

  virtual int state() const = 0;
  virtual std::string remoteHost() const = 0;
  virtual std::int32_t remotePort() const = 0;
  virtual void setLocalPort(std::int32_t port) = 0;
  virtual void setRemoteHost(const std::string& host) = 0;
  virtual void setRemotePort(std::int32_t port) = 0;

  // Starts connecting; the state is kConnecting until connected or failed (error event).
  virtual void connect() = 0;
  virtual void close() = 0;
  // All bytes received so far, taken out of the socket.
  virtual std::vector<std::uint8_t> readAll() = 0;
  // Queues bytes for transmission; sendCompleted follows once they are sent.
  virtual bool send(std::string_view bytes) = 0;
  virtual std::string localAddress() const = 0;

  Notifier<std::size_t> dataArrived;                // bytes waiting
  Notifier<int, const std::string&> errorOccurred;  // error number, description
  Notifier<> sendCompleted;
  Notifier<> connected;  // the state became kConnected
};

// Makes the sockets of the channels.
class TcpSocketFactory {
 public:
  virtual ~TcpSocketFactory() = default;
  virtual std::unique_ptr<TcpSocket> create() = 0;
};

}  // namespace scantouch
