#include "hand_sessions.h"

#include <cmath>
#include <memory>

#include "app/scanner_program.h"
#include "example_setup.h"
#include "fake_platform.h"
#include "lossy_line.h"
#include "node_stream.h"
#include "recording_datagrams.h"

namespace scantouch::testing {

int HandSessionFigures::breaks() const {
  int total = 0;
  for (const int n : sessions)
    total += n > 1 ? n - 1 : 0;
  return total;
}

std::vector<scanner_sim::SceneObject> StillAndSlowHands() {
  scanner_sim::SceneObject still;
  still.from = {-1200, -3800};
  still.diameterMm = 60;
  scanner_sim::SceneObject slow;
  slow.from = {1000, -4000};
  slow.to = scanner_sim::PlanePoint{1150, -4000};
  slow.period_s = 20;
  slow.diameterMm = 60;
  return {still, slow};
}

namespace {

namespace sim = scanner_sim;

constexpr std::int64_t kPoll_ms = 100;  // the serial link's poll, and the run's step
// The worked examples put the scanner here in the view.
constexpr double kScannerX = 7500;
constexpr double kScannerY = 7500;

class HandSessionRun final : public TouchFrameSink {
 public:
  explicit HandSessionRun(const HandSessionOptions& options)
      : options_(options),
        stream_(SceneOf(options), StreamOf(options)),
        line_(options.drop, options.corrupt, options.seed * 7919u + 1) {
    figures_.sessions.assign(options.hands.size(), 0);
    fakes_.files.files["/opt/scantouch/系统配置.ini"] =
        "[串口设置]\r\n端口=1\r\n[触控引擎]\r\n鼠标模式=2\r\nTUIO目标=127.0.0.1:3333\r\n";
    program_.touchOutputs().connectNetwork(datagrams_);
    program_.lifecycle().startUp();
    examples::CalibrateLikeTheExamples(program_.form());
    program_.form().engine().addSink(*this);
  }

  HandSessionFigures run() {
    const auto steps = static_cast<std::int64_t>(options_.simulated_s * 1000 / kPoll_ms);
    for (std::int64_t step = 0; step < steps; ++step) {
      std::vector<std::uint8_t> bytes;
      // A ":SCAN." the program sent (its watchdog) starts the stream anew.
      if (fakes_.serialPort.written.find(":SCAN.") != std::string::npos)
        bytes = sim::StreamStart(0, options_.seed);
      fakes_.serialPort.written.clear();
      stream_.appendSeconds(bytes, static_cast<double>(kPoll_ms) / 1000);
      const std::vector<std::uint8_t> arrived = line_.pass(bytes);
      fakes_.serialPort.waiting.insert(fakes_.serialPort.waiting.end(), arrived.begin(),
                                       arrived.end());
      fakes_.loop.advance(kPoll_ms);
      datagrams_.sent.clear();
    }
    figures_.damagedBytes = line_.lostBytes() + line_.corruptedBytes();
    return figures_;
  }

  void onTouchFrame(const TouchFrame& frame) override {
    ++figures_.frames;
    const double now_s = stream_.time_s();
    for (const SessionId id : frame.born) {
      for (const Contact& contact : frame.live) {
        if (contact.sessionId != id)
          continue;
        int nearest = -1;
        double nearestMm = HandSessionFigures::kOwnMm;
        for (std::size_t h = 0; h < options_.hands.size(); ++h) {
          const sim::PlanePoint at = options_.hands[h].centreAt(now_s);
          const double mm = std::hypot(contact.x - kScannerX - at.x, contact.y - kScannerY - at.y);
          if (mm <= nearestMm) {
            nearestMm = mm;
            nearest = static_cast<int>(h);
          }
        }
        if (nearest >= 0)
          ++figures_.sessions[static_cast<std::size_t>(nearest)];
        else
          ++figures_.strangers;
      }
    }
  }

 private:
  static sim::Scene SceneOf(const HandSessionOptions& options) {
    sim::Scene scene;
    scene.roomDistanceMm = {7000};
    scene.objects = options.hands;
    return scene;
  }
  static sim::StreamSettings StreamOf(const HandSessionOptions& options) {
    sim::StreamSettings stream;
    stream.nodesPerSecond = options.nodesPerSecond;
    stream.revolutionsPerSecond = options.turnsPerSecond;
    stream.angleJitterDegrees = 0.05;
    stream.distanceNoiseMm = 3;
    stream.seed = options.seed;
    return stream;
  }

  HandSessionOptions options_;
  HandSessionFigures figures_;
  sim::NodeStream stream_;
  sim::LossyLine line_;

  FakePlatform fakes_;
  RecordingDatagramSockets datagrams_;
  ScannerProgram program_{fakes_.platform()};
};

}  // namespace

HandSessionFigures RunHandSessions(const HandSessionOptions& options) {
  // Large: the whole program lives in it.
  auto run = std::make_unique<HandSessionRun>(options);
  return run->run();
}

}  // namespace scantouch::testing
