#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "web/http_request.h"

namespace scantouch {

// The Sec-WebSocket-Accept value for a client's key (RFC 6455, section 4.2.2): base64 of the
// SHA-1 of the key followed by the protocol's own GUID.
std::string WebSocketAccept(std::string_view key);

// Whether the request asks to become a WebSocket ("Upgrade: websocket").
bool AsksForWebSocket(const HttpRequest& request);

// What is wrong with a request that asks for a WebSocket, or nothing when it may have one: a GET
// of HTTP/1.1 or later, "Connection: Upgrade", version 13, and a key that is base64 of 16 bytes.
std::optional<HttpRefusal> CheckWebSocketRequest(const HttpRequest& request);

// The server's answer that opens the WebSocket of a request CheckWebSocketRequest let through.
std::string WebSocketHandshakeAnswer(const HttpRequest& request);

}  // namespace scantouch
