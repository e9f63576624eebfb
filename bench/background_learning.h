#pragma once

#include <cstdint>
#include <optional>

#include "background/learned_background.h"
#include "scene.h"
#include "table_cases.h"
#include "touch_bench_options.h"

namespace bench_table {

struct Learned {
  std::optional<scantouch::LearnedBackground> background;
  int wholeTurns = 0;
};

// The first scanner's background as the program learns it: every node the sweep hands on, over
// 3 s of `room` with nobody in it, on a stream of case `c`'s scanner of its own (another stretch
// of noise than the judged one's).
Learned LearnBackground(const Case& c, const scanner_sim::Scene& room, std::uint32_t seed,
                        const BenchOptions& options);

}  // namespace bench_table
