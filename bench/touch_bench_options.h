#pragma once

namespace bench_table {

// What touch_bench was asked to run, and how the table's streams are made.
struct BenchOptions {
  int seeds = 6;
  double seconds = 30;
  double block_ms = 10;
  double noiseMm = 3;
  double handMm = 60;
  bool quick = false;
  bool sweep = false;
  bool events = false;     // print every ghost and id switch
  bool surface = false;    // two scanners on a wall and four corners instead of the table
  bool roomsOnly = false;  // only the scenes in every room
  bool heldOnly = false;   // only the held hands through the whole program
  bool still = false;      // the scenes around a still thing instead of the table
  // Only the table's cases with these hands, nodes per second and turns per second (0: any).
  int onlyHands = 0;
  double onlyNodesPerSecond = 0;
  double onlyTurnsPerSecond = 0;
};

}  // namespace bench_table
