#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "link/tcp_socket.h"

namespace scantouch {

// What every system's socket of a channel keeps alike: the scanner's address as the channel set
// it, and the host as it is dialled. The local port is always the system's choice.
class TcpClientSocket : public TcpSocket {
 public:
  std::string remoteHost() const override { return remoteHost_; }
  std::int32_t remotePort() const override { return remotePort_; }
  void setLocalPort(std::int32_t) override {}
  void setRemoteHost(const std::string& host) override { remoteHost_ = host; }
  void setRemotePort(std::int32_t port) override { remotePort_ = port; }

 protected:
  // The host to dial: the remote host without the blanks typed around it.
  std::string hostToDial() const;

 private:
  std::string remoteHost_;
  std::int32_t remotePort_ = 0;
};

// `text` without the white space at either end: ASCII blanks, tabs and line ends, and the
// Unicode spaces (a full-width space typed with a Chinese input method among them). Bytes that are
// no UTF-8 are kept.
std::string_view WithoutBlanksAround(std::string_view text);

}  // namespace scantouch
