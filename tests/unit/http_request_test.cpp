#include "web/http_request.h"

#include <gtest/gtest.h>

#include <string>

#include "web/listen_address.h"

namespace scantouch {
namespace {

HttpRequestReader::State Feed(HttpRequestReader& reader, const std::string& text) {
  return reader.take(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

TEST(HttpRequestReader, ReadsARequestThatComesByteByByte) {
  const std::string text =
      "GET /status?x=1 HTTP/1.1\r\nHost: 127.0.0.1:3343\r\nUpgrade:  websocket \r\n"
      "Connection: keep-alive\r\nCONNECTION: Upgrade\r\n\r\nearly";
  HttpRequestReader reader;
  for (std::size_t i = 0; i + 6 < text.size(); ++i)
    ASSERT_EQ(Feed(reader, text.substr(i, 1)), HttpRequestReader::State::reading) << i;
  ASSERT_EQ(Feed(reader, text.substr(text.size() - 6)), HttpRequestReader::State::complete);
  const HttpRequest& request = reader.request();
  EXPECT_EQ(request.method, "GET");
  EXPECT_EQ(request.path, "/status");
  EXPECT_EQ(request.query, "x=1");
  EXPECT_EQ(request.field("upgrade"), "websocket");
  EXPECT_EQ(request.field("connection"), "keep-alive, Upgrade");
  EXPECT_TRUE(request.fieldHasToken("connection", "upgrade"));
  EXPECT_FALSE(request.fieldHasToken("connection", "close"));
  EXPECT_EQ(std::string(reader.rest().begin(), reader.rest().end()), "early");
}

TEST(HttpRequestReader, RefusesWhatIsNotARequestAndHeadersOver8KiB) {
  struct Case {
    std::string text;
    int status;
  };
  const std::vector<Case> cases = {
      {"\x16\x03\x01\x02\x05\x01\x05\x01\xfc\x03\x03\r\n", 400},  // a TLS hello
      {"hello there\r\n", 400},
      {"GET / HTTP/2.0\r\n\r\n", 505},
      {"GET\t/ HTTP/1.1\r\n\r\n", 400},
      {"GET / HTTP/1.1\r\nno colon here\r\n\r\n", 400},
      {"GET ?x HTTP/1.1\r\n\r\n", 400},
      {"GET * HTTP/1.1\r\n\r\n", 400},
      {"GET / HTTP/1.1\r\n folded: line\r\n\r\n", 400},
      {"GET / HTTP/1.1\r\nX: " + std::string(9000, 'a'), 431},
      {"GET / HTTP/1.1\r\nX: " + std::string(8180, 'a') + "\r\n\r\n", 431},
  };
  for (const Case& c : cases) {
    HttpRequestReader reader;
    EXPECT_EQ(Feed(reader, c.text), HttpRequestReader::State::refused) << c.text.substr(0, 30);
    EXPECT_EQ(reader.refusal().status, c.status) << c.text.substr(0, 30);
  }
  // Just under the limit is fine.
  HttpRequestReader reader;
  EXPECT_EQ(Feed(reader, "GET / HTTP/1.1\r\nX: " + std::string(8150, 'a') + "\r\n\r\n"),
            HttpRequestReader::State::complete);
}

TEST(HttpRequestReader, TakesTheAbsoluteFormsPath) {
  for (const auto& [target, path] :
       std::vector<std::pair<std::string, std::string>>{{"http://wall:3343/status?x", "/status"},
                                                        {"HTTP://wall:3343", "/"},
                                                        {"http://wall?y", "/"}}) {
    HttpRequestReader reader;
    ASSERT_EQ(Feed(reader, "GET " + target + " HTTP/1.1\r\n\r\n"),
              HttpRequestReader::State::complete);
    EXPECT_EQ(reader.request().path, path) << target;
  }
}

TEST(ListenAddress, ReadsHostAndPortAndSaysWhatIsWrong) {
  EXPECT_EQ(std::get<ListenAddress>(ParseListenAddress(" 0.0.0.0:3343 ")),
            (ListenAddress{"0.0.0.0", 3343}));
  EXPECT_EQ(std::get<ListenAddress>(ParseListenAddress("[::1]:80")), (ListenAddress{"::1", 80}));
  for (const char* bad : {"3343", ":3343", "host:", "host:0", "host:65536", "::1:80", "a b:1"})
    EXPECT_TRUE(std::holds_alternative<std::string>(ParseListenAddress(bad))) << bad;
  EXPECT_EQ(BrowserAddress({"0.0.0.0", 3343}, "wall-pc"), "http://wall-pc:3343/");
  EXPECT_EQ(BrowserAddress({"::1", 3343}, "wall-pc"), "http://[::1]:3343/");
}

}  // namespace
}  // namespace scantouch
