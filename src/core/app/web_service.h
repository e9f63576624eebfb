#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "common/program_log.h"
#include "toolkit/event_loop.h"
#include "toolkit/label.h"
#include "web/web_server.h"

namespace scantouch {

// The program's web service, as "网页服务" sets it: the status page and its script, tuio.js for
// web content, TUIO over WebSocket and the status messages, on one port. Off while the setting
// is empty; the label tells the address to open, or why nothing listens.
class WebService {
 public:
  // Status messages go at most this often, and only while a page listens.
  static constexpr std::int64_t kStatusInterval_ms = 100;
  // What the label says while the setting is empty: how to fill it.
  static constexpr const char* kOffCaption = "如 0.0.0.0:3343，空为不开";

  // `statusJson` makes a status message; `machine` is this computer's name for the address shown
  // when the service listens on every address.
  WebService(EventLoop& loop, StreamListenerFactory& listeners, Label& status,
             std::function<std::string()> statusJson, std::string machine);
  ~WebService();
  WebService(const WebService&) = delete;
  WebService& operator=(const WebService&) = delete;

  void setLog(ProgramLog* log);

  // Takes the setting's text: listens there, or stops when it is empty or cannot be used.
  void apply(const std::string& text);
  bool listening() const { return server_.listening(); }
  std::uint16_t port() const { return server_.port(); }

  // One TUIO bundle for every TUIO listener, as the UDP targets get it.
  void sendTuio(std::span<const std::uint8_t> bundle);
  // Closes every connection, telling listeners that the program goes away.
  void stop();

  const WebServer& server() const { return server_; }

 private:
  void onStatusTick();

  EventLoop& loop_;
  Label& status_;
  std::function<std::string()> statusJson_;
  std::string machine_;
  OnceReports reports_;
  WebServer server_;
  WebServer::ChannelId tuio_ = 0;
  WebServer::ChannelId statusChannel_ = 0;
  std::string text_;
  std::optional<EventLoop::TimerId> statusTimer_;
};

}  // namespace scantouch
