#include "engine/contact_tracker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>
#include <vector>

namespace scantouch {
namespace {

class ContactTrackerTest : public ::testing::Test {
 protected:
  ContactTrackerTest() {
    TrackingRules rules;
    rules.smoothing = false;
    tracker_.setRules(rules);
  }

  const TrackerUpdate& turn(std::vector<TouchObject> objects) {
    now_ms_ += 100;
    return tracker_.update(objects, 0.1, now_ms_);
  }

  static std::vector<SessionId> Sessions(const std::vector<TrackedContact>& contacts) {
    std::vector<SessionId> ids;
    for (const auto& contact : contacts)
      ids.push_back(contact.sessionId);
    return ids;
  }

  ContactTracker tracker_;
  std::int64_t now_ms_ = 0;
};

TEST_F(ContactTrackerTest, IsBornAfterTwoTurnsAndRemovedAfterTwoUnseen) {
  EXPECT_TRUE(turn({{1000, 1000, 3}}).live.empty());
  const TrackerUpdate& born = turn({{1005, 1000, 3}});
  ASSERT_EQ(born.live.size(), 1u);
  EXPECT_EQ(born.born, std::vector<SessionId>{1});
  EXPECT_EQ(born.live[0].cursorId, 0);
  EXPECT_EQ(born.live[0].born_ms, 200);
  EXPECT_DOUBLE_EQ(born.live[0].x, 1005);

  EXPECT_EQ(turn({}).live.size(), 1u);  // unseen once: still there, where it was
  const TrackerUpdate& gone = turn({});
  EXPECT_TRUE(gone.live.empty());
  ASSERT_EQ(gone.removed.size(), 1u);
  EXPECT_EQ(gone.removed[0].sessionId, 1u);
  EXPECT_DOUBLE_EQ(gone.removed[0].x, 1005);
}

TEST_F(ContactTrackerTest, AnObjectOfOneTurnIsNeverBorn) {
  // A stray point from a garbled node, in a different place every turn.
  for (int i = 0; i < 10; ++i) {
    const TrackerUpdate& update = turn({{1000.0 + 500 * (i % 2), 1000, 1}});
    EXPECT_TRUE(update.live.empty());
    EXPECT_TRUE(update.born.empty());
  }
}

TEST_F(ContactTrackerTest, SessionIdsAreNeverReusedAndCursorIdsAreTheLowestFree) {
  turn({{0, 0, 1}, {1000, 0, 1}});
  EXPECT_EQ(Sessions(turn({{0, 0, 1}, {1000, 0, 1}}).live), (std::vector<SessionId>{1, 2}));
  // The first goes, a third comes: a new session, and the first's cursor id 0 again.
  turn({{1000, 0, 1}});
  turn({{1000, 0, 1}, {3000, 0, 1}});
  const TrackerUpdate& update = turn({{1000, 0, 1}, {3000, 0, 1}});
  ASSERT_EQ(update.live.size(), 2u);
  EXPECT_EQ(update.live[0].sessionId, 2u);
  EXPECT_EQ(update.live[0].cursorId, 1);
  EXPECT_EQ(update.live[1].sessionId, 3u);
  EXPECT_EQ(update.live[1].cursorId, 0);
}

TEST_F(ContactTrackerTest, PairsAreTakenNearestFirstOverAll) {
  // Contacts at 0 and 100, objects at 60 and 170. Taking the contacts in turn, the first would
  // take 60, its nearest; over all pairs the nearest is the second contact and 60 (40 mm).
  turn({{0, 0, 1}, {100, 0, 1}});
  turn({{0, 0, 1}, {100, 0, 1}});
  const TrackerUpdate& update = turn({{60, 0, 1}, {170, 0, 1}});
  ASSERT_EQ(update.live.size(), 2u);
  EXPECT_DOUBLE_EQ(update.live[0].x, 170);
  EXPECT_DOUBLE_EQ(update.live[1].x, 60);
}

TEST_F(ContactTrackerTest, AContactMetTwiceInOneTurnMakesNoNewcomer) {
  // A hand moving left at 1 m/s, met at the start of each turn; in the third turn it crosses
  // the turn's start and is met again at the end, 100 ms further on.
  turn({{1000, 0, 1, 0.0}});
  turn({{900, 0, 1, 0.0}});
  const TrackerUpdate& twice = turn({{800, 0, 1, 0.0}, {705, 0, 1, 1.0}});
  ASSERT_EQ(twice.live.size(), 1u);
  const TrackerUpdate& after = turn({{605, 0, 1, 1.0}});
  ASSERT_EQ(after.live.size(), 1u);
  EXPECT_EQ(after.live[0].sessionId, 1u);
  EXPECT_DOUBLE_EQ(after.live[0].x, 605);
  // A hand beside it, beyond the gap, is a newcomer.
  turn({{505, 0, 1, 1.0}, {370, 0, 1, 1.0}});
  EXPECT_EQ(turn({{405, 0, 1, 1.0}, {370, 0, 1, 1.0}}).live.size(), 2u);
}

TEST_F(ContactTrackerTest, ASecondFingerWithinTheGapOfAHeldOneIsANewcomer) {
  // A finger held, then another 70 mm beside it, met by the same scanner a moment later: a pinch
  // has two contacts whichever finger came first.
  turn({{1000, 1000, 3, 0.30}});
  turn({{1000, 1000, 3, 0.30}});
  turn({{1000, 1000, 3, 0.30}, {1070, 1000, 3, 0.32}});
  EXPECT_EQ(turn({{1000, 1000, 3, 0.30}, {1070, 1000, 3, 0.32}}).live.size(), 2u);

  // Held where two scanners see it, and the newcomer seen by one of them: a newcomer still.
  TouchObject held{1000, 1000, 6, 0.30};
  held.scanners = ScannerBit(0) | ScannerBit(1);
  TouchObject third{1000, 1075, 3, 0.31};
  third.scanner = 1;
  turn({held, {1070, 1000, 3, 0.32}, third});
  EXPECT_EQ(turn({held, {1070, 1000, 3, 0.32}, third}).live.size(), 3u);
}

TEST_F(ContactTrackerTest, AFastHandSeenByAnotherScannerAMomentBeforeIsNoNewcomer) {
  // 2 m/s: the second scanner met the hand 60 ms before the first, 120 mm behind, too far for the
  // two sightings to have been joined. The tracker knows it is the same hand by where it goes.
  turn({{0, 0, 3, 0.5}});
  turn({{200, 0, 3, 0.5}});
  for (int i = 0; i < 3; ++i) {
    TouchObject earlier{280.0 + 200 * i, 0, 3, -0.1};
    earlier.scanner = 1;
    const TrackerUpdate& update = turn({{400.0 + 200 * i, 0, 3, 0.5}, earlier});
    ASSERT_EQ(update.live.size(), 1u) << "turn " << i;
  }
}

TEST_F(ContactTrackerTest, HundredsOfSpecksAreBoundedTheBiggestKept) {
  // Specks of one hit among hands of three, more than the tracker takes in a turn.
  std::vector<TouchObject> objects;
  for (int i = 0; i < 140; ++i)
    objects.push_back({i * 40.0, i % 2 == 0 ? 0.0 : 500.0, i < 40 ? 1 : 3, i / 140.0});
  turn(objects);
  const TrackerUpdate& update = turn(objects);
  ASSERT_EQ(update.live.size(), ContactTracker::kMostContacts);
  std::set<int> cursors;
  for (const TrackedContact& contact : update.live) {
    EXPECT_GE(contact.x, 40 * 40.0);  // none of the specks
    cursors.insert(contact.cursorId);
  }
  EXPECT_EQ(cursors.size(), ContactTracker::kMostContacts);
  EXPECT_EQ(*cursors.rbegin(), static_cast<int>(ContactTracker::kMostContacts) - 1);
}

TEST_F(ContactTrackerTest, AnObjectBeyondTheGateIsANewContact) {
  turn({{0, 0, 1}});
  turn({{0, 0, 1}});
  turn({{400, 0, 1}});  // farther than the gate of 250 mm
  const TrackerUpdate& update = turn({{400, 0, 1}});
  ASSERT_EQ(update.live.size(), 1u);
  EXPECT_EQ(update.live[0].sessionId, 2u);
  EXPECT_EQ(update.removed.size(), 1u);
}

// A garbled distance byte moves one sighting of a still hand 160 mm: the contact seems to fly off
// at 1.6 m/s, and where it is guessed next there is nothing.
TEST_F(ContactTrackerTest, AStillHandKeepsItsContactAfterOneSightingAGarbledByteMoved) {
  for (const double x : {1000.0, 1000.0, 1000.0, 1160.0, 1000.0, 1000.0, 1000.0}) {
    const TrackerUpdate& update = turn({{x, 1000, 1}});
    EXPECT_TRUE(update.removed.empty()) << x;
  }
  const TrackerUpdate& last = turn({{1000, 1000, 1}});
  EXPECT_EQ(Sessions(last.live), (std::vector<SessionId>{1}));
  EXPECT_DOUBLE_EQ(last.live[0].x, 1000);
}

// A turn whose data went missing where a contact is neither saw it nor missed it; only turns that
// looked and did not find it count, and only so many such turns in a row are forgiven.
TEST_F(ContactTrackerTest, ATurnWithoutDataWhereAContactIsDoesNotCountItUnseen) {
  const auto blind = [this](bool missing) {
    now_ms_ += 100;
    return tracker_.update({}, 0.1, now_ms_,
                           [missing](double x, double) { return missing && x < 1500; });
  };
  turn({{1000, 1000, 1}});
  turn({{1000, 1000, 1}});
  // A hand between two beams is missed now and then; a garbled byte took the next turn's beam.
  EXPECT_EQ(turn({}).live.size(), 1u);
  EXPECT_EQ(blind(true).live.size(), 1u);
  EXPECT_EQ(turn({}).live.size(), 1u);
  EXPECT_EQ(blind(true).live.size(), 1u);
  EXPECT_EQ(turn({}).live.size(), 1u);
  // The third turn without data since it was seen counts: the contact goes.
  EXPECT_EQ(blind(true).removed.size(), 1u);

  // Data missing elsewhere changes nothing.
  turn({{2000, 1000, 1}});
  turn({{2000, 1000, 1}});
  EXPECT_EQ(blind(true).live.size(), 1u);
  EXPECT_EQ(blind(true).removed.size(), 1u);
}

TEST_F(ContactTrackerTest, AHandMovingFastIsFollowedWhereItIsGoing) {
  // 2 m/s at ten turns a second: 200 mm a turn, two crossing hands 150 mm apart in the middle.
  std::vector<SessionId> first;
  for (int i = 0; i < 12; ++i) {
    const double x = 200.0 * i;
    const TrackerUpdate& update = turn({{x, 0, 1}, {2200 - x, 150, 1}});
    if (update.live.size() == 2) {
      // Each session stays on its own hand: the one that started on the left moves right.
      const bool firstIsLeftHand = update.live[0].y == 0;
      EXPECT_TRUE(firstIsLeftHand) << "turn " << i;
    }
    first = Sessions(update.live);
  }
  EXPECT_EQ(first, (std::vector<SessionId>{1, 2}));
}

// Another scanner's turn given again, when the pacing scanner ended two turns in one of its own.
TEST_F(ContactTrackerTest, AnObjectGivenAgainKeepsItsContactWithoutMovingItOrMakingAnother) {
  turn({{1000, 1000, 3}});
  turn({{1010, 1000, 3}});
  TouchObject again{1010, 1000, 3};
  again.repeated = true;
  // Seen only again, for longer than a contact may go unseen: still there, still where it was.
  for (int i = 0; i < 4; ++i) {
    const TrackerUpdate& update = turn({again});
    ASSERT_EQ(update.live.size(), 1u);
    EXPECT_DOUBLE_EQ(update.live[0].x, 1010);
  }
  // Beside a fresh sighting of the same hand, the fresh one places it; an object given again that
  // matches nothing makes no candidate.
  const TrackerUpdate& both = turn({again, {1030, 1000, 3}, TouchObject{3000, 3000, 3, 0, true}});
  ASSERT_EQ(both.live.size(), 1u);
  EXPECT_DOUBLE_EQ(both.live[0].x, 1030);
  EXPECT_EQ(turn({{1030, 1000, 3}, TouchObject{3000, 3000, 3, 0, true}}).live.size(), 1u);
}

// Two scanners put one still hand a little apart (each sees its own side of it), and the second
// scanner's sighting came a moment after the first's: no speed, so the next turn finds it.
TEST_F(ContactTrackerTest, TwoScannersSightingsAMomentApartMakeNoSpeed) {
  turn({{1000, 1000, 5}});
  turn({{1000, 1000, 5}});
  TouchObject second{1020, 1010, 4, -0.95};  // met 5 ms after the first scanner's last sighting
  second.scanner = 1;
  const TrackerUpdate& seen = turn({second});
  ASSERT_EQ(seen.live.size(), 1u);
  EXPECT_LT(std::hypot(seen.live[0].velocityX, seen.live[0].velocityY), 500);
  const TrackerUpdate& back = turn({{1000, 1000, 5}, {}});
  ASSERT_EQ(back.live.size(), 1u);
  EXPECT_EQ(back.live[0].sessionId, seen.live[0].sessionId);
  EXPECT_TRUE(back.removed.empty());
}

// A setting typed on the page, one keystroke at a time, hands the tracker its rules again.
TEST(ContactTrackerRules, FiltersKeepTheirStateUnlessTheirTuningChanges) {
  const auto follow = [](ContactTracker& tracker, const std::function<void()>& between) {
    std::int64_t now_ms = 0;
    double x = 0;
    for (int i = 0; i < 12; ++i) {
      if (i == 6)
        between();
      now_ms += 100;
      // A hand drifting slowly: its smoothed place lags behind.
      const TrackerUpdate& update = tracker.update({{1000.0 + 5 * i, 1000, 3}}, 0.1, now_ms);
      if (!update.live.empty())
        x = update.live[0].x;
    }
    return x;
  };
  ContactTracker untouched;
  untouched.setRules(TrackingRules{});
  const double smoothed = follow(untouched, [] {});
  ASSERT_LT(smoothed, 1054);  // behind the raw sighting at 1055

  ContactTracker retyped;
  retyped.setRules(TrackingRules{});
  TrackingRules other;
  other.removalTurns = 5;
  other.gateMm = 300;
  EXPECT_DOUBLE_EQ(follow(retyped, [&] { retyped.setRules(other); }), smoothed);

  ContactTracker retuned;
  retuned.setRules(TrackingRules{});
  TrackingRules tuned;
  tuned.filter.minCutoff_hz = 0.25;
  EXPECT_NE(follow(retuned, [&] { retuned.setRules(tuned); }), smoothed);
}

}  // namespace
}  // namespace scantouch
