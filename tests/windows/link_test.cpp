// The Windows event loop, TCP socket and desktop input under Wine: timers and posted events on
// the message loop, a connection over loopback to a server of the test's own, and moves and
// clicks as a low-level mouse hook sees them.

#include <gtest/gtest.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <functional>
#include <string>
#include <vector>

#include "win32/send_input_desktop_input.h"
#include "win32/win32_event_loop.h"
#include "win32/win32_serial_port.h"
#include "win32/win32_tcp_socket.h"

namespace scantouch {
namespace {

// Runs the message loop until `done` holds or `timeout_ms` passed; true when it held.
bool RunUntil(Win32EventLoop& loop, const std::function<bool()>& done, int timeout_ms) {
  const std::int64_t deadline = loop.nowMs() + timeout_ms;
  while (!done()) {
    if (loop.nowMs() > deadline)
      return false;
    loop.yield();
    Sleep(2);
  }
  return true;
}

TEST(WindowsEventLoop, TimersTickAndPostedEventsRunAfterTheCurrentOne) {
  Win32EventLoop loop;
  int ticks = 0;
  const auto timer = loop.startTimer(20, [&] { ++ticks; });
  std::vector<int> order;
  loop.post([&] { order.push_back(2); });
  order.push_back(1);
  EXPECT_TRUE(RunUntil(
      loop, [&] { return ticks >= 3 && order.size() == 2; }, 3000));
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
  loop.stopTimer(timer);
  const int stopped = ticks;
  RunUntil(
      loop, [] { return false; }, 100);
  EXPECT_EQ(ticks, stopped);
  EXPECT_FALSE(loop.localDateTimeText().empty());
}

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

TEST(WindowsSerialPort, RefusesNumbersBeyondItsRangeAndStaysClosedOnAMissingPort) {
  Win32SerialPort port;
  EXPECT_FALSE(port.setPortNumber(0));
  EXPECT_FALSE(port.setPortNumber(256));
  EXPECT_EQ(port.portNumber(), 1);
  EXPECT_TRUE(port.setPortNumber(200));
  EXPECT_FALSE(port.open());  // there is no COM200
  EXPECT_FALSE(port.isOpen());
  EXPECT_TRUE(port.readAll().empty());
  EXPECT_FALSE(port.write(":SCAN."));
}

// What a low-level mouse hook sees of the program's input.
std::vector<MSLLHOOKSTRUCT>* seen = nullptr;
std::vector<WPARAM>* seenKinds = nullptr;

LRESULT CALLBACK MouseHook(int code, WPARAM kind, LPARAM data) {
  if (code == HC_ACTION && seen != nullptr) {
    seen->push_back(*reinterpret_cast<const MSLLHOOKSTRUCT*>(data));
    seenKinds->push_back(kind);
  }
  return CallNextHookEx(nullptr, code, kind, data);
}

TEST(WindowsDesktopInput, MovesAndClicksReachAMouseHookAtTheirPixels) {
  Win32EventLoop loop;
  std::vector<MSLLHOOKSTRUCT> events;
  std::vector<WPARAM> kinds;
  seen = &events;
  seenKinds = &kinds;
  HHOOK hook = SetWindowsHookExW(WH_MOUSE_LL, MouseHook, GetModuleHandleW(nullptr), 0);
  ASSERT_NE(hook, nullptr);
  SendInputDesktopInput desktop;
  EXPECT_TRUE(desktop.setCursorPos(300, 200));
  EXPECT_TRUE(desktop.leftClick());
  RunUntil(
      loop, [&] { return kinds.size() >= 3; }, 3000);
  UnhookWindowsHookEx(hook);
  seen = nullptr;
  ASSERT_GE(kinds.size(), 3u);
  EXPECT_EQ(kinds[0], static_cast<WPARAM>(WM_MOUSEMOVE));
  EXPECT_NEAR(events[0].pt.x, 300, 1);
  EXPECT_NEAR(events[0].pt.y, 200, 1);
  EXPECT_NE(events[0].flags & LLMHF_INJECTED, 0u);
  EXPECT_EQ(kinds[1], static_cast<WPARAM>(WM_LBUTTONDOWN));
  EXPECT_EQ(kinds[2], static_cast<WPARAM>(WM_LBUTTONUP));
}

}  // namespace
}  // namespace scantouch
