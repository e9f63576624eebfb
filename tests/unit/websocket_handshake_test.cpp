#include "web/websocket_handshake.h"

#include <gtest/gtest.h>

#include <string>

#include "web/base64.h"
#include "web/sha1.h"

namespace scantouch {
namespace {

std::string Hex(const std::array<std::uint8_t, 20>& digest) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  for (const std::uint8_t byte : digest) {
    out += kDigits[byte >> 4];
    out += kDigits[byte & 15];
  }
  return out;
}

TEST(Sha1, MatchesTheStandardsVectorsAcrossBlockBoundaries) {
  EXPECT_EQ(Hex(Sha1("")), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
  EXPECT_EQ(Hex(Sha1("abc")), "a9993e364706816aba3e25717850c26c9cd0d89d");
  // 56 bytes: the length no longer fits the block, so the padding takes a second one.
  EXPECT_EQ(Hex(Sha1("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
            "84983e441c3bd26ebaae4aa1f95129e5e54670f1");
  EXPECT_EQ(Hex(Sha1(std::string(1000000, 'a'))), "34aa973cd4c4daa4f61eeb2bdbad27316534016f");
}

TEST(Base64, RoundTripsEveryTailAndRefusesWhatIsNotBase64) {
  const std::string text = "any carnal pleasure.";
  for (std::size_t n = 0; n <= text.size(); ++n) {
    const std::vector<std::uint8_t> bytes(text.begin(), text.begin() + static_cast<long>(n));
    const std::string encoded = EncodeBase64(bytes);
    EXPECT_EQ(DecodeBase64(encoded), bytes) << encoded;
  }
  EXPECT_EQ(EncodeBase64(std::vector<std::uint8_t>{'a', 'n', 'y', ' ', 'c'}), "YW55IGM=");
  for (const char* bad : {"YW55IGM", "YW5=IGM=", "YW55 GM=", "YW55IGM==", "Y===", "YW55IGM\n"})
    EXPECT_FALSE(DecodeBase64(bad)) << bad;
}

HttpRequest UpgradeRequest(std::string key) {
  HttpRequest request;
  request.method = "GET";
  request.path = "/";
  request.fields = {{"host", "server.example.com"},
                    {"upgrade", "websocket"},
                    {"connection", "keep-alive, Upgrade"},
                    {"sec-websocket-key", std::move(key)},
                    {"sec-websocket-version", "13"}};
  return request;
}

TEST(WebSocketHandshake, AnswersTheRfcsOwnExample) {
  EXPECT_EQ(WebSocketAccept("dGhlIHNhbXBsZSBub25jZQ=="), "s3pPLMBiTxaQ9kYGzzhZRbK+xOo=");
  const HttpRequest request = UpgradeRequest("dGhlIHNhbXBsZSBub25jZQ==");
  ASSERT_TRUE(AsksForWebSocket(request));
  EXPECT_FALSE(CheckWebSocketRequest(request));
  EXPECT_EQ(WebSocketHandshakeAnswer(request),
            "HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
            "Sec-WebSocket-Accept: s3pPLMBiTxaQ9kYGzzhZRbK+xOo=\r\n\r\n");
}

TEST(WebSocketHandshake, RefusesAMissingOrMalformedKeyAndOtherVersions) {
  HttpRequest noKey = UpgradeRequest("");
  noKey.fields.erase(noKey.fields.begin() + 3);
  EXPECT_EQ(CheckWebSocketRequest(noKey)->status, 400);
  // Base64, but of 15 bytes; and not base64 at all.
  EXPECT_EQ(CheckWebSocketRequest(UpgradeRequest("dGhlIHNhbXBsZSBub25jZQ"))->status, 400);
  EXPECT_EQ(CheckWebSocketRequest(UpgradeRequest("dGhlIHNhbXBsZSBub25j"))->status, 400);
  EXPECT_EQ(CheckWebSocketRequest(UpgradeRequest("not a key at all, no!!!!"))->status, 400);

  HttpRequest version8 = UpgradeRequest("dGhlIHNhbXBsZSBub25jZQ==");
  version8.fields.back().second = "8";
  EXPECT_EQ(CheckWebSocketRequest(version8)->status, 426);
  HttpRequest noConnection = UpgradeRequest("dGhlIHNhbXBsZSBub25jZQ==");
  noConnection.fields[2].second = "keep-alive";
  EXPECT_EQ(CheckWebSocketRequest(noConnection)->status, 400);
}

}  // namespace
}  // namespace scantouch
