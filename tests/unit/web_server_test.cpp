#include "web/web_server.h"

#include <gtest/gtest.h>

#include <string>

#include "fake_stream_listener.h"
#include "recording_log.h"
#include "toolkit/virtual_event_loop.h"

namespace scantouch {
namespace {

using testing::FakePeer;
using testing::FakeStreamConnection;
using testing::FakeStreamListenerFactory;
using testing::RecordingLog;

constexpr std::string_view kPage = "<!doctype html><title>status</title>";

const std::string kUpgrade =
    "GET /tuio HTTP/1.1\r\nHost: x\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
    "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n";

class WebServerTest : public ::testing::Test {
 protected:
  WebServerTest() {
    server.setLog(&log);
    server.addResource("/", "text/html; charset=utf-8", kPage);
    tuio = server.addChannel({"/", "/tuio"});
    status = server.addChannel({"/status"});
    std::string error;
    EXPECT_TRUE(server.start({"127.0.0.1", 3343}, error));
  }

  // A client that sent `request`; the events posted by the server have run.
  std::shared_ptr<FakePeer> ask(const std::string& request,
                                FakeStreamConnection** stream = nullptr) {
    FakeStreamConnection* connection = nullptr;
    auto peer = sockets.connect(&connection);
    connection->receive(request);
    loop.yield();
    if (stream != nullptr)
      *stream = peer->closed || peer->dropped ? nullptr : connection;
    return peer;
  }

  std::shared_ptr<FakePeer> listener(FakeStreamConnection** stream = nullptr) {
    auto peer = ask(kUpgrade, stream);
    EXPECT_EQ(peer->written.substr(0, 12), "HTTP/1.1 101");
    peer->written.clear();
    return peer;
  }

  void send(const std::string& text) {
    server.broadcast(tuio, websocket_opcode::kBinary,
                     std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  }

  VirtualEventLoop loop;
  FakeStreamListenerFactory sockets;
  RecordingLog log;
  WebServer server{loop, sockets};
  WebServer::ChannelId tuio = 0;
  WebServer::ChannelId status = 0;
};

TEST_F(WebServerTest, ServesItsOwnResourcesAndRefusesTheRestOnceTellingTheLog) {
  const auto page = ask("GET / HTTP/1.1\r\nHost: x\r\n\r\n");
  EXPECT_EQ(page->written.substr(0, 15), "HTTP/1.1 200 OK");
  EXPECT_NE(page->written.find("Content-Length: 36\r\n"), std::string::npos);
  EXPECT_EQ(page->written.substr(page->written.size() - kPage.size()), kPage);
  EXPECT_TRUE(page->closed);

  // No path reaches the disk, however it is spelt.
  for (const char* path : {"/../../etc/passwd", "/index.html", "//", "/%2e%2e/x", "/status"}) {
    const auto peer = ask(std::string("GET ") + path + " HTTP/1.1\r\n\r\n");
    EXPECT_EQ(peer->written.substr(0, 12), "HTTP/1.1 404") << path;
    EXPECT_TRUE(peer->closed);
  }
  for (const char* method : {"POST", "PUT", "HEAD", "OPTIONS"}) {
    const auto peer = ask(std::string(method) + " / HTTP/1.1\r\nContent-Length: 0\r\n\r\n");
    EXPECT_EQ(peer->written.substr(0, 12), "HTTP/1.1 405") << method;
    EXPECT_NE(peer->written.find("Allow: GET\r\n"), std::string::npos);
  }
  const auto bad = ask("\x16\x03\x01 hello\r\n");
  EXPECT_EQ(bad->written.substr(0, 12), "HTTP/1.1 400");

  EXPECT_EQ(log.lines.size(), 3u);  // one line a cause: 404, 405, 400
  loop.yield();
  EXPECT_EQ(server.connections(), 0u);
}

TEST_F(WebServerTest, AListenerGetsEachMessageWholeAndAnswersPingAndClose) {
  FakeStreamConnection* stream = nullptr;
  const auto peer = listener(&stream);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(server.listeners(tuio), 1u);
  EXPECT_EQ(server.listeners(status), 0u);
  send("bundle");
  EXPECT_EQ(peer->written, std::string("\x82\x06") + "bundle");

  peer->written.clear();
  stream->receive(std::string("\x89\x81\x01\x02\x03\x04", 6) + char('p' ^ 1));  // a masked ping
  EXPECT_EQ(peer->written, std::string("\x8A\x01p"));
  peer->written.clear();
  stream->receive(std::string("\x88\x82\x00\x00\x00\x00\x03\xE9", 8));  // close 1001
  EXPECT_EQ(peer->written, std::string("\x88\x02\x03\xE9"));
  EXPECT_TRUE(peer->closed);
  loop.yield();
  EXPECT_EQ(server.listeners(tuio), 0u);
}

TEST_F(WebServerTest, AClientsUnmaskedFrameClosesItsConnectionWithAProtocolError) {
  FakeStreamConnection* stream = nullptr;
  const auto peer = listener(&stream);
  stream->receive("\x81\x01x");
  EXPECT_EQ(peer->written[0], '\x88');
  EXPECT_EQ(peer->written.substr(2, 2), "\x03\xEA");  // 1002
  EXPECT_TRUE(peer->closed);
  EXPECT_TRUE(log.mentions("an unmasked frame from a client"));
}

TEST_F(WebServerTest, ASlowListenerLosesWholeMessagesThenIsClosedWhileOthersGetEverything) {
  const auto slow = listener();
  const auto quick = listener();
  slow->stalled = true;
  slow->queued = WebServer::kQueueBytes - 9;  // room for one frame of 6 bytes and no more
  send("first!");
  send("second");
  EXPECT_EQ(slow->written, std::string("\x82\x06") + "first!");
  EXPECT_EQ(quick->written, std::string("\x82\x06") + "first!" + "\x82\x06" + "second");
  EXPECT_EQ(server.droppedMessages(), 1u);
  EXPECT_TRUE(log.mentions("cannot keep up"));

  // It stays behind: closed after a bounded time, the quick one goes on.
  for (int i = 0; i < 6; ++i) {
    loop.advance(1000);
    send("more..");
  }
  EXPECT_TRUE(slow->dropped);
  EXPECT_FALSE(quick->closed || quick->dropped);
  EXPECT_EQ(server.listeners(tuio), 1u);
}

TEST_F(WebServerTest, PingsFromAClientThatReadsNothingAreNotAnsweredWithoutEnd) {
  FakeStreamConnection* stream = nullptr;
  const auto peer = listener(&stream);
  ASSERT_NE(stream, nullptr);
  peer->stalled = true;
  // A ping with the most a control frame carries, masked with zeros; each pong is 127 bytes.
  const std::string ping = std::string("\x89\xFD\0\0\0\0", 6) + std::string(125, 'p');
  std::string pings;
  for (int i = 0; i < 100; ++i)
    pings += ping;
  for (std::size_t sent = 0; sent < 2 * WebServer::kQueueBytes; sent += pings.size())
    stream->receive(pings);
  EXPECT_LE(peer->queued, WebServer::kQueueBytes);

  // Once it reads again, its pings are answered.
  peer->stalled = false;
  peer->queued = 0;
  peer->written.clear();
  stream->receive(ping);
  EXPECT_EQ(peer->written, std::string("\x8A\x7D") + std::string(125, 'p'));
}

TEST_F(WebServerTest, ASilentClientIsClosedAndConnectionsAndListenersAreBounded) {
  auto silent = sockets.connect();
  loop.advance(WebServer::kRequestTimeout_ms + WebServer::kHousekeeping_ms);
  EXPECT_EQ(silent->written.substr(0, 12), "HTTP/1.1 408");
  EXPECT_TRUE(silent->closed);

  std::vector<std::shared_ptr<FakePeer>> listeners;
  for (std::size_t i = 0; i < WebServer::kMaxListeners; ++i)
    listeners.push_back(listener());
  EXPECT_EQ(ask(kUpgrade)->written.substr(0, 12), "HTTP/1.1 503");

  std::vector<std::shared_ptr<FakePeer>> idle;
  for (std::size_t i = server.connections(); i < WebServer::kMaxConnections; ++i)
    idle.push_back(sockets.connect());
  const auto tooMany = sockets.connect();
  EXPECT_EQ(tooMany->written.substr(0, 12), "HTTP/1.1 503");
  EXPECT_TRUE(tooMany->closed);
  EXPECT_EQ(server.connections(), WebServer::kMaxConnections);
}

TEST_F(WebServerTest, APortInUseIsToldOnceAndTheServerStaysOff) {
  server.stop();
  sockets.shared().refuse = true;
  std::string error;
  EXPECT_FALSE(server.start({"0.0.0.0", 3343}, error));
  EXPECT_FALSE(server.start({"0.0.0.0", 3343}, error));
  EXPECT_EQ(error, "address in use");
  EXPECT_FALSE(server.listening());
  EXPECT_EQ(log.lines,
            std::vector<std::string>{"web service: cannot listen on 0.0.0.0:3343: address in use"});
}

}  // namespace
}  // namespace scantouch
