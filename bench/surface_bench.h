#pragma once

#include <optional>

#include "scene.h"

namespace surface_bench {

// What `touch_bench --surface` runs on: its own defaults for seeds and seconds, the stream's
// blocks, noise and hand size as the table's options give them.
struct SurfaceOptions {
  int seeds = 10;
  double seconds = 60;
  double block_ms = 10;
  double noiseMm = 3;
  double handMm = 60;
  bool events = false;     // print every id switch, new id and ghost
  bool roomsOnly = false;  // only the hand scenes in every room
};

// Several scanners on one wall and the four-corner mapping, judged against their goals.
void RunSurface(const SurfaceOptions& options);

// When a scanner's beam passed `object` (in that scanner's own plane) in the turn that starts at
// `start_s` and lasts `turn_s`: the last time in the turn at which the sweep stood at the
// object's bearing, if any. A hand that moves across the start of the turn ahead of the beam is
// not passed at all, and one moving against it may be passed twice.
std::optional<double> SweptAt(const scanner_sim::SceneObject& object, double start_s,
                              double turn_s);

}  // namespace surface_bench
