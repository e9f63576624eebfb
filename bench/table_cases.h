#pragma once

// What the touch table runs: the line the bytes cross, the scene, the scanner's rates and the
// room of each case.

#include <vector>

#include "rooms.h"

namespace bench_table {

struct Line {
  const char* name;
  double drop = 0;
  double corrupt = 0;
  double noReturn = 0;
};
inline const Line kClean{"clean"};
inline const Line kLost{"lost 1e-3", 1e-3, 0, 0};
inline const Line kGarbled{"garbled 1e-3", 0, 1e-3, 0};
inline const Line kNoReturn{"no-return 40%", 0, 0, 0.4};

// The scenes of the table (bench/table_scenes.h), and two more for the sweep: hands close to each
// other and a fast swipe beside a still hand. The rooms' table adds two fingers arriving one
// after the other (bench/finger_scenes.h).
enum class SceneKind { hands, close, fast, fingers };

struct Case {
  int hands;
  double nodesPerSecond;
  double turnsPerSecond;
  Line line;
  SceneKind kind = SceneKind::hands;
  scanner_sim::RoomKind room = scanner_sim::RoomKind::plain;
};

// What the main table runs. Every hand count, rate and turn rate on a clean line; the damaged
// lines on fewer combinations, every hand count and every rate still among them.
std::vector<Case> TableCases(bool quick);

}  // namespace bench_table
