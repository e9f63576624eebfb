#include "surface/scanner_stream.h"

#include <cmath>

namespace scantouch {
namespace {

// A scanner turns its own zero towards its pose's angle: angles stay as it measures them.
double MeasuredAngle(const RawNode& raw) {
  const double angle = std::fmod(raw.angle64 / 64.0 + 360.0, 360.0);
  return angle < 360.0 ? angle : 0.0;
}

// More points than a turn of the fastest scanner holds mean no turn starts: keep the newest.
constexpr std::size_t kMaxTurnPoints = 8192;

}  // namespace

ScannerStream::ScannerStream(LinkId link, std::size_t engineIndex, TouchEngine& engine)
    : link_(link), engineIndex_(engineIndex), engine_(engine) {}

void ScannerStream::feed(ByteSpan bytes, bool processing, std::int16_t sensitivity) {
  if (!processing) {
    framing_.keep(bytes);
    return;
  }
  sensitivity_ = sensitivity;
  (void)framing_.decode(bytes, *this);
}

int ScannerStream::takeTurns() {
  const int turns = turns_;
  turns_ = 0;
  return turns;
}

void ScannerStream::takeNode(const RawNode& raw) {
  ++decodedNodes_;
  const double angle = MeasuredAngle(raw);
  if (raw.startOfTurn) {
    ++turns_;
    ++turnsSeen_;
    lastTurn_.swap(thisTurn_);
    thisTurn_.clear();
  }
  engine_.processScannerNode(engineIndex_,
                             PreciseScanNode{angle, static_cast<std::int16_t>(raw.quality),
                                             raw.distance, raw.startOfTurn, angle},
                             sensitivity_);
  if (raw.distance == 0 || thisTurn_.size() >= kMaxTurnPoints)
    return;
  const PlanePoint at = engine_.surfacePoint(engineIndex_, angle, raw.distance);
  thisTurn_.push_back({static_cast<float>(at.x), static_cast<float>(at.y)});
}

}  // namespace scantouch
