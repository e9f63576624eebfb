#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/notifier.h"

namespace scantouch {

// What a socket is doing. The values are the state numbers the network window has always shown
// (`StateNumber`); the supervision only tells closed, connecting and connected apart.
enum class TcpState : int {
  closed = 0,
  resolvingHost = 4,
  connecting = 6,
  connected = 7,
  closing = 8,
  error = 9,  // or anything else
};

constexpr int StateNumber(TcpState state) {
  return static_cast<int>(state);
}

// Why a socket failed. The values are the error numbers the event log has always shown (those of
// Windows sockets); a failure without a name of its own carries its number all the same.
enum class TcpError : int {
  accessDenied = 10013,
  addressNotAvailable = 10049,
  networkDown = 10050,
  connectionAborted = 10053,
  noBufferSpace = 10055,
  timedOut = 10060,
  connectionRefused = 10061,
  hostNotFound = 11001,
};

constexpr int ErrorNumber(TcpError error) {
  return static_cast<int>(error);
}

// A TCP client socket to a networked scanner. Events arrive on the event loop, one at a time.
class TcpSocket {
 public:
  virtual ~TcpSocket() = default;

  virtual TcpState state() const = 0;
  virtual std::string remoteHost() const = 0;
  virtual std::int32_t remotePort() const = 0;
  virtual void setLocalPort(std::int32_t port) = 0;
  virtual void setRemoteHost(const std::string& host) = 0;
  virtual void setRemotePort(std::int32_t port) = 0;

  // Starts connecting; the state is `connecting` until connected or failed (error event).
  virtual void connect() = 0;
  virtual void close() = 0;
  // All bytes received so far, taken out of the socket.
  virtual std::vector<std::uint8_t> readAll() = 0;
  // Queues bytes for transmission; sendCompleted follows once they are sent.
  virtual bool send(std::string_view bytes) = 0;
  virtual std::string localAddress() const = 0;

  Notifier<std::size_t> dataArrived;                     // bytes waiting
  Notifier<TcpError, const std::string&> errorOccurred;  // why, and the system's description
  Notifier<> sendCompleted;
  Notifier<> connected;  // the state became `connected`
};

// Makes the sockets of the channels.
class TcpSocketFactory {
 public:
  virtual ~TcpSocketFactory() = default;
  virtual std::unique_ptr<TcpSocket> create() = 0;
};

}  // namespace scantouch
