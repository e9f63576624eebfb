#pragma once

#include <cstdint>
#include <vector>

#include "object_grouping.h"
#include "one_euro_filter.h"

namespace scantouch {

// How contacts are born, followed and removed.
struct TrackingRules {
  int birthTurns = 2;    // an object seen this many turns in a row becomes a contact
  int removalTurns = 2;  // a contact unseen this many turns in a row is removed
  double gateMm = 250;   // the farthest an object may be from where a contact should be
  bool smoothing = true;
  OneEuroFilter::Tuning filter;
};

// A contact as the tracker keeps it, in view units.
struct TrackedContact {
  std::uint32_t sessionId = 0;
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
  std::vector<std::uint32_t> born;
  std::vector<TrackedContact> removed;  // at their last position
};

// Follows the objects of each turn from turn to turn. Objects are matched to the tracks of the
// last turn by their distance from where each track should be now, pairs taken nearest first
// over all tracks and objects. Session ids count up and are never reused; a cursor id is the
// lowest one no live contact holds.
class ContactTracker {
 public:
  void setRules(const TrackingRules& rules);
  const TrackingRules& rules() const { return rules_; }

  // The objects of a turn that lasted `turn_s` and ended at `now_ms`.
  const TrackerUpdate& update(const std::vector<TouchObject>& objects, double turn_s,
                              std::int64_t now_ms);
  // Forgets every track; session ids go on counting.
  void reset();

 private:
  struct Track {
    double measuredX = 0;  // where the object was last seen
    double measuredY = 0;
    double driftX = 0;  // millimetres per second between the last two sightings
    double driftY = 0;
    int seenTurns = 0;
    int unseenTurns = 0;
    bool born = false;
    OneEuroFilter filter;
    TrackedContact contact;
  };
  struct Pair {
    double squareDistance;
    std::size_t track;
    std::size_t object;
  };

  void match(const std::vector<TouchObject>& objects, double turn_s);
  void follow(Track& track, const TouchObject& object, double turn_s);
  void place(Track& track, double turn_s);
  void bear(Track& track, std::int64_t now_ms);
  int lowestFreeCursorId() const;

  TrackingRules rules_;
  std::vector<Track> tracks_;
  std::vector<Pair> pairs_;
  std::vector<int> objectTrack_;  // per object: the track it was matched to, or -1
  std::vector<bool> trackMatched_;
  TrackerUpdate update_;
  std::uint32_t nextSessionId_ = 1;
};

}  // namespace scantouch
