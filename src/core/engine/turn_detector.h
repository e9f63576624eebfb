#pragma once

#include <optional>

#include "scan/scan_node.h"

namespace scantouch {

// Where one scanner's turns begin: at the scanner's start flag where it follows the sweep, or
// where measured nodes pass 0 degrees without it, and only once the sweep has been to the far
// half of the turn.
class TurnDetector {
 public:
  // Consecutive measured nodes lie closer than this; farther is a gap or a damaged node.
  static constexpr double kLargestStep_degrees = 45;

  // True when `node` is the first of a new turn.
  bool startsTurn(const PreciseScanNode& node);
  void reset();

 private:
  std::optional<double> lastAngle_;     // the scanner's angle of the last measured node
  std::optional<double> suspectAngle_;  // a node far from it, until the next one agrees
  bool farHalfSeen_ = false;  // the sweep has been between 90 and 270 degrees since the turn began
};

}  // namespace scantouch
