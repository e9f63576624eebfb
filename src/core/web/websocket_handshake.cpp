#include "web/websocket_handshake.h"

#include "web/base64.h"
#include "web/sha1.h"

namespace scantouch {
namespace {

constexpr std::string_view kGuid = "258EAFA5-E914-47DA-95CA-C5AB0DC85B11";

}  // namespace

std::string WebSocketAccept(std::string_view key) {
  std::string keyed(key);
  keyed += kGuid;
  return EncodeBase64(Sha1(keyed));
}

bool AsksForWebSocket(const HttpRequest& request) {
  return request.fieldHasToken("upgrade", "websocket");
}

std::optional<HttpRefusal> CheckWebSocketRequest(const HttpRequest& request) {
  if (request.minorVersion < 1)
    return HttpRefusal{400, "a WebSocket request of HTTP/1.0"};
  if (!request.fieldHasToken("connection", "upgrade"))
    return HttpRefusal{400, "a WebSocket request without \"Connection: Upgrade\""};
  if (request.field("sec-websocket-version") != "13")
    return HttpRefusal{426, "a WebSocket version other than 13"};
  const std::optional<std::string> key = request.field("sec-websocket-key");
  if (!key)
    return HttpRefusal{400, "a WebSocket request without a key"};
  const auto decoded = DecodeBase64(*key);
  if (!decoded || decoded->size() != 16)
    return HttpRefusal{400, "a malformed WebSocket key"};
  return std::nullopt;
}

std::string WebSocketHandshakeAnswer(const HttpRequest& request) {
  return "HTTP/1.1 101 Switching Protocols\r\n"
         "Upgrade: websocket\r\n"
         "Connection: Upgrade\r\n"
         "Sec-WebSocket-Accept: " +
         WebSocketAccept(request.field("sec-websocket-key").value_or("")) + "\r\n\r\n";
}

}  // namespace scantouch
