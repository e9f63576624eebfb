#include "win32/win32_stream_listener.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <climits>
#include <utility>

#include "win32/system_error_text.h"

namespace scantouch {
namespace {

constexpr UINT kSocketEvent = WM_APP + 10;
constexpr UINT kFailLater = WM_APP + 11;
constexpr UINT_PTR kLingerTimer = 1;
constexpr UINT kLingerCheck_ms = 250;

// Drops the connection without a goodbye: a reset, and nothing queued goes out any more.
void CloseAtOnce(SOCKET socket) {
  const linger abort{1, 0};
  setsockopt(socket, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort), sizeof abort);
  closesocket(socket);
}

std::string PeerText(const sockaddr_storage& address) {
  char text[INET6_ADDRSTRLEN] = "";
  if (address.ss_family == AF_INET) {
    const auto& ipv4 = reinterpret_cast<const sockaddr_in&>(address);
    inet_ntop(AF_INET, &ipv4.sin_addr, text, sizeof text);
    return std::string(text) + ":" + std::to_string(ntohs(ipv4.sin_port));
  }
  const auto& ipv6 = reinterpret_cast<const sockaddr_in6&>(address);
  const std::string port = std::to_string(ntohs(ipv6.sin6_port));
  // A socket listening on "::" takes IPv4 peers too; they read as what they are.
  if (IN6_IS_ADDR_V4MAPPED(&ipv6.sin6_addr)) {
    inet_ntop(AF_INET, &ipv6.sin6_addr.s6_addr[12], text, sizeof text);
    return std::string(text) + ":" + port;
  }
  inet_ntop(AF_INET6, &ipv6.sin6_addr, text, sizeof text);
  return "[" + std::string(text) + "]:" + port;
}

int SendSome(SOCKET socket, const std::vector<std::uint8_t>& bytes, std::size_t from) {
  const std::size_t size = std::min<std::size_t>(bytes.size() - from, INT_MAX);
  return ::send(socket, reinterpret_cast<const char*>(bytes.data() + from), static_cast<int>(size),
                0);
}

}  // namespace

class ClosingStreamSockets {
 public:
  // How long a closed connection may take to hand over what was queued and hear the peer's
  // goodbye; a peer that reads nothing never holds on to it longer.
  static constexpr std::uint64_t kMostLinger_ms = 5000;

  ClosingStreamSockets()
      : window_([this](UINT message, WPARAM wParam, LPARAM) {
          onMessage(message, wParam);
          return LRESULT{0};
        }) {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
  }

  ~ClosingStreamSockets() {
    for (const Entry& entry : entries_)
      CloseAtOnce(entry.socket);
    WSACleanup();
  }

  ClosingStreamSockets(const ClosingStreamSockets&) = delete;
  ClosingStreamSockets& operator=(const ClosingStreamSockets&) = delete;

  // Takes over a connection's socket and its bytes not yet sent, from `from` on.
  void adopt(SOCKET socket, std::vector<std::uint8_t> unsent, std::size_t from) {
    WSAAsyncSelect(socket, window_.handle(), kSocketEvent, FD_READ | FD_WRITE | FD_CLOSE);
    Entry entry{socket, std::move(unsent), from, GetTickCount64() + kMostLinger_ms, false};
    // Tried at once: an FD_WRITE or FD_CLOSE the connection's window got and ignored is not
    // posted again for this window, and a send that finds no room makes Winsock post the next.
    if (!advance(entry)) {
      closesocket(entry.socket);
      return;
    }
    entries_.push_back(std::move(entry));
    if (entries_.size() == 1)
      SetTimer(window_.handle(), kLingerTimer, kLingerCheck_ms, nullptr);
  }

 private:
  struct Entry {
    SOCKET socket;
    std::vector<std::uint8_t> unsent;
    std::size_t from;
    std::uint64_t deadline_ms;
    bool shutDown;
  };

  // Sends what it can, then says goodbye and reads and discards what the peer still sends:
  // closing a socket with bytes unread makes a reset, which may destroy what the peer has not
  // read yet. False once the socket may be closed.
  static bool advance(Entry& entry) {
    while (entry.from < entry.unsent.size()) {
      const int sent = SendSome(entry.socket, entry.unsent, entry.from);
      if (sent == SOCKET_ERROR)
        return WSAGetLastError() == WSAEWOULDBLOCK;
      entry.from += static_cast<std::size_t>(sent);
    }
    if (!entry.shutDown) {
      entry.unsent = {};
      entry.shutDown = true;
      if (shutdown(entry.socket, SD_SEND) != 0)
        return false;
    }
    char discarded[4096];
    for (int reads = 0; reads < 16; ++reads) {
      const int read = ::recv(entry.socket, discarded, sizeof discarded, 0);
      if (read == 0)
        return false;  // the peer's goodbye: everything was delivered
      if (read == SOCKET_ERROR)
        return WSAGetLastError() == WSAEWOULDBLOCK;
    }
    return true;  // FD_READ comes again for the rest
  }

  void onMessage(UINT message, WPARAM wParam) {
    if (message == WM_TIMER && wParam == kLingerTimer) {
      const std::uint64_t now = GetTickCount64();
      std::erase_if(entries_, [now](const Entry& entry) {
        if (now < entry.deadline_ms)
          return false;
        CloseAtOnce(entry.socket);
        return true;
      });
    } else if (message == kSocketEvent) {
      std::erase_if(entries_, [socket = static_cast<SOCKET>(wParam)](Entry& entry) {
        if (entry.socket != socket || advance(entry))
          return false;
        closesocket(entry.socket);
        return true;
      });
    }
    if (entries_.empty())
      KillTimer(window_.handle(), kLingerTimer);
  }

  MessageWindow window_;
  std::vector<Entry> entries_;
};

Win32StreamConnection::Win32StreamConnection(SOCKET socket, std::string peer,
                                             std::shared_ptr<ClosingStreamSockets> closing)
    : window_([this](UINT message, WPARAM wParam, LPARAM lParam) {
        onMessage(message, wParam, lParam);
        return LRESULT{0};
      }),
      socket_(socket),
      peer_(std::move(peer)),
      closing_(std::move(closing)) {
  // What happened while the connection waited to be taken is posted now, after the handlers
  // were connected.
  WSAAsyncSelect(socket_, window_.handle(), kSocketEvent, FD_READ | FD_WRITE | FD_CLOSE);
}

Win32StreamConnection::~Win32StreamConnection() {
  if (socket_ != INVALID_SOCKET) {
    WSAAsyncSelect(socket_, window_.handle(), 0, 0);
    CloseAtOnce(socket_);
  }
}

std::vector<std::uint8_t> Win32StreamConnection::readAll() {
  std::vector<std::uint8_t> bytes;
  bytes.swap(received_);
  return bytes;
}

bool Win32StreamConnection::write(std::span<const std::uint8_t> bytes) {
  if (socket_ == INVALID_SOCKET || failed_)
    return false;
  if (unsentFrom_ > 0 && unsentFrom_ >= unsent_.size() / 2) {
    unsent_.erase(unsent_.begin(), unsent_.begin() + static_cast<std::ptrdiff_t>(unsentFrom_));
    unsentFrom_ = 0;
  }
  unsent_.insert(unsent_.end(), bytes.begin(), bytes.end());
  sendWaiting();
  return true;
}

void Win32StreamConnection::sendWaiting() {
  while (unsentFrom_ < unsent_.size()) {
    const int sent = SendSome(socket_, unsent_, unsentFrom_);
    if (sent == SOCKET_ERROR) {
      // Full: FD_WRITE says when to go on. A failure is told later, never from within write().
      if (WSAGetLastError() != WSAEWOULDBLOCK && !failed_) {
        failed_ = true;
        PostMessageW(window_.handle(), kFailLater, static_cast<WPARAM>(socket_), 0);
      }
      return;
    }
    unsentFrom_ += static_cast<std::size_t>(sent);
  }
  unsent_.clear();
  unsentFrom_ = 0;
}

void Win32StreamConnection::close() {
  if (socket_ == INVALID_SOCKET)
    return;
  if (failed_) {
    drop();
    return;
  }
  const SOCKET socket = std::exchange(socket_, INVALID_SOCKET);
  closing_->adopt(socket, std::exchange(unsent_, {}), std::exchange(unsentFrom_, 0));
}

void Win32StreamConnection::drop() {
  WSAAsyncSelect(socket_, window_.handle(), 0, 0);
  CloseAtOnce(socket_);
  socket_ = INVALID_SOCKET;
  unsent_ = {};
  unsentFrom_ = 0;
}

bool Win32StreamConnection::receiveWaiting() {
  // One read per notification: Winsock posts FD_READ again while bytes remain.
  char buffer[65536];
  const int read = ::recv(socket_, buffer, sizeof buffer, 0);
  if (read <= 0)
    return false;
  received_.insert(received_.end(), buffer, buffer + read);
  return true;
}

void Win32StreamConnection::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (socket_ == INVALID_SOCKET || static_cast<SOCKET>(wParam) != socket_)
    return;  // after close(), or a closed socket's late events
  if (message == kFailLater) {
    drop();
    disconnected.notify();
    return;
  }
  if (message != kSocketEvent)
    return;
  switch (WSAGETSELECTEVENT(lParam)) {
    case FD_READ:
      if (receiveWaiting())
        dataArrived.notify();
      break;
    case FD_WRITE:
      sendWaiting();
      break;
    case FD_CLOSE: {
      // The peer's last bytes come before its goodbye, and no FD_READ follows for them.
      bool arrived = false;
      while (receiveWaiting())
        arrived = true;
      const std::weak_ptr<int> alive = lifetime_;
      if (arrived)
        dataArrived.notify();
      if (alive.expired() || socket_ != static_cast<SOCKET>(wParam))
        return;  // destroyed or closed by a handler
      drop();
      disconnected.notify();
      break;
    }
    default:
      break;
  }
}

Win32StreamListener::Win32StreamListener(std::shared_ptr<ClosingStreamSockets> closing)
    : window_([this](UINT message, WPARAM wParam, LPARAM lParam) {
        onMessage(message, wParam, lParam);
        return LRESULT{0};
      }),
      closing_(std::move(closing)) {}

Win32StreamListener::~Win32StreamListener() {
  stop();
}

void Win32StreamListener::stop() {
  if (socket_ != INVALID_SOCKET) {
    WSAAsyncSelect(socket_, window_.handle(), 0, 0);
    closesocket(socket_);
    socket_ = INVALID_SOCKET;
  }
  port_ = 0;
  for (const Pending& connection : pending_)
    CloseAtOnce(connection.socket);
  pending_.clear();
}

bool Win32StreamListener::listen(const std::string& host, std::uint16_t port, std::string& error) {
  stop();
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  hints.ai_flags = AI_PASSIVE;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port);
  const int lookup = getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
  if (lookup != 0 || found == nullptr) {
    error = SystemErrorText(lookup != 0 ? lookup : WSAHOST_NOT_FOUND);
    return false;
  }
  // A name such as "localhost" stands for an IPv4 and an IPv6 address; the IPv4 one is what
  // most clients try first.
  std::vector<const addrinfo*> candidates;
  for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next)
    candidates.push_back(entry);
  std::stable_partition(candidates.begin(), candidates.end(),
                        [](const addrinfo* entry) { return entry->ai_family == AF_INET; });
  int failure = WSAHOST_NOT_FOUND;
  for (const addrinfo* entry : candidates) {
    const SOCKET candidate = ::socket(entry->ai_family, SOCK_STREAM, IPPROTO_TCP);
    if (candidate == INVALID_SOCKET) {
      failure = WSAGetLastError();
      continue;
    }
    // A port another program listens on is refused, not shared.
    const BOOL exclusive = TRUE;
    setsockopt(candidate, SOL_SOCKET, SO_EXCLUSIVEADDRUSE,
               reinterpret_cast<const char*>(&exclusive), sizeof exclusive);
    if (entry->ai_family == AF_INET6) {
      // "::" takes IPv4 clients too, as it does on Linux.
      const DWORD v6Only = 0;
      setsockopt(candidate, IPPROTO_IPV6, IPV6_V6ONLY, reinterpret_cast<const char*>(&v6Only),
                 sizeof v6Only);
    }
    if (bind(candidate, entry->ai_addr, static_cast<int>(entry->ai_addrlen)) == 0 &&
        ::listen(candidate, SOMAXCONN) == 0 &&
        WSAAsyncSelect(candidate, window_.handle(), kSocketEvent, FD_ACCEPT) == 0) {
      socket_ = candidate;
      break;
    }
    failure = WSAGetLastError();
    closesocket(candidate);
  }
  freeaddrinfo(found);
  if (socket_ == INVALID_SOCKET) {
    error = SystemErrorText(failure);
    return false;
  }
  sockaddr_storage address{};
  int length = sizeof address;
  if (getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
    port_ = ntohs(address.ss_family == AF_INET
                      ? reinterpret_cast<const sockaddr_in&>(address).sin_port
                      : reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
  return true;
}

std::unique_ptr<StreamConnection> Win32StreamListener::nextPending() {
  if (pending_.empty())
    return nullptr;
  Pending next = std::move(pending_.front());
  pending_.pop_front();
  return std::make_unique<Win32StreamConnection>(next.socket, std::move(next.peer), closing_);
}

void Win32StreamListener::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kSocketEvent || static_cast<SOCKET>(wParam) != socket_ ||
      WSAGETSELECTEVENT(lParam) != FD_ACCEPT)
    return;
  bool added = false;
  for (;;) {
    sockaddr_storage address{};
    int length = sizeof address;
    const SOCKET accepted = accept(socket_, reinterpret_cast<sockaddr*>(&address), &length);
    if (accepted == INVALID_SOCKET)
      break;
    if (pending_.size() >= kMostPending) {
      CloseAtOnce(accepted);
      continue;
    }
    pending_.push_back({accepted, PeerText(address)});
    added = true;
  }
  if (added)
    newConnection.notify();
}

Win32StreamListenerFactory::Win32StreamListenerFactory()
    : closing_(std::make_shared<ClosingStreamSockets>()) {}

Win32StreamListenerFactory::~Win32StreamListenerFactory() = default;

std::unique_ptr<StreamListener> Win32StreamListenerFactory::create() {
  return std::make_unique<Win32StreamListener>(closing_);
}

}  // namespace scantouch
