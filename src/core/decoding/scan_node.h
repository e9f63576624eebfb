#pragma once

#include <cstdint>

namespace scantouch {

// One decoded measurement of the sweep.
struct ScanNode {
  int angle = 0;              // 0..359 whole degrees after angle correction; 0 is straight up
  std::int16_t quality = 0;   // 0..64
  std::int32_t distance = 0;  // millimetres
  // The scanner's learned background says this is the surroundings, not a touch.
  bool stillThing = false;
  friend bool operator==(const ScanNode&, const ScanNode&) = default;
};

// Whoever takes the decoded nodes of a pass, one at a time and in stream order. `sensitivity` is
// the quality gate as read once at the start of the pass.
class ScanNodeConsumer {
 public:
  virtual ~ScanNodeConsumer() = default;
  virtual void processScanNode(const ScanNode& node, std::int16_t sensitivity) = 0;
};

// A node at the scanner's full angular resolution, for the touch engine: the whole degrees of
// `ScanNode` merge neighbouring nodes of a dense scanner. No-return nodes come too: they tell
// how long a turn is. Where turns begin is the sweep's to say (TurnFinder), for every scanner
// alike.
struct PreciseScanNode {
  double angle = 0;            // [0, 360) degrees after angle correction, to the scanner's 1/64
  std::int16_t quality = 0;    // 0..64
  std::int32_t distance = 0;   // millimetres; 0: the beam found nothing
  double scannerAngle = 0;     // [0, 360) degrees before the angle correction: a turn starts at 0
  bool startsTurn = false;     // the first node of a turn
  bool wholeTurnEnds = false;  // ... and the turn before it was one of a sweep, to be used
  // It lies where the sweep stands (TurnFinder); one that does not is most likely damaged, and
  // the beams the sweep measured meanwhile are missing.
  bool followsSweep = true;
  // The framing ruled out bytes since the node before: the sweep measured more than arrived.
  bool afterLoss = false;
};

class PreciseScanNodeConsumer {
 public:
  virtual ~PreciseScanNodeConsumer() = default;
  virtual void processPreciseNode(const PreciseScanNode& node, std::int16_t sensitivity) = 0;
};

}  // namespace scantouch
