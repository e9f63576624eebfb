#include "web/websocket_frame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace scantouch {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A client's frame: masked with `mask`, as every client must.
Bytes ClientFrame(std::uint8_t first, const Bytes& payload, bool masked = true,
                  std::array<std::uint8_t, 4> mask = {0x37, 0xfa, 0x21, 0x3d}) {
  Bytes frame{first};
  const std::uint8_t maskBit = masked ? 0x80 : 0;
  if (payload.size() < 126) {
    frame.push_back(static_cast<std::uint8_t>(maskBit | payload.size()));
  } else {
    frame.push_back(maskBit | 126);
    frame.push_back(static_cast<std::uint8_t>(payload.size() >> 8));
    frame.push_back(static_cast<std::uint8_t>(payload.size()));
  }
  if (masked)
    frame.insert(frame.end(), mask.begin(), mask.end());
  for (std::size_t i = 0; i < payload.size(); ++i)
    frame.push_back(masked ? payload[i] ^ mask[i % 4] : payload[i]);
  return frame;
}

TEST(WebSocketFrame, EncodesEachLengthFormAsTheRfcsExamples) {
  // RFC 6455, 5.7: an unmasked "Hello".
  EXPECT_EQ(EncodeWebSocketFrame(websocket_opcode::kText, Bytes{'H', 'e', 'l', 'l', 'o'}),
            (Bytes{0x81, 0x05, 'H', 'e', 'l', 'l', 'o'}));
  const Bytes k256(256, 7);
  const Bytes frame256 = EncodeWebSocketFrame(websocket_opcode::kBinary, k256);
  EXPECT_EQ(Bytes(frame256.begin(), frame256.begin() + 4), (Bytes{0x82, 0x7E, 0x01, 0x00}));
  EXPECT_EQ(frame256.size(), 260u);
  const Bytes k65536(65536, 7);
  const Bytes frame64k = EncodeWebSocketFrame(websocket_opcode::kBinary, k65536);
  EXPECT_EQ(Bytes(frame64k.begin(), frame64k.begin() + 10),
            (Bytes{0x82, 0x7F, 0, 0, 0, 0, 0, 1, 0, 0}));
  EXPECT_EQ(EncodeWebSocketClose(1000), (Bytes{0x88, 0x02, 0x03, 0xE8}));
}

TEST(WebSocketFrame, ReadsMaskedFramesInPiecesAndOneAfterAnother) {
  // RFC 6455, 5.7: a masked "Hello", then a ping whose payload goes back in the pong.
  Bytes bytes{0x81, 0x85, 0x37, 0xfa, 0x21, 0x3d, 0x7f, 0x9f, 0x4d, 0x51, 0x58};
  const Bytes ping = ClientFrame(0x89, Bytes{'p'});
  bytes.insert(bytes.end(), ping.begin(), ping.end());
  const Bytes big = ClientFrame(0x82, Bytes(300, 9));
  bytes.insert(bytes.end(), big.begin(), big.end());

  WebSocketFrameReader reader;
  std::vector<WebSocketFrame> frames;
  for (const std::uint8_t byte : bytes) {
    reader.take(std::span(&byte, 1));
    while (auto frame = reader.next())
      frames.push_back(*frame);
  }
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(frames[0].opcode, websocket_opcode::kText);
  EXPECT_EQ(frames[0].payload, (Bytes{'H', 'e', 'l', 'l', 'o'}));
  EXPECT_EQ(frames[1].opcode, websocket_opcode::kPing);
  EXPECT_EQ(frames[1].payload, Bytes{'p'});
  EXPECT_EQ(frames[2].payload, Bytes(300, 9));
  EXPECT_FALSE(reader.fault());
}

TEST(WebSocketFrame, RefusesWhatAClientMayNotSend) {
  struct Case {
    Bytes frame;
    std::uint16_t code;
  };
  Bytes tooLong{0x82, 0xFF, 0, 0, 0, 0, 0, 1, 0, 1};  // 65 537 bytes announced
  const std::vector<Case> cases = {
      {ClientFrame(0x81, Bytes{'x'}, false), websocket_close::kProtocolError},  // unmasked
      {ClientFrame(0xC1, Bytes{'x'}), websocket_close::kProtocolError},         // RSV1
      {ClientFrame(0x83, Bytes{'x'}), websocket_close::kProtocolError},         // opcode 3
      {ClientFrame(0x09, Bytes{'x'}), websocket_close::kProtocolError},         // ping in parts
      {ClientFrame(0x89, Bytes(126, 1)), websocket_close::kProtocolError},      // long ping
      {tooLong, websocket_close::kTooBig},
  };
  for (const Case& c : cases) {
    WebSocketFrameReader reader;
    reader.take(c.frame);
    EXPECT_FALSE(reader.next());
    ASSERT_TRUE(reader.fault());
    EXPECT_EQ(reader.fault()->code, c.code);
    // Nothing is read after a fault.
    reader.take(ClientFrame(0x81, Bytes{'x'}));
    EXPECT_FALSE(reader.next());
  }
}

}  // namespace
}  // namespace scantouch
