#pragma once

// How the single-touch road did on a table's scene: its clicks near visible hands, and those near
// none, at the still thing in particular.

#include <vector>

#include "scene.h"
#include "scene_hands.h"
#include "table_figures.h"
#include "table_judge.h"

namespace bench_table {

// A click of the single-touch road, relative to the scanner, and when its block arrived.
struct Click {
  double time_s;
  scanner_sim::PlanePoint at;
};

// The road's clicks against the hands `judge` sees, `window_s` after the beam passed them;
// `clicks` in the order they came.
void JudgeClicks(const Judge& judge, const bench_scenes::HandScene& scene,
                 const std::vector<Click>& clicks, double turnsPerSecond, double seconds,
                 double window_s, Figures& figures);

}  // namespace bench_table
