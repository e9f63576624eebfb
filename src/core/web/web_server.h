#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/program_log.h"
#include "toolkit/event_loop.h"
#include "web/http_request.h"
#include "web/listen_address.h"
#include "web/stream_listener.h"
#include "web/websocket_frame.h"

namespace scantouch {

// A small HTTP server on one port: built-in resources for GET, and WebSocket channels that the
// program broadcasts to. It serves nothing from disk and changes nothing: every request is
// answered once and the connection closed, unless it becomes a WebSocket, which only listens.
//
// Whatever a client does, the program goes on: a request is read up to 8 KiB of header and for
// at most kRequestTimeout_ms; connections and listeners are limited in number; a listener whose
// queue is full loses whole messages and is closed when it stays behind for kBehindTimeout_ms.
// Each kind of trouble is told to the log once.
class WebServer {
 public:
  static constexpr std::size_t kMaxConnections = 64;
  static constexpr std::size_t kMaxListeners = 32;  // WebSocket listeners of all channels
  static constexpr std::size_t kQueueBytes = 256 * 1024;
  static constexpr std::int64_t kRequestTimeout_ms = 10'000;
  static constexpr std::int64_t kBehindTimeout_ms = 5'000;
  static constexpr std::int64_t kHousekeeping_ms = 1'000;

  using ChannelId = std::size_t;

  WebServer(EventLoop& loop, StreamListenerFactory& listeners);
  ~WebServer();
  WebServer(const WebServer&) = delete;
  WebServer& operator=(const WebServer&) = delete;

  void setLog(ProgramLog* log) { reports_.setLog(log); }

  // `body` is served at `path` as `contentType`; it is kept by reference, so it must outlive
  // the server (the program's built-in texts do).
  void addResource(std::string path, std::string contentType, std::string_view body);
  // A WebSocket channel on each of `paths`.
  ChannelId addChannel(std::vector<std::string> paths);

  // Listens at `address`; false with the reason in `error` (also told to the log).
  bool start(const ListenAddress& address, std::string& error);
  // Closes every connection and stops listening.
  void stop();
  bool listening() const { return listener_ != nullptr; }
  std::uint16_t port() const;

  // Sends `payload` as one message of `opcode` (text or binary) to every listener of `channel`.
  void broadcast(ChannelId channel, std::uint8_t opcode, std::span<const std::uint8_t> payload);
  std::size_t listeners(ChannelId channel) const;
  std::size_t connections() const { return connections_.size(); }
  // Messages lost by listeners that could not keep up, since start.
  std::uint64_t droppedMessages() const { return dropped_; }

 private:
  struct Resource {
    std::string contentType;
    std::string_view body;
  };
  struct Connection {
    std::unique_ptr<StreamConnection> stream;
    std::string peer;
    std::int64_t acceptedMs = 0;
    HttpRequestReader request;
    bool webSocket = false;
    ChannelId channel = 0;
    WebSocketFrameReader frames;
    std::int64_t behindSinceMs = -1;  // since when messages are lost, or -1
    bool finished = false;            // closed; the record goes after the current event
  };

  void acceptPending();
  void onData(std::uint64_t id);
  void answer(std::uint64_t id, Connection& connection);
  void readFrames(std::uint64_t id, Connection& connection, std::span<const std::uint8_t> bytes);
  void refuse(std::uint64_t id, Connection& connection, int status, const std::string& reason);
  // Closes after what is queued, or at once; the record goes after the current event.
  void finish(std::uint64_t id, bool flush);
  void housekeeping();
  void report(const std::string& cause, const std::string& peer);

  EventLoop& loop_;
  StreamListenerFactory& listenerFactory_;
  OnceReports reports_;
  std::map<std::string, Resource, std::less<>> resources_;
  std::vector<std::vector<std::string>> channels_;
  std::unique_ptr<StreamListener> listener_;
  std::map<std::uint64_t, std::unique_ptr<Connection>> connections_;
  std::uint64_t nextId_ = 1;
  std::uint64_t dropped_ = 0;
  EventLoop::TimerId housekeepingTimer_ = 0;
  // Events posted by the server check this first: they may run after it is gone.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace scantouch
