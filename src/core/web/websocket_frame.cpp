#include "web/websocket_frame.h"

#include <algorithm>

namespace scantouch {

std::vector<std::uint8_t> EncodeWebSocketFrame(std::uint8_t opcode,
                                               std::span<const std::uint8_t> payload) {
  std::vector<std::uint8_t> frame;
  frame.reserve(payload.size() + 10);
  frame.push_back(static_cast<std::uint8_t>(0x80 | (opcode & 0x0F)));
  const std::uint64_t size = payload.size();
  if (size < 126) {
    frame.push_back(static_cast<std::uint8_t>(size));
  } else if (size <= 0xFFFF) {
    frame.push_back(126);
    frame.push_back(static_cast<std::uint8_t>(size >> 8));
    frame.push_back(static_cast<std::uint8_t>(size));
  } else {
    frame.push_back(127);
    for (int shift = 56; shift >= 0; shift -= 8)
      frame.push_back(static_cast<std::uint8_t>(size >> shift));
  }
  frame.insert(frame.end(), payload.begin(), payload.end());
  return frame;
}

std::vector<std::uint8_t> EncodeWebSocketClose(std::uint16_t code, std::string_view reason) {
  std::vector<std::uint8_t> payload{static_cast<std::uint8_t>(code >> 8),
                                    static_cast<std::uint8_t>(code)};
  // A control frame carries at most 125 bytes. A cut may split a character; the reasons sent
  // here are short ASCII.
  reason = reason.substr(0, 123);
  payload.insert(payload.end(), reason.begin(), reason.end());
  return EncodeWebSocketFrame(websocket_opcode::kClose, payload);
}

void WebSocketFrameReader::take(std::span<const std::uint8_t> bytes) {
  if (fault_)
    return;
  // What was read goes before new bytes come, so the buffer holds at most one frame and a bit.
  if (read_ > 0) {
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(read_));
    read_ = 0;
  }
  buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
}

std::optional<WebSocketFrame> WebSocketFrameReader::next() {
  using namespace websocket_opcode;
  if (fault_)
    return std::nullopt;
  const std::span<const std::uint8_t> rest = std::span(buffer_).subspan(read_);
  if (rest.size() < 2)
    return std::nullopt;
  const bool final = (rest[0] & 0x80) != 0;
  const std::uint8_t opcode = rest[0] & 0x0F;
  if ((rest[0] & 0x70) != 0)
    return fail(websocket_close::kProtocolError, "a frame with reserved bits set");
  if ((rest[1] & 0x80) == 0)
    return fail(websocket_close::kProtocolError, "an unmasked frame from a client");
  const bool control = (opcode & 0x08) != 0;
  if ((opcode > kBinary && opcode < kClose) || opcode > kPong)
    return fail(websocket_close::kProtocolError, "a frame of an unknown kind");

  std::size_t at = 2;
  std::uint64_t size = rest[1] & 0x7F;
  if (size == 126 || size == 127) {
    const std::size_t lengthBytes = size == 126 ? 2 : 8;
    if (rest.size() < at + lengthBytes)
      return std::nullopt;
    size = 0;
    for (std::size_t i = 0; i < lengthBytes; ++i)
      size = size << 8 | rest[at + i];
    at += lengthBytes;
  }
  if (control && (size > 125 || !final))
    return fail(websocket_close::kProtocolError, "a control frame too long or in parts");
  if (size > kMaxFrameBytes)
    return fail(websocket_close::kTooBig, "a frame longer than 64 KiB");
  if (rest.size() < at + 4 + size)
    return std::nullopt;

  const std::span<const std::uint8_t> mask = rest.subspan(at, 4);
  at += 4;
  WebSocketFrame frame;
  frame.opcode = opcode;
  frame.final = final;
  frame.payload.resize(static_cast<std::size_t>(size));
  for (std::size_t i = 0; i < size; ++i)
    frame.payload[i] = rest[at + i] ^ mask[i % 4];
  read_ += at + static_cast<std::size_t>(size);
  return frame;
}

std::optional<WebSocketFrame> WebSocketFrameReader::fail(std::uint16_t code, std::string reason) {
  fault_ = WebSocketFault{code, std::move(reason)};
  buffer_.clear();
  buffer_.shrink_to_fit();
  read_ = 0;
  return std::nullopt;
}

}  // namespace scantouch
