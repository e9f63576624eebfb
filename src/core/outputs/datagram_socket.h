#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace scantouch {

// A UDP socket connected to one receiver. Connected, so that a receiver that refuses (an ICMP
// "port unreachable" coming back) shows as an error on a later send.
class DatagramSocket {
 public:
  virtual ~DatagramSocket() = default;
  // Hands one datagram to the system without waiting. False with a reason in `error` when it
  // could not, or when the receiver refused an earlier datagram.
  virtual bool send(std::span<const std::uint8_t> datagram, std::string& error) = 0;
};

class DatagramSocketFactory {
 public:
  virtual ~DatagramSocketFactory() = default;
  // A socket to `host`:`port`, or nullptr with a reason in `error`. It never waits for a name
  // server: a name that still has to be looked up is looked up in the background, and a name
  // that turns out unknown comes back as the error of a later send.
  virtual std::unique_ptr<DatagramSocket> open(const std::string& host, std::uint16_t port,
                                               std::string& error) = 0;
  // This machine's name on the network, or one of its addresses, by which receivers tell it from
  // other senders; empty when the system will not say.
  virtual std::string hostName() const = 0;
};

}  // namespace scantouch
