#pragma once

// When a scanner's beam passed a simulated thing, and when it measured each node it sent: what
// lets a judge look at the scene as the data of a frame saw it.

#include <optional>

#include "decoding/scan_node.h"
#include "scene.h"

namespace bench_judging {

// When a scanner's beam passed `object` (in that scanner's own plane) in the turn that starts at
// `start_s` and lasts `turn_s`: the last time in the turn at which the sweep stood at the
// object's bearing, if any. A hand that moves across the start of the turn ahead of the beam is
// not passed at all, and one moving against it may be passed twice.
std::optional<double> SweptAt(const scanner_sim::SceneObject& object, double start_s,
                              double turn_s);

// When the scanner measured each node, from its angle: the first time, from the last node's on,
// at which the sweep stood at that angle, but never after the end of the data received so far.
// `turnPhase` is the share of a turn already swept when the stream started.
class NodeClock {
 public:
  NodeClock(double turnsPerSecond, double turnPhase) noexcept
      : turnsPerSecond_(turnsPerSecond), turnPhase_(turnPhase) {}

  void dataReaches(double until_s) { until_s_ = until_s; }
  // The time of the next node, at `angleDegrees` of the sweep.
  double take(double angleDegrees);
  double last_s() const { return last_s_; }

 private:
  double turnsPerSecond_;
  double turnPhase_;
  double until_s_ = 0;
  double last_s_ = 0;
};

// A scanner's NodeClock with where its turns begin, as the sweep marked them: the engine's
// objects of a scanner are those of its last whole turn, [turnFrom_s, turnTo_s).
class ScannerClock {
 public:
  ScannerClock(double turnsPerSecond, double turnPhase) : clock_(turnsPerSecond, turnPhase) {}

  void dataReaches(double until_s) { clock_.dataReaches(until_s); }
  void take(const scantouch::PreciseScanNode& node);
  bool hasTurn() const { return wholeTurns_ >= 1; }
  double turnFrom_s() const { return turnFrom_s_; }
  double turnTo_s() const { return turnTo_s_; }

 private:
  NodeClock clock_;
  double lastStart_s_ = 0;
  double turnFrom_s_ = 0;
  double turnTo_s_ = 0;
  int wholeTurns_ = 0;
};

}  // namespace bench_judging
