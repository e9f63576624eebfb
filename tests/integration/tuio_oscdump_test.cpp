// What the TUIO output sends, on the real Qt socket, as liblo's oscdump receives and prints it:
// a decoder we did not write, listening on a free loopback port.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QThread>
#include <QUdpSocket>
#include <chrono>
#include <cmath>
#include <functional>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "qt/qt_datagram_socket.h"
#include "qt/qt_event_loop.h"
#include "tuio/osc_writer.h"
#include "tuio/tuio_output.h"

namespace scantouch {
namespace {

bool RunUntil(const std::function<bool()>& done, int timeout_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline)
      return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(2);
  }
  return true;
}

// A UDP port no one uses right now, on every interface (oscdump listens on all of them).
quint16 FreeUdpPort() {
  QUdpSocket socket;
  socket.bind(QHostAddress::AnyIPv4, 0);
  return socket.localPort();
}

// One line of oscdump: "<time tag> <address> <type tags> <arguments>".
struct DumpedMessage {
  std::string address;
  std::string typeTags;
  std::vector<std::variant<std::int64_t, double, std::string>> arguments;
};

std::optional<DumpedMessage> ParseDumpLine(const std::string& line) {
  std::istringstream in(line);
  std::string timeTag;
  DumpedMessage message;
  if (!(in >> timeTag >> message.address >> message.typeTags))
    return std::nullopt;
  for (const char type : message.typeTags) {
    std::string token;
    if (!(in >> token))
      return std::nullopt;
    if (type == 'i') {
      message.arguments.emplace_back(std::stoll(token));
    } else if (type == 'f') {
      message.arguments.emplace_back(std::stod(token));
    } else if (type == 's' && token.size() >= 2 && token.front() == '"' && token.back() == '"') {
      message.arguments.emplace_back(token.substr(1, token.size() - 2));
    } else {
      return std::nullopt;
    }
  }
  return message;
}

// oscdump on a free port, restarted on another should the port be taken meanwhile.
class OscDump {
 public:
  OscDump() {
    for (int attempt = 0; attempt < 3 && !ready_; ++attempt) {
      port_ = FreeUdpPort();
      process_.setProcessChannelMode(QProcess::MergedChannels);
      process_.start(OSCDUMP_PATH, {"-L", QString::number(port_)});
      if (!process_.waitForStarted(3000))
        return;
      ready_ = awaitListening();
      if (!ready_)
        stop();
    }
  }
  ~OscDump() { stop(); }

  bool ready() const { return ready_; }
  quint16 port() const { return port_; }

  // The lines printed since the start, the readiness probes left out.
  std::vector<std::string> lines() {
    read();
    std::vector<std::string> lines;
    std::istringstream in(output_);
    for (std::string line; std::getline(in, line);) {
      if (line.find(" /probe ") == std::string::npos)
        lines.push_back(line);
    }
    return lines;
  }
  bool waitForLines(const std::function<bool(const std::vector<std::string>&)>& done,
                    int timeout_ms) {
    return RunUntil([&] { return done(lines()); }, timeout_ms);
  }
  std::string output() {
    read();
    return output_;
  }

 private:
  // oscdump says nothing when it listens: a probe is sent until it prints one.
  bool awaitListening() {
    QtDatagramSocketFactory sockets;
    std::string error;
    auto probe = sockets.open("127.0.0.1", port_, error);
    const auto bytes = osc::Message("/probe").bytes();
    return RunUntil(
        [&] {
          probe->send(bytes, error);
          QThread::msleep(10);
          return process_.state() != QProcess::NotRunning &&
                 output().find(" /probe ") != std::string::npos;
        },
        3000);
  }
  void read() { output_ += process_.readAll().toStdString(); }
  void stop() {
    if (process_.state() != QProcess::NotRunning) {
      process_.kill();
      process_.waitForFinished(2000);
    }
  }

  QProcess process_;
  quint16 port_ = 0;
  bool ready_ = false;
  std::string output_;
};

class RecordingLog final : public ProgramLog {
 public:
  void write(std::string_view line) override { lines.emplace_back(line); }
  std::vector<std::string> lines;
};

// A bundle as oscdump printed it: the lines from "source" to "fseq".
struct DumpedBundle {
  std::string source;
  std::vector<std::int64_t> alive;
  std::vector<std::vector<double>> sets;  // s x y X Y m
  std::int64_t frame = 0;
};

std::vector<DumpedBundle> Bundles(const std::vector<std::string>& lines, std::string& problem) {
  std::vector<DumpedBundle> bundles;
  DumpedBundle bundle;
  for (const std::string& line : lines) {
    const auto message = ParseDumpLine(line);
    if (!message || message->address != "/tuio/2Dcur" || message->arguments.empty()) {
      problem = "unexpected line: " + line;
      return bundles;
    }
    const std::string command = std::get<std::string>(message->arguments[0]);
    const auto& arguments = message->arguments;
    if (command == "source" && message->typeTags == "ss") {
      bundle = DumpedBundle{std::get<std::string>(arguments[1]), {}, {}, 0};
    } else if (command == "alive" &&
               message->typeTags == "s" + std::string(arguments.size() - 1, 'i')) {
      for (std::size_t i = 1; i < arguments.size(); ++i)
        bundle.alive.push_back(std::get<std::int64_t>(arguments[i]));
    } else if (command == "set" && message->typeTags == "sifffff") {
      std::vector<double> set{static_cast<double>(std::get<std::int64_t>(arguments[1]))};
      for (std::size_t i = 2; i < arguments.size(); ++i)
        set.push_back(std::get<double>(arguments[i]));
      bundle.sets.push_back(set);
    } else if (command == "fseq" && message->typeTags == "si") {
      bundle.frame = std::get<std::int64_t>(arguments[1]);
      bundles.push_back(bundle);
    } else {
      problem = "unexpected message: " + line;
      return bundles;
    }
  }
  return bundles;
}

std::size_t FrameEnds(const std::vector<std::string>& lines) {
  std::size_t count = 0;
  for (const std::string& line : lines)
    count += line.find(" \"fseq\" ") != std::string::npos ? 1 : 0;
  return count;
}

Contact MakeContact(std::uint32_t session, double u, double v, double velocityU) {
  Contact contact;
  contact.sessionId = session;
  contact.u = u;
  contact.v = v;
  contact.velocityU = velocityU;
  contact.acceleration = 0.25;
  return contact;
}

TEST(TuioToOscDump, ContactsMoveLeaveAndIdleAsTuioCursorsAndARefusingTargetIsToldOnce) {
  OscDump dump;
  ASSERT_TRUE(dump.ready()) << dump.output();
  const quint16 closedPort = FreeUdpPort();

  QtEventLoop loop;
  QtDatagramSocketFactory sockets;
  RecordingLog log;
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
  for (std::uint32_t id = 100; id < 160; ++id)
    crowd.live.push_back(MakeContact(id, (id - 100) / 60.0, 0.5, 0));
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
  const std::vector<DumpedBundle> bundles = Bundles(dump.lines(), problem);
  ASSERT_EQ(problem, "");
  for (const DumpedBundle& bundle : bundles)
    EXPECT_EQ(bundle.source, "scantouch");
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

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
