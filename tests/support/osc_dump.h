#pragma once

// liblo's oscdump as a receiver of TUIO: a decoder we did not write, listening on a free port,
// its printed lines read back into messages and /tuio/2Dcur bundles. Needs OSCDUMP_PATH.

#include <QProcess>
#include <QThread>
#include <QUdpSocket>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "outputs/osc_writer.h"
#include "qt/qt_datagram_socket.h"
#include "qt_waiting.h"

namespace scantouch::testing {

// A UDP port no one uses right now, on every interface (oscdump listens on all of them).
inline quint16 FreeUdpPort() {
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

inline std::optional<DumpedMessage> ParseDumpLine(const std::string& line) {
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

// A bundle as oscdump printed it: the lines from "source" to "fseq".
struct DumpedBundle {
  std::string source;
  std::vector<std::int64_t> alive;
  std::vector<std::vector<double>> sets;  // s x y X Y m
  std::int64_t frame = 0;
};

// The bundles of `lines`, each in the order TUIO wants: source, alive, any number of set, fseq.
// The first line that is not part of such a /tuio/2Dcur bundle ends the reading and is told in
// `problem`.
inline std::vector<DumpedBundle> DumpedBundles(const std::vector<std::string>& lines,
                                               std::string& problem) {
  enum class Next { source, alive, setOrFrame };
  std::vector<DumpedBundle> bundles;
  DumpedBundle bundle;
  Next next = Next::source;
  for (const std::string& line : lines) {
    const auto message = ParseDumpLine(line);
    if (!message || message->address != "/tuio/2Dcur" || message->arguments.empty() ||
        !std::holds_alternative<std::string>(message->arguments[0])) {
      problem = "unexpected line: " + line;
      return bundles;
    }
    const std::string command = std::get<std::string>(message->arguments[0]);
    const auto& arguments = message->arguments;
    if (next == Next::source && command == "source" && message->typeTags == "ss") {
      bundle = DumpedBundle{std::get<std::string>(arguments[1]), {}, {}, 0};
      next = Next::alive;
    } else if (next == Next::alive && command == "alive" &&
               message->typeTags == "s" + std::string(arguments.size() - 1, 'i')) {
      for (std::size_t i = 1; i < arguments.size(); ++i)
        bundle.alive.push_back(std::get<std::int64_t>(arguments[i]));
      next = Next::setOrFrame;
    } else if (next == Next::setOrFrame && command == "set" && message->typeTags == "sifffff") {
      std::vector<double> set{static_cast<double>(std::get<std::int64_t>(arguments[1]))};
      for (std::size_t i = 2; i < arguments.size(); ++i)
        set.push_back(std::get<double>(arguments[i]));
      bundle.sets.push_back(set);
    } else if (next == Next::setOrFrame && command == "fseq" && message->typeTags == "si") {
      bundle.frame = std::get<std::int64_t>(arguments[1]);
      bundles.push_back(bundle);
      next = Next::source;
    } else {
      problem = "unexpected message: " + line;
      return bundles;
    }
  }
  return bundles;
}

// How many bundles of `lines` hold exactly `alive` live cursors.
inline std::size_t BundlesWithAlive(const std::vector<std::string>& lines, std::size_t alive) {
  std::string problem;
  const std::vector<DumpedBundle> bundles = DumpedBundles(lines, problem);
  return static_cast<std::size_t>(
      std::count_if(bundles.begin(), bundles.end(),
                    [alive](const DumpedBundle& b) { return b.alive.size() == alive; }));
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
  // Runs Qt's event loop until `done` holds for the lines or `timeout_ms` has passed.
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
    if (!probe)
      return false;
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

}  // namespace scantouch::testing
