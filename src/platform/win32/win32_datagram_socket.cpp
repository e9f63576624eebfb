#include "win32/win32_datagram_socket.h"

#include <ws2tcpip.h>

#include <cstring>
#include <mutex>
#include <thread>
#include <utility>

#include "win32/system_error_text.h"

namespace scantouch {
namespace {

std::string Describe(int error) {
  // Winsock's own words for a refusal speak of a connection, which UDP has none of.
  if (error == WSAECONNRESET || error == WSAECONNREFUSED)
    return "Connection refused";
  if (error == WSAHOST_NOT_FOUND || error == WSANO_DATA)
    return "Host not found";
  return SystemErrorText(error);
}

// The address of a numeric host or of "localhost", found without asking a name server.
bool NumericAddress(const std::string& host, std::uint16_t port, sockaddr_storage& address,
                    int& length) {
  if (_stricmp(host.c_str(), "localhost") == 0) {
    auto* ipv4 = reinterpret_cast<sockaddr_in*>(&address);
    *ipv4 = sockaddr_in{};
    ipv4->sin_family = AF_INET;
    ipv4->sin_port = htons(port);
    ipv4->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    length = sizeof(sockaddr_in);
    return true;
  }
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_DGRAM;
  hints.ai_flags = AI_NUMERICHOST;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port);
  if (getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0 || found == nullptr)
    return false;
  std::memcpy(&address, found->ai_addr, found->ai_addrlen);
  length = static_cast<int>(found->ai_addrlen);
  freeaddrinfo(found);
  return true;
}

std::uint64_t NowMs() {
  return GetTickCount64();
}

}  // namespace

struct Win32DatagramSocket::Lookup {
  std::mutex mutex;
  bool done = false;
  int error = 0;
  sockaddr_storage address{};
  int length = 0;
};

Win32DatagramSocketFactory::Win32DatagramSocketFactory() {
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
}

Win32DatagramSocketFactory::~Win32DatagramSocketFactory() {
  WSACleanup();
}

std::unique_ptr<DatagramSocket> Win32DatagramSocketFactory::open(const std::string& host,
                                                                 std::uint16_t port, std::string&) {
  return std::make_unique<Win32DatagramSocket>(host, port);
}

std::string Win32DatagramSocketFactory::hostName() const {
  // The DNS host name; Winsock was started with the factory.
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0)
    return {};
  return name;
}

Win32DatagramSocket::Win32DatagramSocket(std::string host, std::uint16_t port)
    : host_(std::move(host)), port_(port) {
  sockaddr_storage address{};
  int length = 0;
  if (NumericAddress(host_, port_, address, length))
    connectTo(reinterpret_cast<const sockaddr*>(&address), length, failure_);
  else
    startLookup();
  failedAt_ms_ = NowMs();
}

Win32DatagramSocket::~Win32DatagramSocket() {
  if (socket_ != INVALID_SOCKET)
    closesocket(socket_);
}

void Win32DatagramSocket::startLookup() {
  lookup_ = std::make_shared<Lookup>();
  // getaddrinfo may wait for a name server for many seconds: never on the window's thread.
  std::thread([lookup = lookup_, host = host_, port = port_] {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    const int error = getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
    const std::lock_guard<std::mutex> lock(lookup->mutex);
    if (error == 0 && found != nullptr) {
      std::memcpy(&lookup->address, found->ai_addr, found->ai_addrlen);
      lookup->length = static_cast<int>(found->ai_addrlen);
    } else {
      lookup->error = error != 0 ? error : WSAHOST_NOT_FOUND;
    }
    if (found != nullptr)
      freeaddrinfo(found);
    lookup->done = true;
  }).detach();
}

bool Win32DatagramSocket::connectWhenLookedUp(std::string& error) {
  if (lookup_ == nullptr) {
    // No socket and no lookup: the last attempt failed; try again now and then.
    if (NowMs() - failedAt_ms_ < kLookUpAgainAfter_ms) {
      error = failure_;
      return false;
    }
    failedAt_ms_ = NowMs();
    sockaddr_storage address{};
    int length = 0;
    if (NumericAddress(host_, port_, address, length))
      return connectTo(reinterpret_cast<const sockaddr*>(&address), length, error);
    startLookup();
    return false;
  }
  const std::lock_guard<std::mutex> lock(lookup_->mutex);
  if (!lookup_->done)
    return false;  // not yet known: nothing to send to, nothing to report
  const std::shared_ptr<Lookup> lookup = std::move(lookup_);
  failedAt_ms_ = NowMs();
  if (lookup->error != 0) {
    failure_ = error = Describe(lookup->error);
    return false;
  }
  return connectTo(reinterpret_cast<const sockaddr*>(&lookup->address), lookup->length, error);
}

bool Win32DatagramSocket::connectTo(const sockaddr* address, int length, std::string& error) {
  socket_ = ::socket(address->sa_family, SOCK_DGRAM, IPPROTO_UDP);
  u_long nonBlocking = 1;
  if (socket_ == INVALID_SOCKET || ioctlsocket(socket_, FIONBIO, &nonBlocking) != 0 ||
      ::connect(socket_, address, length) != 0) {
    failure_ = error = Describe(WSAGetLastError());
    if (socket_ != INVALID_SOCKET)
      closesocket(socket_);
    socket_ = INVALID_SOCKET;
    failedAt_ms_ = NowMs();
    return false;
  }
  failure_.clear();
  return true;
}

bool Win32DatagramSocket::send(std::span<const std::uint8_t> datagram, std::string& error) {
  if (socket_ == INVALID_SOCKET && !connectWhenLookedUp(error))
    return error.empty();
  const int sent = ::send(socket_, reinterpret_cast<const char*>(datagram.data()),
                          static_cast<int>(datagram.size()), 0);
  if (sent == static_cast<int>(datagram.size()))
    return true;
  error = sent == SOCKET_ERROR ? Describe(WSAGetLastError()) : "datagram cut short";
  return false;
}

}  // namespace scantouch
