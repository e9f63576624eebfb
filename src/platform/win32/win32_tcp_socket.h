#pragma once

#include <winsock2.h>

#include <memory>
#include <string>
#include <vector>

#include "link/tcp_client_socket.h"
#include "win32/message_window.h"

namespace scantouch {

// A TCP client socket on Winsock 2, non-blocking; its events arrive as window messages on the
// thread's message loop (WSAAsyncSelect), one at a time, like those of the Qt socket on Linux.
class Win32TcpSocket final : public TcpClientSocket {
 public:
  Win32TcpSocket();
  ~Win32TcpSocket() override;

  TcpState state() const override { return state_; }
  void connect() override;
  void close() override;
  std::vector<std::uint8_t> readAll() override;
  bool send(std::string_view bytes) override;
  std::string localAddress() const override;

 private:
  void onMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void fail(int error);
  void receiveWaiting();
  void sendWaiting();

  MessageWindow window_;
  SOCKET socket_ = INVALID_SOCKET;
  TcpState state_ = TcpState::closed;
  std::vector<std::uint8_t> received_;
  std::string unsent_;  // of the sends made, not yet taken by the system
};

class Win32TcpSocketFactory final : public TcpSocketFactory {
 public:
  Win32TcpSocketFactory();
  ~Win32TcpSocketFactory() override;
  std::unique_ptr<TcpSocket> create() override { return std::make_unique<Win32TcpSocket>(); }
};

}  // namespace scantouch
