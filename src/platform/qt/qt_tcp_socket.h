#pragma once

#include <QTcpSocket>
#include <memory>

#include "link/tcp_socket.h"

namespace scantouch {

// A TCP client socket on QTcpSocket, with the state numbers the connection supervision knows.
class QtTcpSocket final : public TcpSocket {
 public:
  QtTcpSocket();

  TcpState state() const override;
  std::string remoteHost() const override { return remoteHost_; }
  std::int32_t remotePort() const override { return remotePort_; }
  void setLocalPort(std::int32_t) override {}  // always chosen by the system
  void setRemoteHost(const std::string& host) override { remoteHost_ = host; }
  void setRemotePort(std::int32_t port) override { remotePort_ = port; }
  void connect() override;
  void close() override;
  std::vector<std::uint8_t> readAll() override;
  bool send(std::string_view bytes) override;
  std::string localAddress() const override;

 private:
  QTcpSocket socket_;
  std::string remoteHost_;
  std::int32_t remotePort_ = 0;
  qint64 unsentBytes_ = 0;  // of the sends made, not yet written
};

class QtTcpSocketFactory final : public TcpSocketFactory {
 public:
  std::unique_ptr<TcpSocket> create() override { return std::make_unique<QtTcpSocket>(); }
};

}  // namespace scantouch
