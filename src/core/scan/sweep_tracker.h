#pragma once

#include <cstdint>
#include <string>

#include "node_framing.h"
#include "node_group.h"
#include "radar_view.h"
#include "scan_node.h"

namespace scantouch {

// The sweep behind the framed nodes: corrects each node's angle, counts the half turns, keeps
// the angle trace and the quality labels of the radar view, and hands measured nodes on. One
// pass runs between `beginPass` and `endPass`, with the gate and the correction read once.
class SweepTracker final : public FramedNodeSink {
 public:
  // A no-return node changes the half of the sweep only this far inside the other half.
  static constexpr int kNoReturnHalfMarginDegrees = 20;

  SweepTracker(RadarView& radar, ScanNodeConsumer& consumer);

  // Also hands every measured node at its exact angle to `consumer` (nullptr: to nobody).
  void setPreciseConsumer(PreciseScanNodeConsumer* consumer) { preciseConsumer_ = consumer; }

  // `sensitivity` is the quality gate, `correction` the degrees added to every angle, in
  // (-360, 360).
  void beginPass(std::int16_t sensitivity, double correction);
  void takeNode(const RawNode& node) override;
  // The pass's angles go to the radar view's trace.
  void endPass();

  // The sweep's half (0: 0..179 degrees, 1: 180..359) at the last node that moved it.
  int lastHalf() const { return lastHalf_; }
  // Half turns since the count was last reset.
  std::uint64_t halfTurns() const { return halfTurns_; }
  void resetHalfTurns() { halfTurns_ = 0; }
  // Nodes decoded, no-return nodes included.
  std::uint64_t decodedNodes() const { return decodedNodes_; }
  // Decoded nodes with distance 0: the beam found nothing to measure.
  std::uint64_t noReturnNodes() const { return noReturnNodes_; }

 private:
  int correctAngle(int angle) const;
  void enterHalf(int half);
  void onHalfTurn();

  RadarView& radar_;
  ScanNodeConsumer& consumer_;
  PreciseScanNodeConsumer* preciseConsumer_ = nullptr;
  std::int16_t sensitivity_ = 0;
  double correction_ = 0;
  int lastHalf_ = 0;
  std::uint64_t halfTurns_ = 0;
  std::uint64_t decodedNodes_ = 0;
  std::uint64_t noReturnNodes_ = 0;
  std::string pendingTrace_;  // angles of the pass since the last half turn
};

}  // namespace scantouch
