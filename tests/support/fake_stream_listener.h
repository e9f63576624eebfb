#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "web/stream_listener.h"

namespace scantouch::testing {

// A client's end of a fake connection: what the server wrote, and whether it closed.
struct FakePeer {
  std::string written;
  bool closed = false;     // close(): sent what was queued, then closed
  bool dropped = false;    // destroyed without close()
  std::size_t queued = 0;  // bytes the "system" has not taken yet: bytesToWrite()
  bool accepting = true;   // write() succeeds
  bool stalled = false;    // what is written stays queued: the client reads nothing
};

class FakeStreamConnection final : public StreamConnection {
 public:
  FakeStreamConnection(std::shared_ptr<FakePeer> peer, std::string address)
      : peer_(std::move(peer)), address_(std::move(address)) {}
  ~FakeStreamConnection() override {
    if (!peer_->closed)
      peer_->dropped = true;
  }

  // The client sends `bytes`; the server hears of them as from the platform.
  void receive(const std::string& bytes) {
    inbox_.insert(inbox_.end(), bytes.begin(), bytes.end());
    dataArrived.notify();
  }

  std::vector<std::uint8_t> readAll() override { return std::exchange(inbox_, {}); }
  bool write(std::span<const std::uint8_t> bytes) override {
    if (peer_->closed || !peer_->accepting)
      return false;
    peer_->written.append(bytes.begin(), bytes.end());
    if (peer_->stalled)
      peer_->queued += bytes.size();
    return true;
  }
  std::size_t bytesToWrite() const override { return peer_->queued; }
  void close() override { peer_->closed = true; }
  std::string peer() const override { return address_; }

 private:
  std::shared_ptr<FakePeer> peer_;
  std::string address_;
  std::vector<std::uint8_t> inbox_;
};

class FakeStreamListener final : public StreamListener {
 public:
  struct Shared {
    bool refuse = false;  // listen() fails, as with a port in use
    std::string host;
    std::uint16_t port = 0;
    std::deque<std::unique_ptr<FakeStreamConnection>> pending;
    FakeStreamListener* current = nullptr;
  };

  explicit FakeStreamListener(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}
  ~FakeStreamListener() override {
    if (shared_->current == this)
      shared_->current = nullptr;
  }

  bool listen(const std::string& host, std::uint16_t port, std::string& error) override {
    if (shared_->refuse) {
      error = "address in use";
      return false;
    }
    shared_->host = host;
    shared_->port = port;
    shared_->current = this;
    return true;
  }
  std::uint16_t port() const override { return shared_->port; }
  std::unique_ptr<StreamConnection> nextPending() override {
    if (shared_->pending.empty())
      return nullptr;
    auto next = std::move(shared_->pending.front());
    shared_->pending.pop_front();
    return next;
  }

 private:
  std::shared_ptr<Shared> shared_;
};

// Makes fake listeners and lets a test connect clients to the one listening.
class FakeStreamListenerFactory final : public StreamListenerFactory {
 public:
  std::unique_ptr<StreamListener> create() override {
    return std::make_unique<FakeStreamListener>(shared_);
  }

  // A client connects; returns its end and the server's connection (owned by the server once
  // accepted; valid while the server keeps it).
  std::shared_ptr<FakePeer> connect(FakeStreamConnection** connection = nullptr) {
    auto peer = std::make_shared<FakePeer>();
    auto stream = std::make_unique<FakeStreamConnection>(
        peer, "127.0.0.1:" + std::to_string(40000 + ++clients_));
    if (connection != nullptr)
      *connection = stream.get();
    shared_->pending.push_back(std::move(stream));
    if (shared_->current != nullptr)
      shared_->current->newConnection.notify();
    return peer;
  }

  FakeStreamListener::Shared& shared() { return *shared_; }

 private:
  std::shared_ptr<FakeStreamListener::Shared> shared_ =
      std::make_shared<FakeStreamListener::Shared>();
  int clients_ = 0;
};

}  // namespace scantouch::testing
