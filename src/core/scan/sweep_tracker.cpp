#include "sweep_tracker.h"

#include <cmath>

#include "common/rounding.h"

namespace scantouch {
namespace {

// Appends "007 " for angle 7: the number format "000" and a blank.
void AppendTraceEntry(std::string& trace, int angle) {
  trace += static_cast<char>('0' + angle / 100);
  trace += static_cast<char>('0' + angle / 10 % 10);
  trace += static_cast<char>('0' + angle % 10);
  trace += ' ';
}

// The node's angle at the scanner's full resolution, corrected into [0, 360).
double ExactAngle(const RawNode& raw, double correction) {
  const double angle = std::fmod(raw.angle64 / 64.0 + correction + 720.0, 360.0);
  return angle < 360.0 ? angle : 0.0;  // a sum a hair below a whole turn rounds up to it
}

}  // namespace

SweepTracker::SweepTracker(RadarView& radar, ScanNodeConsumer& consumer)
    : radar_(radar), consumer_(consumer) {}

void SweepTracker::beginPass(std::int16_t sensitivity, double correction) {
  sensitivity_ = sensitivity;
  correction_ = correction;
  pendingTrace_.clear();
}

void SweepTracker::endPass() {
  radar_.appendAngleTrace(pendingTrace_);
}

int SweepTracker::correctAngle(int angle) const {
  const auto corrected =
      static_cast<long long>(RoundHalfEvenUnbounded(angle + correction_ + 360.0));
  return static_cast<int>(((corrected % 360) + 360) % 360);
}

void SweepTracker::onHalfTurn() {
  pendingTrace_.clear();
  radar_.clearAngleTrace();
  radar_.clearPicture();
  ++halfTurns_;
  radar_.countDownTouchMarker();
}

void SweepTracker::enterHalf(int half) {
  if (half == lastHalf_)
    return;
  onHalfTurn();
  lastHalf_ = half;
}

void SweepTracker::takeNode(const RawNode& raw) {
  const int angle = correctAngle(raw.angleDegrees);
  ++decodedNodes_;
  if (raw.distance == 0) {
    // The beam came back with nothing: no point, no hit, and a run is neither started nor ended
    // by it. Scanners report such nodes at angles that wander several degrees around their
    // neighbours, so their angle moves the sweep into the other half only from well inside it:
    // their wandering around 0 and 180 makes no half turns, while a scanner that sees nothing at
    // all still counts its turns.
    ++noReturnNodes_;
    if (raw.startOfTurn && preciseConsumer_ != nullptr)  // it still tells where a turn begins
      preciseConsumer_->processPreciseNode(
          PreciseScanNode{ExactAngle(raw, correction_), 0, 0, true, ExactAngle(raw, 0)},
          sensitivity_);
    const int intoHalf = angle % 180;
    if (intoHalf >= kNoReturnHalfMarginDegrees && intoHalf < 180 - kNoReturnHalfMarginDegrees)
      enterHalf(angle / 180);
    return;
  }
  enterHalf(angle / 180);
  radar_.setQualityLabel(angle, raw.quality);
  AppendTraceEntry(pendingTrace_, angle);
  consumer_.processScanNode(ScanNode{angle, static_cast<std::int16_t>(raw.quality), raw.distance},
                            sensitivity_);
  if (preciseConsumer_ != nullptr) {
    preciseConsumer_->processPreciseNode(
        PreciseScanNode{ExactAngle(raw, correction_), static_cast<std::int16_t>(raw.quality),
                        raw.distance, raw.startOfTurn, ExactAngle(raw, 0)},
        sensitivity_);
  }
}

}  // namespace scantouch
