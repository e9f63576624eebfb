#include "engine/object_merge.h"

#include <gtest/gtest.h>

namespace scantouch {
namespace {

void ExpectObject(const SurfaceObject& actual, PlanePoint position, int hits) {
  EXPECT_NEAR(actual.position.x, position.x, 1e-9);
  EXPECT_NEAR(actual.position.y, position.y, 1e-9);
  EXPECT_EQ(actual.hits, hits);
}

SurfaceObject Seen(PlanePoint position, int hits, int scanner) {
  SurfaceObject object;
  object.position = position;
  object.hits = hits;
  object.scanner = scanner;
  return object;
}

TEST(MergeObjects, JoinsNeighboursOfTwoScannersAtTheirHitWeightedMean) {
  // The first and third are 50 apart (under the gap of 60); the second is far from both.
  const auto merged =
      MergeObjects({Seen({100, 100}, 3, 0), Seen({900, 400}, 2, 0), Seen({130, 140}, 1, 1)}, 60);
  ASSERT_EQ(merged.size(), 2u);
  // (3 * 100 + 130) / 4 = 107.5, (3 * 100 + 140) / 4 = 110.
  ExpectObject(merged[0], {107.5, 110}, 4);
  EXPECT_EQ(merged[0].scanner, 0);
  EXPECT_EQ(merged[0].scanners, ScannerBit(0) | ScannerBit(1));
  ExpectObject(merged[1], {900, 400}, 2);
}

TEST(MergeObjects, ChainsJoinAndKeepTheOrderOfTheirFirstPart) {
  // 0 and 40 are not neighbours, but each is one to 20, which comes last: one object of three
  // scanners, placed first because its part at 0 came before the lone one at 500. A distance
  // equal to the gap does not join.
  const auto merged = MergeObjects({Seen({0, 0}, 1, 0), Seen({500, 0}, 5, 0), Seen({40, 0}, 1, 1),
                                    Seen({530, 0}, 1, 1), Seen({20, 0}, 2, 2)},
                                   30);
  ASSERT_EQ(merged.size(), 3u);
  ExpectObject(merged[0], {20, 0}, 4);
  ExpectObject(merged[1], {500, 0}, 5);
  ExpectObject(merged[2], {530, 0}, 1);
}

TEST(MergeObjects, WhatOneScannerSeesApartStaysApart) {
  // Two hands 95 mm apart, under the gap of 100: the first scanner sees them apart.
  EXPECT_EQ(MergeObjects({Seen({0, 0}, 4, 0), Seen({95, 0}, 4, 0)}, 100).size(), 2u);
  // The second scanner sees them too, each a few millimetres off: each hand is one object.
  const auto both = MergeObjects(
      {Seen({0, 0}, 4, 0), Seen({95, 0}, 4, 0), Seen({4, 3}, 4, 1), Seen({91, 3}, 4, 1)}, 100);
  ASSERT_EQ(both.size(), 2u);
  ExpectObject(both[0], {2, 1.5}, 8);
  ExpectObject(both[1], {93, 1.5}, 8);
  // The second sees only the hand in the middle, within the gap of both: no chain through it.
  const auto chain =
      MergeObjects({Seen({0, 0}, 4, 0), Seen({95, 0}, 4, 0), Seen({50, 0}, 4, 1)}, 100);
  EXPECT_EQ(chain.size(), 2u);
}

TEST(MergeObjects, ObjectsWithoutHitsAverageEvenly) {
  const auto merged = MergeObjects({Seen({10, 10}, 0, 0), Seen({14, 16}, 0, 1)}, 10);
  ASSERT_EQ(merged.size(), 1u);
  ExpectObject(merged[0], {12, 13}, 0);
  EXPECT_TRUE(MergeObjects({}, 10).empty());
}

}  // namespace
}  // namespace scantouch
