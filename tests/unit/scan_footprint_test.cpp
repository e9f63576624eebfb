#include "scan/scan_footprint.h"

#include <gtest/gtest.h>

#include <limits>

namespace scantouch {
namespace {

using Rect = ScanFootprint::PixelRect;
constexpr int T = ScanFootprint::kTile_px;

TEST(ScanFootprint, ALineMarksTheTilesItCrossesAsRowsOfRectangles) {
  ScanFootprint footprint(10 * T, 4 * T - 5);  // the last row of tiles is cut by the view
  footprint.addLine(T + 4, 2.5 * T, 5 * T + 4, 3.5 * T, 1.5);
  // It passes from the third row of tiles into the fourth at x = 3.1 tiles.
  EXPECT_EQ(footprint.rects(),
            (std::vector<Rect>{{T, 2 * T, 3 * T, T}, {2 * T, 3 * T, 4 * T, T - 5}}));

  // A diagonal across the whole view marks a band along it, not the view.
  ScanFootprint diagonal(8 * T, 8 * T);
  diagonal.addLine(0, 0, 8 * T, 8 * T, 1.5);
  int area = 0;
  for (const Rect& r : diagonal.rects())
    area += r.width * r.height;
  EXPECT_LE(area, 3 * 8 * T * T);
  EXPECT_GE(area, 8 * T * T);
}

TEST(ScanFootprint, WhatLiesOutsideTheViewOrIsNoNumberMarksNothing) {
  ScanFootprint footprint(8 * T, 8 * T);
  footprint.addLine(-1e9, -5, 1e9, -5, 1.5);  // above the view, however long
  footprint.addLine(9 * T, 0, 1e12, 1e12, 1.5);
  footprint.addLine(std::numeric_limits<double>::quiet_NaN(), 0, T, T, 1.5);
  footprint.addRect(-1e30, -1e30, -10, -10);
  EXPECT_TRUE(footprint.empty());
  // A beam from far outside into the view marks only where it is inside.
  footprint.addLine(-1e9, T / 2.0, T / 2.0, T / 2.0, 1.5);
  EXPECT_EQ(footprint.rects(), (std::vector<Rect>{{0, 0, T, T}}));
}

TEST(ScanFootprint, TheLastFramesScanJoinsThisOneAndAnotherSizeMeansEverything) {
  ScanFootprint last(4 * T, 4 * T);
  last.addRect(0, 0, 1, 1);
  ScanFootprint now(4 * T, 4 * T);
  now.addRect(3 * T + 1, 3 * T + 1, 3 * T + 2, 3 * T + 2);
  now.unite(last);
  EXPECT_EQ(now.rects(), (std::vector<Rect>{{0, 0, T, T}, {3 * T, 3 * T, T, T}}));

  ScanFootprint resized(2 * T, T);
  resized.unite(last);
  EXPECT_EQ(resized.rects(), (std::vector<Rect>{{0, 0, 2 * T, T}}));
}

}  // namespace
}  // namespace scantouch
