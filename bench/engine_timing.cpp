#include "engine_timing.h"

#include <chrono>
#include <cstdint>

#include "toolkit/virtual_event_loop.h"

namespace bench_table {

using namespace scantouch;
using BenchClock = std::chrono::steady_clock;

double TimeEngine(MainForm& form, const TouchEngineSettings& settings,
                  const std::vector<PreciseScanNode>& nodes) {
  if (nodes.empty())
    return 0;
  VirtualEventLoop loop;
  TouchEngine engine(loop);
  engine.configure(settings);
  engine.configure(form.engine().shapes());
  engine.configure(form.engine().screenArea());
  engine.setRunning(true);
  std::uint64_t fed = 0;
  const BenchClock::time_point start = BenchClock::now();
  double elapsed_s = 0;
  do {
    for (const PreciseScanNode& node : nodes)
      engine.processPreciseNode(node, 2);
    fed += nodes.size();
    elapsed_s = std::chrono::duration<double>(BenchClock::now() - start).count();
  } while (elapsed_s < 0.25);
  return static_cast<double>(fed) / elapsed_s;
}

}  // namespace bench_table
