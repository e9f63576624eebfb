#pragma once

#include <QTcpSocket>
#include <memory>

#include "link/tcp_client_socket.h"

namespace scantouch {

// A TCP client socket on QTcpSocket, with the state numbers the connection supervision knows.
class QtTcpSocket final : public TcpClientSocket {
 public:
  QtTcpSocket();

  TcpState state() const override;
  void connect() override;
  void close() override;
  std::vector<std::uint8_t> readAll() override;
  bool send(std::string_view bytes) override;
  std::string localAddress() const override;

 private:
  QTcpSocket socket_;
  qint64 unsentBytes_ = 0;  // of the sends made, not yet written
};

class QtTcpSocketFactory final : public TcpSocketFactory {
 public:
  std::unique_ptr<TcpSocket> create() override { return std::make_unique<QtTcpSocket>(); }
};

}  // namespace scantouch
