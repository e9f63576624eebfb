#pragma once

#include <winsock2.h>

#include <cstdint>
#include <memory>
#include <string>

#include "outputs/datagram_socket.h"

namespace scantouch {

// A UDP socket on Winsock 2, connected to its receiver and non-blocking, so a send never holds
// up the message loop. An address or "localhost" is used as it is; a name is looked up on a
// thread of its own, datagrams being dropped meanwhile, and looked up again a few seconds after
// a failure. A receiver that refuses shows as WSAECONNRESET on a later send.
class Win32DatagramSocket final : public DatagramSocket {
 public:
  static constexpr std::uint64_t kLookUpAgainAfter_ms = 5000;

  Win32DatagramSocket(std::string host, std::uint16_t port);
  ~Win32DatagramSocket() override;
  Win32DatagramSocket(const Win32DatagramSocket&) = delete;
  Win32DatagramSocket& operator=(const Win32DatagramSocket&) = delete;

  bool send(std::span<const std::uint8_t> datagram, std::string& error) override;

 private:
  struct Lookup;

  void startLookup();
  // Takes the looked-up address once there; false while there is none to send to.
  bool connectWhenLookedUp(std::string& error);
  bool connectTo(const sockaddr* address, int length, std::string& error);

  std::string host_;
  std::uint16_t port_;
  SOCKET socket_ = INVALID_SOCKET;
  std::shared_ptr<Lookup> lookup_;  // shared with the thread that looks the name up
  std::string failure_;             // why there is no socket, until tried again
  std::uint64_t failedAt_ms_ = 0;
};

class Win32DatagramSocketFactory final : public DatagramSocketFactory {
 public:
  Win32DatagramSocketFactory();
  ~Win32DatagramSocketFactory() override;
  std::unique_ptr<DatagramSocket> open(const std::string& host, std::uint16_t port,
                                       std::string& error) override;
  std::string hostName() const override;
};

}  // namespace scantouch
