// The web service in the whole program: off without its setting, TUIO for its listeners byte for
// byte as the UDP targets get it, the status messages, and what the page "触控" shows of it.

#include "app/web_service.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "comma_locale.h"
#include "example_setup.h"
#include "fake_stream_listener.h"
#include "node_stream.h"
#include "program_fixture.h"
#include "recording_datagrams.h"
#include "recording_log.h"

namespace scantouch {
namespace {

namespace sim = scanner_sim;

constexpr const char* kPath = "/opt/scantouch/系统配置.ini";
constexpr const char* kTarget = "127.0.0.1:3333";

const std::string kUpgradeTo =
    " HTTP/1.1\r\nHost: x\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
    "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n";

struct Message {
  int opcode = 0;
  std::string payload;
};

// The messages of a server's unmasked frames after its handshake answer.
std::vector<Message> MessagesIn(const std::string& written) {
  std::vector<Message> messages;
  std::size_t at = written.find("\r\n\r\n");
  at = at == std::string::npos ? written.size() : at + 4;
  while (at + 2 <= written.size()) {
    const int opcode = static_cast<unsigned char>(written[at]) & 0x0F;
    std::size_t size = static_cast<unsigned char>(written[at + 1]) & 0x7F;
    at += 2;
    if (size == 126) {
      size = static_cast<std::size_t>(static_cast<unsigned char>(written[at]) << 8 |
                                      static_cast<unsigned char>(written[at + 1]));
      at += 2;
    }
    messages.push_back({opcode, written.substr(at, size)});
    at += size;
  }
  return messages;
}

// The datagram sockets and listeners outlive the program, whose outputs hold sockets of theirs.
struct WithSockets {
  testing::RecordingDatagramSockets datagrams_;
  testing::FakeStreamListenerFactory listeners_;
  testing::RecordingLog log_;
};

class WebServiceTest : protected WithSockets, public testing::ProgramFixture {
 protected:
  void start(const std::string& section) {
    files_.files[kPath] = "[触控引擎]\n鼠标模式=2\n" + section;
    program_.connectLog(log_);
    program_.touchOutputs().connectNetwork(datagrams_);
    program_.connectWebService(listeners_, "1.2.3", "wall-pc");
    program_.lifecycle().startUp();
    examples::CalibrateLikeTheExamples(form());
  }

  std::shared_ptr<testing::FakePeer> listen(const std::string& path) {
    testing::FakeStreamConnection* stream = nullptr;
    auto peer = listeners_.connect(&stream);
    stream->receive("GET " + path + kUpgradeTo);
    return peer;
  }

  void frame(std::vector<Contact> live) {
    TouchFrame f;
    f.timeMs = loop_.nowMs();
    f.live = std::move(live);
    program_.touchOutputs().onTouchFrame(f);
  }

  static Contact At(SessionId session, double u, double v) {
    Contact contact;
    contact.sessionId = session;
    contact.x = 7000;
    contact.y = 3000;
    contact.u = u;
    contact.v = v;
    return contact;
  }
};

TEST_F(WebServiceTest, WithoutItsSettingNothingListensAndTheEngineIsLeftAsItWas) {
  start("");
  EXPECT_EQ(listeners_.shared().current, nullptr);
  EXPECT_FALSE(form().engine().running());
  EXPECT_EQ(form().LBL网页服务.caption(), WebService::kOffCaption);
  EXPECT_TRUE(log_.lines.empty() || !log_.mentions("web service"));
}

TEST_F(WebServiceTest, ItsListenersGetEveryBundleTheUdpTargetGetsByteForByteThenAGoodbye) {
  start("网页服务=127.0.0.1:3343\nTUIO目标=" + std::string(kTarget) + "\n");
  ASSERT_NE(listeners_.shared().current, nullptr);
  EXPECT_EQ(listeners_.shared().host, "127.0.0.1");
  EXPECT_EQ(listeners_.shared().port, 3343);
  EXPECT_TRUE(form().engine().running());
  EXPECT_EQ(form().LBL网页服务.caption(), "打开 http://127.0.0.1:3343/");

  const auto root = listen("/");
  const auto named = listen("/tuio");
  const std::size_t before = datagrams_.sentTo(kTarget).size();
  frame({At(1, 0.25, 0.5)});
  frame({At(1, 0.26, 0.5), At(2, 0.75, 0.5)});
  frame({At(2, 0.75, 0.5)});
  frame({});
  loop_.advance(1000);  // the idle bundle
  program_.lifecycle().exitProgram();

  const auto sent = datagrams_.sentTo(kTarget);
  std::vector<std::string> udp;
  for (std::size_t i = before; i < sent.size(); ++i)
    udp.emplace_back(sent[i].begin(), sent[i].end());
  ASSERT_GE(udp.size(), 6u);  // four frames, the idle bundle, the goodbye
  for (const auto& peer : {root, named}) {
    std::vector<Message> messages = MessagesIn(peer->written);
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back().opcode, 0x8);  // closed: the program goes away
    messages.pop_back();
    std::vector<std::string> bundles;
    for (const Message& message : messages) {
      EXPECT_EQ(message.opcode, 0x2);
      bundles.push_back(message.payload);
    }
    EXPECT_EQ(bundles, udp);
  }
}

TEST_F(WebServiceTest, AStatusListenerSeesTheHandTheScannerAndItsRateWithDecimalPoints) {
  testing::CommaLocale comma;
  if (!comma.available())
    GTEST_SKIP() << testing::CommaLocale::kMissing;
  start("网页服务=0.0.0.0:3343\n");
  EXPECT_EQ(form().LBL网页服务.caption(), "打开 http://wall-pc:3343/");
  const auto page = listen("/status");

  // A hand in the rectangle, seen by the scanner on the serial port for three seconds.
  sim::Scene scene;
  scene.roomDistanceMm = {7000};
  sim::SceneObject hand;
  hand.from = {0, -3000};
  hand.diameterMm = 100;
  scene.objects = {hand};
  sim::StreamSettings settings;
  settings.nodesPerSecond = 8000;
  settings.revolutionsPerSecond = 10;
  sim::NodeStream scanner(scene, settings);
  form().Text1.setText("3");
  serialPort().waiting.assign(sim::kScanDescriptor.begin(), sim::kScanDescriptor.end());
  for (int tenth = 0; tenth < 30; ++tenth) {
    scanner.appendSeconds(serialPort().waiting, 0.1);
    loop_.advance(100);
  }

  const std::vector<Message> messages = MessagesIn(page->written);
  ASSERT_GE(messages.size(), 25u);
  EXPECT_EQ(messages.back().opcode, 0x1);
  const std::string& json = messages.back().payload;
  EXPECT_EQ(json.rfind("{\"version\":\"1.2.3\",\"engine\":true,\"rect\":{\"left\":", 0), 0u)
      << json;
  EXPECT_NE(json.find("\"contacts\":[{\"cursor\":0,\"session\":1,\"x\":7500"), std::string::npos)
      << json;
  EXPECT_NE(json.find("\"connected\":true,\"turnsPerSecond\":10,\"nodesPerSecond\":8"),
            std::string::npos)
      << json;
  // Numbers as JSON writes them, whatever the locale: no decimal comma anywhere.
  EXPECT_EQ(json.find(",5,"), std::string::npos);
  EXPECT_NE(json.find("\"u\":0."), std::string::npos) << json;
  EXPECT_NE(json.find("\"restarts\":0,"), std::string::npos) << json;

  // The scanner falls silent: the watchdog starts it again every second, and the page says so.
  loop_.advance(2500);
  const std::string silent = MessagesIn(page->written).back().payload;
  EXPECT_NE(silent.find("\"connected\":false,\"turnsPerSecond\":0,\"nodesPerSecond\":0,"),
            std::string::npos)
      << silent;
  EXPECT_EQ(silent.find("\"restarts\":0,"), std::string::npos) << silent;
  // The hand's contact goes with the scanner's turns, as it does for TUIO.
  EXPECT_NE(silent.find("\"contacts\":[],"), std::string::npos) << silent;
}

TEST_F(WebServiceTest, AnAddressThatCannotBeUsedIsToldOnceAndEmptyingTheBoxStopsTheService) {
  start("网页服务=127.0.0.1:3343\n");
  form().TXT网页服务.setText("3343");
  loop_.advance(TouchOutputs::kTargetsSettle_ms);
  EXPECT_EQ(listeners_.shared().current, nullptr);
  EXPECT_EQ(form().LBL网页服务.caption(), "未开：not host:port");
  EXPECT_TRUE(log_.mentions("web service: \"3343\" left out: not host:port"));

  listeners_.shared().refuse = true;
  form().TXT网页服务.setText("127.0.0.1:80");
  loop_.advance(TouchOutputs::kTargetsSettle_ms);
  EXPECT_EQ(form().LBL网页服务.caption(), "未开：address in use");

  listeners_.shared().refuse = false;
  form().TXT网页服务.setText("");
  loop_.advance(TouchOutputs::kTargetsSettle_ms);
  EXPECT_EQ(form().LBL网页服务.caption(), WebService::kOffCaption);
  EXPECT_FALSE(form().engine().running());
  EXPECT_EQ(files_.files[kPath].find("网页服务=\r\n") != std::string::npos ||
                files_.files[kPath].find("网页服务=\n") != std::string::npos,
            true);
}

}  // namespace
}  // namespace scantouch
