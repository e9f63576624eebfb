#include "endpoints.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace scanner_sim {
namespace {

void MakeNonBlocking(int fd) {
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
}

std::runtime_error SystemError(const std::string& what) {
  return std::runtime_error(what + ": " + std::strerror(errno));
}

// Reads what is there; sets `closed` when the other side has gone.
std::vector<std::uint8_t> ReadAvailable(int fd, bool& closed) {
  std::vector<std::uint8_t> bytes;
  std::uint8_t buffer[4096];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) {
      bytes.insert(bytes.end(), buffer, buffer + n);
      continue;
    }
    if (n == 0 || (errno != EAGAIN && errno != EINTR && errno != EWOULDBLOCK))
      closed = true;
    if (errno == EINTR && n < 0)
      continue;
    break;
  }
  return bytes;
}

void WriteWhatFits(int fd, const std::vector<std::uint8_t>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      break;  // full or gone: the rest is lost
    }
  }
}

}  // namespace

TcpEndpoint::TcpEndpoint(int port) {
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listener_ < 0)
    throw SystemError("socket");
  const int yes = 1;
  ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
    throw SystemError("bind");
  if (::listen(listener_, 1) != 0)
    throw SystemError("listen");
  MakeNonBlocking(listener_);
}

TcpEndpoint::~TcpEndpoint() {
  hangUp();
  if (listener_ >= 0)
    ::close(listener_);
}

std::vector<int> TcpEndpoint::fds() const {
  if (client_ >= 0)
    return {listener_, client_};
  return {listener_};
}

std::vector<std::uint8_t> TcpEndpoint::receive(int fd) {
  if (fd == listener_) {
    const int client = ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (client < 0)
      return {};
    if (client_ >= 0) {
      ::close(client);  // one program at a time, as a scanner has it
    } else {
      client_ = client;
    }
    return {};
  }
  bool closed = false;
  auto bytes = ReadAvailable(client_, closed);
  if (closed) {
    hangUp();
    hungUp_ = true;
  }
  return bytes;
}

void TcpEndpoint::send(const std::vector<std::uint8_t>& bytes) {
  if (client_ >= 0)
    WriteWhatFits(client_, bytes);
}

void TcpEndpoint::hangUp() {
  if (client_ < 0)
    return;
  ::close(client_);
  client_ = -1;
}

bool TcpEndpoint::takeHangUp() {
  const bool was = hungUp_;
  hungUp_ = false;
  return was;
}

PtyEndpoint::PtyEndpoint(std::string linkPath) : linkPath_(std::move(linkPath)) {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
    throw SystemError("posix_openpt");
  const char* slaveName = ::ptsname(master_);
  if (slaveName == nullptr)
    throw SystemError("ptsname");
  slave_ = ::open(slaveName, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave_ < 0)
    throw SystemError("open slave");
  termios raw{};
  ::tcgetattr(slave_, &raw);
  ::cfmakeraw(&raw);
  ::tcsetattr(slave_, TCSANOW, &raw);
  MakeNonBlocking(master_);
  ::unlink(linkPath_.c_str());
  if (::symlink(slaveName, linkPath_.c_str()) != 0)
    throw SystemError("symlink " + linkPath_);
}

PtyEndpoint::~PtyEndpoint() {
  hangUp();
}

std::vector<int> PtyEndpoint::fds() const {
  if (master_ < 0)
    return {};
  return {master_};
}

std::vector<std::uint8_t> PtyEndpoint::receive(int) {
  bool closed = false;
  // The master reads EIO while no one has the terminal open; that is not the end of it.
  auto bytes = ReadAvailable(master_, closed);
  return bytes;
}

void PtyEndpoint::send(const std::vector<std::uint8_t>& bytes) {
  if (master_ >= 0)
    WriteWhatFits(master_, bytes);
}

void PtyEndpoint::hangUp() {
  if (master_ < 0)
    return;
  ::unlink(linkPath_.c_str());
  ::close(slave_);
  ::close(master_);
  master_ = slave_ = -1;
  hungUp_ = true;
}

bool PtyEndpoint::takeHangUp() {
  const bool was = hungUp_;
  hungUp_ = false;
  return was;
}

}  // namespace scanner_sim
