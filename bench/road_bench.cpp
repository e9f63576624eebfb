// How fast the whole road runs: a realistic stream (a room and a hand moving in the touch
// rectangle, 360 nodes per revolution) is fed to the decoder in blocks of 100 ms of scanner data,
// as the links hand them over, and goes through decoder, point processing and mapping to a
// desktop that does nothing. The window is hidden, so no hex text is made for it.
// The byte loop decodes the same nodes straight from bytes, the limit the road is measured by.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "app/main_form.h"
#include "example_setup.h"
#include "node_stream.h"
#include "toolkit/virtual_event_loop.h"

namespace {

using namespace scantouch;

constexpr double kBlockSeconds = 0.1;
constexpr int kBlocks = 200;

struct Recording {
  std::vector<std::vector<std::uint8_t>> blocks;  // what the serial poll reads, block by block
  std::vector<std::uint8_t> bytes;                // the same nodes in one piece
  std::size_t nodes = 0;
};

const Recording& TheRecording() {
  static const Recording recording = [] {
    Recording r;
    scanner_sim::StreamSettings settings;
    settings.revolutionsPerSecond = 10;
    settings.nodesPerSecond = 360 * settings.revolutionsPerSecond;
    scanner_sim::NodeStream stream(examples::HandInTheRectangle(4), settings);
    for (int i = 0; i < kBlocks; ++i) {
      std::vector<std::uint8_t> block;
      stream.appendSeconds(block, kBlockSeconds);
      r.bytes.insert(r.bytes.end(), block.begin(), block.end());
      r.blocks.push_back(block);
    }
    r.nodes = r.bytes.size() / 5;
    return r;
  }();
  return recording;
}

void WholeRoad(benchmark::State& state) {
  const Recording& recording = TheRecording();
  NoDesktopInput desktop;
  scantouch::examples::InMemorySettings settingsFile;
  VirtualEventLoop loop;
  MainForm form(loop, desktop, settingsFile.file);
  examples::CalibrateLikeTheExamples(form);
  std::uint64_t touches = 0;
  form.TXT当前处理数据.changed.connect([&touches] { ++touches; });
  form.decoder().feed(scanner_sim::kScanDescriptor);
  for (auto _ : state) {
    for (const std::vector<std::uint8_t>& block : recording.blocks)
      form.decoder().feed(block);
  }
  state.counters["nodes_per_s"] = benchmark::Counter(static_cast<double>(recording.nodes),
                                                     benchmark::Counter::kIsIterationInvariantRate);
  state.counters["touches_per_iteration"] =
      benchmark::Counter(static_cast<double>(touches), benchmark::Counter::kAvgIterations);
}
BENCHMARK(WholeRoad)->Unit(benchmark::kMillisecond);

// The least any decoder has to do: read five bytes and work out angle, quality and distance.
void ByteLoop(benchmark::State& state) {
  const Recording& recording = TheRecording();
  for (auto _ : state) {
    std::uint64_t sum = 0;
    const std::uint8_t* p = recording.bytes.data();
    for (std::size_t i = 0; i < recording.nodes; ++i, p += 5) {
      const unsigned angle = ((p[2] * 256u + p[1]) >> 1) / 64;
      const unsigned quality = p[0] >> 2;
      const unsigned distance = (p[4] * 256u + p[3]) / 4;
      sum += angle + quality + distance;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.counters["nodes_per_s"] = benchmark::Counter(static_cast<double>(recording.nodes),
                                                     benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(ByteLoop)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
