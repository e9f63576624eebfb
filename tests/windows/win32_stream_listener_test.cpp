// The Windows listening socket of the web service under Wine: connections from Winsock clients
// of the test's own on 127.0.0.1.

#include "win32/win32_stream_listener.h"

#include <gtest/gtest.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "run_until.h"

namespace scantouch {
namespace {

using testing::RunUntil;

// A non-blocking TCP client connected to 127.0.0.1.
class LoopbackClient {
 public:
  explicit LoopbackClient(std::uint16_t port) {
    socket_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    connected = ::connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    u_long nonBlocking = 1;
    ioctlsocket(socket_, FIONBIO, &nonBlocking);
  }
  ~LoopbackClient() { hangUp(); }
  void send(const std::string& bytes) {
    ::send(socket_, bytes.data(), static_cast<int>(bytes.size()), 0);
  }
  // Reads what is there into `received`; true once the server said goodbye or reset.
  bool receive() {
    char buffer[65536];
    for (;;) {
      const int read = recv(socket_, buffer, sizeof buffer, 0);
      if (read > 0)
        received.append(buffer, static_cast<std::size_t>(read));
      else
        return read == 0 || WSAGetLastError() != WSAEWOULDBLOCK;
    }
  }
  void hangUp() {
    if (socket_ != INVALID_SOCKET)
      closesocket(socket_);
    socket_ = INVALID_SOCKET;
  }

  bool connected = false;
  std::string received;

 private:
  SOCKET socket_ = INVALID_SOCKET;
};

std::vector<std::uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

TEST(WindowsStreamListener, AReplyQueuedBeforeCloseArrivesWholeAfterTheConnectionIsGone) {
  Win32StreamListenerFactory listeners;
  Win32EventLoop loop;
  auto listener = listeners.create();
  std::string error;
  ASSERT_TRUE(listener->listen("127.0.0.1", 0, error)) << error;
  ASSERT_NE(listener->port(), 0);
  int announced = 0;
  listener->newConnection.connect([&] { ++announced; });

  LoopbackClient client(listener->port());
  ASSERT_TRUE(client.connected);
  client.send("GET / HTTP/1.1\r\n\r\n");
  ASSERT_TRUE(RunUntil(
      loop, [&] { return announced > 0; }, 3000));
  std::unique_ptr<StreamConnection> connection = listener->nextPending();
  ASSERT_NE(connection, nullptr);
  EXPECT_EQ(listener->nextPending(), nullptr);
  EXPECT_EQ(connection->peer().rfind("127.0.0.1:", 0), 0u) << connection->peer();

  // Bytes that came before the connection was taken are told after it was.
  int arrivals = 0;
  connection->dataArrived.connect([&] { ++arrivals; });
  std::vector<std::uint8_t> request;
  ASSERT_TRUE(RunUntil(
      loop,
      [&] {
        const std::vector<std::uint8_t> more = connection->readAll();
        request.insert(request.end(), more.begin(), more.end());
        return request.size() >= 18;
      },
      3000));
  EXPECT_EQ(request, Bytes("GET / HTTP/1.1\r\n\r\n"));
  EXPECT_GT(arrivals, 0);

  std::string reply(1 << 20, '\0');
  for (std::size_t i = 0; i < reply.size(); ++i)
    reply[i] = static_cast<char>(i * 7 + i / 251);
  ASSERT_TRUE(connection->write(Bytes(reply)));
  connection->close();
  EXPECT_FALSE(connection->write(Bytes("late")));
  connection.reset();

  ASSERT_TRUE(RunUntil(
      loop, [&] { return client.receive(); }, 10000))
      << client.received.size();
  EXPECT_EQ(client.received.size(), reply.size());
  EXPECT_TRUE(client.received == reply);
}

TEST(WindowsStreamListener, APortInUseOrAnUnknownNameFailsWithTheSystemsReason) {
  Win32StreamListenerFactory listeners;
  auto first = listeners.create();
  std::string error;
  ASSERT_TRUE(first->listen("127.0.0.1", 0, error)) << error;

  auto second = listeners.create();
  EXPECT_FALSE(second->listen("127.0.0.1", first->port(), error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(second->port(), 0);
  error.clear();
  EXPECT_FALSE(second->listen("0.0.0.0", first->port(), error));
  EXPECT_FALSE(error.empty());

  error.clear();
  EXPECT_FALSE(second->listen("no-such-host.invalid", 0, error));
  EXPECT_FALSE(error.empty());

  // Free again once the first is gone.
  const std::uint16_t port = first->port();
  first.reset();
  EXPECT_TRUE(second->listen("localhost", port, error)) << error;
  EXPECT_EQ(second->port(), port);
}

TEST(WindowsStreamListener, ThePeerLeavingIsToldOnceAfterItsLastBytes) {
  Win32StreamListenerFactory listeners;
  Win32EventLoop loop;
  auto listener = listeners.create();
  std::string error;
  ASSERT_TRUE(listener->listen("127.0.0.1", 0, error)) << error;
  LoopbackClient client(listener->port());
  std::unique_ptr<StreamConnection> connection;
  ASSERT_TRUE(RunUntil(
      loop, [&] { return (connection = listener->nextPending()) != nullptr; }, 3000));
  std::vector<std::string> events;
  connection->dataArrived.connect([&] { events.push_back("data"); });
  connection->disconnected.connect([&] { events.push_back("gone"); });

  client.send("bye");
  client.hangUp();
  ASSERT_TRUE(RunUntil(
      loop, [&] { return !events.empty() && events.back() == "gone"; }, 3000));
  RunUntil(
      loop, [] { return false; }, 200);
  EXPECT_EQ(std::count(events.begin(), events.end(), "gone"), 1);
  EXPECT_EQ(connection->readAll(), Bytes("bye"));
  EXPECT_FALSE(connection->write(Bytes("too late")));
}

TEST(WindowsStreamListener, ConnectionsNobodyTakesPastTheMostPendingAreClosedAtOnce) {
  Win32StreamListenerFactory listeners;
  Win32EventLoop loop;
  auto listener = listeners.create();
  std::string error;
  ASSERT_TRUE(listener->listen("127.0.0.1", 0, error)) << error;
  constexpr std::size_t kExcess = 6;
  std::vector<std::unique_ptr<LoopbackClient>> clients;
  for (std::size_t i = 0; i < Win32StreamListener::kMostPending + kExcess; ++i)
    clients.push_back(std::make_unique<LoopbackClient>(listener->port()));

  const auto closedClients = [&] {
    std::size_t closed = 0;
    for (const auto& client : clients)
      closed += client->receive() ? 1 : 0;
    return closed;
  };
  ASSERT_TRUE(RunUntil(
      loop, [&] { return closedClients() == kExcess; }, 5000));
  std::size_t taken = 0;
  while (listener->nextPending() != nullptr)
    ++taken;
  EXPECT_EQ(taken, Win32StreamListener::kMostPending);
}

}  // namespace
}  // namespace scantouch
