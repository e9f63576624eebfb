// The Windows TCP socket under Wine: a connection over loopback to a server of the test's own.

#include "win32/win32_tcp_socket.h"

#include <gtest/gtest.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <string>
#include <vector>

#include "run_until.h"

namespace scantouch {
namespace {

using testing::RunUntil;

// A TCP server on 127.0.0.1 that takes one client.
class LoopbackServer {
 public:
  LoopbackServer() {
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener_, 1);
    int length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    u_long nonBlocking = 1;
    ioctlsocket(listener_, FIONBIO, &nonBlocking);
  }
  ~LoopbackServer() {
    if (client_ != INVALID_SOCKET)
      closesocket(client_);
    closesocket(listener_);
  }
  bool accept() {
    client_ = ::accept(listener_, nullptr, nullptr);
    if (client_ == INVALID_SOCKET)
      return false;
    u_long nonBlocking = 1;
    ioctlsocket(client_, FIONBIO, &nonBlocking);
    return true;
  }
  void send(const std::string& bytes) {
    ::send(client_, bytes.data(), static_cast<int>(bytes.size()), 0);
  }
  std::string receive() {
    char buffer[256];
    const int read = recv(client_, buffer, sizeof buffer, 0);
    return read > 0 ? std::string(buffer, static_cast<std::size_t>(read)) : "";
  }
  void hangUp() {
    closesocket(client_);
    client_ = INVALID_SOCKET;
  }

  int port = 0;

 private:
  SOCKET listener_ = INVALID_SOCKET;
  SOCKET client_ = INVALID_SOCKET;
};

TEST(WindowsTcpSocket, ConnectsReceivesSendsAndHearsTheScannerLeave) {
  Win32TcpSocketFactory sockets;
  Win32EventLoop loop;
  LoopbackServer server;
  auto socket = sockets.create();
  int connects = 0, completions = 0;
  std::size_t arrived = 0;
  std::vector<int> errors;
  socket->connected.connect([&] { ++connects; });
  socket->sendCompleted.connect([&] { ++completions; });
  socket->dataArrived.connect([&](std::size_t waiting) { arrived = waiting; });
  socket->errorOccurred.connect(
      [&](TcpError error, const std::string&) { errors.push_back(ErrorNumber(error)); });

  socket->setRemoteHost(" 127.0.0.1 ");
  socket->setRemotePort(server.port);
  socket->connect();
  EXPECT_EQ(socket->state(), TcpState::connecting);
  ASSERT_TRUE(RunUntil(
      loop, [&] { return server.accept() || connects > 0; }, 3000));
  ASSERT_TRUE(RunUntil(
      loop, [&] { return connects == 1; }, 3000));
  EXPECT_EQ(socket->state(), TcpState::connected);
  EXPECT_EQ(socket->localAddress(), "127.0.0.1");

  server.send(std::string("\xA5\x5A\x05", 3));
  ASSERT_TRUE(RunUntil(
      loop, [&] { return arrived == 3; }, 3000));
  EXPECT_EQ(socket->readAll(), (std::vector<std::uint8_t>{0xA5, 0x5A, 0x05}));

  EXPECT_TRUE(socket->send(":SCAN."));
  ASSERT_TRUE(RunUntil(
      loop, [&] { return completions == 1; }, 3000));
  std::string got;
  ASSERT_TRUE(RunUntil(
      loop, [&] { return (got += server.receive()) == ":SCAN."; }, 3000))
      << got;

  server.hangUp();
  ASSERT_TRUE(RunUntil(
      loop, [&] { return !errors.empty(); }, 3000));
  EXPECT_EQ(errors.front(), 10053);
  EXPECT_EQ(socket->state(), TcpState::closed);
}

TEST(WindowsTcpSocket, ARefusedConnectionAndAnUnknownHostAreErrorsWithTheirNumbers) {
  Win32TcpSocketFactory sockets;
  Win32EventLoop loop;
  int freePort = 0;
  {
    LoopbackServer closed;  // a port nothing listens on once it is gone
    freePort = closed.port;
  }
  auto socket = sockets.create();
  std::vector<int> errors;
  socket->errorOccurred.connect(
      [&](TcpError error, const std::string&) { errors.push_back(ErrorNumber(error)); });
  socket->setRemoteHost("127.0.0.1");
  socket->setRemotePort(freePort);
  socket->connect();
  ASSERT_TRUE(RunUntil(
      loop, [&] { return !errors.empty(); }, 5000));
  EXPECT_EQ(errors.front(), 10061);
  EXPECT_EQ(socket->state(), TcpState::closed);

  socket->setRemoteHost("no-such-host.invalid");
  socket->connect();
  ASSERT_TRUE(RunUntil(
      loop, [&] { return errors.size() == 2; }, 10000));
  EXPECT_EQ(errors.back(), 11001);
}

}  // namespace
}  // namespace scantouch
