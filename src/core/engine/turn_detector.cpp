#include "engine/turn_detector.h"

#include <cmath>

namespace scantouch {

void TurnDetector::reset() {
  lastAngle_.reset();
  suspectAngle_.reset();
  farHalfSeen_ = false;
}

bool TurnDetector::startsTurn(const PreciseScanNode& node) {
  const auto follows = [](double later, double earlier) {
    return std::fmod(later - earlier + 360.0, 360.0) < kLargestStep_degrees;
  };
  // From late in a turn to early in the next: where the scanner's own angle passes 0.
  const auto passesZero = [](double later, double earlier) { return earlier >= 270 && later < 90; };
  // The flag counts where it follows the sweep: damaged bytes make nodes with the flag near 0
  // anywhere in the turn.
  bool starts = node.startOfTurn && (!lastAngle_ || follows(node.scannerAngle, *lastAngle_));
  // Only measured nodes tell the way the sweep goes (a no-return node's angle wanders), and a
  // node far from the one before it counts only when the next one agrees: a node of damaged
  // bytes can carry any angle. A sweep that passes 0 without the flag lost its node.
  if (node.distance != 0) {
    const double angle = node.scannerAngle;
    if (!lastAngle_) {
      lastAngle_ = angle;
      suspectAngle_.reset();
    } else if (suspectAngle_ && follows(angle, *suspectAngle_)) {
      starts = starts || passesZero(*suspectAngle_, *lastAngle_);  // a gap, confirmed
      lastAngle_ = angle;
      suspectAngle_.reset();
    } else if (follows(angle, *lastAngle_)) {
      starts = starts || passesZero(angle, *lastAngle_);
      lastAngle_ = angle;
      suspectAngle_.reset();
    } else {
      suspectAngle_ = angle;
    }
  }
  if (lastAngle_ && !suspectAngle_ && *lastAngle_ >= 90 && *lastAngle_ < 270)
    farHalfSeen_ = true;
  // A turn is not over before the sweep has been to its far half.
  if (!starts || !farHalfSeen_)
    return false;
  farHalfSeen_ = false;
  if (node.distance != 0) {
    lastAngle_ = node.scannerAngle;
    suspectAngle_.reset();
  }
  return true;
}

}  // namespace scantouch
