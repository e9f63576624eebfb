// The installed program under an X server, fed by a scanner played here over TCP: its CPU use with
// the window shown and hidden at 8 000 and 32 000 nodes per second, and at 32 000 with the touch
// engine sending TUIO for a hand held in every turn; its resident memory after start and after a
// while; and the latency from the last byte of a touch leaving the scanner to the X server's
// pointer standing on the touch's pixel.
// Usage (needs $DISPLAY; bench/run-program-bench starts a virtual one):
//   program_bench [--cpu RUNS | --room RUNS [--only TEXT] | --web RUNS | --latency SECONDS]
//                 [--noise MM]
//                 [--program PATH] [seconds per CPU run, default 20]
//                 [minutes for the memory run, default 10]
// --cpu RUNS measures only the CPU, shown and hidden at 8 000 and 32 000 nodes/s, RUNS rounds of
// the four taken in turn (so that a busy moment of a shared machine spreads over all four), and
// prints every run and the median of each; --noise MM puts each distance off by up to MM, as a
// real scanner's are, so that every beam moves every turn (a still room otherwise draws its beams
// where they were). --room RUNS measures a real room instead: noise of 10 mm (or --noise MM, given
// after it) and a hand in every turn, the engine and TUIO off and on, the window shown in each
// display mode and hidden, at both rates; --only TEXT keeps the cases whose name holds TEXT
// ("shown rays", "hidden engine 32000"). --latency SECONDS measures only the latency, over that
// long. --web RUNS measures the web service: its CPU with no, 1 and 10 TUIO listeners and a status
// page, and the time from a turn's end to its bundle at a listener. --program runs that executable
// instead of the one built beside the bench.

#include <QCoreApplication>
#include <QNetworkDatagram>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <random>
#include <span>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "node_stream.h"
#include "program_folder.h"
#include "qt_program.h"
#include "web_listener.h"

// Last: Xlib's macros clash with other names.
#include <X11/Xlib.h>

namespace {

using namespace scantouch;
using Clock = std::chrono::steady_clock;

// How the played scanner sends: its rate, and how many nodes make a turn.
struct Load {
  double nodesPerSecond = 8000;
  int nodesPerTurn = 360;
  bool engine = false;      // the touch engine on, sending TUIO to a receiver here
  bool handAlways = false;  // a hand in every turn, so that the engine has a contact
  int noise_mm = 0;         // each distance off by up to this much, as a real scanner's are
  int displayMode = -1;     // the radar view's display mode; -1 leaves it to the first start
  int webListeners = -1;    // the web service on with this many TUIO listeners; -1: off
  bool statusPage = false;  // ... and a status page listening
  bool webLatency = false;  // time each turn's bundle to the first web listener
};

// The program's process as /proc shows it.
struct ProcessFigures {
  double cpuSeconds = 0;
  long rssKiB = 0;
};

ProcessFigures Read(qint64 pid) {
  ProcessFigures figures;
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  std::getline(stat, line);
  std::istringstream fields(line.substr(line.rfind(')') + 2));
  std::string field;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14 || i == 15)
      figures.cpuSeconds += std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK));
  }
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0)
      figures.rssKiB = std::stol(line.substr(6));
  }
  return figures;
}

// A scanner on TCP, played here rather than by scanner-sim so that the moment a touch's last byte
// leaves is known: the program connects, asks ":SCAN.", and gets a room at 7 m, one degree per
// node (or finer, at higher rates), in real time, sent every 5 ms as the simulator sends. On
// request, one turn carries a touch at degrees 0 to 2.
class PlayedScanner {
 public:
  PlayedScanner(int port, Load load) : load_(load) {
    server_.listen(QHostAddress::LocalHost, static_cast<quint16>(port));
  }

  bool streaming() const { return streaming_; }
  // When the last pump wrote the first node of a turn, which ends the turn before; once.
  std::optional<Clock::time_point> takeTurnStart() { return std::exchange(turnStart_, {}); }

  // Sends what is due by now; returns the time the last byte of a touch-ending node went out, if
  // this round sent one.
  std::optional<Clock::time_point> pump(std::optional<int> touchDistance) {
    if (!client_) {
      if (!server_.hasPendingConnections())
        return std::nullopt;
      client_ = server_.nextPendingConnection();
    }
    if (!streaming_ && client_->bytesAvailable() > 0 && client_->readAll().contains(":SCAN.")) {
      client_->write(reinterpret_cast<const char*>(scanner_sim::kScanDescriptor.data()), 7);
      streaming_ = true;
      start_ = Clock::now();
      sent_ = 0;
    }
    if (!streaming_)
      return std::nullopt;
    const double elapsed = std::chrono::duration<double>(Clock::now() - start_).count();
    const auto due = static_cast<std::uint64_t>(elapsed * load_.nodesPerSecond);
    std::vector<char> bytes;
    std::optional<Clock::time_point> touchEnded;
    bool endsTouch = false;
    bool startsTurn = false;
    while (sent_ < due) {
      const auto index = static_cast<int>(sent_ % static_cast<std::uint64_t>(load_.nodesPerTurn));
      startsTurn = startsTurn || index == 0;
      const double degree = 360.0 * index / load_.nodesPerTurn;
      if (index == 0)
        touchTurn_ = touchDistance.has_value() && !touchTurn_;
      const bool touching = (touchTurn_ || load_.handAlways) && degree < 3;
      const int noise =
          load_.noise_mm > 0
              ? static_cast<int>(random_() % (2 * load_.noise_mm + 1)) - load_.noise_mm
              : 0;
      const auto node = scanner_sim::EncodeNode(
          degree, (touching ? touchDistance.value_or(4000) : 7000) + noise, 47, index == 0);
      bytes.insert(bytes.end(), node.begin(), node.end());
      ++sent_;
      if (touchTurn_ && degree >= 3) {
        endsTouch = true;
        touchTurn_ = false;
        break;  // out now, so the time is taken right after it
      }
    }
    if (!bytes.empty()) {
      client_->write(bytes.data(), static_cast<qint64>(bytes.size()));
      client_->flush();
      if (endsTouch)
        touchEnded = Clock::now();
      if (startsTurn)
        turnStart_ = Clock::now();
    }
    return touchEnded;
  }

 private:
  Load load_;
  std::minstd_rand random_{7};
  QTcpServer server_;
  QTcpSocket* client_ = nullptr;
  bool streaming_ = false;
  bool touchTurn_ = false;
  Clock::time_point start_;
  std::optional<Clock::time_point> turnStart_;
  std::uint64_t sent_ = 0;
};

struct Pointer {
  int x = 0;
  int y = 0;
  bool operator==(const Pointer&) const = default;
};

Pointer QueryPointer(Display* display) {
  ::Window root = 0, child = 0;
  int x = 0, y = 0, wx = 0, wy = 0;
  unsigned int mask = 0;
  XQueryPointer(display, DefaultRootWindow(display), &root, &child, &x, &y, &wx, &wy, &mask);
  return {x, y};
}

// Runs the program from a fresh folder, fed by a played scanner, for `seconds`.
struct Run {
  double cpuPercent = 0;
  long rssAfterStartKiB = 0;
  long rssAtEndKiB = 0;
  std::vector<double> latencies_ms;
  long tuioDatagrams = 0;
  long webMessages = 0;
  std::vector<double> webLatencies_ms;  // a turn's first node sent -> its bundle at the listener
  std::vector<double> webAfterUdp_ms;   // the same bundle at the listener after the UDP client
};

// Waits (bounded) for the bundle that follows `turnStart` at the first web listener and at the
// UDP client, and notes both times.
void TimeTurnBundle(Run& run, bench::WebListener& listener, QUdpSocket& udp,
                    Clock::time_point turnStart, std::int32_t& lastFrame) {
  std::optional<Clock::time_point> web;
  std::optional<Clock::time_point> datagram;
  const auto limit = turnStart + std::chrono::milliseconds(80);
  while ((!web || !datagram) && Clock::now() < limit) {
    listener.socket().waitForReadyRead(1);
    for (const auto& message : listener.take()) {
      ++run.webMessages;
      const auto frame = bench::FrameSequence(message.payload);
      if (!web && frame && *frame > lastFrame) {
        web = message.arrived;
        lastFrame = *frame;
      }
    }
    while (udp.hasPendingDatagrams()) {
      udp.receiveDatagram();
      ++run.tuioDatagrams;
      if (!datagram)
        datagram = Clock::now();
    }
  }
  if (!web)
    return;
  run.webLatencies_ms.push_back(
      std::chrono::duration<double, std::milli>(*web - turnStart).count());
  if (datagram)
    run.webAfterUdp_ms.push_back(
        std::chrono::duration<double, std::milli>(*web - *datagram).count());
}

// The executable measured: the one built beside the bench unless --program names another.
std::string programPath = SCANTOUCH_PATH;

Run RunProgram(bool hidden, double seconds, bool measureLatency, Load load = {}) {
  const int port = testing::FreeLoopbackPort();
  testing::ProgramFolder folder{std::filesystem::temp_directory_path() /
                                ("scantouch-bench-" + std::to_string(port))};
  folder.hideAtStartup = hidden;
  if (load.displayMode >= 0)
    folder.displayMode = std::to_string(load.displayMode);
  // TUIO clients listen here; what they get is read and dropped, as a client would.
  QUdpSocket tuioClient;
  tuioClient.bind(QHostAddress::LocalHost, 0);
  if (load.engine) {
    folder.touchEngine = {{"鼠标模式", "2"},
                          {"TUIO目标", "127.0.0.1:" + std::to_string(tuioClient.localPort())}};
  }
  const int webPort = load.webListeners >= 0 ? testing::FreeLoopbackPort() : 0;
  if (webPort != 0) {
    if (!load.engine)
      folder.touchEngine.push_back({"鼠标模式", "2"});
    folder.touchEngine.push_back({"网页服务", "127.0.0.1:" + std::to_string(webPort)});
  }
  std::vector<std::unique_ptr<bench::WebListener>> listeners;
  std::int32_t lastFrame = 0;
  folder.create(port, programPath);
  PlayedScanner scanner(port, load);
  QProcess program;
  program.setWorkingDirectory(QString::fromStdString(folder.path.string()));
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(folder.runtimeFolder()));
  program.setProcessEnvironment(environment);
  program.start(QString::fromStdString((folder.path / "scantouch").string()), {});
  program.waitForStarted(5000);
  Display* display = XOpenDisplay(nullptr);

  Run run;
  const auto started = Clock::now();
  ProcessFigures atStart{};
  bool startTaken = false;
  Pointer before = QueryPointer(display);
  int touches = 0;
  while (std::chrono::duration<double>(Clock::now() - started).count() < seconds + 5) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    while (tuioClient.hasPendingDatagrams()) {
      tuioClient.receiveDatagram();
      ++run.tuioDatagrams;
    }
    const bool settled = std::chrono::duration<double>(Clock::now() - started).count() >= 5;
    // The listeners come before the measured time begins.
    if (webPort != 0 && !startTaken &&
        listeners.size() <
            static_cast<std::size_t>(load.webListeners + (load.statusPage ? 1 : 0))) {
      auto listener = std::make_unique<bench::WebListener>();
      const bool page =
          load.statusPage && listeners.size() == static_cast<std::size_t>(load.webListeners);
      if (listener->open(static_cast<quint16>(webPort), page ? "/status" : "/"))
        listeners.push_back(std::move(listener));
    }
    for (std::size_t i = load.webLatency ? 1 : 0; i < listeners.size(); ++i)
      run.webMessages += static_cast<long>(listeners[i]->take().size());
    if (settled && !startTaken) {
      atStart = Read(program.processId());
      run.rssAfterStartKiB = atStart.rssKiB;
      startTaken = true;
    }
    // A touch every 50 turns, alternating between two distances so that each one moves the cursor.
    std::optional<int> touch;
    if (measureLatency && settled && scanner.streaming())
      touch = touches % 2 == 0 ? 4000 : 3500;
    const auto ended = scanner.pump(touch);
    const auto turnStart = scanner.takeTurnStart();
    if (load.webLatency && turnStart && startTaken && !listeners.empty())
      TimeTurnBundle(run, *listeners.front(), tuioClient, *turnStart, lastFrame);
    if (ended) {
      ++touches;
      Pointer now = QueryPointer(display);
      while (now == before && Clock::now() - *ended < std::chrono::milliseconds(500))
        now = QueryPointer(display);
      if (!(now == before)) {
        run.latencies_ms.push_back(
            std::chrono::duration<double, std::milli>(Clock::now() - *ended).count());
      }
      before = now;
      // Let some turns pass before the next touch.
      const auto pause = Clock::now() + std::chrono::milliseconds(200);
      while (Clock::now() < pause) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        scanner.pump(std::nullopt);
      }
    }
    // Sent every 5 ms, as the simulator does.
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  const ProcessFigures atEnd = Read(program.processId());
  run.cpuPercent = 100 * (atEnd.cpuSeconds - atStart.cpuSeconds) / seconds;
  run.rssAtEndKiB = atEnd.rssKiB;
  program.kill();
  program.waitForFinished(2000);
  XCloseDisplay(display);
  folder.remove();
  return run;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Shown and hidden at 8 000 and 32 000 nodes/s, `rounds` times, with the median of each.
void MeasureCpu(int rounds, double seconds, int noise_mm) {
  struct Case {
    const char* name;
    bool hidden;
    Load load;
    std::vector<double> percents;
  };
  // A dense scanner: 3 200 nodes a turn at 10 turns a second.
  const Load dense{32000, 3200, false, false, noise_mm};
  const Load sparse{8000, 360, false, false, noise_mm};
  std::vector<Case> cases{{"shown,  8000 nodes/s", false, sparse, {}},
                          {"hidden, 8000 nodes/s", true, sparse, {}},
                          {"shown, 32000 nodes/s", false, dense, {}},
                          {"hidden, 32000 nodes/s", true, dense, {}}};
  for (int round = 1; round <= rounds; ++round) {
    for (Case& c : cases) {
      c.percents.push_back(RunProgram(c.hidden, seconds, false, c.load).cpuPercent);
      std::printf("round %d, window %s: cpu %.2f %% of one core\n", round, c.name,
                  c.percents.back());
      std::fflush(stdout);
    }
  }
  for (const Case& c : cases) {
    const auto [low, high] = std::minmax_element(c.percents.begin(), c.percents.end());
    std::printf("window %s: median %.2f %% of one core over %d runs of %.0f s (%.2f to %.2f)\n",
                c.name, Median(c.percents), rounds, seconds, *low, *high);
  }
}

// The time from a touch's last byte leaving the scanner to the X pointer on its pixel, over
// `seconds` of a touch every few turns, with the window shown.
void MeasureLatency(double seconds) {
  Run latency = RunProgram(false, seconds, true);
  std::sort(latency.latencies_ms.begin(), latency.latencies_ms.end());
  if (!latency.latencies_ms.empty()) {
    const auto& l = latency.latencies_ms;
    std::printf(
        "touch latency over TCP (last byte sent -> X pointer moved), %zu touches: median %.2f ms, "
        "max %.2f ms\n",
        l.size(), l[l.size() / 2], l.back());
  }
}

// The web service at 32 000 nodes/s, window hidden, the engine sending TUIO over UDP for a hand in
// every turn of a noisy room: the service off, on without listeners, with 1 and 10 TUIO listeners
// and with a status page, `rounds` times each, with the medians; then the time from a turn's end
// (the first node of the next turn sent) to its bundle at a web listener, and how much later that
// is than the same bundle at the UDP client.
void MeasureWeb(int rounds, double seconds) {
  struct Case {
    std::string name;
    Load load;
    std::vector<double> percents;
  };
  const auto load = [](int listeners, bool page) {
    Load l{32000, 3200, true, true, 10, 1};
    l.webListeners = listeners;
    l.statusPage = page;
    return l;
  };
  std::vector<Case> cases{{"web off", load(-1, false), {}},
                          {"web on, no listener", load(0, false), {}},
                          {"web on, 1 TUIO listener", load(1, false), {}},
                          {"web on, 10 TUIO listeners", load(10, false), {}},
                          {"web on, 1 status page", load(0, true), {}}};
  for (int round = 1; round <= rounds; ++round) {
    for (Case& c : cases) {
      const Run run = RunProgram(true, seconds, false, c.load);
      c.percents.push_back(run.cpuPercent);
      std::printf("round %d, %s: cpu %.2f %% of one core, %ld web messages\n", round,
                  c.name.c_str(), c.percents.back(), run.webMessages);
      std::fflush(stdout);
    }
  }
  std::printf(
      "\n32000 nodes/s, hidden, engine and TUIO on, a hand in every turn, noise +-10 mm;\n"
      "median %% of one core over %d runs of %.0f s\n",
      rounds, seconds);
  for (const Case& c : cases) {
    const auto [low, high] = std::minmax_element(c.percents.begin(), c.percents.end());
    std::printf("%-28s %6.2f  (%.2f to %.2f)\n", c.name.c_str(), Median(c.percents), *low, *high);
  }

  Load timed = load(1, false);
  timed.webLatency = true;
  Run run = RunProgram(true, seconds, false, timed);
  auto& l = run.webLatencies_ms;
  auto& a = run.webAfterUdp_ms;
  std::sort(l.begin(), l.end());
  std::sort(a.begin(), a.end());
  if (!l.empty()) {
    std::printf(
        "\nturn's end -> bundle at the web listener, %zu turns: median %.2f ms, 99th %.2f ms, "
        "max %.2f ms\n",
        l.size(), l[l.size() / 2], l[l.size() * 99 / 100], l.back());
  }
  if (!a.empty()) {
    std::printf(
        "the same bundle at the web listener after the UDP client, %zu turns: median %.3f "
        "ms, 99th %.3f ms, max %.3f ms\n",
        a.size(), a[a.size() / 2], a[a.size() * 99 / 100], a.back());
  }
}

// A room as a real scanner sees it: every distance off by up to `noise_mm` in every turn and a hand
// in the touch rectangle in every turn, at 8 000 and 32 000 nodes/s, with the touch engine and
// TUIO off and on; the window shown in each of the three display modes, and hidden. `only` keeps
// the cases whose name holds it. Prints every run, then a table of the medians.
void MeasureRealRoom(int rounds, double seconds, int noise_mm, const std::string& only) {
  struct Case {
    std::string name;
    bool hidden;
    Load load;
    std::vector<double> percents;
  };
  const char* const modes[] = {"outline", "rays", "points"};
  std::vector<Case> cases;
  for (const bool engine : {false, true}) {
    for (const int rate : {8000, 32000}) {
      const int perTurn = rate / 10;
      for (int mode = 0; mode < 3; ++mode) {
        cases.push_back({std::string("shown ") + modes[mode] + (engine ? " engine " : " plain ") +
                             std::to_string(rate),
                         false,
                         Load{double(rate), perTurn, engine, true, noise_mm, mode},
                         {}});
      }
      cases.push_back(
          {std::string("hidden") + (engine ? " engine " : " plain ") + std::to_string(rate),
           true,
           Load{double(rate), perTurn, engine, true, noise_mm, 1},
           {}});
    }
  }
  std::erase_if(cases, [&](const Case& c) { return c.name.find(only) == std::string::npos; });
  for (int round = 1; round <= rounds; ++round) {
    for (Case& c : cases) {
      c.percents.push_back(RunProgram(c.hidden, seconds, false, c.load).cpuPercent);
      std::printf("round %d, %s nodes/s: cpu %.2f %% of one core\n", round, c.name.c_str(),
                  c.percents.back());
      std::fflush(stdout);
    }
  }
  std::printf(
      "\nnoise +-%d mm, a hand in every turn; median %% of one core over %d runs of %.0f s\n",
      noise_mm, rounds, seconds);
  for (const Case& c : cases) {
    const auto [low, high] = std::minmax_element(c.percents.begin(), c.percents.end());
    std::printf("%-28s %6.2f  (%.2f to %.2f)\n", c.name.c_str(), Median(c.percents), *low, *high);
  }
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  int cpuRounds = 0;
  int noise_mm = 0;
  int roomRounds = 0;
  double latencySeconds = 0;
  int webRounds = 0;
  std::string only;
  std::vector<const char*> positional;
  const std::span<char*> arguments(argv + 1, static_cast<std::size_t>(argc - 1));
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string argument = arguments[i];
    if (argument == "--cpu" && i + 1 < arguments.size()) {
      cpuRounds = std::max(1, std::atoi(arguments[++i]));
    } else if (argument == "--room" && i + 1 < arguments.size()) {
      roomRounds = std::max(1, std::atoi(arguments[++i]));
      noise_mm = 10;
    } else if (argument == "--web" && i + 1 < arguments.size()) {
      webRounds = std::max(1, std::atoi(arguments[++i]));
    } else if (argument == "--latency" && i + 1 < arguments.size()) {
      latencySeconds = std::max(1.0, std::atof(arguments[++i]));
    } else if (argument == "--only" && i + 1 < arguments.size()) {
      only = arguments[++i];
    } else if (argument == "--noise" && i + 1 < arguments.size()) {
      noise_mm = std::max(0, std::atoi(arguments[++i]));
    } else if (argument == "--program" && i + 1 < arguments.size()) {
      programPath = arguments[++i];
    } else {
      positional.push_back(arguments[i]);
    }
  }
  const double seconds = !positional.empty() ? std::atof(positional[0]) : 20;
  const double minutes = positional.size() > 1 ? std::atof(positional[1]) : 10;
  if (roomRounds > 0) {
    MeasureRealRoom(roomRounds, seconds, noise_mm, only);
    return 0;
  }
  if (webRounds > 0) {
    MeasureWeb(webRounds, seconds);
    return 0;
  }
  if (cpuRounds > 0) {
    MeasureCpu(cpuRounds, seconds, noise_mm);
    return 0;
  }
  if (latencySeconds > 0) {
    MeasureLatency(latencySeconds);
    return 0;
  }
  const Run shown = RunProgram(false, seconds, false);
  std::printf("window shown:  cpu %.2f %% of one core at 8000 nodes/s\n", shown.cpuPercent);
  const Run hidden = RunProgram(true, seconds, false);
  std::printf("window hidden: cpu %.2f %% of one core at 8000 nodes/s\n", hidden.cpuPercent);
  // A dense scanner: 3 200 nodes a turn at 10 turns a second.
  const Load dense{32000, 3200, false, false};
  const Run denseShown = RunProgram(false, seconds, false, dense);
  std::printf("window shown:  cpu %.2f %% of one core at 32000 nodes/s\n", denseShown.cpuPercent);
  const Run denseHidden = RunProgram(true, seconds, false, dense);
  std::printf("window hidden: cpu %.2f %% of one core at 32000 nodes/s\n", denseHidden.cpuPercent);
  const Run engine = RunProgram(true, seconds, false, Load{32000, 3200, true, true});
  std::printf(
      "window hidden, touch engine and TUIO on, a hand in every turn: cpu %.2f %% of one core at "
      "32000 nodes/s (%.1f TUIO datagrams/s received)\n",
      engine.cpuPercent, static_cast<double>(engine.tuioDatagrams) / (seconds + 5));

  MeasureLatency(15);

  const Run memory = RunProgram(false, minutes * 60, true);
  std::printf(
      "resident memory: %ld KiB 5 s after start, %ld KiB after %.0f minutes of streaming and "
      "touches\n",
      memory.rssAfterStartKiB, memory.rssAtEndKiB, minutes);
  return 0;
}
