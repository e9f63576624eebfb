#include "geometry/homography.h"

#include <gtest/gtest.h>

namespace scantouch {
namespace {

constexpr std::array<PlanePoint, 4> kUnitSquare{{{0, 0}, {1, 0}, {1, 1}, {0, 1}}};

void ExpectNear(std::optional<PlanePoint> actual, PlanePoint expected, double tolerance) {
  ASSERT_TRUE(actual.has_value());
  EXPECT_NEAR(actual->x, expected.x, tolerance);
  EXPECT_NEAR(actual->y, expected.y, tolerance);
}

TEST(Homography, MapsTheUnitSquareOntoAQuadrilateral) {
  const std::array<PlanePoint, 4> target{{{100, 100}, {500, 120}, {460, 380}, {80, 300}}};
  const auto h = Homography::FromFourPairs(kUnitSquare, target);
  ASSERT_TRUE(h.has_value());
  for (std::size_t i = 0; i < 4; ++i)
    ExpectNear(h->map(kUnitSquare[i]), target[i], 1e-9);
  // The square's centre is where its diagonals cross, and a projective map keeps lines and where
  // they meet: the target's diagonals cross at (4915/19, 4245/19), worked out by hand.
  ExpectNear(h->map({0.5, 0.5}), {258.68421052631579, 223.42105263157895}, 1e-9);
}

TEST(Homography, AnAffineCaseIsTheAffineMap) {
  // u = 2x + 3y + 10, v = -x + 4y + 20 at the corners.
  const auto h = Homography::FromFourPairs({{{0, 0}, {1, 0}, {0, 1}, {1, 1}}},
                                           {{{10, 20}, {12, 19}, {13, 24}, {15, 23}}});
  ASSERT_TRUE(h.has_value());
  const std::array<double, 9> expected{2, 3, 10, -1, 4, 20, 0, 0, 1};
  for (std::size_t i = 0; i < 9; ++i)
    EXPECT_NEAR(h->matrix()[i], expected[i], 1e-9) << i;
  ExpectNear(h->map({-7, 2.5}), {3.5, 37}, 1e-9);
}

TEST(Homography, TheInverseTakesPointsBack) {
  // Scanner units (millimetres about the scanner) onto screen pixels, and back.
  const std::array<PlanePoint, 4> seen{{{-820, 310}, {940, 270}, {1010, 1430}, {-760, 1510}}};
  const std::array<PlanePoint, 4> screen{{{0, 0}, {1920, 0}, {1920, 1080}, {0, 1080}}};
  const auto h = Homography::FromFourPairs(seen, screen);
  ASSERT_TRUE(h.has_value());
  const auto back = h->inverse();
  ASSERT_TRUE(back.has_value());
  for (std::size_t i = 0; i < 4; ++i)
    ExpectNear(back->map(screen[i]), seen[i], 1e-6);
  const auto middle = h->map({100, 900});
  ASSERT_TRUE(middle.has_value());
  ExpectNear(back->map(*middle), {100, 900}, 1e-6);

  EXPECT_FALSE(Homography({1, 2, 3, 2, 4, 6, 0, 0, 1}).inverse().has_value());
}

TEST(Homography, RefusesDegenerateSetsAndThePointsAtInfinity) {
  // Three corners on a line, on either side; all four in one place.
  EXPECT_FALSE(Homography::FromFourPairs({{{0, 0}, {1, 1}, {2, 2}, {0, 1}}}, kUnitSquare));
  EXPECT_FALSE(Homography::FromFourPairs(kUnitSquare, {{{0, 0}, {5, 0}, {9, 0}, {0, 4}}}));
  EXPECT_FALSE(Homography::FromFourPairs(kUnitSquare, {{{3, 3}, {3, 3}, {3, 3}, {3, 3}}}));
  // w = x + y - 1 vanishes on the line x + y = 1.
  const Homography h({1, 0, 0, 0, 1, 0, 1, 1, -1});
  EXPECT_FALSE(h.map({0.25, 0.75}).has_value());
  ExpectNear(h.map({1, 1}), {1, 1}, 1e-12);
}

TEST(Homography, MapsOnlyTheSideOfTheHorizonItsPointsLieOn) {
  // A picture seen at a slant, narrower at y = 10 than at y = 12: its sides meet at y = 8, the
  // line the map onto the unit square sends to infinity. Along the middle v = 2 (y - 10) / (y - 8).
  const auto h = Homography::FromFourPairs({{{1, 10}, {3, 10}, {4, 12}, {0, 12}}}, kUnitSquare);
  ASSERT_TRUE(h.has_value());
  ExpectNear(h->map({2, 11}), {0.5, 2.0 / 3}, 1e-9);
  ExpectNear(h->map({2, 8.5}), {0.5, -6}, 1e-9);  // far above the picture, still this side
  EXPECT_FALSE(h->map({2, 8}).has_value());
  // Beyond it, (2, 0) would come back at v = 2.5, below the picture.
  EXPECT_FALSE(h->map({2, 0}).has_value());
  EXPECT_FALSE(h->map({-50, 7.9}).has_value());
  // The map back maps what this one gives.
  const auto back = h->inverse();
  ASSERT_TRUE(back.has_value());
  ExpectNear(back->map({0.5, -6}), {2, 8.5}, 1e-9);

  // How a velocity maps at (2, 11): du/dx = 1 / (y - 8), dv/dy = 4 / (y - 8)^2, no crossing terms.
  const auto stretch = h->derivative({2, 11});
  ASSERT_TRUE(stretch.has_value());
  EXPECT_NEAR(stretch->a, 1.0 / 3, 1e-9);
  EXPECT_NEAR(stretch->b, 0, 1e-9);
  EXPECT_NEAR(stretch->c, 0, 1e-9);
  EXPECT_NEAR(stretch->d, 4.0 / 9, 1e-9);
  EXPECT_FALSE(h->derivative({2, 0}).has_value());
}

TEST(Homography, InvertsASoundMapFarFromTheOrigin) {
  // A 500 mm square 100 m out, onto the unit square: large shifts beside small scales.
  const std::array<PlanePoint, 4> far{
      {{100000, 100000}, {100500, 100000}, {100500, 100500}, {100000, 100500}}};
  const auto h = Homography::FromFourPairs(far, kUnitSquare);
  ASSERT_TRUE(h.has_value());
  const auto back = h->inverse();
  ASSERT_TRUE(back.has_value());
  ExpectNear(back->map({0.5, 0.25}), {100250, 100125}, 1e-6);
}

TEST(IsConvexQuadrilateral, AcceptsConvexCornersEitherWayRound) {
  EXPECT_TRUE(IsConvexQuadrilateral(kUnitSquare));
  EXPECT_TRUE(IsConvexQuadrilateral({{{0, 1}, {1, 1}, {1, 0}, {0, 0}}}));
  EXPECT_TRUE(IsConvexQuadrilateral({{{100, 100}, {500, 120}, {460, 380}, {80, 300}}}));
}

TEST(IsConvexQuadrilateral, RefusesBowTieDartAndRepeatedCorner) {
  EXPECT_FALSE(IsConvexQuadrilateral({{{0, 0}, {1, 1}, {1, 0}, {0, 1}}}));
  EXPECT_FALSE(IsConvexQuadrilateral({{{0, 0}, {4, 2}, {0, 4}, {1, 2}}}));
  EXPECT_FALSE(IsConvexQuadrilateral({{{0, 0}, {4, 0}, {4, 0}, {0, 3}}}));
}

}  // namespace
}  // namespace scantouch
