#pragma once

#include <cstdint>
#include <optional>

namespace scantouch {

// Where one scanner's turns begin, and which of them were turns of a sweep at all.
//
// The sweep is followed through the scanner's own angles (before any correction) of every node
// it sends, measured or not: a real scanner sends a node at every step of its turn, with distance
// 0 where the beam found nothing, so a room that returns nothing over most of a turn still shows
// where the sweep stands. A turn begins at the scanner's start flag near its angle 0, or where the
// sweep passes 0 without it (a lost flag), and only once the sweep has gone round at least half
// a turn since the last beginning. A turn is whole when most of its nodes followed the sweep and
// the sweep itself went on through it: what random bytes decode into jumps about and never is.
// Half turns (the sweep passing 0 or 180) are told as well, for the scan rate and the picture.
class TurnFinder {
 public:
  // Consecutive nodes of a sweep lie closer than this ahead of each other.
  static constexpr double kLargestStep_degrees = 45;
  // A node this far behind the sweep still follows it: no-return nodes come at angles that wander
  // several degrees about their neighbours', and measured ones jitter a little.
  static constexpr double kWander_degrees = 20;
  // A no-return node passes the turn's start only this far beyond it, or with the start flag: one
  // that merely wandered ahead of a sweep still in the last degrees of a turn begins nothing.
  static constexpr double kNoReturnMargin_degrees = 20;
  // The start flag counts only this far past the scanner's angle 0 (a no-return node's also up to
  // kNoReturnMargin_degrees before it); damaged bytes put it anywhere.
  static constexpr double kFlagReach_degrees = 45;
  // A turn begins only after the sweep went this far round since the last beginning.
  static constexpr double kLeastTurn_degrees = 180;
  // Of a whole turn, the sweep went at least this far in steps from one node to the next (not in
  // gaps), and a counted half turn at least half as far.
  static constexpr double kLeastTurnSteps_degrees = 120;
  // Fewest nodes of a whole turn, and half of it for a counted half turn: a sweep has at least one
  // node every kLargestStep_degrees.
  static constexpr double kLeastNodesATurn = 360 / kLargestStep_degrees;
  // A node ahead of the sweep by more than this many of its mean steps (and more than
  // kWander_degrees) counts only when the next one agrees with it, like one far from it.
  static constexpr double kLongSteps = 4;
  // More nodes than this without a beginning are no turn of any scanner: begin again, so that
  // whoever collects a turn's nodes holds a bounded number of them.
  static constexpr std::uint32_t kMostTurnNodes = 65536;

  // What a node told.
  struct Mark {
    bool turnBegins = false;     // the node is the first of a turn
    bool wholeTurnEnds = false;  // ... and the turn it ends was whole
    bool halfTurn = false;       // the sweep passed 0 or 180 with this node
    bool follows = false;        // the node lies where the sweep stands
  };

  // `scannerAngle` in degrees as the scanner measured it (any value; taken modulo 360). The mark
  // is written into the caller's: flags set one by one and returned as one value would be read back
  // whole, a stalled load for every node.
  void take(double scannerAngle, bool measured, bool startFlag, Mark& mark);
  Mark take(double scannerAngle, bool measured, bool startFlag) {
    Mark mark;
    take(scannerAngle, measured, startFlag, mark);
    return mark;
  }
  // Forgets the sweep (a new stream): what comes next begins no whole turn until a turn passed.
  void reset();

  // Whole turns found, and half turns of whole halves, since they were last reset.
  std::uint64_t wholeTurns() const { return wholeTurns_; }
  std::uint64_t halfTurns() const { return halfTurns_; }
  void resetCounts() {
    wholeTurns_ = 0;
    halfTurns_ = 0;
  }

 private:
  // Nodes and steps since some mark: a turn's beginning, or a half turn.
  struct Stretch {
    std::uint32_t nodes = 0;
    std::uint32_t followed = 0;  // nodes that followed the sweep
    double steps_degrees = 0;    // how far the sweep went in steps from node to node
    double went_degrees = 0;     // ... and in all, gaps included

    // Whether a sweep went through it: nodes of random bytes jump about, and even where a few
    // happen to line up, most do not.
    bool ofASweep(double share_turns) const {
      return nodes >= share_turns * kLeastNodesATurn && followed * 4 >= nodes * 3 &&
             steps_degrees >= share_turns * kLeastTurnSteps_degrees;
    }
  };

  struct Suspect {
    double angle;
    bool measured;
    bool startFlag;
  };

  // The sweep moves on by `by` degrees from where it stands; `step`: from node to node, not
  // over a gap. Marks the half turns and the turn's beginning it passes.
  void moveSweep(double by, bool step, bool noReturn, bool startFlag, Mark& mark);
  // A node with the start flag at `angle` that followed the sweep.
  void considerFlag(double angle, bool measured, bool startFlag, Mark& mark);
  // `mayBeWhole`: false when the turn is given up (it grew too long).
  void beginTurn(Mark& mark, bool mayBeWhole);
  void endHalf(Mark& mark);
  // How far ahead of the sweep a single node may step: a few of the last whole turn's mean steps.
  double longStep_degrees() const;

  // Until a whole turn was seen, its nodes are taken as few as a sweep may have: no step is long.
  static constexpr std::uint32_t kUnknownNodes = 8;

  std::optional<double> sweep_;     // where the sweep stands, [0, 360)
  std::optional<Suspect> suspect_;  // a node far from it, until the next one agrees
  double lastStep_degrees_ = 0;     // how far the sweep's last move from one node to the next went
  std::uint32_t nodesLastTurn_ = kUnknownNodes;  // in the last whole turn
  bool turnOpen_ = false;                        // a turn began since the sweep was found
  Stretch turn_;
  Stretch half_;
  std::uint64_t wholeTurns_ = 0;
  std::uint64_t halfTurns_ = 0;
};

}  // namespace scantouch
