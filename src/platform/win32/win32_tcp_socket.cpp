#include "win32/win32_tcp_socket.h"

#include <ws2tcpip.h>

#include "link/machine_address.h"
#include "win32/system_error_text.h"

namespace scantouch {
namespace {

constexpr UINT kSocketEvent = WM_APP + 10;
constexpr UINT kFailLater = WM_APP + 11;
constexpr UINT kSendCompleted = WM_APP + 12;

}  // namespace

Win32TcpSocketFactory::Win32TcpSocketFactory() {
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
}

Win32TcpSocketFactory::~Win32TcpSocketFactory() {
  WSACleanup();
}

Win32TcpSocket::Win32TcpSocket()
    : window_([this](UINT message, WPARAM wParam, LPARAM lParam) {
        onMessage(message, wParam, lParam);
        return LRESULT{0};
      }) {}

Win32TcpSocket::~Win32TcpSocket() {
  close();
}

void Win32TcpSocket::connect() {
  close();
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const std::string port = std::to_string(remotePort());
  if (getaddrinfo(hostToDial().c_str(), port.c_str(), &hints, &found) != 0 || found == nullptr) {
    PostMessageW(window_.handle(), kFailLater, WSAHOST_NOT_FOUND, 0);
    return;
  }
  socket_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (socket_ == INVALID_SOCKET) {
    freeaddrinfo(found);
    PostMessageW(window_.handle(), kFailLater, static_cast<WPARAM>(WSAGetLastError()), 0);
    return;
  }
  WSAAsyncSelect(socket_, window_.handle(), kSocketEvent,
                 FD_CONNECT | FD_READ | FD_WRITE | FD_CLOSE);
  state_ = TcpState::connecting;
  const int result = ::connect(socket_, found->ai_addr, static_cast<int>(found->ai_addrlen));
  freeaddrinfo(found);
  if (result != 0 && WSAGetLastError() != WSAEWOULDBLOCK)
    PostMessageW(window_.handle(), kFailLater, static_cast<WPARAM>(WSAGetLastError()), 0);
}

void Win32TcpSocket::close() {
  if (socket_ != INVALID_SOCKET) {
    WSAAsyncSelect(socket_, window_.handle(), 0, 0);
    closesocket(socket_);
    socket_ = INVALID_SOCKET;
  }
  state_ = TcpState::closed;
  unsent_.clear();
}

void Win32TcpSocket::fail(int error) {
  close();
  errorOccurred.notify(static_cast<TcpError>(error), SystemErrorText(error));
}

std::vector<std::uint8_t> Win32TcpSocket::readAll() {
  std::vector<std::uint8_t> bytes;
  bytes.swap(received_);
  return bytes;
}

bool Win32TcpSocket::send(std::string_view bytes) {
  if (state_ != TcpState::connected || bytes.empty())
    return false;
  unsent_.append(bytes);
  sendWaiting();
  return true;
}

void Win32TcpSocket::sendWaiting() {
  while (!unsent_.empty() && socket_ != INVALID_SOCKET) {
    const int sent = ::send(socket_, unsent_.data(), static_cast<int>(unsent_.size()), 0);
    if (sent == SOCKET_ERROR)
      return;  // full: FD_WRITE says when to go on; a real failure comes as FD_CLOSE
    unsent_.erase(0, static_cast<std::size_t>(sent));
  }
  // One completion when the last byte is out, reported later as an event of its own.
  if (unsent_.empty() && socket_ != INVALID_SOCKET)
    PostMessageW(window_.handle(), kSendCompleted, static_cast<WPARAM>(socket_), 0);
}

void Win32TcpSocket::receiveWaiting() {
  // One read per notification: Winsock posts FD_READ again while bytes remain, and every call
  // that finds nothing costs as much as one that finds something.
  char buffer[65536];
  const int read = ::recv(socket_, buffer, sizeof buffer, 0);
  if (read > 0)
    received_.insert(received_.end(), buffer, buffer + read);
}

void Win32TcpSocket::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kFailLater) {
    fail(static_cast<int>(wParam));
    return;
  }
  if (message == kSendCompleted) {
    if (static_cast<SOCKET>(wParam) == socket_ && state_ == TcpState::connected)
      sendCompleted.notify();
    return;
  }
  if (message != kSocketEvent || static_cast<SOCKET>(wParam) != socket_)
    return;  // a closed socket's late events
  const int error = WSAGETSELECTERROR(lParam);
  switch (WSAGETSELECTEVENT(lParam)) {
    case FD_CONNECT:
      if (error != 0) {
        fail(error);
      } else {
        state_ = TcpState::connected;
        connected.notify();
      }
      break;
    case FD_READ:
      receiveWaiting();
      if (!received_.empty())
        dataArrived.notify(received_.size());
      break;
    case FD_WRITE:
      sendWaiting();
      break;
    case FD_CLOSE:
      receiveWaiting();
      if (!received_.empty())
        dataArrived.notify(received_.size());
      if (socket_ != INVALID_SOCKET)
        fail(error != 0 ? error : WSAECONNABORTED);  // the scanner closed the connection
      break;
    default:
      break;
  }
}

std::string Win32TcpSocket::localAddress() const {
  sockaddr_in address{};
  int length = sizeof address;
  char text[INET_ADDRSTRLEN] = "";
  if (state_ == TcpState::connected &&
      getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0 &&
      inet_ntop(AF_INET, &address.sin_addr, text, sizeof text) != nullptr)
    return text;
  char name[256] = "";
  addrinfo hints{};
  hints.ai_family = AF_INET;
  addrinfo* found = nullptr;
  std::vector<std::string> addresses;
  if (gethostname(name, sizeof name) == 0 && getaddrinfo(name, nullptr, &hints, &found) == 0) {
    for (addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
      const auto* ipv4 = reinterpret_cast<const sockaddr_in*>(entry->ai_addr);
      if (inet_ntop(AF_INET, &ipv4->sin_addr, text, sizeof text) != nullptr)
        addresses.emplace_back(text);
    }
    freeaddrinfo(found);
  }
  return MachineAddress(addresses);
}

}  // namespace scantouch
