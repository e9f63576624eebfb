#include "geometry/pose.h"

#include <gtest/gtest.h>

namespace scantouch {
namespace {

// Three points about the second scanner, and the same points on the surface for the pose
// x = 1200, y = -300, 30 degrees (each turned by hand: cos 30 = sqrt(3)/2, sin 30 = 1/2).
const std::vector<PlanePoint> kSeen{{600, 0}, {-300, 400}, {-300, -400}};
const std::vector<PlanePoint> kOnSurface{{1719.6152422706632, 0},
                                         {740.1923788646684, -103.58983848622447},
                                         {1140.1923788646684, -796.4101615137755}};

TEST(Pose, TurnsThenMovesALocalPoint) {
  const PlanePoint p = toSurface({1200, -300, 30}, {-300, 400});
  EXPECT_NEAR(p.x, 740.1923788646684, 1e-9);
  EXPECT_NEAR(p.y, -103.58983848622447, 1e-9);
}

TEST(SolvePose, RecoversAnExactPose) {
  const auto fit = SolvePose(kSeen, kOnSurface);
  ASSERT_TRUE(fit.has_value());
  EXPECT_NEAR(fit->pose.x, 1200, 1e-6);
  EXPECT_NEAR(fit->pose.y, -300, 1e-6);
  EXPECT_NEAR(fit->pose.angleDegrees, 30, 1e-6);
  EXPECT_NEAR(fit->residualRms, 0, 1e-9);
}

TEST(SolvePose, ResidualOfOneMisplacedPoint) {
  // The first surface point 10 units farther from the centroid: the turn stays, the shift takes a
  // third of the offset, so that point misses by 20/3 and the others by 10/3:
  // rms = sqrt((400/9 + 100/9 + 100/9) / 3) = 10 sqrt(2) / 3.
  auto onSurface = kOnSurface;
  onSurface[0] = {1719.6152422706632 + 8.660254037844387, 5};
  const auto fit = SolvePose(kSeen, onSurface);
  ASSERT_TRUE(fit.has_value());
  EXPECT_NEAR(fit->pose.angleDegrees, 30, 1e-9);
  EXPECT_NEAR(fit->pose.x, 1200 + 8.660254037844387 / 3, 1e-9);
  EXPECT_NEAR(fit->residualRms, 4.714045207910317, 1e-9);
}

TEST(SolvePose, RefusesTooFewOrCoincidentPoints) {
  EXPECT_FALSE(SolvePose({{1, 2}}, {{3, 4}}));
  EXPECT_FALSE(SolvePose(kSeen, {{1, 2}, {3, 4}}));
  EXPECT_FALSE(SolvePose({{5, 5}, {5, 5}, {5, 5}}, {{0, 0}, {1, 0}, {0, 1}}));
  EXPECT_FALSE(SolvePose({{0, 0}, {1, 0}}, {{1e6, 7}, {1e6, 7}}));
  EXPECT_TRUE(SolvePose({{0, 0}, {1, 0}}, {{0, 0}, {0, 1}}));
}

}  // namespace
}  // namespace scantouch
