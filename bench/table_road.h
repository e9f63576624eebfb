#pragma once

// The road a table's case runs through: one scanner's stream over a line that may lose or garble
// bytes, in blocks that break anywhere, through the main window's decoder, single-touch road and
// engine, with the event loop's clock following the stream; judged as it goes.

#include <cstdint>
#include <optional>

#include "background/learned_background.h"
#include "engine/touch_engine.h"
#include "node_stream.h"
#include "scene_hands.h"
#include "table_cases.h"
#include "table_figures.h"
#include "touch_bench_options.h"

namespace bench_table {

// The stream of case `c`'s scanner.
scanner_sim::StreamSettings StreamOf(const Case& c, std::uint32_t seed,
                                     const BenchOptions& options);

// Runs `scene` through the road, the first scanner's learned `background` (if any) on the engine
// and the single-touch road, and judges it; `timeEngine` also times the engine alone on the
// nodes of the run.
Figures RunScene(const Case& c, const bench_scenes::HandScene& scene, std::uint32_t seed,
                 const BenchOptions& options, const scantouch::TouchEngineSettings& settings,
                 bool timeEngine,
                 const std::optional<scantouch::LearnedBackground>& background = std::nullopt);

// Case `c`'s scene in its room, of each seed the options ask for, its figures summed; the engine
// timed on the first seed's nodes if `timeEngine`.
Figures RunSeeds(const Case& c, const BenchOptions& options,
                 const scantouch::TouchEngineSettings& settings, bool timeEngine);

}  // namespace bench_table
