#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace scantouch {

// WebSocket frames (RFC 6455, section 5) as this server sends and reads them: it sends whole
// messages in single unmasked frames, and reads a client's frames only to answer pings and
// closes; what a client sends as data is read and ignored.
namespace websocket_opcode {
inline constexpr std::uint8_t kContinuation = 0x0;
inline constexpr std::uint8_t kText = 0x1;
inline constexpr std::uint8_t kBinary = 0x2;
inline constexpr std::uint8_t kClose = 0x8;
inline constexpr std::uint8_t kPing = 0x9;
inline constexpr std::uint8_t kPong = 0xA;
}  // namespace websocket_opcode

// Close codes (section 7.4.1).
namespace websocket_close {
inline constexpr std::uint16_t kNormal = 1000;
inline constexpr std::uint16_t kGoingAway = 1001;
inline constexpr std::uint16_t kProtocolError = 1002;
inline constexpr std::uint16_t kTooBig = 1009;
inline constexpr std::uint16_t kTryAgainLater = 1013;
}  // namespace websocket_close

// One final, unmasked frame of `opcode` carrying `payload`, as a server sends it.
std::vector<std::uint8_t> EncodeWebSocketFrame(std::uint8_t opcode,
                                               std::span<const std::uint8_t> payload);
// A close frame with `code` and a short reason (at most 123 bytes of it are sent).
std::vector<std::uint8_t> EncodeWebSocketClose(std::uint16_t code, std::string_view reason = {});

struct WebSocketFrame {
  std::uint8_t opcode = 0;
  bool final = true;
  std::vector<std::uint8_t> payload;  // unmasked
};

// Why a client's frames are refused: the close code to send, and what to tell the log.
struct WebSocketFault {
  std::uint16_t code = websocket_close::kProtocolError;
  std::string reason;
};

// Reads a client's frames from the bytes of its connection as they come. Every frame from a
// client must be masked (section 5.1), reserved bits clear (no extension was agreed), control
// frames short and whole; no frame may be longer than kMaxFrameBytes, which is far more than a
// client of this server has to say.
class WebSocketFrameReader {
 public:
  static constexpr std::size_t kMaxFrameBytes = 64 * 1024;

  void take(std::span<const std::uint8_t> bytes);
  // The next whole frame, or nothing while more bytes are needed or after a fault.
  std::optional<WebSocketFrame> next();
  const std::optional<WebSocketFault>& fault() const { return fault_; }

 private:
  std::optional<WebSocketFrame> fail(std::uint16_t code, std::string reason);

  std::vector<std::uint8_t> buffer_;
  std::size_t read_ = 0;  // bytes of buffer_ already taken as frames
  std::optional<WebSocketFault> fault_;
};

}  // namespace scantouch
