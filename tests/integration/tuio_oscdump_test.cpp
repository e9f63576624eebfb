// What the TUIO output sends, on the real Qt socket, as liblo's oscdump receives and prints it:
// a decoder we did not write, listening on a free loopback port.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QHostInfo>
#include <cstdint>
#include <string>
#include <vector>

#include "osc_dump.h"
#include "outputs/tuio_output.h"
#include "qt/qt_datagram_socket.h"
#include "qt/qt_event_loop.h"
#include "recording_log.h"

namespace scantouch {
namespace {

using testing::DumpedBundle;

std::size_t FrameEnds(const std::vector<std::string>& lines) {
  std::size_t count = 0;
  for (const std::string& line : lines)
    count += line.find(" \"fseq\" ") != std::string::npos ? 1 : 0;
  return count;
}

Contact MakeContact(SessionId session, double u, double v, double velocityU) {
  Contact contact;
  contact.sessionId = session;
  contact.u = u;
  contact.v = v;
  contact.velocityU = velocityU;
  contact.acceleration = 0.25;
  return contact;
}

TEST(TuioToOscDump, ContactsMoveLeaveAndIdleAsTuioCursorsAndARefusingTargetIsToldOnce) {
  testing::OscDump dump;
  ASSERT_TRUE(dump.ready()) << dump.output();
  const quint16 closedPort = testing::FreeUdpPort();

  QtEventLoop loop;
  QtDatagramSocketFactory sockets;
  testing::RecordingLog log;
  TuioOutput output(loop, sockets);
  output.setLog(&log);
  const std::string refusing = "127.0.0.1:" + std::to_string(closedPort);
  output.setTargets("localhost:" + std::to_string(dump.port()) + ";" + refusing);
  ASSERT_TRUE(output.hasTargets());
  output.start();

  // Two contacts crossing, then leaving one after the other.
  constexpr int kMoves = 10;
  for (int turn = 0; turn < kMoves; ++turn) {
    TouchFrame frame;
    frame.live = {MakeContact(1, 0.1 + 0.05 * turn, 0.2, 0.5),
                  MakeContact(2, 0.9 - 0.05 * turn, 0.8, -0.5)};
    output.onTouchFrame(frame);
    QCoreApplication::processEvents();  // the refusals come back between datagrams
  }
  TouchFrame oneLeft;
  oneLeft.live = {MakeContact(2, 0.4, 0.8, 0)};
  output.onTouchFrame(oneLeft);
  output.onTouchFrame(TouchFrame{});
  output.onTouchFrame(TouchFrame{});  // nothing there: no frame of its own
  // The timer says that nothing is present, whatever the scanner does.
  ASSERT_TRUE(dump.waitForLines([](const auto& lines) { return FrameEnds(lines) >= 14; }, 3000))
      << dump.output();

  // More contacts than one datagram holds.
  TouchFrame crowd;
  for (SessionId id = 100; id < 160; ++id)
    crowd.live.push_back(MakeContact(id, static_cast<double>(id - 100) / 60.0, 0.5, 0));
  output.onTouchFrame(crowd);
  output.onTouchFrame(TouchFrame{});
  output.stop();
  ASSERT_TRUE(dump.waitForLines(
      [](const auto& lines) {
        return !lines.empty() && lines.back().find(" \"fseq\" -1") != std::string::npos &&
               FrameEnds(lines) >= 17;
      },
      3000))
      << dump.output();

  std::string problem;
  const std::vector<DumpedBundle> bundles = testing::DumpedBundles(dump.lines(), problem);
  ASSERT_EQ(problem, "");
  // TUIO's name@address, so that a client can tell two walls apart.
  const std::string source = "scantouch@" + QHostInfo::localHostName().toStdString();
  ASSERT_NE(source, "scantouch@");
  for (const DumpedBundle& bundle : bundles)
    EXPECT_EQ(bundle.source, source);
  const auto frames = [&](std::size_t first, std::size_t count) {
    std::vector<std::int64_t> numbers;
    for (std::size_t i = first; i < first + count && i < bundles.size(); ++i)
      numbers.push_back(bundles[i].frame);
    return numbers;
  };
  ASSERT_GE(bundles.size(), 17u);

  // Start, the moves, one left, none left, nothing present.
  EXPECT_EQ(frames(0, 14),
            (std::vector<std::int64_t>{-1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, -1}));
  EXPECT_TRUE(bundles[0].alive.empty());
  for (int turn = 0; turn < kMoves; ++turn) {
    const DumpedBundle& bundle = bundles[1 + static_cast<std::size_t>(turn)];
    EXPECT_EQ(bundle.alive, (std::vector<std::int64_t>{1, 2}));
    ASSERT_EQ(bundle.sets.size(), 2u);
    const std::vector<double> first = bundle.sets[0], second = bundle.sets[1];
    EXPECT_EQ(first[0], 1);
    EXPECT_NEAR(first[1], 0.1 + 0.05 * turn, 1e-6);
    EXPECT_NEAR(first[2], 0.2, 1e-6);
    EXPECT_NEAR(first[3], 0.5, 1e-6);
    EXPECT_NEAR(first[4], 0.0, 1e-6);
    EXPECT_NEAR(first[5], 0.25, 1e-6);
    EXPECT_EQ(second[0], 2);
    EXPECT_NEAR(second[1], 0.9 - 0.05 * turn, 1e-6);
    EXPECT_NEAR(second[2], 0.8, 1e-6);
    EXPECT_NEAR(second[3], -0.5, 1e-6);
  }
  EXPECT_EQ(bundles[11].alive, std::vector<std::int64_t>{2});
  EXPECT_EQ(bundles[11].sets.size(), 1u);
  EXPECT_TRUE(bundles[12].alive.empty());
  EXPECT_TRUE(bundles[12].sets.empty());
  EXPECT_TRUE(bundles[13].alive.empty());

  // The crowd: several bundles of frame 13, each with the whole alive list, every set once.
  std::size_t next = 14;
  std::vector<std::int64_t> setIds;
  while (next < bundles.size() && bundles[next].frame == 13) {
    EXPECT_EQ(bundles[next].alive.size(), 60u);
    for (const auto& set : bundles[next].sets)
      setIds.push_back(static_cast<std::int64_t>(set[0]));
    ++next;
  }
  EXPECT_GT(next - 14, 1u) << "one bundle for 60 contacts";
  std::vector<std::int64_t> crowdIds;
  for (std::int64_t id = 100; id < 160; ++id)
    crowdIds.push_back(id);
  EXPECT_EQ(setIds, crowdIds);
  // The crowd leaves, then the goodbye at stop.
  EXPECT_EQ(frames(next, 2), (std::vector<std::int64_t>{14, -1}));
  EXPECT_EQ(bundles.size(), next + 2);

  EXPECT_EQ(log.lines, std::vector<std::string>{"TUIO target \"" + refusing +
                                                "\": Connection refused; sending goes on"});
}

}  // namespace
}  // namespace scantouch
