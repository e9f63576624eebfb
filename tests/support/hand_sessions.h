#pragma once

#include <cstdint>
#include <vector>

#include "scene.h"

namespace scantouch::testing {

// Hands held in the touch rectangle of the worked examples, seen by the whole program with the
// touch engine on (TUIO to a recording target, the mouse left alone), on the virtual clock, fed
// through the serial port every 100 ms by a simulated scanner over a line that loses or garbles
// bytes: how many sessions the engine gave each hand. A hand that stays should keep one.
struct HandSessionOptions {
  std::vector<scanner_sim::SceneObject> hands;  // relative to the scanner, as the scene has them
  double simulated_s = 600;
  double nodesPerSecond = 2000;
  double turnsPerSecond = 5.5;
  double drop = 0;     // of the bytes sent, lost
  double corrupt = 0;  // ... and garbled
  std::uint32_t seed = 1;
};

struct HandSessionFigures {
  // Per hand, the contacts born nearest to it (within kOwnMm); each after its first is a break.
  std::vector<int> sessions;
  int strangers = 0;  // contacts born farther than kOwnMm from every hand
  std::uint64_t frames = 0;
  std::uint64_t damagedBytes = 0;

  static constexpr double kOwnMm = 150;
  int breaks() const;
};

HandSessionFigures RunHandSessions(const HandSessionOptions& options);

// A still hand and one that moves slowly (150 mm in 10 s and back), far apart, both in the
// middle of the worked examples' touch rectangle.
std::vector<scanner_sim::SceneObject> StillAndSlowHands();

}  // namespace scantouch::testing
