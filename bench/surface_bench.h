#pragma once

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

}  // namespace surface_bench
