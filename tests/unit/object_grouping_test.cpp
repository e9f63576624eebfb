#include "engine/object_grouping.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace scantouch {
namespace {

TurnHits Hits(std::initializer_list<TurnHit> hits, bool missAtEnd = false) {
  TurnHits turn;
  turn.hits = hits;
  turn.missAtEnd = missAtEnd;
  return turn;
}

TEST(GroupHits, AnObjectLiesAtTheCentreOfTheRoundThingItsHitsOutline) {
  // A scanner at (500, 1500) turning in 360 nodes meets a hand of 60 mm, 1 m ahead, with three
  // beams a degree apart. The single-touch road's rule, the midpoint of the first and last hit,
  // lies on its near side: 25 mm short of its centre.
  const PlanePoint scanner{500, 1500};
  const PlanePoint centre{500, 500};
  TurnHits turn;
  turn.nodes = 360;
  for (int beam = -1; beam <= 1; ++beam) {
    const double angle = beam * std::numbers::pi / 180;
    const double across = 1000 * std::sin(angle);
    const double near = 1000 * std::cos(angle) - std::sqrt(30 * 30 - across * across);
    turn.hits.push_back(TurnHit{scanner.x + near * std::sin(angle),
                                scanner.y - near * std::cos(angle), false, 100.0 + beam, scanner});
  }
  const auto objects = GroupHits(turn, 100);
  ASSERT_EQ(objects.size(), 1u);
  EXPECT_EQ(objects[0].hits, 3);
  EXPECT_NEAR(objects[0].phase, 100.0 / 360, 1e-12);
  EXPECT_NEAR(objects[0].x, centre.x, 1e-9);
  EXPECT_NEAR(objects[0].y, centre.y, 8);
  EXPECT_GT(std::abs((turn.hits[0].y + turn.hits[2].y) / 2 - centre.y), 20);
}

TEST(GroupHits, AMissOrAGapSeparatesObjects) {
  // A miss between two hits splits them however close they are; hits farther apart than the gap
  // (a hand in front of another on nearly the same beam) split without one.
  const auto objects =
      GroupHits(Hits({{0, 0}, {10, 0}, {20, 0, true}, {30, 0}, {30, 150}, {35, 160}}, true), 100);
  ASSERT_EQ(objects.size(), 3u);
  EXPECT_EQ(objects[0], (TouchObject{5, 0, 2}));
  EXPECT_EQ(objects[1], (TouchObject{25, 0, 2}));
  EXPECT_EQ(objects[2].hits, 2);
  EXPECT_NEAR(objects[2].x, 32.5, 0.1);
  EXPECT_NEAR(objects[2].y, 155, 0.1);
}

TEST(GroupHits, AnObjectCutByTheStartOfTheTurnIsJoinedAgain) {
  // The turn starts in the middle of the first object: its first hits end the turn.
  const TurnHits cut = Hits({{50, 0}, {60, 0}, {500, 0, true}, {30, 0, true}, {40, 0}});
  const auto objects = GroupHits(cut, 100);
  ASSERT_EQ(objects.size(), 2u);
  EXPECT_EQ(objects[0], (TouchObject{45, 0, 4}));  // from (30, 0) to (60, 0)
  EXPECT_EQ(objects[1], (TouchObject{500, 0, 1}));

  // With a miss at either end of the turn they are two objects.
  TurnHits apart = cut;
  apart.missAtEnd = true;
  EXPECT_EQ(GroupHits(apart, 100).size(), 3u);
  apart.missAtEnd = false;
  apart.hits.front().afterMiss = true;
  EXPECT_EQ(GroupHits(apart, 100).size(), 3u);
}

// Before open space the beams between two fingers return nothing rather than a wall: a stretch
// of no-return nodes as wide as a gap between fingers separates them as a miss would; a beam or a
// few the hand did not send back do not cut it in two.
TEST(GroupHits, BeamsThatFoundNothingBetweenTwoThingsSeparateThem) {
  TurnHit second{40, 0};
  second.noReturnsBefore = 12;  // fingers 40 mm apart, beams 3 mm apart between them
  EXPECT_EQ(GroupHits(Hits({{0, 0}, second}, true), 100).size(), 2u);
  second.noReturnsBefore = 1;  // one beam, 40 mm wide: a sparse scanner, one object
  EXPECT_EQ(GroupHits(Hits({{0, 0}, second}, true), 100).size(), 1u);
  TurnHit dark{9, 0};
  dark.noReturnsBefore = 2;  // a dark spot on a hand
  EXPECT_EQ(GroupHits(Hits({{0, 0}, {3, 0}, dark, {12, 0}}, true), 100).size(), 1u);

  // Across the start of the turn alike.
  TurnHits cut = Hits({{50, 0}, {500, 0, true}, {30, 0, true}});
  cut.hits.front().noReturnsBefore = 3;
  cut.noReturnsAtEnd = 3;
  EXPECT_EQ(GroupHits(cut, 100).size(), 3u);
  cut.hits.front().noReturnsBefore = 0;
  cut.noReturnsAtEnd = 1;
  EXPECT_EQ(GroupHits(cut, 100).size(), 2u);
}

TEST(GroupHits, NoHitsNoObjects) {
  EXPECT_TRUE(GroupHits(Hits({}, true), 100).empty());
}

}  // namespace
}  // namespace scantouch
