#include "single_touch/point_processor.h"

#include <gtest/gtest.h>

#include <vector>

#include "recording_radar_view.h"

namespace scantouch {
namespace {

// The scene of the examples: scanner at (7500, 7500), touch rectangle 5000,2000 5000 x 3000,
// sensitivity 2, every node of quality 47.
class PointProcessorTest : public ::testing::Test {
 protected:
  PointProcessorTest() {
    scanner_.setLeft(7350);
    scanner_.setTop(7350);
    (void)scanner_.setWidth(300);
    (void)scanner_.setHeight(300);
    rect_.setLeft(5000);
    rect_.setTop(2000);
    (void)rect_.setWidth(5000);
    (void)rect_.setHeight(3000);
    points_.setTouchHandler([this](const Touch& touch) { published_.push_back(TouchText(touch)); });
  }

  void node(int angle, int distance, std::int16_t quality = 47) {
    points_.processScanNode(ScanNode{angle, quality, distance}, kSensitivity);
  }

  static constexpr std::int16_t kSensitivity = 2;
  Shape scanner_{"Shape1"};
  Shape rect_{"SHPWIN"};
  BeamTable beams_;
  testing::RecordingRadarView radar_;
  PointProcessor points_{PointControls{scanner_, rect_}, beams_, radar_};
  std::vector<std::string> published_;
};

TEST_F(PointProcessorTest, ARunPublishesTheMidpointOfItsFirstAndLastPointWhenItEnds) {
  for (int angle = 0; angle <= 4; ++angle)
    node(angle, 4000);
  EXPECT_EQ(beams_[0].x1, 7500);
  EXPECT_EQ(beams_[0].y1, 3500);
  EXPECT_EQ(beams_[4].x1, 7779);
  EXPECT_EQ(beams_[4].y1, 3510);
  EXPECT_TRUE(published_.empty());
  EXPECT_EQ(points_.hitRunStart(), 0);
  EXPECT_EQ(points_.hitRunEnd(), 4);

  node(5, 6000);  // (8023, 1523): above the rectangle
  EXPECT_EQ(published_, (std::vector<std::string>{"2640,1505"}));
  ASSERT_EQ(radar_.markers.size(), 1u);
  EXPECT_EQ(radar_.markers[0], (std::vector<float>{7500, 3500, 7779, 3510}));
  EXPECT_EQ(points_.hitRunStart(), PointProcessor::kNoRun);
  EXPECT_FALSE(beams_[5].hit);
  EXPECT_TRUE(beams_[5].visible);
}

TEST_F(PointProcessorTest, StillThingsAndMaskedHitsEndARunAndAreNoTouch) {
  // A hand (0-1 degrees) beside a pillar the background holds (2-3): the hand alone is a touch,
  // and the pillar is still drawn.
  node(0, 4000);
  node(1, 4000);
  points_.processScanNode(ScanNode{2, 47, 4000, true}, kSensitivity);
  points_.processScanNode(ScanNode{3, 47, 4000, true}, kSensitivity);
  EXPECT_EQ(published_.size(), 1u);
  EXPECT_TRUE(beams_[3].visible);
  EXPECT_FALSE(beams_[3].hit);
  node(6, 6000);
  EXPECT_EQ(published_.size(), 1u);

  // A mask over where 0-1 degrees meet the rectangle at 4000 mm: nothing there is a touch.
  points_.setMasks(ParseMasks("7400,3400,7700,3600").masks);
  node(0, 4000);
  node(1, 4000);
  node(6, 6000);
  EXPECT_EQ(published_.size(), 1u);
  node(0, 3000);  // (7500, 4500): outside the mask
  node(6, 6000);
  EXPECT_EQ(published_.size(), 2u);
}

TEST_F(PointProcessorTest, TheSensitivityGateLeavesNoTrace) {
  node(0, 4000, kSensitivity);
  EXPECT_FALSE(beams_[0].visible);
  EXPECT_EQ(points_.hitRunStart(), PointProcessor::kNoRun);
  EXPECT_TRUE(radar_.drawnBeams.empty());
  node(0, 4000, kSensitivity + 1);
  EXPECT_TRUE(beams_[0].visible);
  EXPECT_TRUE(beams_[0].hit);
}

TEST_F(PointProcessorTest, EdgesOfTheRectangleAreOutsideAndTheScannerSquareExcludes) {
  // Angle 270 runs left from the scanner along y = 7500; move the rectangle to meet it.
  rect_.setTop(7000);
  (void)rect_.setHeight(1000);
  node(270, 2500);  // x = 5000: on the left edge
  EXPECT_FALSE(beams_[270].hit);
  node(270, 2499);
  EXPECT_TRUE(beams_[270].hit);
  node(270, 150);  // x = 7350: on the scanner square's edge, inside the rectangle
  EXPECT_TRUE(beams_[270].hit);
  node(270, 100);  // inside both
  EXPECT_FALSE(beams_[270].hit);
}

TEST_F(PointProcessorTest, ASkippedDegreeRightAfterTheRunsStartHidesButKeepsItsFirstBeam) {
  node(9, 6000);
  node(10, 4000);
  node(12, 4000);  // the view drops 10 and 11
  node(13, 4000);
  EXPECT_FALSE(beams_[10].visible);
  EXPECT_TRUE(beams_[10].hit);
  EXPECT_FALSE(beams_[11].visible);
  node(14, 6000);
  ASSERT_EQ(published_.size(), 1u);
  EXPECT_EQ(radar_.markers.at(0)[0], beams_[10].x1);
  EXPECT_EQ(radar_.markers.at(0)[2], beams_[13].x1);
}

TEST_F(PointProcessorTest, ARunSurvivesAGapThatSparesItsEnds) {
  node(9, 6000);
  node(10, 4000);
  node(11, 4000);
  node(13, 4000);  // cleans 11 only
  node(14, 6000);
  ASSERT_EQ(published_.size(), 1u);
  EXPECT_EQ(radar_.markers.at(0)[0], beams_[10].x1);
  EXPECT_EQ(radar_.markers.at(0)[2], beams_[13].x1);
}

TEST_F(PointProcessorTest, ANonHitOfTheSameDegreeDropsTheRunItOpened) {
  node(20, 4000);
  node(20, 6000);
  EXPECT_TRUE(published_.empty());
  EXPECT_EQ(points_.hitRunStart(), PointProcessor::kNoRun);
}

TEST_F(PointProcessorTest, NothingIsCleanedAcrossTheTurnOrForTheSameDegree) {
  node(359, 6000);
  for (int angle = 0; angle <= 358; ++angle)
    node(angle, 6000);
  node(2, 6000);  // 358 -> 2: beams 359, 0 and 1 keep what they had
  EXPECT_TRUE(beams_[359].visible);
  EXPECT_TRUE(beams_[0].visible);
  EXPECT_TRUE(beams_[1].visible);
  node(2, 6000);
  EXPECT_TRUE(beams_[2].visible);
}

TEST_F(PointProcessorTest, ARunAcrossZeroEndsNormally) {
  node(358, 6000);
  node(359, 4000);
  node(0, 4000);
  node(1, 6000);
  ASSERT_EQ(published_.size(), 1u);
}

TEST_F(PointProcessorTest, AScannerPlacedBeyondAnyViewLeavesNoTrace) {
  scanner_.setLeft(3.0e9f);
  node(90, 4000);
  EXPECT_FALSE(beams_[90].visible);
}

// A run of hits at 2..6 between misses, with one degree passed over (a no-return node, which
// reaches no point processing) anywhere from just before the run to just after it: the touch
// is published every time, and whole wherever the run's own edges were measured.
TEST_F(PointProcessorTest, ADegreePassedOverAtAnyPlaceOfARunLeavesItsTouch) {
  std::vector<std::string> whole;
  for (int passedOver = 0; passedOver <= 8; ++passedOver) {
    published_.clear();
    points_.resetRun();
    for (int angle = 0; angle <= 9; ++angle) {
      if (angle == passedOver && passedOver != 0)
        continue;
      node(angle, angle >= 2 && angle <= 6 ? 4000 : 6000);
    }
    ASSERT_EQ(published_.size(), 1u) << "degree " << passedOver << " passed over";
    if (passedOver == 0) {
      whole = published_;
    } else if (passedOver != 2 && passedOver != 6) {
      EXPECT_EQ(published_, whole) << "degree " << passedOver << " passed over";
    }
  }
}

}  // namespace
}  // namespace scantouch
