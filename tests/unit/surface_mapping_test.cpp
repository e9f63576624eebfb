#include "geometry/surface_mapping.h"

#include <gtest/gtest.h>

namespace scantouch {
namespace {

// The screen area's corners as touched: a picture thrown at a slant, narrower at its top edge
// (y = 10 000) than at its bottom one (y = 12 000). Its sides meet at y = 8 000: the horizon.
constexpr SurfaceMapping::Corners kSlanted{
    {{1000, 10000}, {3000, 10000}, {4000, 12000}, {0, 12000}}};

TEST(SurfaceMapping, APointBeyondTheHorizonStaysAtTheEdgeItWentOutBy) {
  SurfaceMapping mapping;
  ASSERT_TRUE(mapping.setCorners(kSlanted));
  // A hand above the picture, past the horizon: nowhere on the map, and held at the top edge,
  // where a hand sliding up the middle was last, not thrown to the bottom one.
  EXPECT_FALSE(mapping.toUnit({2000, 7000}).has_value());
  const auto unit = mapping.toUnitWithin({2000, 7000});
  ASSERT_TRUE(unit.has_value());
  EXPECT_NEAR(unit->x, 0.5, 1e-6);
  EXPECT_EQ(unit->y, 0);
  const auto pixel = mapping.toScreen({2000, 7000}, {1920, 1080}, {100, 50});
  ASSERT_TRUE(pixel.has_value());
  EXPECT_EQ(*pixel, (ScreenPoint{1060, 50}));
  // Off to the right as well: the top-right corner.
  EXPECT_EQ(*mapping.toScreen({9000, 6000}, {1920, 1080}, {0, 0}), (ScreenPoint{1920, 0}));
  // This side of the horizon, as before: kept within the area.
  EXPECT_EQ(*mapping.toScreen({2000, 9000}, {1920, 1080}, {0, 0}), (ScreenPoint{960, 0}));
  EXPECT_EQ(*mapping.toScreen({2000, 11000}, {1920, 1080}, {0, 0}), (ScreenPoint{960, 720}));
}

TEST(SurfaceMapping, TakesCornersFarFromTheOrigin) {
  SurfaceMapping mapping;
  ASSERT_TRUE(mapping.setCorners(SurfaceMapping::Corners{
      {{100000, 100000}, {100500, 100000}, {100500, 100500}, {100000, 100500}}}));
  const auto unit = mapping.toUnit({100250, 100400});
  ASSERT_TRUE(unit.has_value());
  EXPECT_NEAR(unit->x, 0.5, 1e-9);
  EXPECT_NEAR(unit->y, 0.8, 1e-9);
}

}  // namespace
}  // namespace scantouch
