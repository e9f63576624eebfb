#include "background_learning.h"

#include <cmath>
#include <vector>

#include "main_form_on_fakes.h"
#include "node_stream.h"
#include "table_rectangle.h"
#include "table_road.h"

namespace bench_table {

using namespace scantouch;
namespace sim = scanner_sim;

Learned LearnBackground(const Case& c, const sim::Scene& room, std::uint32_t seed,
                        const BenchOptions& options) {
  constexpr double kLearn_s = 3;
  struct Learner final : PreciseScanNodeConsumer {
    void processPreciseNode(const PreciseScanNode& node, std::int16_t) override {
      learning.take(node.scannerAngle, node.distance, node.startsTurn, node.wholeTurnEnds);
    }
    BackgroundLearning learning;
  } learner;
  testing::MainFormOnFakes fakes;
  MainForm& form = fakes.form;
  testing::Calibrate(form, kCalibration);
  form.decoder().setPreciseConsumer(&learner);
  sim::Scene empty = room;
  empty.objects.clear();
  sim::NodeStream nodes(empty, StreamOf(c, seed * 7919u + 104729u, options));
  form.decoder().feed(sim::kScanDescriptor);
  std::vector<std::uint8_t> sent;
  while (nodes.time_s() < kLearn_s) {
    sent.clear();
    nodes.appendSeconds(sent, options.block_ms / 1000);
    fakes.loop.advance(std::llround(nodes.time_s() * 1000) - fakes.loop.nowMs());
    form.decoder().feed(sent);
  }
  return Learned{learner.learning.finish(0), learner.learning.wholeTurns()};
}

}  // namespace bench_table
