#include "surface_rig.h"

#include <algorithm>
#include <cmath>

#include "decoding/node_framing.h"
#include "decoding/turn_finder.h"
#include "node_stream.h"
#include "noisy_stream.h"
#include "scanners/scanner_stream.h"
#include "touch_calibration.h"

namespace surface_bench {

using namespace scantouch;
namespace sim = scanner_sim;
using bench_judging::ScannerClock;

namespace {

// A further scanner's nodes, framed from the same bytes its ScannerStream gets, for its clock
// only: the stream hands its nodes straight to the engine.
class FramedClock final : public FramedNodeSink {
 public:
  explicit FramedClock(ScannerClock& clock) : clock_(clock) {}
  void takeNode(const RawNode& raw) override {
    // As the scanner stream reads a further scanner's angle.
    double angle = std::fmod(raw.angle64 / 64.0 + 360.0, 360.0);
    if (angle >= 360.0)
      angle = 0;
    const TurnFinder::Mark mark = turns_.take(angle, raw.distance != 0, raw.startOfTurn);
    clock_.take(PreciseScanNode{angle, static_cast<std::int16_t>(raw.quality), raw.distance, angle,
                                mark.turnBegins, mark.wholeTurnEnds});
  }

 private:
  ScannerClock& clock_;
  TurnFinder turns_;  // as the scanner's stream follows its sweep
};

}  // namespace

// The first scanner's nodes on their way from the decoder to the engine: timed first, so that a
// frame knows the turn it ends.
class SurfaceRig::FirstScannerTee final : public PreciseScanNodeConsumer {
 public:
  FirstScannerTee(ScannerClock& clock, TouchEngine& engine) : clock_(clock), engine_(engine) {}
  void processPreciseNode(const PreciseScanNode& node, std::int16_t sensitivity) override {
    clock_.take(node);
    engine_.processPreciseNode(node, sensitivity);
  }

 private:
  ScannerClock& clock_;
  TouchEngine& engine_;
};

struct SurfaceRig::Link {
  Link(const sim::Scene& scene, const ScannerSetup& scanner, bool sends, std::size_t index,
       TouchEngine& engine, const sim::StreamSettings& settings)
      : setup(scanner),
        fed(sends),
        nodes(sim::SceneSeenFrom(scene, scanner.pose), settings),
        clock(scanner.turnsPerSecond, scanner.turnPhase),
        framed(clock) {
    if (index > 0)
      stream = std::make_unique<ScannerStream>(LinkId{static_cast<int>(index)}, index, engine);
  }
  ScannerSetup setup;
  bool fed;
  sim::NodeStream nodes;
  ScannerClock clock;
  FramedClock framed;
  NodeFraming framing;
  std::unique_ptr<ScannerStream> stream;
  std::vector<std::uint8_t> received;
};

SurfaceRig::SurfaceRig(const sim::Scene& scene, const std::vector<ScannerSetup>& setups,
                       const std::vector<bool>& fed, const std::vector<Pose>& enginePoses,
                       std::uint32_t seed, const SurfaceOptions& options)
    : engine_(fakes_.form.engine()),
      block_s_(options.block_ms / 1000),
      random_(seed * 2654435761u + 17) {
  MainForm& form = fakes_.form;
  testing::Calibrate(form, kCalibration);
  TouchEngine& engine = form.engine();
  engine.configure(TouchEngineSettings{});
  engine.setScanners(std::nullopt, enginePoses);
  form.runEngine(true);
  for (std::size_t s = 0; s < setups.size(); ++s) {
    sim::StreamSettings stream =
        testing::NoisyStream(setups[s].nodesPerSecond, setups[s].turnsPerSecond, options.noiseMm,
                             seed * 7919u + static_cast<std::uint32_t>(s) * 104729u);
    stream.turnPhase = setups[s].turnPhase;
    links_.push_back(std::make_unique<Link>(scene, setups[s], fed.at(s), s, engine, stream));
  }
  tee_ = std::make_unique<FirstScannerTee>(links_[0]->clock, engine);
  form.decoder().setPreciseConsumer(tee_.get());
  for (auto& link : links_)
    link->received.assign(sim::kScanDescriptor.begin(), sim::kScanDescriptor.end());
}

SurfaceRig::~SurfaceRig() = default;

void SurfaceRig::runUntil(double until_s) {
  std::uniform_int_distribution<std::size_t> heldBack(0, 40);
  std::vector<std::uint8_t> sent;
  std::vector<std::size_t> order;
  for (std::size_t s = 0; s < links_.size(); ++s) {
    if (links_[s]->fed)
      order.push_back(s);
  }
  while (now_s_ < until_s - 1e-9) {
    now_s_ = static_cast<double>(++blocks_) * block_s_;
    fakes_.loop.advance(std::llround(now_s_ * 1000) - fakes_.loop.nowMs());
    std::shuffle(order.begin(), order.end(), random_);
    for (const std::size_t s : order) {
      Link& link = *links_[s];
      sent.clear();
      link.nodes.appendSeconds(sent, now_s_ - link.nodes.time_s());
      link.received.insert(link.received.end(), sent.begin(), sent.end());
      const std::size_t size =
          link.received.size() - std::min(link.received.size(), heldBack(random_));
      const ByteSpan bytes(link.received.data(), size);
      link.clock.dataReaches(link.nodes.time_s());
      if (s == 0) {
        fakes_.form.decoder().feed(bytes);
      } else {
        (void)link.framing.decode(bytes, link.framed);
        link.stream->feed(bytes, true, 2);
      }
      link.received.erase(link.received.begin(),
                          link.received.begin() + static_cast<std::ptrdiff_t>(size));
    }
  }
}

bool SurfaceRig::fed(std::size_t s) const {
  return links_[s]->fed;
}
const ScannerSetup& SurfaceRig::setup(std::size_t s) const {
  return links_[s]->setup;
}
const ScannerClock& SurfaceRig::clock(std::size_t s) const {
  return links_[s]->clock;
}
const sim::Scene& SurfaceRig::seenBy(std::size_t s) const {
  return links_[s]->nodes.scene();
}

}  // namespace surface_bench
