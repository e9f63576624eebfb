// Whatever a client sends: the server answers it with HTTP or WebSocket frames of its own, reads at
// most 8 KiB of header and 64 KiB a frame, and never crashes. The input is what one client sends,
// cut into the pieces it arrives in by its first byte; the same bytes go through the request and
// frame readers on their own as well.

#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

#include "fake_stream_listener.h"
#include "toolkit/virtual_event_loop.h"
#include "web/http_request.h"
#include "web/web_server.h"
#include "web/websocket_frame.h"

namespace {

using namespace scantouch;

void Require(bool condition) {
  if (!condition)
    std::abort();
}

constexpr std::string_view kPage = "<!doctype html>";

void ReadAlone(std::span<const std::uint8_t> bytes) {
  HttpRequestReader request;
  const auto state = request.take(bytes);
  if (state == HttpRequestReader::State::refused) {
    const int status = request.refusal().status;
    Require(status == 400 || status == 431 || status == 505);
  } else if (state == HttpRequestReader::State::complete) {
    Require(bytes.size() - request.rest().size() <= HttpRequestReader::kMaxHeaderBytes);
    Require(!request.request().method.empty() && !request.request().path.empty());
  }

  WebSocketFrameReader frames;
  frames.take(bytes);
  std::size_t read = 0;
  while (const auto frame = frames.next()) {
    Require(frame->payload.size() <= WebSocketFrameReader::kMaxFrameBytes);
    read += frame->payload.size();
    Require(read <= bytes.size());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0)
    return 0;
  const std::size_t piece = 1 + data[0] % 64;
  const std::span<const std::uint8_t> bytes(data + 1, size - 1);
  ReadAlone(bytes);

  VirtualEventLoop loop;
  testing::FakeStreamListenerFactory sockets;
  WebServer server(loop, sockets);
  server.addResource("/", "text/html", kPage);
  const auto channel = server.addChannel({"/", "/tuio"});
  std::string error;
  Require(server.start({"127.0.0.1", 3343}, error));

  testing::FakeStreamConnection* stream = nullptr;
  const auto peer = sockets.connect(&stream);
  for (std::size_t at = 0; at < bytes.size() && !peer->closed && !peer->dropped; at += piece) {
    const std::span<const std::uint8_t> part =
        bytes.subspan(at, std::min(piece, bytes.size() - at));
    stream->receive(std::string(part.begin(), part.end()));
    const std::uint8_t bundle[] = {'#', 'b', 'u', 'n', 'd', 'l', 'e', 0};
    server.broadcast(channel, websocket_opcode::kBinary, bundle);
    loop.yield();
  }
  loop.advance(WebServer::kRequestTimeout_ms + WebServer::kHousekeeping_ms);
  // Every client gets an answer of HTTP first, and a request never waits longer than allowed.
  Require(peer->written.empty() || peer->written.rfind("HTTP/1.1 ", 0) == 0);
  Require(peer->closed || peer->dropped || peer->written.rfind("HTTP/1.1 101 ", 0) == 0);
  return 0;
}
