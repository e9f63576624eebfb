#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "background/learned_background.h"
#include "decoding/node_framing.h"
#include "decoding/node_group.h"
#include "decoding/radar_view.h"
#include "decoding/scan_node.h"
#include "decoding/turn_finder.h"

namespace scantouch {

// The sweep behind the framed nodes: finds where the scanner's turns begin (TurnFinder), corrects
// each node's angle, keeps the angle trace and the quality labels of the radar view, and hands
// measured nodes on. One pass runs between `beginPass` and `endPass`, with the gate and the
// correction read once. Every scanner's nodes go through one, the first scanner's with the radar
// view and the single-touch road behind it, the others' with neither.
class SweepTracker final : public FramedNodeSink {
 public:
  SweepTracker(RadarView& radar, ScanNodeConsumer& consumer);

  // Also hands every node at its exact angle, with where turns begin, to `consumer` (nullptr: to
  // nobody).
  void setPreciseConsumer(PreciseScanNodeConsumer* consumer) { preciseConsumer_ = consumer; }

  // The scanner's still surroundings: the nodes it holds are marked as still things. Nothing: every
  // node is what it was.
  void setBackground(std::optional<LearnedBackground> background) {
    background_ = std::move(background);
  }

  // `sensitivity` is the quality gate, `correction` the degrees added to every angle, in
  // (-360, 360).
  void beginPass(std::int16_t sensitivity, double correction);
  void takeNode(const RawNode& node) override;
  void nodesLost() override { nodesLost_ = true; }
  // The pass's angles go to the radar view's trace.
  void endPass();

  // Half turns and whole turns of the sweep since the counts were last reset (TurnFinder).
  std::uint64_t halfTurns() const { return turns_.halfTurns(); }
  std::uint64_t wholeTurns() const { return turns_.wholeTurns(); }
  void resetTurnCounts() { turns_.resetCounts(); }
  // A new stream: where the sweep stands is not known until its nodes tell.
  void resetSweep() {
    turns_.reset();
    nodesLost_ = false;
  }
  // Nodes decoded, no-return nodes included.
  std::uint64_t decodedNodes() const { return decodedNodes_; }
  // Decoded nodes with distance 0: the beam found nothing to measure.
  std::uint64_t noReturnNodes() const { return noReturnNodes_; }

 private:
  int correctAngle(int angle) const;
  void onHalfTurn();

  RadarView& radar_;
  ScanNodeConsumer& consumer_;
  PreciseScanNodeConsumer* preciseConsumer_ = nullptr;
  std::int16_t sensitivity_ = 0;
  double correction_ = 0;
  TurnFinder turns_;
  std::uint64_t decodedNodes_ = 0;
  std::uint64_t noReturnNodes_ = 0;
  std::string pendingTrace_;  // angles of the pass since the last half turn
  bool nodesLost_ = false;    // since the last node
  std::optional<LearnedBackground> background_;
};

}  // namespace scantouch
