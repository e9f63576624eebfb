#pragma once

#include <winsock2.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "web/stream_listener.h"
#include "win32/message_window.h"

namespace scantouch {

// Closed connections whose bytes are still on their way out, and Winsock itself: shared by the
// factory, its listeners and their connections, so that what a connection queued before close()
// goes out after its wrapper is gone, and Winsock stays up while any socket of theirs is open.
class ClosingStreamSockets;

// One accepted TCP connection on Winsock 2, non-blocking; its events arrive as window messages
// on the thread's message loop (WSAAsyncSelect), one at a time.
class Win32StreamConnection final : public StreamConnection {
 public:
  Win32StreamConnection(SOCKET socket, std::string peer,
                        std::shared_ptr<ClosingStreamSockets> closing);
  ~Win32StreamConnection() override;
  Win32StreamConnection(const Win32StreamConnection&) = delete;
  Win32StreamConnection& operator=(const Win32StreamConnection&) = delete;

  std::vector<std::uint8_t> readAll() override;
  bool write(std::span<const std::uint8_t> bytes) override;
  std::size_t bytesToWrite() const override { return unsent_.size() - unsentFrom_; }
  void close() override;
  std::string peer() const override { return peer_; }

 private:
  void onMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool receiveWaiting();  // true when bytes came
  void sendWaiting();
  void drop();

  MessageWindow window_;
  SOCKET socket_;
  std::string peer_;
  std::shared_ptr<ClosingStreamSockets> closing_;
  std::vector<std::uint8_t> received_;
  std::vector<std::uint8_t> unsent_;  // of the writes made, from unsentFrom_ on not yet sent
  std::size_t unsentFrom_ = 0;
  bool failed_ = false;  // a send failed; told as disconnected from the message loop
  // Expires with the connection: a notifier's handler may destroy it.
  std::shared_ptr<int> lifetime_ = std::make_shared<int>();
};

// A listening TCP socket on Winsock 2. Connections wait unwatched until taken, so that their
// first events reach the handlers connected to them; past kMostPending the newest are closed at
// once, so that a flood of connection attempts costs nothing that stays.
class Win32StreamListener final : public StreamListener {
 public:
  static constexpr std::size_t kMostPending = 64;

  explicit Win32StreamListener(std::shared_ptr<ClosingStreamSockets> closing);
  ~Win32StreamListener() override;
  Win32StreamListener(const Win32StreamListener&) = delete;
  Win32StreamListener& operator=(const Win32StreamListener&) = delete;

  bool listen(const std::string& host, std::uint16_t port, std::string& error) override;
  std::uint16_t port() const override { return port_; }
  std::unique_ptr<StreamConnection> nextPending() override;

 private:
  struct Pending {
    SOCKET socket;
    std::string peer;
  };

  void onMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void stop();

  MessageWindow window_;
  std::shared_ptr<ClosingStreamSockets> closing_;
  SOCKET socket_ = INVALID_SOCKET;
  std::uint16_t port_ = 0;
  std::deque<Pending> pending_;
};

class Win32StreamListenerFactory final : public StreamListenerFactory {
 public:
  Win32StreamListenerFactory();
  ~Win32StreamListenerFactory() override;
  std::unique_ptr<StreamListener> create() override;

 private:
  std::shared_ptr<ClosingStreamSockets> closing_;
};

}  // namespace scantouch
