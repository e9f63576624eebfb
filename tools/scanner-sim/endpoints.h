#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace scanner_sim {

// Where the simulator talks to the program: a TCP server that takes one client at a time, or a
// pseudo-terminal. Non-blocking throughout; what cannot be written at once is lost, as bytes on
// a line nobody reads are.
class Endpoint {
 public:
  virtual ~Endpoint() = default;
  // The descriptors to wait on.
  virtual std::vector<int> fds() const = 0;
  // Called when a descriptor is readable; returns the bytes received, accepting clients first.
  virtual std::vector<std::uint8_t> receive(int fd) = 0;
  virtual void send(const std::vector<std::uint8_t>& bytes) = 0;
  // A program is there to talk to.
  virtual bool linked() const = 0;
  // Drops the connection (TCP: the client; the terminal: the terminal itself).
  virtual void hangUp() = 0;
  // Set when the link went away since the last call (the client left).
  virtual bool takeHangUp() = 0;
};

class TcpEndpoint final : public Endpoint {
 public:
  // Listens on 127.0.0.1:port; throws std::runtime_error when it cannot.
  explicit TcpEndpoint(int port);
  ~TcpEndpoint() override;
  std::vector<int> fds() const override;
  std::vector<std::uint8_t> receive(int fd) override;
  void send(const std::vector<std::uint8_t>& bytes) override;
  bool linked() const override { return client_ >= 0; }
  void hangUp() override;
  bool takeHangUp() override;

 private:
  int listener_ = -1;
  int client_ = -1;
  bool hungUp_ = false;
};

class PtyEndpoint final : public Endpoint {
 public:
  // Creates a pseudo-terminal in raw mode and a link to it at `linkPath`; throws on failure.
  explicit PtyEndpoint(std::string linkPath);
  ~PtyEndpoint() override;
  std::vector<int> fds() const override;
  std::vector<std::uint8_t> receive(int fd) override;
  void send(const std::vector<std::uint8_t>& bytes) override;
  bool linked() const override { return master_ >= 0; }
  void hangUp() override;
  bool takeHangUp() override;

 private:
  std::string linkPath_;
  int master_ = -1;
  int slave_ = -1;  // held open so the terminal stays usable between the program's opens
  bool hungUp_ = false;
};

}  // namespace scanner_sim
