#include "decoding/turn_finder.h"

#include <algorithm>
#include <cmath>

#include "common/turn_remainder.h"

namespace scantouch {
namespace {

double Normalised(double degrees) {
  const double angle = TurnRemainder(degrees);
  if (angle < 0)
    return angle + 360.0 < 360.0 ? angle + 360.0 : 0.0;
  return angle;
}

// How far `to` lies ahead of `from` going round the way the sweep goes, in [0, 360).
double Ahead(double to, double from) {
  return Normalised(to - from);
}

enum class Relation { ahead, behind, far };

Relation Relate(double ahead) {
  if (ahead < TurnFinder::kLargestStep_degrees)
    return Relation::ahead;
  if (ahead > 360 - TurnFinder::kWander_degrees)
    return Relation::behind;
  return Relation::far;
}

// The scanner measures the first node of a turn just past its angle 0. A no-return node's angle
// wanders, and may lie a little before 0; a measured node before 0 carries a flag a damaged byte
// made (its next node passes 0 and begins the turn if the flag was the scanner's).
bool NearTurnStart(double angle, bool measured) {
  if (angle < TurnFinder::kFlagReach_degrees)
    return true;
  return !measured && angle >= 360 - TurnFinder::kNoReturnMargin_degrees;
}

}  // namespace

void TurnFinder::reset() {
  sweep_.reset();
  suspect_.reset();
  lastStep_degrees_ = 0;
  nodesLastTurn_ = kUnknownNodes;
  turnOpen_ = false;
  turn_ = {};
  half_ = {};
}

void TurnFinder::take(double scannerAngle, bool measured, bool startFlag, Mark& mark) {
  mark = Mark{};
  bool followed = false;
  if (!std::isfinite(scannerAngle)) {
    // Nothing a scanner sends; it follows nothing and moves nothing.
  } else if (const double angle = Normalised(scannerAngle); !sweep_) {
    sweep_ = angle;
    followed = true;
    considerFlag(angle, measured, startFlag, mark);
  } else {
    double ahead = Ahead(angle, *sweep_);
    Relation relation = Relate(ahead);
    // A node within the stretch the sweep's last step passed over is where the sweep truly stands
    // when that step came from a damaged node; two such nodes must not look like a sweep gone on
    // round the turn over a gap.
    if (relation == Relation::far && Ahead(angle, *sweep_ - lastStep_degrees_) < lastStep_degrees_)
      relation = Relation::behind;
    // So may be one node a step ahead far longer than the sweep's: a garbled angle that passed 0
    // would begin a turn there.
    if (relation == Relation::ahead && ahead > longStep_degrees())
      relation = Relation::far;
    if (relation == Relation::far && suspect_) {
      // Two nodes that agree with each other far from the sweep: it went on over a gap in which
      // the scanner sent nothing (or nothing that survived the line).
      const double fromSuspect = Ahead(angle, suspect_->angle);
      if (Relate(fromSuspect) != Relation::far) {
        // Two agreeing nodes are no wandering no-return node: the gap moves the sweep whatever they
        // measured.
        moveSweep(Ahead(suspect_->angle, *sweep_), false, false, suspect_->startFlag, mark);
        considerFlag(suspect_->angle, suspect_->measured, suspect_->startFlag, mark);
        ahead = fromSuspect;
        relation = Relate(fromSuspect);
      }
    }
    if (relation == Relation::far) {
      // One node far from the sweep may be a damaged one: wait for the next to agree.
      suspect_ = Suspect{angle, measured, startFlag};
    } else {
      suspect_.reset();
      followed = true;
      if (relation == Relation::ahead)
        moveSweep(ahead, true, !measured, startFlag, mark);
      considerFlag(angle, measured, startFlag, mark);
    }
  }
  if (!mark.turnBegins && turn_.nodes >= kMostTurnNodes)
    beginTurn(mark, false);
  ++turn_.nodes;
  ++half_.nodes;
  if (followed) {
    ++turn_.followed;
    ++half_.followed;
  }
  mark.follows = followed;
}

void TurnFinder::moveSweep(double by, bool step, bool noReturn, bool startFlag, Mark& mark) {
  const double from = *sweep_;
  const double to = from + by;
  // A no-return node's angle wanders: it carries the sweep past 0 or 180 only from well beyond,
  // unless it carries the flag of the turn's first node.
  const auto passesBarely = [&](double line) {
    return from < line && to >= line && to < line + kNoReturnMargin_degrees;
  };
  if (noReturn && !startFlag && (passesBarely(180) || passesBarely(360)))
    return;
  if (step) {
    turn_.steps_degrees += by;
    half_.steps_degrees += by;
  }
  lastStep_degrees_ = step ? by : 0;
  turn_.went_degrees += by;
  half_.went_degrees += by;
  if (from < 180 && to >= 180)
    endHalf(mark);
  if (to < 360) {
    sweep_ = to;
    return;
  }
  sweep_ = to - 360;
  // Past 0 without the flag: the node that carried it was lost.
  if (!turnOpen_ || turn_.went_degrees >= kLeastTurn_degrees)
    beginTurn(mark, true);
}

void TurnFinder::considerFlag(double angle, bool measured, bool startFlag, Mark& mark) {
  if (!startFlag || mark.turnBegins || !NearTurnStart(angle, measured))
    return;
  if (!turnOpen_ || turn_.went_degrees >= kLeastTurn_degrees)
    beginTurn(mark, true);
}

double TurnFinder::longStep_degrees() const {
  return std::max(kWander_degrees, kLongSteps * 360 / static_cast<double>(nodesLastTurn_));
}

void TurnFinder::beginTurn(Mark& mark, bool mayBeWhole) {
  mark.turnBegins = true;
  mark.wholeTurnEnds = mayBeWhole && turnOpen_ && turn_.ofASweep(1);
  if (mark.wholeTurnEnds) {
    ++wholeTurns_;
    nodesLastTurn_ = turn_.nodes;
  }
  turnOpen_ = true;
  turn_ = {};
  if (!mark.halfTurn)
    endHalf(mark);
}

void TurnFinder::endHalf(Mark& mark) {
  mark.halfTurn = true;
  if (half_.ofASweep(0.5))
    ++halfTurns_;
  half_ = {};
}

}  // namespace scantouch
