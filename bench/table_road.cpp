#include "table_road.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <span>
#include <vector>

#include "click_judging.h"
#include "engine_timing.h"
#include "finger_scenes.h"
#include "lossy_line.h"
#include "main_form_on_fakes.h"
#include "noisy_stream.h"
#include "rooms.h"
#include "table_judge.h"
#include "table_rectangle.h"
#include "table_scenes.h"

namespace bench_table {

using namespace scantouch;
namespace sim = scanner_sim;
using bench_scenes::HandScene;

sim::StreamSettings StreamOf(const Case& c, std::uint32_t seed, const BenchOptions& options) {
  sim::StreamSettings stream =
      testing::NoisyStream(c.nodesPerSecond, c.turnsPerSecond, options.noiseMm, seed);
  stream.noReturnShare = c.line.noReturn;
  return stream;
}

Figures RunScene(const Case& c, const HandScene& scene, std::uint32_t seed,
                 const BenchOptions& options, const TouchEngineSettings& settings, bool timeEngine,
                 const std::optional<LearnedBackground>& background) {
  Figures figures;
  testing::MainFormOnFakes fakes;
  MainForm& form = fakes.form;
  testing::Calibrate(form, kCalibration);
  TouchEngine& engine = form.engine();
  engine.configure(settings);
  form.runEngine(true);
  if (background) {
    engine.setBackground(0, background);
    form.decoder().setBackground(background);
  }
  // Between the decoder and the engine: the time of each node, and nodes for timing the engine.
  NodeTee tee(engine, c.turnsPerSecond, timeEngine ? 2'000'000 : 0);
  form.decoder().setPreciseConsumer(&tee);
  Judge judge(scene, tee, c.turnsPerSecond, settings, figures, options.events);
  engine.addSink(judge);

  sim::NodeStream nodes(scene.scene, StreamOf(c, seed, options));
  sim::LossyLine line(c.line.drop, c.line.corrupt, seed * 7919u + 1);
  std::mt19937 random(seed);
  // Blocks break anywhere, not only between nodes: part of each waits for the next.
  std::uniform_int_distribution<std::size_t> heldBack(0, 40);

  form.decoder().feed(sim::kScanDescriptor);
  std::vector<Click> clicks;
  std::vector<std::uint8_t> sent;
  std::vector<std::uint8_t> received;
  const double block_s = options.block_ms / 1000;
  while (nodes.time_s() < options.seconds) {
    sent.clear();
    nodes.appendSeconds(sent, block_s);
    const double arrived_s = nodes.time_s();
    tee.dataReaches(arrived_s);
    const std::vector<std::uint8_t> arrived = line.pass(sent);
    received.insert(received.end(), arrived.begin(), arrived.end());
    const std::size_t blockSize = received.size() - std::min(received.size(), heldBack(random));
    fakes.loop.advance(std::llround(arrived_s * 1000) - fakes.loop.nowMs());
    fakes.desktop.actions.clear();
    form.decoder().feed(std::span(received).first(blockSize));
    received.erase(received.begin(), received.begin() + static_cast<std::ptrdiff_t>(blockSize));
    for (const auto& action : fakes.desktop.actions) {
      if (action.kind != testing::RecordingDesktopInput::Action::Kind::click)
        continue;
      clicks.push_back(Click{arrived_s, sim::PlanePoint{action.at.x / kPixelsPerMm + kRectLeft,
                                                        action.at.y / kPixelsPerMm + kRectTop}});
    }
  }
  judge.finish();
  judge.countUnframedTurns(options.seconds);
  figures.seconds = nodes.time_s();
  figures.streamTurns = nodes.time_s() * c.turnsPerSecond;
  JudgeClicks(judge, scene, clicks, c.turnsPerSecond, options.seconds,
              2 * block_s + 1 / c.turnsPerSecond, figures);
  if (timeEngine)
    figures.engineNodesPerSecond = TimeEngine(form, settings, tee.nodes);
  return figures;
}

namespace {

HandScene SceneOf(const Case& c, std::uint32_t seed, const BenchOptions& options) {
  switch (c.kind) {
    case SceneKind::close:
      return CloseHands(options.seconds, seed, options.handMm);
    case SceneKind::fast:
      return FastSwipe(options.seconds, seed, options.handMm);
    case SceneKind::fingers:
      return bench_scenes::TwoFingerScene(kTouchArea, options.seconds, seed, 1 / c.turnsPerSecond);
    case SceneKind::hands:
      break;
  }
  return HandsInCells(c.hands, options.seconds, seed, options.handMm);
}

}  // namespace

Figures RunSeeds(const Case& c, const BenchOptions& options, const TouchEngineSettings& settings,
                 bool timeEngine) {
  Figures total;
  for (int seed = 1; seed <= options.seeds; ++seed) {
    const auto s = static_cast<std::uint32_t>(seed);
    HandScene scene = SceneOf(c, s, options);
    sim::FurnishRoom(scene.scene, c.room, kTouchArea);
    total.add(RunScene(c, scene, s, options, settings, timeEngine && seed == 1));
  }
  return total;
}

}  // namespace bench_table
