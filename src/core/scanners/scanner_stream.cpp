#include "scanners/scanner_stream.h"

namespace scantouch {
namespace {

// More points than a turn of the fastest scanner holds: keep the first.
constexpr std::size_t kMaxTurnPoints = 8192;

}  // namespace

ScannerStream::ScannerStream(LinkId link, std::size_t engineIndex, TouchEngine& engine,
                             ScannerBackgrounds* backgrounds)
    : link_(link), engineIndex_(engineIndex), engine_(engine), backgrounds_(backgrounds) {
  sweep_.setPreciseConsumer(this);
}

void ScannerStream::feed(ByteSpan bytes, bool processing, std::int16_t sensitivity) {
  if (!processing) {
    framing_.keep(bytes);
    return;
  }
  // A scanner turns its own zero towards its pose's angle: angles stay as it measures them.
  sweep_.beginPass(sensitivity, 0);
  if (framing_.decode(bytes, sweep_))
    sweep_.endPass();
}

void ScannerStream::resetSynchronisation() {
  framing_.reset();
  sweep_.resetSweep();
}

int ScannerStream::takeTurns() {
  const std::uint64_t turns = sweep_.wholeTurns();
  sweep_.resetTurnCounts();
  return static_cast<int>(turns);
}

void ScannerStream::processPreciseNode(const PreciseScanNode& node, std::int16_t sensitivity) {
  if (node.startsTurn) {
    if (node.wholeTurnEnds) {
      ++turnsSeen_;
      lastTurn_.swap(thisTurn_);
    }
    thisTurn_.clear();
  }
  if (backgrounds_ != nullptr && backgrounds_->listening())
    backgrounds_->take(engineIndex_, node);
  engine_.processScannerNode(engineIndex_, node, sensitivity);
  if (node.distance == 0 || thisTurn_.size() >= kMaxTurnPoints)
    return;
  const PlanePoint at = engine_.surfacePoint(engineIndex_, node.scannerAngle, node.distance);
  thisTurn_.push_back({static_cast<float>(at.x), static_cast<float>(at.y)});
}

}  // namespace scantouch
