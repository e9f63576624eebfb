#include "contact_tracker.h"

#include <algorithm>
#include <cmath>

namespace scantouch {

void ContactTracker::setRules(const TrackingRules& rules) {
  rules_ = rules;
  for (Track& track : tracks_)
    track.filter = OneEuroFilter(rules_.filter);
}

void ContactTracker::reset() {
  tracks_.clear();
  update_ = {};
}

const TrackerUpdate& ContactTracker::update(const std::vector<TouchObject>& objects, double turn_s,
                                            std::int64_t now_ms) {
  update_.live.clear();
  update_.born.clear();
  update_.removed.clear();
  clock_s_ += turn_s;
  turn_s_ = turn_s;
  match(objects);

  std::vector<Track> kept;
  kept.reserve(tracks_.size() + objects.size());
  std::vector<Track> newcomers;
  for (std::size_t o = 0; o < objects.size(); ++o) {
    // An object given before made its candidate then.
    if (objectTrack_[o] >= 0 || objects[o].repeated || metAgain(objects[o]))
      continue;
    Track track;
    track.filter = OneEuroFilter(rules_.filter);
    follow(track, objects[o]);
    newcomers.push_back(std::move(track));
  }
  for (std::size_t t = 0; t < tracks_.size(); ++t) {
    Track& track = tracks_[t];
    if (trackMatched_[t]) {
      kept.push_back(std::move(track));
      continue;
    }
    // A candidate must be seen in every turn until it is born.
    if (!track.born)
      continue;
    if (++track.unseenTurns >= rules_.removalTurns) {
      update_.removed.push_back(track.contact);
      continue;
    }
    kept.push_back(std::move(track));
  }
  for (Track& track : newcomers)
    kept.push_back(std::move(track));
  tracks_ = std::move(kept);

  // Births after removals, so that a removed contact's cursor id is free again at once.
  for (Track& track : tracks_) {
    if (!track.born && track.seenTurns >= rules_.birthTurns)
      bear(track, now_ms);
  }
  for (const Track& track : tracks_) {
    if (track.born)
      update_.live.push_back(track.contact);
  }
  std::sort(
      update_.live.begin(), update_.live.end(),
      [](const TrackedContact& a, const TrackedContact& b) { return a.sessionId < b.sessionId; });
  return update_;
}

double ContactTracker::metAt(const TouchObject& object) const {
  return clock_s_ - turn_s_ + object.phase * turn_s_;
}

bool ContactTracker::metAgain(const TouchObject& object) const {
  const double squareGap = rules_.gapMm * rules_.gapMm;
  return std::any_of(tracks_.begin(), tracks_.end(), [&](const Track& track) {
    if (!track.born)
      return false;
    const double ahead_s = metAt(object) - track.seen_s;
    const double dx = object.x - (track.measuredX + track.driftX * ahead_s);
    const double dy = object.y - (track.measuredY + track.driftY * ahead_s);
    return dx * dx + dy * dy < squareGap;
  });
}

void ContactTracker::match(const std::vector<TouchObject>& objects) {
  pairs_.clear();
  const double squareGate = rules_.gateMm * rules_.gateMm;
  for (std::size_t t = 0; t < tracks_.size(); ++t) {
    const Track& track = tracks_[t];
    for (std::size_t o = 0; o < objects.size(); ++o) {
      // Where the track should be when the sweep met the object: a hand that moves on keeps its
      // way. Timing it by the object's place in the turn matters for a hand met twice in one
      // turn, at its start and at its end.
      const double ahead_s = metAt(objects[o]) - track.seen_s;
      const double expectedX = track.measuredX + track.driftX * ahead_s;
      const double expectedY = track.measuredY + track.driftY * ahead_s;
      const double dx = objects[o].x - expectedX;
      const double dy = objects[o].y - expectedY;
      const double squareDistance = dx * dx + dy * dy;
      if (squareDistance <= squareGate)
        pairs_.push_back(Pair{!track.born, objects[o].repeated, squareDistance, t, o});
    }
  }
  std::sort(pairs_.begin(), pairs_.end(), [](const Pair& a, const Pair& b) {
    // Contacts choose first: a candidate of a turn or two, such as a sliver of a hand met at
    // the turn's start, must not take a contact's object because it happens to lie nearer.
    if (a.candidate != b.candidate)
      return b.candidate;
    // A fresh sighting before one given already, which only keeps a track alive.
    if (a.repeated != b.repeated)
      return b.repeated;
    if (a.squareDistance != b.squareDistance)
      return a.squareDistance < b.squareDistance;
    return a.track < b.track;  // the older track first, so that a tie always goes one way
  });

  objectTrack_.assign(objects.size(), -1);
  trackMatched_.assign(tracks_.size(), false);
  for (const Pair& pair : pairs_) {
    if (trackMatched_[pair.track] || objectTrack_[pair.object] >= 0)
      continue;
    trackMatched_[pair.track] = true;
    objectTrack_[pair.object] = static_cast<int>(pair.track);
    follow(tracks_[pair.track], objects[pair.object]);
  }
}

void ContactTracker::follow(Track& track, const TouchObject& object) {
  if (object.repeated) {
    ++track.seenTurns;
    track.unseenTurns = 0;
    return;
  }
  const double met_s = metAt(object);
  // Two sightings closer than this in time tell nothing of a speed.
  constexpr double kShortest_s = 0.005;
  const double since_s = std::max(met_s - track.seen_s, kShortest_s);
  // Two scanners each see the near side of a hand, a few centimetres apart: between sightings
  // by two scanners a moment apart, that difference is no speed. Half a turn or more apart it
  // is small beside the way a hand goes.
  const bool sameView = object.scanner == track.lastScanner || since_s >= turn_s_ / 2;
  track.lastScanner = object.scanner;
  if (track.seenTurns > 0 && sameView) {
    track.driftX = (object.x - track.measuredX) / since_s;
    track.driftY = (object.y - track.measuredY) / since_s;
  }
  track.measuredX = object.x;
  track.measuredY = object.y;
  track.seen_s = met_s;
  ++track.seenTurns;
  track.unseenTurns = 0;
  place(track, since_s, sameView);
}

void ContactTracker::place(Track& track, double since_s, bool measuresSpeed) {
  TrackedContact& contact = track.contact;
  const double lastX = contact.x;
  const double lastY = contact.y;
  const bool first = track.seenTurns == 1;
  if (rules_.smoothing) {
    track.filter.step(track.measuredX, track.measuredY, since_s);
    contact.x = track.filter.x();
    contact.y = track.filter.y();
  } else {
    contact.x = track.measuredX;
    contact.y = track.measuredY;
  }
  if (first || !measuresSpeed)
    return;
  const double lastSpeed = std::hypot(contact.velocityX, contact.velocityY);
  contact.velocityX = (contact.x - lastX) / since_s;
  contact.velocityY = (contact.y - lastY) / since_s;
  contact.acceleration = (std::hypot(contact.velocityX, contact.velocityY) - lastSpeed) / since_s;
}

void ContactTracker::bear(Track& track, std::int64_t now_ms) {
  track.contact.cursorId = lowestFreeCursorId();
  track.born = true;
  track.contact.sessionId = nextSessionId_++;
  track.contact.born_ms = now_ms;
  update_.born.push_back(track.contact.sessionId);
}

int ContactTracker::lowestFreeCursorId() const {
  for (int id = 0;; ++id) {
    const bool taken = std::any_of(tracks_.begin(), tracks_.end(), [id](const Track& track) {
      return track.born && track.contact.cursorId == id;
    });
    if (!taken)
      return id;
  }
}

}  // namespace scantouch
