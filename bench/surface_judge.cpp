#include "surface_judge.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "judging.h"
#include "surface_wall.h"
#include "sweep_times.h"

namespace surface_bench {

using namespace scantouch;
namespace sim = scanner_sim;
using bench_judging::Distance;
using bench_judging::kApartMm;
using bench_judging::kGhostMm;
using bench_judging::kMatchMm;
using bench_judging::kVisibleShare;
using bench_judging::Nearest;
using bench_judging::ScannerClock;
using bench_scenes::HandRole;

void SurfaceJudge::onTouchFrame(const TouchFrame& frame) {
  frame_s_ = frameTime();
  frameEnds_.push_back(frame_s_);
  const std::vector<HandTurn> now = truth();
  history_.push_back(now);
  while (history_.size() > static_cast<std::size_t>(birthTurns_ + 1))
    history_.pop_front();
  judgeBirths(frame);
  judgeHands(frame, now);
  judgeOwners(frame, now);
}

double SurfaceJudge::frameTime() const {
  for (std::size_t s = 0; s < rig_.scanners(); ++s) {
    if (rig_.fed(s))
      return rig_.clock(s).turnTo_s();
  }
  return 0;
}

int SurfaceJudge::hitsNear(std::size_t s, sim::PlanePoint at) const {
  int hits = 0;
  double nearest = kGhostMm;
  for (const TouchObject& object : rig_.engine().scannerObjects(s)) {
    const double d = Distance(FromView(object.x, object.y), at);
    if (d < nearest) {
      nearest = d;
      hits = object.hits;
    }
  }
  return hits;
}

std::vector<HandTurn> SurfaceJudge::truth() const {
  const auto& objects = scene_.scene.objects;
  std::vector<HandTurn> result(objects.size());
  for (std::size_t o = 0; o < objects.size(); ++o) {
    HandTurn& hand = result[o];
    std::optional<sim::PlanePoint> pacerAt;
    double weights = 0;
    sim::PlanePoint weighted;
    sim::PlanePoint plain;
    int seen = 0;
    for (std::size_t s = 0; s < rig_.scanners(); ++s) {
      const ScannerClock& clock = rig_.clock(s);
      if (!rig_.fed(s) || !clock.hasTurn() || !rig_.engine().scannerAlive(s))
        continue;
      const ScannerSetup& setup = rig_.setup(s);
      const double turn_s = 1 / setup.turnsPerSecond;
      std::optional<double> swept_s;
      const double last = std::floor(clock.turnTo_s() * setup.turnsPerSecond + setup.turnPhase);
      for (double turn = last; turn >= last - 1 && !swept_s; --turn) {
        const double start_s = (turn - setup.turnPhase) * turn_s;
        const auto time_s = bench_judging::SweptAt(rig_.seenBy(s).objects[o], start_s, turn_s);
        if (time_s && *time_s >= clock.turnFrom_s() && *time_s < clock.turnTo_s())
          swept_s = time_s;
      }
      if (!swept_s)
        continue;
      hand.swept = true;
      const sim::PlanePoint at = objects[o].centreAt(*swept_s);
      if (!pacerAt)
        pacerAt = at;
      if (!objects[o].presentAt(*swept_s))
        continue;
      hand.present = true;
      if (!OnWall(at))
        continue;
      if (rig_.seenBy(s).visibleShare(o, *swept_s) < kVisibleShare) {
        hand.hiddenForOne = true;
        continue;
      }
      const int hits = hitsNear(s, at);
      weighted.x += hits * at.x;
      weighted.y += hits * at.y;
      weights += hits;
      plain.x += at.x;
      plain.y += at.y;
      ++seen;
    }
    hand.visible = seen > 0;
    hand.hiddenForOne = hand.hiddenForOne && hand.visible;
    if (weights > 0)
      hand.at = {weighted.x / weights, weighted.y / weights};
    else if (seen > 0)
      hand.at = {plain.x / seen, plain.y / seen};
    else if (pacerAt)
      hand.at = *pacerAt;
    else
      hand.at = objects[o].centreAt(frame_s_);
    if (!hand.swept)
      hand.present = objects[o].presentAt(frame_s_);
  }
  return result;
}

void SurfaceJudge::countUnframedTurns(double seconds) {
  std::size_t pacer = 0;
  while (pacer + 1 < rig_.scanners() && !rig_.fed(pacer))
    ++pacer;
  const double turn_s = 1 / rig_.setup(pacer).turnsPerSecond;
  const auto& objects = scene_.scene.objects;
  std::vector<int> runs(objects.size(), 0);
  std::size_t frame = 0;
  for (double start_s = (1 - rig_.setup(pacer).turnPhase) * turn_s; start_s + turn_s <= seconds;
       start_s += turn_s) {
    const double end_s = start_s + turn_s;
    while (frame < frameEnds_.size() && frameEnds_[frame] < end_s - turn_s / 2)
      ++frame;
    const bool framed = frame < frameEnds_.size() && frameEnds_[frame] < end_s + turn_s / 2;
    frame += framed ? 1 : 0;
    const double middle_s = start_s + turn_s / 2;
    for (std::size_t o = 0; o < objects.size(); ++o) {
      bool visible = false;
      for (std::size_t s = 0; s < rig_.scanners() && !visible; ++s) {
        visible = rig_.fed(s) && objects[o].presentAt(middle_s) &&
                  OnWall(objects[o].centreAt(middle_s)) &&
                  rig_.seenBy(s).visibleShare(o, middle_s) >= kVisibleShare;
      }
      runs[o] = visible ? runs[o] + 1 : 0;
      if (!framed && runs[o] >= birthTurns_)
        ++figures_.unframed;
    }
  }
}

void SurfaceJudge::judgeBirths(const TouchFrame& frame) {
  for (const SessionId id : frame.born) {
    const auto contact = std::find_if(frame.live.begin(), frame.live.end(),
                                      [id](const Contact& c) { return c.sessionId == id; });
    if (contact == frame.live.end())
      continue;
    ++figures_.births;
    const sim::PlanePoint at = FromView(contact->x, contact->y);
    if (bench_judging::NearestInHistory(at, history_) > kGhostMm) {
      ++figures_.ghosts;
      if (events_)
        printEvent("ghost", frame, id, -1, -1);
    }
  }
}

void SurfaceJudge::judgeHands(const TouchFrame& frame, const std::vector<HandTurn>& now) {
  std::vector<std::pair<int, double>> nearestOf;
  nearestOf.reserve(frame.live.size());
  for (const Contact& contact : frame.live)
    nearestOf.push_back(Nearest(FromView(contact.x, contact.y), now));
  for (std::size_t o = 0; o < hands_.size(); ++o) {
    HandState& state = hands_[o];
    if (!now[o].visible || !now[o].present) {
      if (now[o].swept) {
        state.visibleRun = 0;
        state.contact.reset();
      }
      continue;
    }
    ++state.visibleRun;
    double nearest = 1e18;
    double ownNearest = 1e18;
    std::optional<std::size_t> own;
    bool doubled = false;
    for (std::size_t c = 0; c < frame.live.size(); ++c) {
      const double d = Distance(FromView(frame.live[c].x, frame.live[c].y), now[o].at);
      nearest = std::min(nearest, d);
      if (nearestOf[c].first != static_cast<int>(o) || d > kGhostMm)
        continue;
      if (own)
        doubled = true;
      if (d < ownNearest) {
        ownNearest = d;
        own = c;
      }
    }
    if (state.visibleRun < birthTurns_)
      continue;
    ++figures_.eligible;
    const bool matched = nearest <= kMatchMm;
    figures_.matched += matched ? 1 : 0;
    if (scene_.roles[o] == HandRole::still) {
      ++figures_.stillEligible;
      figures_.stillMatched += matched ? 1 : 0;
    } else if (scene_.roles[o] == HandRole::moving || scene_.roles[o] == HandRole::crossing) {
      ++figures_.movingEligible;
      figures_.movingMatched += matched ? 1 : 0;
    }
    if (now[o].hiddenForOne) {
      ++figures_.shadowEligible;
      figures_.shadowMatched += matched ? 1 : 0;
    }
    figures_.doubled += doubled ? 1 : 0;
    if (!own || ownNearest > kMatchMm)
      continue;
    figures_.errorsMm.push_back(ownNearest);
    if (scene_.roles[o] == HandRole::still)
      figures_.stillErrorsMm.push_back(ownNearest);
    const SessionId id = frame.live[*own].sessionId;
    if (state.contact && *state.contact != id) {
      ++figures_.newIds;
      if (events_)
        printEvent("new id", frame, id, static_cast<int>(o), -1);
    }
    state.contact = id;
  }
}

void SurfaceJudge::judgeOwners(const TouchFrame& frame, const std::vector<HandTurn>& now) {
  for (const Contact& contact : frame.live) {
    const auto [o, distance] = Nearest(FromView(contact.x, contact.y), now);
    if (o < 0 || distance > kMatchMm)
      continue;
    ContactState& state = contacts_[contact.sessionId];
    if (state.owner >= 0 && state.owner != o && now[state.owner].present &&
        stayedApart(state.owner, o, state.owned_s, frame_s_)) {
      ++figures_.idSwitches;
      if (events_)
        printEvent("id switch", frame, contact.sessionId, state.owner, o);
    }
    state.owner = o;
    state.owned_s = frame_s_;
  }
}

bool SurfaceJudge::stayedApart(int a, int b, double from_s, double to_s) const {
  return bench_judging::StayedApart(scene_.scene.objects, a, b, from_s, to_s, 0.02, kApartMm);
}

void SurfaceJudge::printEvent(const char* what, const TouchFrame& frame, SessionId id, int from,
                              int to) const {
  std::printf("  %s at %.3f s: contact %llu", what, frame_s_, static_cast<unsigned long long>(id));
  if (to >= 0)
    std::printf(" from hand %d to hand %d", from, to);
  else if (from >= 0)
    std::printf(" of hand %d", from);
  const std::vector<HandTurn>& now = history_.back();
  std::printf("; hands:");
  for (std::size_t o = 0; o < now.size(); ++o) {
    if (now[o].present)
      std::printf(" %zu(%.0f,%.0f%s)", o, now[o].at.x, now[o].at.y,
                  !now[o].visible       ? " hidden"
                  : now[o].hiddenForOne ? " shadowed"
                                        : "");
  }
  std::printf("; contacts:");
  for (const Contact& contact : frame.live) {
    const sim::PlanePoint at = FromView(contact.x, contact.y);
    std::printf(" %llu(%.0f,%.0f)", static_cast<unsigned long long>(contact.sessionId), at.x, at.y);
  }
  for (std::size_t s = 0; s < rig_.scanners(); ++s) {
    if (!rig_.fed(s))
      continue;
    std::printf("; scanner %zu's objects:", s + 1);
    for (const TouchObject& object : rig_.engine().scannerObjects(s)) {
      const sim::PlanePoint at = FromView(object.x, object.y);
      std::printf(" (%.0f,%.0f)x%d", at.x, at.y, object.hits);
    }
  }
  std::printf("\n");
}

}  // namespace surface_bench
