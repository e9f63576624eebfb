#include "engine/object_centre.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace scantouch {
namespace {

constexpr double kDegree = std::numbers::pi / 180;

// What a scanner at `from` measures of a round object: the near side along each beam that meets
// it, beams every `step` radians from `offset`, in the order of the sweep.
std::vector<TurnHit> Sweep(PlanePoint from, PlanePoint centre, double diameter, double step,
                           double offset) {
  std::vector<TurnHit> hits;
  const double radius = diameter / 2;
  const double dx = centre.x - from.x;
  const double dy = centre.y - from.y;
  const double distance = std::hypot(dx, dy);
  const double towards = std::atan2(dy, dx);
  const double half = std::asin(radius / distance);
  for (double a = towards - half - step + offset; a <= towards + half + step; a += step) {
    const double ux = std::cos(a);
    const double uy = std::sin(a);
    const double along = ux * dx + uy * dy;
    const double across = ux * dy - uy * dx;
    if (across * across >= radius * radius)
      continue;
    const double near = along - std::sqrt(radius * radius - across * across);
    hits.push_back(TurnHit{from.x + near * ux, from.y + near * uy, false, 0, from});
  }
  return hits;
}

double Off(PlanePoint a, PlanePoint b) {
  return std::hypot(a.x - b.x, a.y - b.y);
}

TEST(RoundObjectCentre, FindsTheCentreBehindTheNearSideWhereverTheBeamsFall) {
  struct Case {
    double distance;
    double diameter;
    double stepDegrees;
  };
  for (const Case c : {Case{1000, 60, 0.5}, Case{1000, 60, 1}, Case{2500, 100, 0.45},
                       Case{400, 80, 1.0}, Case{3000, 25, 0.1}}) {
    SCOPED_TRACE(c.distance);
    const PlanePoint from{7500, 7500};
    // Straight ahead and off to one side: no bearing is special.
    for (const double bearing : {-90.0, 33.0}) {
      const PlanePoint centre{from.x + c.distance * std::cos(bearing * kDegree),
                              from.y + c.distance * std::sin(bearing * kDegree)};
      // Where the beams fall moves the hits by up to a beam's width at the object; over every
      // place they may fall, the centre is found without bias, and each time within that width.
      // The midpoint of the outermost hits lies on the near side, about half the radius nearer.
      const double step = c.stepDegrees * kDegree;
      const double width = c.distance * step;
      PlanePoint bias;
      PlanePoint midpointBias;
      const int offsets = 40;
      for (int i = 0; i < offsets; ++i) {
        const auto hits = Sweep(from, centre, c.diameter, step, step * i / offsets);
        ASSERT_FALSE(hits.empty());
        const PlanePoint found = RoundObjectCentre(hits, step);
        EXPECT_LT(Off(found, centre), width + 1) << i;
        bias.x += (found.x - centre.x) / offsets;
        bias.y += (found.y - centre.y) / offsets;
        midpointBias.x += ((hits.front().x + hits.back().x) / 2 - centre.x) / offsets;
        midpointBias.y += ((hits.front().y + hits.back().y) / 2 - centre.y) / offsets;
      }
      EXPECT_LT(Off(bias, {}), 1.5);
      EXPECT_GT(Off(midpointBias, {}), c.diameter / 5);
    }
  }
}

TEST(RoundObjectCentre, ObjectsTooWideOrTooNearKeepTheMidpoint) {
  EXPECT_EQ(RoundObjectCentre({}, 0.01), (PlanePoint{}));
  // A hit on the scanner itself: no bearing.
  const PlanePoint from{100, 100};
  EXPECT_EQ(RoundObjectCentre({TurnHit{100, 100, false, 0, from}}, 0.01), (PlanePoint{100, 100}));
  // A wall around the scanner, 150 degrees of it.
  std::vector<TurnHit> wall;
  for (int a = -75; a <= 75; ++a)
    wall.push_back(TurnHit{100 + 500 * std::sin(a * kDegree), 100 - 500 * std::cos(a * kDegree),
                           false, 0, from});
  const PlanePoint kept = RoundObjectCentre(wall, kDegree);
  EXPECT_NEAR(kept.x, 100, 1e-9);
  EXPECT_NEAR(kept.y, 100 - 500 * std::cos(75 * kDegree), 1e-9);
}

}  // namespace
}  // namespace scantouch
