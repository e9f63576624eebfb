#include "turn_finder.h"

#include <cmath>

namespace scantouch {
namespace {

double Normalised(double degrees) {
  const double angle = std::fmod(degrees, 360.0);
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

bool NearTurnStart(double angle) {
  return angle < TurnFinder::kFlagReach_degrees || angle >= 360 - TurnFinder::kFlagReach_degrees;
}

}  // namespace

void TurnFinder::reset() {
  sweep_.reset();
  suspect_.reset();
  turnOpen_ = false;
  turn_ = {};
  half_ = {};
}

TurnFinder::Mark TurnFinder::take(double scannerAngle, bool measured, bool startFlag) {
  Mark mark;
  bool followed = false;
  if (!std::isfinite(scannerAngle)) {
    // Nothing a scanner sends; it follows nothing and moves nothing.
  } else if (const double angle = Normalised(scannerAngle); !sweep_) {
    sweep_ = angle;
    followed = true;
    considerFlag(angle, startFlag, mark);
  } else {
    double ahead = Ahead(angle, *sweep_);
    Relation relation = Relate(ahead);
    if (relation == Relation::far && suspect_) {
      // Two nodes that agree with each other far from the sweep: it went on over a gap in which
      // the scanner sent nothing (or nothing that survived the line).
      const double fromSuspect = Ahead(angle, suspect_->angle);
      if (Relate(fromSuspect) != Relation::far) {
        // Two agreeing nodes are no wandering no-return node: the gap moves the sweep whatever they
        // measured.
        moveSweep(Ahead(suspect_->angle, *sweep_), false, false, suspect_->startFlag, mark);
        considerFlag(suspect_->angle, suspect_->startFlag, mark);
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
      considerFlag(angle, startFlag, mark);
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
  return mark;
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

void TurnFinder::considerFlag(double angle, bool startFlag, Mark& mark) {
  if (!startFlag || mark.turnBegins || !NearTurnStart(angle))
    return;
  if (!turnOpen_ || turn_.went_degrees >= kLeastTurn_degrees)
    beginTurn(mark, true);
}

void TurnFinder::beginTurn(Mark& mark, bool mayBeWhole) {
  mark.turnBegins = true;
  mark.wholeTurnEnds = mayBeWhole && turnOpen_ && turn_.ofASweep(1);
  if (mark.wholeTurnEnds)
    ++wholeTurns_;
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
