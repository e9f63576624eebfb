#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "outputs/datagram_socket.h"

namespace scantouch::testing {

// Sockets that remember every datagram, in order, with the "host:port" it went to, instead of
// sending it. Hosts can be made unknown and targets made to fail every send.
class RecordingDatagramSockets final : public DatagramSocketFactory {
 public:
  struct Sent {
    std::string target;
    std::vector<std::uint8_t> bytes;
  };

  std::unique_ptr<DatagramSocket> open(const std::string& host, std::uint16_t port,
                                       std::string& error) override {
    if (unknownHosts.contains(host)) {
      error = "host not found";
      return nullptr;
    }
    const std::string target = host + ":" + std::to_string(port);
    opened.push_back(target);
    return std::make_unique<Socket>(*this, target);
  }

  std::string hostName() const override { return thisHost; }

  // What went to one target.
  std::vector<std::vector<std::uint8_t>> sentTo(const std::string& target) const {
    std::vector<std::vector<std::uint8_t>> datagrams;
    for (const Sent& datagram : sent) {
      if (datagram.target == target)
        datagrams.push_back(datagram.bytes);
    }
    return datagrams;
  }

  std::vector<Sent> sent;                     // datagrams that went out
  std::vector<std::string> opened;            // every socket opened, as host:port
  std::set<std::string> unknownHosts;         // open() fails for these
  std::map<std::string, std::string> refuse;  // host:port -> the error of every send there
  int socketsAlive = 0;
  std::string thisHost = "wall-1";  // the name this machine goes by

 private:
  class Socket final : public DatagramSocket {
   public:
    Socket(RecordingDatagramSockets& owner, std::string target)
        : owner_(owner), target_(std::move(target)) {
      ++owner_.socketsAlive;
    }
    ~Socket() override { --owner_.socketsAlive; }
    bool send(std::span<const std::uint8_t> datagram, std::string& error) override {
      if (const auto refusal = owner_.refuse.find(target_); refusal != owner_.refuse.end()) {
        error = refusal->second;
        return false;
      }
      owner_.sent.push_back(
          Sent{target_, std::vector<std::uint8_t>(datagram.begin(), datagram.end())});
      return true;
    }

   private:
    RecordingDatagramSockets& owner_;
    std::string target_;
  };
};

}  // namespace scantouch::testing
