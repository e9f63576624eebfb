// The Windows UDP socket of the TUIO output under Wine: datagrams reach a Winsock receiver on
// 127.0.0.1 whole and in order, and a port nobody listens on shows as a refusal on a later send.

#include <gtest/gtest.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdint>
#include <string>
#include <vector>

#include "win32/win32_datagram_socket.h"

namespace scantouch {
namespace {

// A UDP socket bound to 127.0.0.1 on a port of the system's choice.
class LoopbackReceiver {
 public:
  explicit LoopbackReceiver(std::uint16_t wanted = 0) {
    socket_ = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(wanted);
    bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int length = sizeof address;
    getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
  }
  ~LoopbackReceiver() { close(); }
  void close() {
    if (socket_ != INVALID_SOCKET)
      closesocket(socket_);
    socket_ = INVALID_SOCKET;
  }

  // The next datagram, or nothing after `timeout_ms`.
  std::vector<std::uint8_t> receive(int timeout_ms = 2000) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket_, &readable);
    timeval timeout{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
    if (select(0, &readable, nullptr, nullptr, &timeout) != 1)
      return {};
    std::vector<std::uint8_t> datagram(65536);
    const int read = recv(socket_, reinterpret_cast<char*>(datagram.data()),
                          static_cast<int>(datagram.size()), 0);
    datagram.resize(read > 0 ? static_cast<std::size_t>(read) : 0);
    return datagram;
  }

  std::uint16_t port = 0;

 private:
  SOCKET socket_ = INVALID_SOCKET;
};

std::vector<std::uint8_t> Datagram(std::size_t size, std::uint8_t first) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<std::uint8_t>(first + i);
  return bytes;
}

TEST(WindowsDatagramSocket, DeliversWholeDatagramsInOrderToAnAddressAndToLocalhost) {
  Win32DatagramSocketFactory sockets;
  LoopbackReceiver receiver;
  for (const char* host : {"127.0.0.1", "localhost"}) {
    std::string error;
    auto socket = sockets.open(host, receiver.port, error);
    ASSERT_NE(socket, nullptr) << host << ": " << error;
    const std::vector<std::vector<std::uint8_t>> sent{Datagram(20, 1), Datagram(1472, 7),
                                                      Datagram(4, 200)};
    for (const auto& datagram : sent)
      EXPECT_TRUE(socket->send(datagram, error)) << host << ": " << error;
    for (const auto& datagram : sent)
      EXPECT_EQ(receiver.receive(), datagram) << host;
  }
}

TEST(WindowsDatagramSocket, TellsOfAPortNobodyListensOnAtALaterSendAndGoesOn) {
  Win32DatagramSocketFactory sockets;
  LoopbackReceiver closed;
  const std::uint16_t port = closed.port;
  closed.close();
  std::string error;
  auto socket = sockets.open("127.0.0.1", port, error);
  ASSERT_NE(socket, nullptr) << error;
  std::vector<std::string> errors;
  // The refusal comes back as an ICMP message after the first datagram; a few tries at most.
  for (int attempt = 0; attempt < 20 && errors.empty(); ++attempt) {
    std::string sendError;
    if (!socket->send(Datagram(8, 0), sendError))
      errors.push_back(sendError);
    Sleep(10);
  }
  EXPECT_EQ(errors, std::vector<std::string>{"Connection refused"});

  // The socket goes on sending: a receiver that starts on the port later gets what follows.
  LoopbackReceiver later(port);
  ASSERT_EQ(later.port, port);
  std::string sendError;
  EXPECT_TRUE(socket->send(Datagram(8, 50), sendError)) << sendError;
  EXPECT_EQ(later.receive(), Datagram(8, 50));
}

}  // namespace
}  // namespace scantouch
