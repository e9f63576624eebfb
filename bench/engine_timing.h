#pragma once

#include <vector>

#include "app/main_form.h"
#include "decoding/scan_node.h"
#include "engine/touch_engine.h"

namespace bench_table {

// Nodes per second through the engine alone, on one core: `nodes` fed again and again for a
// quarter of a second to an engine calibrated as `form`.
double TimeEngine(scantouch::MainForm& form, const scantouch::TouchEngineSettings& settings,
                  const std::vector<scantouch::PreciseScanNode>& nodes);

}  // namespace bench_table
