#include "radar/scan_footprint.h"

#include <gtest/gtest.h>

#include <limits>

#include "toolkit/option_array.h"
#include "toolkit/picture_box.h"

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

TEST(BeamReaches, ABeamIsDrawnForAPartItCanColourAndNotForOneBeyondItsWidth) {
  const std::vector<Rect> part{{100, 100, 20, 20}};  // pixels 100 to 120
  Beam beam{0, 0, 0, 2000, 1, true, false};          // down the left edge, 10 units a pixel
  EXPECT_FALSE(BeamReaches(beam, 0.1, part));
  beam.x1 = beam.x2 = 980;  // 98 pixels across: its smoothed edge reaches pixel 100
  EXPECT_TRUE(BeamReaches(beam, 0.1, part));
  beam.x1 = beam.x2 = 1230;  // 123 pixels: beyond a one-pixel line's reach
  EXPECT_FALSE(BeamReaches(beam, 0.1, part));
  beam.width = 2;  // a wider line reaches half a pixel further
  beam.x1 = beam.x2 = 1225;
  EXPECT_TRUE(BeamReaches(beam, 0.1, part));
  beam.visible = false;
  EXPECT_FALSE(BeamReaches(beam, 0.1, part));
  EXPECT_FALSE(BeamReaches(Beam{980, 0, 980, 2000, 1, true, false}, 0.1, {}));
}

// A radar model on its own, and a face's view of 8 x 8 tiles.
struct PaintedScanTest : ::testing::Test {
  BeamTable beams;
  Shape scanner{"Shape1"};
  OptionArray mode{"OPT曲线模式", {"轮廓线", "放射线", "单点"}};
  PictureBox picture{"PICYL"};
  RadarModel model{beams, scanner, mode, picture};
  const ScanGeometry geometry{8 * T, 8 * T, 0.1, 0, 0};  // 10 view units a pixel
};

TEST_F(PaintedScanTest, OnlyWhatDiffersFromThePaintedScanIsPaintedAgainAtItsOldAndNewPlace) {
  const auto place = [&](int degree, float x, float y) {
    Beam& beam = beams[degree];
    beam = Beam{x, y, x + 5, y, 1, true, false};
  };
  for (int degree = 0; degree < 360; ++degree)
    place(degree, 10.0f * T, 10.0f * T);
  place(7, 35.0f * T, 65.0f * T);

  PaintedScan painted;
  EXPECT_EQ(painted.changedSince(beams, model, geometry).rects(),
            (std::vector<Rect>{{0, 0, 8 * T, T},
                               {0, T, 8 * T, T},
                               {0, 2 * T, 8 * T, T},
                               {0, 3 * T, 8 * T, T},
                               {0, 4 * T, 8 * T, T},
                               {0, 5 * T, 8 * T, T},
                               {0, 6 * T, 8 * T, T},
                               {0, 7 * T, 8 * T, T}}));  // nothing painted yet: everything
  painted.remember(beams, model, geometry);
  beams.touch();  // drawn again where they were: nothing to paint
  EXPECT_TRUE(painted.changedSince(beams, model, geometry).empty());

  place(7, 55.0f * T, 25.0f * T);  // from tile (3, 6) to tile (5, 2)
  EXPECT_EQ(painted.changedSince(beams, model, geometry).rects(),
            (std::vector<Rect>{{5 * T, 2 * T, T, T}, {3 * T, 6 * T, T, T}}));
  beams[7].hit = true;  // the same place in another colour is a change too
  EXPECT_FALSE(painted.changedSince(beams, model, geometry).empty());
  painted.remember(beams, model, geometry);

  model.showContacts({{70.0f * T, 70.0f * T, 0}});
  EXPECT_FALSE(painted.changedSince(beams, model, geometry).empty());
  painted.remember(beams, model, geometry);
  EXPECT_TRUE(painted.changedSince(beams, model, geometry).empty());
  // Another size, or a part of the screen painted by the system: everything again.
  EXPECT_EQ(painted.changedSince(beams, model, ScanGeometry{4 * T, T, 0.1, 0, 0}).rects(),
            (std::vector<Rect>{{0, 0, 4 * T, T}}));
  painted.forget();
  EXPECT_EQ(painted.changedSince(beams, model, geometry).rects().size(), 8u);
}

TEST_F(PaintedScanTest,
       ABeamScatteringWithinAPixelIsNotPaintedUntilItStraysAPixelFromItsPaintedPlace) {
  beams[3] = Beam{400, 400, 800, 800, 1, true, false};
  PaintedScan painted;
  painted.remember(beams, model, geometry);
  // A scanner's scatter: 6 units one way, then the other, 9 units along both axes.
  for (const float offset : {6.0f, -6.0f, 9.0f}) {
    beams[3].x1 = 400 + offset;
    beams[3].y2 = 800 - offset;
    EXPECT_TRUE(painted.changedSince(beams, model, geometry).empty()) << offset;
    painted.remember(beams, model, geometry);  // a frame painted for something else
  }
  // Kept at its painted place through those frames, it drifts no further than a pixel unseen.
  beams[3].x1 = 410;
  EXPECT_FALSE(painted.changedSince(beams, model, geometry).empty());
  painted.remember(beams, model, geometry);
  beams[3].x1 = 401;  // within a pixel of where it was painted last
  EXPECT_TRUE(painted.changedSince(beams, model, geometry).empty());
  // A colour, a width or a beam shown or hidden changes the picture however little it moved.
  beams[3].hit = true;
  EXPECT_FALSE(painted.changedSince(beams, model, geometry).empty());
  beams[3].hit = false;
  beams[3].visible = false;
  EXPECT_FALSE(painted.changedSince(beams, model, geometry).empty());
  beams[3].visible = true;
  beams[3].x2 = std::numeric_limits<float>::quiet_NaN();  // no place: its old one is cleared
  EXPECT_FALSE(painted.changedSince(beams, model, geometry).empty());
}

TEST_F(PaintedScanTest, AnotherScannersTurnIsPaintedWhereItsPointsWereAndAre) {
  PaintedScan painted;
  painted.remember(beams, model, geometry);
  // A scanner at tile (6, 1) with a point in tile (2, 5), then the point in tile (4, 5).
  const auto show = [&](float pointX) {
    model.showOtherScanners({{65.0f * T, 15.0f * T, {{pointX, 55.0f * T}}, 0, false}});
  };
  show(25.0f * T);
  EXPECT_EQ(painted.changedSince(beams, model, geometry).rects(),
            (std::vector<Rect>{{6 * T, T, T, T}, {2 * T, 5 * T, T, T}}));
  painted.remember(beams, model, geometry);
  EXPECT_TRUE(painted.changedSince(beams, model, geometry).empty());
  show(45.0f * T);
  EXPECT_EQ(painted.changedSince(beams, model, geometry).rects(),
            (std::vector<Rect>{{6 * T, T, T, T}, {2 * T, 5 * T, T, T}, {4 * T, 5 * T, T, T}}));
  painted.remember(beams, model, geometry);
  model.showOtherScanners({});  // the scanner left the surface: where it was is cleared
  EXPECT_EQ(painted.changedSince(beams, model, geometry).rects(),
            (std::vector<Rect>{{6 * T, T, T, T}, {4 * T, 5 * T, T, T}}));
}

TEST_F(PaintedScanTest, AMaskBeingDraggedOutIsPaintedAlongItsBorderAndGoneWhenLetGo) {
  PaintedScan painted;
  painted.remember(beams, model, geometry);
  // From the middle of tile (1, 1) to the middle of tile (5, 4): the inside is not its border.
  const std::array<float, 4> mask{15.0f * T, 15.0f * T, 55.0f * T, 45.0f * T};
  model.showDraggedMask(mask);
  const std::vector<Rect> border{{T, T, 5 * T, T}, {T, 2 * T, T, T},     {5 * T, 2 * T, T, T},
                                 {T, 3 * T, T, T}, {5 * T, 3 * T, T, T}, {T, 4 * T, 5 * T, T}};
  EXPECT_EQ(painted.changedSince(beams, model, geometry).rects(), border);
  painted.remember(beams, model, geometry);
  EXPECT_TRUE(painted.changedSince(beams, model, geometry).empty());
  model.showDraggedMask(std::nullopt);
  EXPECT_EQ(painted.changedSince(beams, model, geometry).rects(), border);
}

}  // namespace
}  // namespace scantouch
