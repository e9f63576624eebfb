#include "engine/object_grouping.h"

#include <gtest/gtest.h>

namespace scantouch {
namespace {

TurnHits Hits(std::initializer_list<TurnHit> hits, bool missAtEnd = false) {
  TurnHits turn;
  turn.hits = hits;
  turn.missAtEnd = missAtEnd;
  return turn;
}

TEST(GroupHits, AnObjectIsTheMidpointOfItsFirstAndLastPoint) {
  // Points of a round object: the middle one bulges towards the scanner, the midpoint does not
  // follow it, as the single-touch road does not.
  const auto objects = GroupHits(Hits({{100, 200}, {120, 190}, {140, 200}}), 100);
  ASSERT_EQ(objects.size(), 1u);
  EXPECT_EQ(objects[0], (TouchObject{120, 200, 3}));
}

TEST(GroupHits, AMissOrAGapSeparatesObjects) {
  // A miss between two hits splits them however close they are; hits farther apart than the gap
  // (a hand in front of another on nearly the same beam) split without one.
  const auto objects =
      GroupHits(Hits({{0, 0}, {10, 0}, {20, 0, true}, {30, 0}, {30, 150}, {35, 160}}, true), 100);
  ASSERT_EQ(objects.size(), 3u);
  EXPECT_EQ(objects[0], (TouchObject{5, 0, 2}));
  EXPECT_EQ(objects[1], (TouchObject{25, 0, 2}));
  EXPECT_EQ(objects[2], (TouchObject{32.5, 155, 2}));
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

TEST(GroupHits, NoHitsNoObjects) {
  EXPECT_TRUE(GroupHits(Hits({}, true), 100).empty());
}

}  // namespace
}  // namespace scantouch
