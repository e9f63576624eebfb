#include "engine/contact_tracker.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace scantouch {

void ContactTracker::setRules(const TrackingRules& rules) {
  // Smoothing turned on again starts afresh, not from where each filter stood when it was turned
  // off.
  const bool filtersChange =
      !(rules.filter == rules_.filter) || (rules.smoothing && !rules_.smoothing);
  rules_ = rules;
  if (!filtersChange)
    return;
  for (Track& track : tracks_)
    track.filter = OneEuroFilter(rules_.filter);
}

void ContactTracker::reset() {
  tracks_.clear();
  update_ = {};
}

const TrackerUpdate& ContactTracker::update(const std::vector<TouchObject>& objects, double turn_s,
                                            std::int64_t now_ms, const MissingData& missing) {
  update_.live.clear();
  update_.born.clear();
  update_.removed.clear();
  clock_s_ += turn_s;
  turn_s_ = turn_s;
  take(objects);
  match(objects);

  std::vector<Track> kept;
  kept.reserve(tracks_.size() + taken_.size());
  std::vector<Track> newcomers;
  for (const std::size_t o : taken_) {
    // An object given before made its candidate then.
    if (objectTrack_[o] >= 0 || objects[o].repeated || metAgain(o, objects))
      continue;
    Track track;
    track.filter = OneEuroFilter(rules_.filter);
    follow(track, objects[o]);
    newcomers.push_back(std::move(track));
  }
  for (std::size_t t = 0; t < tracks_.size(); ++t) {
    Track& track = tracks_[t];
    if (trackObject_[t] >= 0) {
      kept.push_back(std::move(track));
      continue;
    }
    // A candidate must be seen in every turn until it is born.
    if (!track.born)
      continue;
    // A hand the sweep meets with a single beam is missed now and then, where it falls between
    // two beams; a turn that lost its beam there to a garbled byte neither saw it nor missed it,
    // and the turns it was missed in are then no longer in a row.
    if (missing && track.unlookedTurns < rules_.removalTurns) {
      // Where it was last seen, or where it should be by now: a hand seen with one beam at a
      // time seems to drift by the beams' spacing.
      const double since_s = clock_s_ - track.seen_s;
      if (missing(track.measuredX, track.measuredY) ||
          missing(track.measuredX + track.driftX * since_s,
                  track.measuredY + track.driftY * since_s)) {
        ++track.unlookedTurns;
        track.unseenTurns = 0;
        kept.push_back(std::move(track));
        continue;
      }
    }
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
  bearNewcomers(now_ms);
  for (const Track& track : tracks_) {
    if (track.born)
      update_.live.push_back(track.contact);
  }
  std::sort(
      update_.live.begin(), update_.live.end(),
      [](const TrackedContact& a, const TrackedContact& b) { return a.sessionId < b.sessionId; });
  return update_;
}

void ContactTracker::take(const std::vector<TouchObject>& objects) {
  taken_.resize(objects.size());
  std::iota(taken_.begin(), taken_.end(), std::size_t{0});
  if (taken_.size() <= kMostObjects)
    return;
  // Fresh sightings before those given again, then the biggest, then the earliest.
  const auto before = [&objects](std::size_t a, std::size_t b) {
    if (objects[a].repeated != objects[b].repeated)
      return objects[b].repeated;
    if (objects[a].hits != objects[b].hits)
      return objects[a].hits > objects[b].hits;
    return a < b;
  };
  const auto end = taken_.begin() + static_cast<std::ptrdiff_t>(kMostObjects);
  std::nth_element(taken_.begin(), end, taken_.end(), before);
  taken_.erase(end, taken_.end());
  std::sort(taken_.begin(), taken_.end());
}

double ContactTracker::metAt(const TouchObject& object) const {
  return clock_s_ - turn_s_ + object.phase * turn_s_;
}

double ContactTracker::squareDistance(const Track& track, const TouchObject& object) const {
  // A hand that moves on keeps its way. Timing it by the object's place in the turn matters for a
  // hand met twice in one turn, at its start and at its end.
  const double ahead_s = metAt(object) - track.seen_s;
  const double dx = object.x - (track.measuredX + track.driftX * ahead_s);
  const double dy = object.y - (track.measuredY + track.driftY * ahead_s);
  return dx * dx + dy * dy;
}

bool ContactTracker::metAgain(std::size_t object, const std::vector<TouchObject>& objects) const {
  const TouchObject& left = objects[object];
  const double squareGap = rules_.gapMm * rules_.gapMm;
  for (std::size_t t = 0; t < tracks_.size(); ++t) {
    if (!tracks_[t].born || trackObject_[t] < 0)
      continue;
    // One scanner meets one hand twice in a turn only at its two ends; another scanner may see
    // it any time, and too far from the first's sighting to have been joined with it. A second
    // finger beside a held one, met by the same scanner a moment apart, is a newcomer.
    const TouchObject& met = objects[static_cast<std::size_t>(trackObject_[t])];
    const bool canMeetAgain =
        (left.seenBy() & met.seenBy()) == 0 || std::abs(left.phase - met.phase) >= 0.5;
    if (canMeetAgain && squareDistance(tracks_[t], left) < squareGap)
      return true;
  }
  return false;
}

void ContactTracker::match(const std::vector<TouchObject>& objects) {
  pairs_.clear();
  const double squareGate = rules_.gateMm * rules_.gateMm;
  for (std::size_t t = 0; t < tracks_.size(); ++t) {
    for (const std::size_t o : taken_) {
      const double distance = squareDistance(tracks_[t], objects[o]);
      if (distance <= squareGate)
        pairs_.push_back(Pair{!tracks_[t].born, objects[o].repeated, distance, t, o});
    }
  }
  objectTrack_.assign(objects.size(), -1);
  trackObject_.assign(tracks_.size(), -1);
  takePairs(objects);
  rematchGuessedWrong(objects);
}

void ContactTracker::takePairs(const std::vector<TouchObject>& objects) {
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
  for (const Pair& pair : pairs_) {
    if (trackObject_[pair.track] >= 0 || objectTrack_[pair.object] >= 0)
      continue;
    trackObject_[pair.track] = static_cast<int>(pair.object);
    objectTrack_[pair.object] = static_cast<int>(pair.track);
    follow(tracks_[pair.track], objects[pair.object]);
  }
}

void ContactTracker::rematchGuessedWrong(const std::vector<TouchObject>& objects) {
  // One sighting of a still hand that a garbled byte moved makes it seem to fly off: where it is
  // guessed next, more than the gap from where it was seen, there is nothing. A contact whose
  // guess went that far and found nothing takes what is left within the gap of its last two
  // sightings, rather than lose its hand to a newcomer; what lies within the gate of an object
  // another contact took may be part of that hand, and is left alone.
  pairs_.clear();
  const double squareGap = rules_.gapMm * rules_.gapMm;
  const double squareGate = rules_.gateMm * rules_.gateMm;
  const auto square = [](double dx, double dy) { return dx * dx + dy * dy; };
  for (std::size_t t = 0; t < tracks_.size(); ++t) {
    const Track& track = tracks_[t];
    if (!track.born || trackObject_[t] >= 0)
      continue;
    const double since_s = clock_s_ - track.seen_s;
    if (square(track.driftX * since_s, track.driftY * since_s) <= squareGap)
      continue;
    for (const std::size_t o : taken_) {
      const TouchObject& left = objects[o];
      if (objectTrack_[o] >= 0)
        continue;
      const bool nearAnother =
          std::any_of(trackObject_.begin(), trackObject_.end(), [&](int taken) {
            return taken >= 0 &&
                   square(left.x - objects[static_cast<std::size_t>(taken)].x,
                          left.y - objects[static_cast<std::size_t>(taken)].y) <= squareGate;
          });
      const double distance = std::min(square(left.x - track.measuredX, left.y - track.measuredY),
                                       square(left.x - track.previousX, left.y - track.previousY));
      if (!nearAnother && distance <= squareGap)
        pairs_.push_back(Pair{false, left.repeated, distance, t, o});
    }
  }
  takePairs(objects);
}

void ContactTracker::follow(Track& track, const TouchObject& object) {
  if (object.repeated) {
    ++track.seenTurns;
    track.unseenTurns = 0;
    track.unlookedTurns = 0;
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
  track.previousX = track.seenTurns > 0 ? track.measuredX : object.x;
  track.previousY = track.seenTurns > 0 ? track.measuredY : object.y;
  track.measuredX = object.x;
  track.measuredY = object.y;
  track.seen_s = met_s;
  ++track.seenTurns;
  track.unseenTurns = 0;
  track.unlookedTurns = 0;
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

void ContactTracker::bearNewcomers(std::int64_t now_ms) {
  // Each cursor id is the lowest one no live contact holds; with every track born there is still
  // one free below the number of tracks plus one.
  cursorTaken_.assign(tracks_.size() + 1, false);
  std::size_t live = 0;
  for (const Track& track : tracks_) {
    if (!track.born)
      continue;
    ++live;
    const auto id = static_cast<std::size_t>(track.contact.cursorId);
    if (id < cursorTaken_.size())
      cursorTaken_[id] = true;
  }
  std::size_t free = 0;
  for (Track& track : tracks_) {
    if (track.born || track.seenTurns < rules_.birthTurns)
      continue;
    // Candidates beyond the most contacts wait, seen turn by turn, for one to go.
    if (live >= kMostContacts)
      return;
    while (cursorTaken_[free])
      ++free;
    cursorTaken_[free] = true;
    ++live;
    track.contact.cursorId = static_cast<int>(free);
    track.born = true;
    track.contact.sessionId = nextSessionId_++;
    track.contact.born_ms = now_ms;
    update_.born.push_back(track.contact.sessionId);
  }
}

}  // namespace scantouch
