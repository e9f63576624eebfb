#include "sweep_times.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace bench_judging {

std::optional<double> SweptAt(const scanner_sim::SceneObject& object, double start_s,
                              double turn_s) {
  const auto rawBearing = [&object](double time_s) {
    const scanner_sim::PlanePoint at = object.centreAt(time_s);
    const double bearing = std::atan2(at.x, -at.y) * 180 / std::numbers::pi;
    return bearing < 0 ? bearing + 360 : bearing;
  };
  const double startBearing = rawBearing(start_s);
  // The sweep's lead over the object's bearing grows through the turn; the bearing is followed
  // without wrapping from where it was when the turn started.
  const auto lead = [&](double time_s) {
    const double bearing = startBearing + std::remainder(rawBearing(time_s) - startBearing, 360.0);
    return 360 * (time_s - start_s) / turn_s - bearing;
  };
  const double endLead = lead(start_s + turn_s);
  // Lead 0: the beam meets it; lead 360: the beam meets it again before the turn ends.
  const double target = endLead > 360 ? 360 : 0;
  if (endLead <= 0)
    return std::nullopt;
  double low = start_s;
  double high = start_s + turn_s;
  for (int step = 0; step < 40; ++step) {
    const double middle = (low + high) / 2;
    (lead(middle) < target ? low : high) = middle;
  }
  return (low + high) / 2;
}

double NodeClock::take(double angleDegrees) {
  const double share = angleDegrees / 360;
  // A node a little behind the last one (angle noise) is not a turn later.
  double turn = std::ceil(last_s_ * turnsPerSecond_ + turnPhase_ - share - 0.02);
  if ((turn + share - turnPhase_) / turnsPerSecond_ > until_s_)
    turn = std::floor(until_s_ * turnsPerSecond_ + turnPhase_ - share);
  const double time_s = (turn + share - turnPhase_) / turnsPerSecond_;
  last_s_ = std::max(last_s_, time_s);
  return time_s;
}

void ScannerClock::take(const scantouch::PreciseScanNode& node) {
  const double time_s = clock_.take(node.scannerAngle);
  if (node.startsTurn) {
    if (node.wholeTurnEnds) {
      turnFrom_s_ = lastStart_s_;
      turnTo_s_ = time_s;
      ++wholeTurns_;
    }
    lastStart_s_ = time_s;
  }
}

}  // namespace bench_judging
