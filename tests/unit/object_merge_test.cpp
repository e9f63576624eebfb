#include "geometry/object_merge.h"

#include <gtest/gtest.h>

namespace scantouch {
namespace {

void ExpectObject(const SurfaceObject& actual, PlanePoint position, int hits) {
  EXPECT_NEAR(actual.position.x, position.x, 1e-9);
  EXPECT_NEAR(actual.position.y, position.y, 1e-9);
  EXPECT_EQ(actual.hits, hits);
}

TEST(MergeObjects, JoinsNeighboursAtTheirHitWeightedMean) {
  // The first and third are 50 apart (under the gap of 60); the second is far from both.
  const auto merged = MergeObjects({{{100, 100}, 3}, {{900, 400}, 2}, {{130, 140}, 1}}, 60);
  ASSERT_EQ(merged.size(), 2u);
  // (3 * 100 + 130) / 4 = 107.5, (3 * 100 + 140) / 4 = 110.
  ExpectObject(merged[0], {107.5, 110}, 4);
  ExpectObject(merged[1], {900, 400}, 2);
}

TEST(MergeObjects, ChainsJoinAndKeepTheOrderOfTheirFirstPart) {
  // 0 and 40 are not neighbours, but each is one to 20, which comes last: one object, placed
  // first because its part at 0 came before the lone one at 500. A distance equal to the gap
  // does not join.
  const auto merged =
      MergeObjects({{{0, 0}, 1}, {{500, 0}, 5}, {{40, 0}, 1}, {{530, 0}, 1}, {{20, 0}, 2}}, 30);
  ASSERT_EQ(merged.size(), 3u);
  ExpectObject(merged[0], {20, 0}, 4);
  ExpectObject(merged[1], {500, 0}, 5);
  ExpectObject(merged[2], {530, 0}, 1);
}

TEST(MergeObjects, ObjectsWithoutHitsAverageEvenly) {
  const auto merged = MergeObjects({{{10, 10}, 0}, {{14, 16}, 0}}, 10);
  ASSERT_EQ(merged.size(), 1u);
  ExpectObject(merged[0], {12, 13}, 0);
  EXPECT_TRUE(MergeObjects({}, 10).empty());
}

}  // namespace
}  // namespace scantouch
