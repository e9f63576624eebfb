#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/object_grouping.h"
#include "engine/one_euro_filter.h"
#include "engine/touch_frame.h"

namespace scantouch {

// How contacts are born, followed and removed.
struct TrackingRules {
  int birthTurns = 2;    // an object seen this many turns in a row becomes a contact
  int removalTurns = 2;  // a contact unseen this many turns in a row is removed
  double gateMm = 250;   // the farthest an object may be from where a contact should be
  // An object left over this close to where a contact should be is that contact met again in
  // the same turn, not a newcomer (objects closer than the gap are one), where meeting it again
  // can happen: the contact's sighting this turn came from another scanner, or from the other end
  // of the turn (a hand moving against the sweep across the turn's start).
  double gapMm = 100;
  bool smoothing = true;
  OneEuroFilter::Tuning filter;
};

// Whether a turn's data is missing where a point lies, in view units: the line lost or garbled
// what the sweep measured there.
using MissingData = std::function<bool(double x, double y)>;

// A contact as the tracker keeps it, in view units.
struct TrackedContact {
  SessionId sessionId = 0;
  int cursorId = 0;
  std::int64_t born_ms = 0;
  double x = 0;  // smoothed when smoothing is on
  double y = 0;
  double velocityX = 0;  // millimetres per second, of the smoothed position
  double velocityY = 0;
  double acceleration = 0;  // change of speed, millimetres per second squared
};

// What one turn changed.
struct TrackerUpdate {
  std::vector<TrackedContact> live;  // oldest first
  std::vector<SessionId> born;
  std::vector<TrackedContact> removed;  // at their last position
};

// Follows the objects of each turn from turn to turn. Objects are matched to the tracks of the
// last turn by their distance from where each track should be when the sweep met the object
// (its phase in the turn), pairs taken nearest first over all contacts and objects, then over
// the candidates and the objects left. Session ids count up and are never reused; a cursor id is
// the lowest one no live contact holds.
class ContactTracker {
 public:
  // The most objects one turn gives, the biggest kept, and the most contacts alive at once: a
  // surface strewn with hundreds of specks would otherwise cost the square of their number in
  // every turn.
  static constexpr std::size_t kMostObjects = 100;
  static constexpr std::size_t kMostContacts = 100;

  // Filters keep their state unless their tuning changes: a setting typed on the page would
  // otherwise make every contact jump to its raw place.
  void setRules(const TrackingRules& rules);
  const TrackingRules& rules() const { return rules_; }

  // The objects of a turn that lasted `turn_s` and ended at `now_ms`. Where `missing` says the
  // turn's data is missing, a contact was not looked for: such a turn does not count it unseen,
  // for at most as many turns in a row as would remove it.
  const TrackerUpdate& update(const std::vector<TouchObject>& objects, double turn_s,
                              std::int64_t now_ms, const MissingData& missing = {});
  // Forgets every track; session ids go on counting.
  void reset();

 private:
  struct Track {
    double measuredX = 0;  // where the object was last seen
    double measuredY = 0;
    double previousX = 0;  // and the time before
    double previousY = 0;
    double seen_s = 0;  // and when, on the tracker's clock
    double driftX = 0;  // millimetres per second between the last two sightings
    double driftY = 0;
    int seenTurns = 0;
    int unseenTurns = 0;
    int unlookedTurns = 0;  // since it was last seen: turns whose data where it was is missing
    int lastScanner = 0;    // the scanner of the last sighting
    bool born = false;
    OneEuroFilter filter;
    TrackedContact contact;
  };
  struct Pair {
    bool candidate;  // the track is not born yet
    bool repeated;   // the object was given before
    double squareDistance;
    std::size_t track;
    std::size_t object;
  };

  // When the sweep met the object, on the tracker's clock.
  double metAt(const TouchObject& object) const;
  // Where the track should be when the sweep met the object.
  double squareDistance(const Track& track, const TouchObject& object) const;
  // Whether the object is a contact matched in this turn met again.
  bool metAgain(std::size_t object, const std::vector<TouchObject>& objects) const;
  void take(const std::vector<TouchObject>& objects);
  void match(const std::vector<TouchObject>& objects);
  // Sorts pairs_ and matches each track and object of a pair, unless either is matched already.
  void takePairs(const std::vector<TouchObject>& objects);
  void rematchGuessedWrong(const std::vector<TouchObject>& objects);
  void follow(Track& track, const TouchObject& object);
  void place(Track& track, double since_s, bool measuresSpeed);
  void bearNewcomers(std::int64_t now_ms);

  TrackingRules rules_;
  std::vector<Track> tracks_;
  std::vector<Pair> pairs_;
  std::vector<std::size_t> taken_;  // the objects of this turn the tracker looks at
  std::vector<int> objectTrack_;    // per object: the track it was matched to, or -1
  std::vector<int> trackObject_;    // per track: the object it was matched to, or -1
  std::vector<bool> cursorTaken_;
  TrackerUpdate update_;
  SessionId nextSessionId_ = 1;
  double clock_s_ = 0;  // the end of the last turn
  double turn_s_ = 0;   // its length
};

}  // namespace scantouch
