#include "decoding/sweep_tracker.h"

#include <cmath>
#include <utility>

#include "common/rounding.h"
#include "common/turn_remainder.h"

namespace scantouch {
namespace {

// Appends "007 " for angle 7: the number format "000" and a blank.
void AppendTraceEntry(std::string& trace, int angle) {
  const char entry[4] = {static_cast<char>('0' + angle / 100),
                         static_cast<char>('0' + angle / 10 % 10),
                         static_cast<char>('0' + angle % 10), ' '};
  trace.append(entry, sizeof entry);  // one append of four: this runs for every node
}

// The node's angle at the scanner's full resolution, corrected into [0, 360).
double ExactAngle(const RawNode& raw, double correction) {
  const double angle = TurnRemainder(raw.angle64 / 64.0 + correction + 720.0);
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
  radar_.countDownTouchMarker();
}

void SweepTracker::takeNode(const RawNode& raw) {
  ++decodedNodes_;
  const bool measured = raw.distance != 0;
  const double scannerAngle = ExactAngle(raw, 0);
  TurnFinder::Mark mark;
  turns_.take(scannerAngle, measured, raw.startOfTurn, mark);
  const bool afterLoss = std::exchange(nodesLost_, false);
  if (mark.halfTurn)
    onHalfTurn();
  if (measured) {
    const int angle = correctAngle(raw.angleDegrees);
    radar_.setQualityLabel(angle, raw.quality);
    AppendTraceEntry(pendingTrace_, angle);
    const bool still = background_ && background_->isBackground(scannerAngle, raw.distance);
    consumer_.processScanNode(
        ScanNode{angle, static_cast<std::int16_t>(raw.quality), raw.distance, still}, sensitivity_);
  } else {
    // The beam came back with nothing: no point, no hit, and a run of the single-touch road is
    // neither started nor ended by it.
    ++noReturnNodes_;
  }
  if (preciseConsumer_ != nullptr) {
    // Every node, no-return nodes too: they tell the engine how long a turn is.
    preciseConsumer_->processPreciseNode(
        PreciseScanNode{ExactAngle(raw, correction_), static_cast<std::int16_t>(raw.quality),
                        raw.distance, scannerAngle, mark.turnBegins, mark.wholeTurnEnds,
                        mark.follows, afterLoss},
        sensitivity_);
  }
}

}  // namespace scantouch
