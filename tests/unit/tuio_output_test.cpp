#include "outputs/tuio_output.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "osc_reading.h"
#include "recording_datagrams.h"
#include "recording_log.h"
#include "toolkit/virtual_event_loop.h"

namespace scantouch {
namespace {

using testing::ReadTuioBundle;
using testing::RecordingDatagramSockets;

using testing::RecordingLog;

// A datagram in short: "fseq <n> alive <ids> set <ids>", or "unreadable".
std::string Summary(const std::vector<std::uint8_t>& datagram) {
  const auto read = ReadTuioBundle(datagram);
  if (!read)
    return "unreadable";
  std::string text = "fseq " + std::to_string(read->frame) + " alive";
  for (const std::int32_t id : read->alive)
    text += " " + std::to_string(id);
  if (!read->sets.empty())
    text += " set";
  for (const testing::TuioCursor& set : read->sets)
    text += " " + std::to_string(set.session);
  return text;
}

std::vector<std::string> Summaries(const std::vector<std::vector<std::uint8_t>>& datagrams) {
  std::vector<std::string> summaries;
  for (const auto& datagram : datagrams)
    summaries.push_back(Summary(datagram));
  return summaries;
}

TouchFrame Frame(std::vector<SessionId> live, std::vector<SessionId> removed = {}) {
  TouchFrame frame;
  for (const SessionId id : live) {
    Contact contact;
    contact.sessionId = id;
    contact.u = 0.5;
    contact.v = 0.5;
    frame.live.push_back(contact);
  }
  for (const SessionId id : removed) {
    Contact contact;
    contact.sessionId = id;
    frame.removed.push_back(contact);
  }
  return frame;
}

class TuioOutputTest : public ::testing::Test {
 protected:
  TuioOutputTest() { output.setLog(&log); }

  // What one target got since the last call.
  std::vector<std::string> newlySent(const std::string& target = "127.0.0.1:3333") {
    const auto all = sockets.sentTo(target);
    std::vector<std::vector<std::uint8_t>> fresh(all.begin() + static_cast<long>(seen_[target]),
                                                 all.end());
    seen_[target] = all.size();
    return Summaries(fresh);
  }

  VirtualEventLoop loop;
  RecordingDatagramSockets sockets;
  RecordingLog log;
  TuioOutput output{loop, sockets};

 private:
  std::map<std::string, std::size_t> seen_;
};

using Sent = std::vector<std::string>;

TEST_F(TuioOutputTest, NumbersFramesWithContactsAndTellsOfTheLastRemoval) {
  output.setTargets("127.0.0.1:3333");
  ASSERT_TRUE(output.hasTargets());
  output.onTouchFrame(Frame({5}));
  EXPECT_EQ(newlySent(), Sent{}) << "nothing before start";

  output.start();
  EXPECT_EQ(newlySent(), Sent{"fseq -1 alive"});
  output.onTouchFrame(Frame({}));  // nothing there and nothing gone: no frame of its own
  output.onTouchFrame(Frame({5}));
  output.onTouchFrame(Frame({5, 6}));
  output.onTouchFrame(Frame({6}, {5}));
  output.onTouchFrame(Frame({}, {6}));
  output.onTouchFrame(Frame({}));
  EXPECT_EQ(newlySent(), (Sent{"fseq 1 alive 5 set 5", "fseq 2 alive 5 6 set 5 6",
                               "fseq 3 alive 6 set 6", "fseq 4 alive"}));
  EXPECT_EQ(output.frameSequence(), 4);
  EXPECT_TRUE(log.lines.empty());
}

TEST_F(TuioOutputTest, TellsOfNothingPresentOnceASecondFromStartToStop) {
  output.setTargets("127.0.0.1:3333");
  output.start();
  loop.advance(3500);  // no frames at all: the scanner is silent
  EXPECT_EQ(newlySent(), Sent(4, "fseq -1 alive"));

  // While contacts are present, frames come every turn and the timer says nothing.
  for (int turn = 0; turn < 20; ++turn) {
    output.onTouchFrame(Frame({1}));
    loop.advance(100);
  }
  const Sent frames = newlySent();
  ASSERT_EQ(frames.size(), 20u);
  EXPECT_EQ(frames.front(), "fseq 1 alive 1 set 1");
  EXPECT_EQ(frames.back(), "fseq 20 alive 1 set 1");
  output.onTouchFrame(Frame({}, {1}));
  loop.advance(1000);
  EXPECT_EQ(newlySent(), (Sent{"fseq 21 alive", "fseq -1 alive"}));

  output.stop();
  EXPECT_EQ(newlySent(), Sent{"fseq -1 alive"});
  EXPECT_EQ(loop.activeTimers(), 0u);
  output.onTouchFrame(Frame({1}));
  loop.advance(5000);
  EXPECT_EQ(newlySent(), Sent{}) << "nothing after stop";
  output.stop();
  EXPECT_EQ(newlySent(), Sent{});
}

TEST_F(TuioOutputTest, LetsGoOfContactsTheEngineStoppedTellingAbout) {
  output.setTargets("127.0.0.1:3333");
  output.start();
  loop.advance(900);
  newlySent();
  output.onTouchFrame(Frame({3}));
  loop.advance(999);  // no more frames, the contact still present at the last one
  EXPECT_EQ(newlySent(), Sent{"fseq 1 alive 3 set 3"}) << "the idle tick at 1 s keeps it";
  loop.advance(1);  // a second after the last frame, not at the idle tick after that
  EXPECT_EQ(newlySent(), Sent{"fseq -1 alive"});
  loop.advance(2000);
  EXPECT_EQ(newlySent(), (Sent{"fseq -1 alive", "fseq -1 alive"})) << "then once a second";
}

TEST_F(TuioOutputTest, SendsEveryDatagramOfASplitFrameToEveryTarget) {
  output.setTargets("127.0.0.1:3333; 10.0.0.2:3333");
  output.start();
  std::vector<SessionId> many;
  for (SessionId id = 1; id <= 60; ++id)
    many.push_back(id);
  output.onTouchFrame(Frame(many));
  const auto first = sockets.sentTo("127.0.0.1:3333");
  ASSERT_GT(first.size(), 2u);
  EXPECT_EQ(sockets.sentTo("10.0.0.2:3333"), first);
  for (std::size_t i = 1; i < first.size(); ++i) {
    const auto read = ReadTuioBundle(first[i]);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->frame, 1);
    EXPECT_EQ(read->alive.size(), 60u);
  }
}

TEST_F(TuioOutputTest, TellsOnceOfEachBadTargetAndSendsToTheOthers) {
  sockets.unknownHosts.insert("nowhere.invalid");
  const std::string setting = "127.0.0.1:3333;table;nowhere.invalid:3333;host:0";
  output.setTargets(setting);
  EXPECT_EQ(log.lines, (std::vector<std::string>{
                           "TUIO target \"table\" left out: not host:port",
                           "TUIO target \"host:0\" left out: the port must be 1 to 65535",
                           "TUIO target \"nowhere.invalid:3333\" left out: host not found",
                       }));
  output.start();
  EXPECT_EQ(newlySent(), Sent{"fseq -1 alive"});
  EXPECT_EQ(sockets.sent.size(), 1u);

  // The setting read again, as at every change of it: nothing new is told, no socket reopened.
  output.setTargets(setting);
  EXPECT_EQ(log.lines.size(), 3u);
  EXPECT_EQ(sockets.opened.size(), 1u);

  // Fixed and broken again: told again.
  output.setTargets("127.0.0.1:3333");
  output.setTargets(setting);
  EXPECT_EQ(log.lines.size(), 6u);

  output.setTargets("");
  EXPECT_FALSE(output.hasTargets());
  EXPECT_EQ(sockets.socketsAlive, 0);
}

TEST_F(TuioOutputTest, TellsOnceOfATargetThatRefusesAndGoesOn) {
  output.setTargets("127.0.0.1:3333;127.0.0.1:3334");
  sockets.refuse["127.0.0.1:3334"] = "Connection refused";
  output.start();
  for (int turn = 0; turn < 5; ++turn)
    output.onTouchFrame(Frame({1}));
  loop.advance(3000);
  EXPECT_EQ(log.lines, std::vector<std::string>{
                           "TUIO target \"127.0.0.1:3334\": Connection refused; sending goes on"});
  // Start, the frames, and once a second after them that nothing is present.
  EXPECT_EQ(newlySent().size(), 1u + 5u + 3u);
  EXPECT_TRUE(output.running());
}

TEST_F(TuioOutputTest, SaysGoodbyeToATargetThatIsDroppedWhileRunning) {
  output.setTargets("127.0.0.1:3333;127.0.0.1:4444");
  output.start();
  output.onTouchFrame(Frame({8}));
  newlySent("127.0.0.1:4444");
  output.setTargets("127.0.0.1:3333");
  EXPECT_EQ(newlySent("127.0.0.1:4444"), Sent{"fseq -1 alive"});
  EXPECT_EQ(sockets.opened.size(), 2u);
  EXPECT_EQ(sockets.socketsAlive, 1);
  output.onTouchFrame(Frame({8}));
  EXPECT_EQ(newlySent(), (Sent{"fseq -1 alive", "fseq 1 alive 8 set 8", "fseq 2 alive 8 set 8"}));
}

TEST_F(TuioOutputTest, NamesThisHostAsTheSourceAndSendsIdsBeyondThirtyOneBitsAsPositive) {
  output.setTargets("127.0.0.1:3333");
  output.start();
  const SessionId past31Bits = SessionId{1} << 31;
  output.onTouchFrame(Frame({1, past31Bits, past31Bits + 1}));
  output.onTouchFrame(Frame({past31Bits, past31Bits + 1}, {1}));
  EXPECT_EQ(newlySent(),
            (Sent{"fseq -1 alive", "fseq 1 alive 1 2 3 set 1 2 3", "fseq 2 alive 2 3 set 2 3"}));
  for (const auto& datagram : sockets.sentTo("127.0.0.1:3333")) {
    const auto read = ReadTuioBundle(datagram);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->source, "scantouch@wall-1");
  }
}

}  // namespace
}  // namespace scantouch
