#include "web/web_server.h"

#include <algorithm>
#include <utility>

#include "web/http_response.h"
#include "web/websocket_handshake.h"

namespace scantouch {

WebServer::WebServer(EventLoop& loop, StreamListenerFactory& listeners)
    : loop_(loop), listenerFactory_(listeners) {}

WebServer::~WebServer() {
  stop();
}

void WebServer::addResource(std::string path, std::string contentType, std::string_view body) {
  resources_[std::move(path)] = Resource{std::move(contentType), body};
}

WebServer::ChannelId WebServer::addChannel(std::vector<std::string> paths) {
  channels_.push_back(std::move(paths));
  return channels_.size() - 1;
}

bool WebServer::start(const ListenAddress& address, std::string& error) {
  stop();
  auto listener = listenerFactory_.create();
  if (!listener->listen(address.host, address.port, error)) {
    const std::string where = address.host + ":" + std::to_string(address.port);
    reports_.report("listen\n" + where + "\n" + error,
                    "web service: cannot listen on " + where + ": " + error);
    return false;
  }
  listener_ = std::move(listener);
  listener_->newConnection.connect([this] { acceptPending(); });
  housekeepingTimer_ = loop_.startTimer(kHousekeeping_ms, [this] { housekeeping(); });
  return true;
}

void WebServer::stop() {
  if (!listener_)
    return;
  loop_.stopTimer(housekeepingTimer_);
  for (auto& [id, connection] : connections_) {
    if (connection->finished)
      continue;
    if (connection->webSocket)
      (void)connection->stream->write(EncodeWebSocketClose(websocket_close::kGoingAway));
    connection->stream->close();
  }
  connections_.clear();
  listener_.reset();
}

std::uint16_t WebServer::port() const {
  return listener_ ? listener_->port() : 0;
}

std::size_t WebServer::listeners(ChannelId channel) const {
  return static_cast<std::size_t>(
      std::count_if(connections_.begin(), connections_.end(), [channel](const auto& entry) {
        const Connection& c = *entry.second;
        return c.webSocket && !c.finished && c.channel == channel;
      }));
}

void WebServer::acceptPending() {
  while (std::unique_ptr<StreamConnection> stream = listener_->nextPending()) {
    if (connections_.size() >= kMaxConnections) {
      const std::string answer = HttpRefusalAnswer(503, "too many connections");
      (void)stream->write(BytesOf(answer));
      report("more than 64 connections at once: the newest are answered 503", stream->peer());
      stream->close();
      continue;
    }
    const std::uint64_t id = nextId_++;
    auto connection = std::make_unique<Connection>();
    connection->peer = stream->peer();
    connection->acceptedMs = loop_.nowMs();
    stream->dataArrived.connect([this, id] { onData(id); });
    stream->disconnected.connect([this, id] { finish(id, false); });
    connection->stream = std::move(stream);
    connections_[id] = std::move(connection);
  }
}

void WebServer::onData(std::uint64_t id) {
  const auto found = connections_.find(id);
  if (found == connections_.end() || found->second->finished)
    return;
  Connection& connection = *found->second;
  const std::vector<std::uint8_t> bytes = connection.stream->readAll();
  if (connection.webSocket) {
    readFrames(id, connection, bytes);
    return;
  }
  // After the answer nothing a client sends is read.
  if (connection.request.state() != HttpRequestReader::State::reading)
    return;
  switch (connection.request.take(bytes)) {
    case HttpRequestReader::State::reading:
      return;
    case HttpRequestReader::State::refused:
      refuse(id, connection, connection.request.refusal().status,
             connection.request.refusal().reason);
      return;
    case HttpRequestReader::State::complete:
      answer(id, connection);
      return;
  }
}

void WebServer::answer(std::uint64_t id, Connection& connection) {
  const HttpRequest& request = connection.request.request();
  if (request.method != "GET") {
    refuse(id, connection, 405, "a method other than GET");
    return;
  }
  if (AsksForWebSocket(request)) {
    const auto channel = std::find_if(channels_.begin(), channels_.end(), [&](const auto& paths) {
      return std::find(paths.begin(), paths.end(), request.path) != paths.end();
    });
    if (channel == channels_.end()) {
      refuse(id, connection, 404, "a WebSocket on a path that is not served");
      return;
    }
    if (const auto refusal = CheckWebSocketRequest(request)) {
      refuse(id, connection, refusal->status, refusal->reason);
      return;
    }
    const std::size_t all = static_cast<std::size_t>(std::count_if(
        connections_.begin(), connections_.end(),
        [](const auto& entry) { return entry.second->webSocket && !entry.second->finished; }));
    if (all >= kMaxListeners) {
      refuse(id, connection, 503, "more than 32 WebSocket listeners");
      return;
    }
    const std::string handshake = WebSocketHandshakeAnswer(request);
    if (!connection.stream->write(BytesOf(handshake))) {
      finish(id, false);
      return;
    }
    connection.webSocket = true;
    connection.channel = static_cast<ChannelId>(channel - channels_.begin());
    const auto rest = connection.request.rest();
    readFrames(id, connection, std::vector<std::uint8_t>(rest.begin(), rest.end()));
    return;
  }
  const auto resource = resources_.find(request.path);
  if (resource == resources_.end()) {
    refuse(id, connection, 404, "a path that is not served");
    return;
  }
  const std::string reply = HttpAnswer(200, resource->second.contentType, resource->second.body);
  (void)connection.stream->write(BytesOf(reply));
  finish(id, true);
}

void WebServer::readFrames(std::uint64_t id, Connection& connection,
                           std::span<const std::uint8_t> bytes) {
  using namespace websocket_opcode;
  connection.frames.take(bytes);
  while (std::optional<WebSocketFrame> frame = connection.frames.next()) {
    if (frame->opcode == kPing) {
      // A client that pings and reads nothing would have its pongs kept without end. Past the
      // queue's bound a ping goes unanswered; one that reads again gets a pong for its next (RFC
      // 6455 asks a pong for the latest ping only, 5.5.3).
      const std::vector<std::uint8_t> pong = EncodeWebSocketFrame(kPong, frame->payload);
      if (connection.stream->bytesToWrite() + pong.size() <= kQueueBytes)
        (void)connection.stream->write(pong);
    } else if (frame->opcode == kClose) {
      // The client's code goes back, as RFC 6455 asks (5.5.1); a close without one gets 1000.
      std::uint16_t code = websocket_close::kNormal;
      if (frame->payload.size() >= 2)
        code = static_cast<std::uint16_t>(frame->payload[0] << 8 | frame->payload[1]);
      (void)connection.stream->write(EncodeWebSocketClose(code));
      finish(id, true);
      return;
    }
    // What a client sends as data is not listened to: nothing on the network changes anything.
  }
  if (const auto& fault = connection.frames.fault()) {
    (void)connection.stream->write(EncodeWebSocketClose(fault->code, fault->reason));
    report("a WebSocket client sent " + fault->reason + ": closed", connection.peer);
    finish(id, true);
  }
}

void WebServer::refuse(std::uint64_t id, Connection& connection, int status,
                       const std::string& reason) {
  const std::string reply = HttpRefusalAnswer(status, reason);
  (void)connection.stream->write(BytesOf(reply));
  report(reason + ": answered " + std::to_string(status), connection.peer);
  finish(id, true);
}

void WebServer::finish(std::uint64_t id, bool flush) {
  const auto found = connections_.find(id);
  if (found == connections_.end() || found->second->finished)
    return;
  found->second->finished = true;
  if (flush)
    found->second->stream->close();
  // The stream may be telling of this event right now: it goes once the event is over.
  loop_.post([this, id, alive = std::weak_ptr<bool>(alive_)] {
    if (alive.lock())
      connections_.erase(id);
  });
}

void WebServer::broadcast(ChannelId channel, std::uint8_t opcode,
                          std::span<const std::uint8_t> payload) {
  std::vector<std::uint8_t> frame;
  const std::int64_t now = loop_.nowMs();
  for (auto& [id, connection] : connections_) {
    if (!connection->webSocket || connection->finished || connection->channel != channel)
      continue;
    if (frame.empty())
      frame = EncodeWebSocketFrame(opcode, payload);
    // A message goes whole or not at all: a client never sees part of one.
    if (connection->stream->bytesToWrite() + frame.size() > kQueueBytes) {
      ++dropped_;
      if (connection->behindSinceMs < 0)
        connection->behindSinceMs = now;
      report("a WebSocket listener that cannot keep up loses whole messages", connection->peer);
      continue;
    }
    connection->behindSinceMs = -1;
    if (!connection->stream->write(frame))
      finish(id, false);
  }
}

void WebServer::housekeeping() {
  const std::int64_t now = loop_.nowMs();
  for (auto& [id, connection] : connections_) {
    if (connection->finished)
      continue;
    if (!connection->webSocket &&
        connection->request.state() == HttpRequestReader::State::reading &&
        now - connection->acceptedMs >= kRequestTimeout_ms) {
      refuse(id, *connection, 408, "no whole request within 10 s");
    } else if (connection->webSocket && connection->behindSinceMs >= 0 &&
               now - connection->behindSinceMs >= kBehindTimeout_ms) {
      // Its queue is full: a goodbye would wait behind it, so the connection is dropped.
      report("a WebSocket listener that stayed behind for 5 s was closed", connection->peer);
      finish(id, false);
    }
  }
}

void WebServer::report(const std::string& cause, const std::string& peer) {
  reports_.report(cause, "web service: " + cause + " (first from " + peer + ")");
}

}  // namespace scantouch
