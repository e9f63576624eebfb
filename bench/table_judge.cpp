#include "table_judge.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "judging.h"
#include "table_rectangle.h"

namespace bench_table {

using namespace scantouch;
namespace sim = scanner_sim;
using bench_judging::Distance;
using bench_judging::kApartMm;
using bench_judging::kGhostMm;
using bench_judging::kMatchMm;
using bench_judging::kVisibleShare;
using bench_judging::Nearest;
using bench_scenes::HandRole;

void NodeTee::processPreciseNode(const PreciseScanNode& node, std::int16_t sensitivity) {
  clock_.take(node.angle);
  if (nodes.size() < keep_)
    nodes.push_back(node);
  engine_.processPreciseNode(node, sensitivity);
}

std::optional<double> SweptAt(const sim::SceneObject& object, std::int64_t turn,
                              double turnsPerSecond) {
  return bench_judging::SweptAt(object, static_cast<double>(turn) / turnsPerSecond,
                                1 / turnsPerSecond);
}

void Judge::onTouchFrame(const TouchFrame& frame) {
  const double end_s = tee_.lastNode_s();
  judge(frame, end_s);
  lastFrame_s_ = end_s;
  frameEnds_.push_back(end_s);
}

std::vector<ObjectTurn> Judge::truth(double from_s, double to_s) const {
  std::vector<ObjectTurn> result(scene_.scene.objects.size());
  const auto lastTurn = static_cast<std::int64_t>(std::floor(to_s * turnsPerSecond_));
  for (std::size_t o = 0; o < result.size(); ++o) {
    const sim::SceneObject& object = scene_.scene.objects[o];
    std::optional<double> swept_s;
    for (std::int64_t turn = lastTurn; turn >= lastTurn - 1 && !swept_s; --turn) {
      const auto time_s = SweptAt(object, turn, turnsPerSecond_);
      if (time_s && *time_s >= from_s && *time_s < to_s)
        swept_s = time_s;
    }
    ObjectTurn& truth = result[o];
    const double time_s = swept_s.value_or(to_s);
    truth.swept = swept_s.has_value();
    truth.present = object.presentAt(time_s);
    truth.at = object.centreAt(time_s);
    truth.visible = truth.swept && truth.present && InTouchRect(truth.at) &&
                    scene_.scene.visibleShare(o, time_s) >= kVisibleShare;
  }
  return result;
}

void Judge::finish() {
  for (ObjectState& state : objects_) {
    if (state.awaitingBirth && seenTurns(state) > 2 * settings_.birthTurns)
      ++figures_.missedBirths;
    state.awaitingBirth = false;
  }
  for (auto& [id, contact] : contacts_)
    closeJitter(contact);
}

void Judge::countUnframedTurns(double seconds) {
  const double turn_s = 1 / turnsPerSecond_;
  std::vector<int> runs(objects_.size(), 0);
  std::size_t frame = 0;
  const auto turns = static_cast<std::int64_t>(seconds * turnsPerSecond_) - 1;
  for (std::int64_t turn = 0; turn < turns; ++turn) {
    const double start_s = static_cast<double>(turn) * turn_s;
    const double end_s = start_s + turn_s;
    while (frame < frameEnds_.size() && frameEnds_[frame] < end_s - turn_s / 2)
      ++frame;
    const bool framed = frame < frameEnds_.size() && frameEnds_[frame] < end_s + turn_s / 2;
    frame += framed ? 1 : 0;
    const std::vector<ObjectTurn> now = truth(start_s, end_s);
    for (std::size_t o = 0; o < now.size(); ++o) {
      runs[o] = now[o].visible ? runs[o] + 1 : 0;
      if (!framed && runs[o] >= settings_.birthTurns)
        ++figures_.unframedObjectTurns;
    }
  }
}

void Judge::judge(const TouchFrame& frame, double end_s) {
  ++figures_.turns;
  ++frameIndex_;
  frameEnd_s_ = end_s;
  const std::vector<ObjectTurn> now = truth(lastFrame_s_, end_s);
  history_.push_back(now);
  while (history_.size() > static_cast<std::size_t>(settings_.birthTurns + 1))
    history_.pop_front();

  noteArrivalsAndDepartures(frame, now);
  judgeBirths(frame, now);
  judgeRemovals(frame, now);
  judgeFollowing(frame, now, end_s);
}

void Judge::noteArrivalsAndDepartures(const TouchFrame& frame, const std::vector<ObjectTurn>& now) {
  for (std::size_t o = 0; o < objects_.size(); ++o) {
    if (!now[o].swept)
      continue;  // nothing new about it in this frame
    ObjectState& state = objects_[o];
    if (now[o].present && !state.wasPresent) {
      ++figures_.arrivals;
      state.awaitingBirth = true;
      state.arrivalFrame = kNotSeen;
    }
    // A birth is due after the turns in a row in which the hand could be seen: in another
    // hand's shadow it starts again.
    if (state.awaitingBirth && now[o].present) {
      if (!now[o].visible)
        state.arrivalFrame = kNotSeen;
      else if (state.arrivalFrame == kNotSeen)
        state.arrivalFrame = frameIndex_;
    }
    if (!now[o].present && state.wasPresent) {
      // A hand seen in fewer turns than a birth takes was never meant to get a contact.
      if (state.awaitingBirth && seenTurns(state) >= settings_.birthTurns) {
        ++figures_.missedBirths;
        if (events_)
          printEvent("no birth for a hand that left", frame, now, 0, static_cast<int>(o), -1);
      }
      state.awaitingBirth = false;
      if (state.contact) {
        ++figures_.departures;
        removals_.push_back(PendingRemoval{*state.contact, frameIndex_, o});
      }
    }
    if (!now[o].present) {
      state.contact.reset();
      state.followed = false;
    }
    state.wasPresent = now[o].present;
    state.visibleRun = now[o].visible ? state.visibleRun + 1 : 0;
  }
}

std::int64_t Judge::seenTurns(const ObjectState& state) const {
  return state.arrivalFrame == kNotSeen ? 0 : frameIndex_ - state.arrivalFrame;
}

void Judge::judgeBirths(const TouchFrame& frame, const std::vector<ObjectTurn>& now) {
  for (const SessionId id : frame.born) {
    const auto contact = std::find_if(frame.live.begin(), frame.live.end(),
                                      [id](const Contact& c) { return c.sessionId == id; });
    if (contact == frame.live.end())
      continue;
    ++figures_.births;
    const sim::PlanePoint at = PlaneOf(*contact);
    // A ghost is far from every object there in the frames that made it.
    if (bench_judging::NearestInHistory(at, history_) > kGhostMm) {
      ++figures_.ghosts;
      if (atStillThing(at))
        ++figures_.stillBirths;
      if (events_)
        printEvent("ghost", frame, now, id, -1, -1);
    }
    const auto [o, distance] = Nearest(at, now);
    if (o >= 0 && distance <= kGhostMm && !objects_[o].awaitingBirth && objects_[o].followed) {
      ++figures_.rebirths;
      if (events_)
        printEvent("contact born again", frame, now, id, -1, -1);
    }
    if (o < 0 || distance > kMatchMm || !objects_[o].awaitingBirth)
      continue;
    ObjectState& state = objects_[o];
    state.awaitingBirth = false;
    if (state.arrivalFrame == kNotSeen)
      continue;  // born from the part of it out of the shadow
    const int turns = static_cast<int>(frameIndex_ - state.arrivalFrame + 1);
    figures_.birthTurnsSum += turns;
    figures_.birthTurnsMax = std::max(figures_.birthTurnsMax, turns);
    if (turns <= settings_.birthTurns) {
      ++figures_.timelyBirths;
    } else {
      ++figures_.lateBirths;
      if (events_)
        printEvent(("birth after " + std::to_string(turns) + " turns").c_str(), frame, now, id, -1,
                   -1);
    }
  }
}

void Judge::judgeRemovals(const TouchFrame& frame, const std::vector<ObjectTurn>& now) {
  for (const Contact& removed : frame.removed) {
    auto state = contacts_.find(removed.sessionId);
    if (state != contacts_.end()) {
      const int owner = state->second.owner;
      if (owner >= 0 && now[owner].visible && objects_[owner].visibleRun > 1)
        ++figures_.dropouts;
      closeJitter(state->second);
      contacts_.erase(state);
    }
    const auto pending =
        std::find_if(removals_.begin(), removals_.end(),
                     [&](const PendingRemoval& p) { return p.contact == removed.sessionId; });
    if (pending == removals_.end())
      continue;
    const int turns = static_cast<int>(frameIndex_ - pending->departureFrame + 1);
    figures_.removalTurnsSum += turns;
    figures_.removalTurnsMax = std::max(figures_.removalTurnsMax, turns);
    if (turns <= settings_.removalTurns) {
      ++figures_.timelyRemovals;
    } else {
      ++figures_.lateRemovals;
      if (events_)
        printEvent(("removal after " + std::to_string(turns) + " turns").c_str(), frame, now,
                   removed.sessionId, -1, -1);
    }
    removals_.erase(pending);
  }
  // A contact that outlives its hand by far, or goes on to follow another, was never removed.
  std::erase_if(removals_, [&](const PendingRemoval& p) {
    const auto state = contacts_.find(p.contact);
    const bool takenOver = state != contacts_.end() && state->second.owner >= 0 &&
                           static_cast<std::size_t>(state->second.owner) != p.object;
    if (takenOver || frameIndex_ - p.departureFrame > kGiveUpTurns) {
      ++figures_.neverRemoved;
      if (events_) {
        printEvent(takenOver ? "contact of a hand that left follows another"
                             : "contact of a hand that left never removed",
                   frame, now, p.contact, static_cast<int>(p.object), -1);
      }
      return true;
    }
    return false;
  });
}

void Judge::judgeFollowing(const TouchFrame& frame, const std::vector<ObjectTurn>& now,
                           double end_s) {
  // Each contact's nearest object.
  std::vector<std::pair<int, double>> nearestOf;
  nearestOf.reserve(frame.live.size());
  for (const Contact& contact : frame.live)
    nearestOf.push_back(Nearest(PlaneOf(contact), now));

  for (std::size_t o = 0; o < objects_.size(); ++o) {
    if (!now[o].visible)
      continue;
    ++figures_.visibleObjectTurns;
    if (objects_[o].visibleRun < settings_.birthTurns)
      continue;
    ++figures_.eligibleObjectTurns;
    double nearest = 1e18;
    double ownNearest = 1e18;  // of the contacts whose nearest object this is
    std::optional<sim::PlanePoint> own;
    for (std::size_t c = 0; c < frame.live.size(); ++c) {
      const double d = Distance(PlaneOf(frame.live[c]), now[o].at);
      nearest = std::min(nearest, d);
      if (nearestOf[c].first == static_cast<int>(o) && d < ownNearest) {
        ownNearest = d;
        own = PlaneOf(frame.live[c]);
      }
    }
    const bool matched = nearest <= kMatchMm;
    figures_.matchedObjectTurns += matched ? 1 : 0;
    if (scene_.stillThing) {
      const double gap =
          scene_.stillThing->gapMm(now[o].at) - scene_.scene.objects[o].diameterMm / 2;
      const bool far = gap >= bench_still::kFarMm;
      ++(far ? figures_.eligibleFarTurns : figures_.eligibleNearTurns);
      (far ? figures_.matchedFarTurns : figures_.matchedNearTurns) += matched ? 1 : 0;
    }
    switch (scene_.roles[o]) {
      case HandRole::still:
        ++figures_.eligibleStillTurns;
        figures_.matchedStillTurns += matched ? 1 : 0;
        break;
      case HandRole::moving:
      case HandRole::crossing:
        ++figures_.eligibleMovingTurns;
        figures_.matchedMovingTurns += matched ? 1 : 0;
        break;
      case HandRole::tapping:
        break;
    }
    if (own) {
      figures_.errorsMm.push_back(ownNearest);
      if (scene_.roles[o] == HandRole::still)
        figures_.stillErrorsMm.push_back(ownNearest);
      figures_.radialErrorSum += std::hypot(own->x, own->y) - std::hypot(now[o].at.x, now[o].at.y);
    }
    // A hand seen long enough that has a contact it did not get born counts as born at once.
    if (objects_[o].awaitingBirth && nearest <= kMatchMm)
      objects_[o].awaitingBirth = false;
  }

  for (std::size_t o = 0; o < objects_.size(); ++o) {
    if (now[o].swept)
      objects_[o].contact.reset();
  }
  for (const Contact& contact : frame.live) {
    if (atStillThing(PlaneOf(contact)) && !explained(PlaneOf(contact)))
      ++figures_.stillContactTurns;
  }
  for (std::size_t c = 0; c < frame.live.size(); ++c) {
    const Contact& contact = frame.live[c];
    const auto [o, distance] = nearestOf[c];
    if (o < 0 || distance > kMatchMm)
      continue;
    ContactState& state = contacts_[contact.sessionId];
    if (state.owner >= 0 && state.owner != o) {
      if (now[state.owner].present && stayedApart(state.owner, o, state.owned_s, end_s)) {
        ++figures_.idSwitches;
        if (events_)
          printEvent("id switch", frame, now, contact.sessionId, state.owner, o);
      }
      closeJitter(state);
    }
    state.owner = o;
    state.owned_s = end_s;
    objects_[o].contact = contact.sessionId;
    objects_[o].followed = true;
    if (scene_.roles[o] == HandRole::still && now[o].visible)
      state.stillPixels.emplace_back(contact.screen.x, contact.screen.y);
  }
}

void Judge::printEvent(const char* what, const TouchFrame& frame,
                       const std::vector<ObjectTurn>& now, SessionId id, int from, int to) const {
  std::printf("  %s at %.3f s: ", what, frameEnd_s_);
  if (to >= 0)
    std::printf("contact %llu from hand %d to hand %d", static_cast<unsigned long long>(id), from,
                to);
  else if (from >= 0 && id != 0)
    std::printf("contact %llu of hand %d", static_cast<unsigned long long>(id), from);
  else if (from >= 0)
    std::printf("hand %d", from);
  else
    std::printf("contact %llu", static_cast<unsigned long long>(id));
  std::printf("; hands:");
  for (std::size_t o = 0; o < now.size(); ++o) {
    if (now[o].present)
      std::printf(" %zu(%.0f,%.0f%s)", o, now[o].at.x, now[o].at.y,
                  now[o].visible ? "" : " hidden");
  }
  std::printf("; contacts:");
  for (const Contact& contact : frame.live)
    std::printf(" %llu(%.0f,%.0f)", static_cast<unsigned long long>(contact.sessionId),
                PlaneOf(contact).x, PlaneOf(contact).y);
  std::printf("\n");
}

bool Judge::atStillThing(sim::PlanePoint at) const {
  return scene_.stillThing && scene_.stillThing->echoGapMm(at) <= bench_still::kStillMm;
}

bool Judge::explained(sim::PlanePoint at) const {
  return bench_judging::NearestInHistory(at, history_) <= kGhostMm;
}

bool Judge::stayedApart(int a, int b, double from_s, double to_s) const {
  return bench_judging::StayedApart(scene_.scene.objects, a, b, from_s, to_s, 0.5 / turnsPerSecond_,
                                    kApartMm);
}

void Judge::closeJitter(ContactState& state) {
  const auto& pixels = state.stillPixels;
  if (pixels.size() >= 2) {
    double meanX = 0;
    double meanY = 0;
    for (const auto& [x, y] : pixels) {
      meanX += x;
      meanY += y;
    }
    meanX /= static_cast<double>(pixels.size());
    meanY /= static_cast<double>(pixels.size());
    for (const auto& [x, y] : pixels) {
      figures_.jitterSquaresX += (x - meanX) * (x - meanX);
      figures_.jitterSquaresY += (y - meanY) * (y - meanY);
    }
    figures_.jitterSamples += pixels.size();
  }
  state.stillPixels.clear();
}

}  // namespace bench_table
