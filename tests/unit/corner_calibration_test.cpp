#include "calibration/corner_calibration.h"

#include <gtest/gtest.h>

#include "example_setup.h"
#include "node_stream.h"
#include "recording_desktop_input.h"
#include "scanners/surface_settings.h"
#include "toolkit/virtual_event_loop.h"

namespace scantouch {
namespace {

class RecordingFrames final : public TouchFrameSink {
 public:
  void onTouchFrame(const TouchFrame& frame) override { frames.push_back(frame); }
  std::vector<TouchFrame> frames;
};

// A projector above the rectangle of the worked examples (5000,2000 5000 x 3000) throws a
// keystoned picture: its top edge 10 % of the width narrower on each side.
const SurfaceMapping::Corners kKeystone{PlanePoint{5500, 2000}, PlanePoint{9500, 2000},
                                        PlanePoint{10000, 5000}, PlanePoint{5000, 5000}};

class CornerCalibrationTest : public ::testing::Test {
 protected:
  CornerCalibrationTest() {
    examples::CalibrateLikeTheExamples(form_);
    (void)form_.TXT屏幕左上角.setText("100,50");
    (void)form_.TXT屏幕宽高.setText("1920,1080");
    calibration().changed.connect([this] { ++changes_; });
  }

  CornerCalibration& calibration() { return form_.cornerCalibration(); }

  // A touch as the single-touch road reports it: whole view units from the rectangle's corner.
  void touch(PlanePoint at) {
    form_.TXT当前处理数据.setText("");  // a new touch, even at the same place
    loop_.advance(1000);
    calibration().takeTouch(at);
  }

  void touchAll(const SurfaceMapping::Corners& corners) {
    form_.CMD四角标定.click();
    for (const PlanePoint& corner : corners)
      touch(corner);
  }

  std::string stored() { return settings_.file.read("触控引擎", "四角标定"); }

  VirtualEventLoop loop_;
  testing::RecordingDesktopInput desktop_;
  examples::InMemorySettings settings_;
  MainForm form_{loop_, desktop_, settings_.file};
  int changes_ = 0;
};

TEST_F(CornerCalibrationTest, FourTouchedCornersMapTheKeystoneOntoTheScreenArea) {
  form_.CMD四角标定.click();
  ASSERT_TRUE(calibration().active());
  EXPECT_EQ(calibration().mark(), (ScreenPoint{100, 50}));
  touch(kKeystone[0]);
  EXPECT_EQ(calibration().corner(), 1);
  EXPECT_EQ(calibration().mark(), (ScreenPoint{2019, 50}));
  for (int i = 1; i < 4; ++i)
    touch(kKeystone[static_cast<std::size_t>(i)]);
  EXPECT_FALSE(calibration().active());
  EXPECT_EQ(changes_, 5);  // four marks, then none
  EXPECT_EQ(stored(), "5500,2000;9500,2000;10000,5000;5000,5000");
  EXPECT_EQ(form_.LBL四角标定.caption(), "四角标定：5500,2000;9500,2000;10000,5000;5000,5000");

  // The single-touch road maps through the corners: the top edge's middle is the area's, and the
  // keystoned top-right corner is the area's top-right pixel, where two corners put it 500 units
  // short of the edge.
  desktop_.actions.clear();
  form_.mapper().mapTouch(Touch{2500, 0});
  EXPECT_EQ(form_.txt校正后数据.text(), "1060,0050");
  form_.mapper().mapTouch(Touch{4500, 0});
  EXPECT_EQ(form_.txt校正后数据.text(), "2020,0050");
  // Where the picture's diagonals cross, (7500, 3333.3), is the middle of the screen area.
  form_.mapper().mapTouch(Touch{2500, 1333});
  EXPECT_EQ(form_.txt校正后数据.text(), "1060,0590");
}

TEST_F(CornerCalibrationTest, TheHandOfTheLastCornerIsNotTheNextCorner) {
  form_.CMD四角标定.click();
  touch(kKeystone[0]);
  // Still there, a little moved, a second later; then at once somewhere else (the hand slid).
  touch(PlanePoint{kKeystone[0].x + 20, kKeystone[0].y + 10});
  EXPECT_EQ(calibration().corner(), 1);
  calibration().takeTouch(kKeystone[1]);
  EXPECT_EQ(calibration().corner(), 1) << "a touch at once after the last is the same hand";
  touch(kKeystone[1]);
  EXPECT_EQ(calibration().corner(), 2);
}

TEST_F(CornerCalibrationTest, TheTapThatStartsTheCalibrationIsNotItsFirstCorner) {
  // The button pressed through the scanner: the hand is still seen as the calibration starts, and
  // a moment later.
  form_.CMD四角标定.click();
  calibration().takeTouch(PlanePoint{6000, 3000});
  loop_.advance(300);
  calibration().takeTouch(PlanePoint{6010, 3000});
  EXPECT_EQ(calibration().corner(), 0);
  // Lifted, then on the mark.
  touch(kKeystone[0]);
  EXPECT_EQ(calibration().corner(), 1);

  // The hand leaving the button is seen only after the start.
  calibration().cancel();
  form_.CMD四角标定.click();
  loop_.advance(CornerCalibration::kSettle_ms / 2);
  calibration().takeTouch(kKeystone[0]);
  EXPECT_EQ(calibration().corner(), 0);
}

TEST_F(CornerCalibrationTest, WhatIsAcceptedIsWhatTheNextStartReads) {
  // Touches between the tenths the file holds.
  SurfaceMapping::Corners touched = kKeystone;
  touched[0] = PlanePoint{5500.04, 2000.26};
  touched[2] = PlanePoint{9999.97, 5000.01};
  touchAll(touched);
  ASSERT_TRUE(form_.surfaceMapping().perspective());
  EXPECT_EQ(form_.surfaceMapping().corners(), ReadSurfaceSettings(settings_.file, 0).fourCorners);

  // The first three nearly in a line: rounded to tenths they lie a hair otherwise. Accepted or
  // refused, the mapping in force is the one the file holds.
  touchAll({PlanePoint{1639.53, 2800.36}, PlanePoint{3525.4, 5917.89}, PlanePoint{5476.32, 9142.81},
            PlanePoint{8076.51, 7503.93}});
  EXPECT_EQ(form_.surfaceMapping().corners(), ReadSurfaceSettings(settings_.file, 0).fourCorners);
}

TEST_F(CornerCalibrationTest, TheTwoCornerCalibrationWaitsForTheFourCornerOne) {
  form_.CMD四角标定.click();
  touch(kKeystone[0]);
  (void)form_.OPT标定.select(0);
  EXPECT_EQ(form_.OPT标定.selected(), 5) << "the touch rectangle must not move between corners";
  EXPECT_NE(form_.LBL四角标定.caption().find("四角标定正在进行"), std::string::npos);
  form_.LBL四角标定.setCaption("");
  form_.CMD两角标定.click();
  EXPECT_NE(form_.LBL四角标定.caption().find("四角标定正在进行"), std::string::npos);
  ASSERT_TRUE(calibration().active());
  for (int i = 1; i < 4; ++i)
    touch(kKeystone[static_cast<std::size_t>(i)]);
  EXPECT_TRUE(form_.surfaceMapping().perspective());
}

TEST_F(CornerCalibrationTest, RefusalsKeepTheMappingInForce) {
  touchAll(kKeystone);
  ASSERT_TRUE(form_.surfaceMapping().perspective());
  const std::string before = stored();

  // Crossed: top-right and bottom-right swapped make a bow tie.
  touchAll({kKeystone[0], kKeystone[2], kKeystone[1], kKeystone[3]});
  EXPECT_NE(form_.LBL四角标定.caption().find("不构成凸四边形"), std::string::npos);
  EXPECT_EQ(stored(), before);
  EXPECT_EQ(*form_.surfaceMapping().corners(), kKeystone);

  // Nobody comes to the second corner.
  form_.CMD四角标定.click();
  touch(kKeystone[0]);
  loop_.advance(CornerCalibration::kCornerTimeout_ms);
  EXPECT_FALSE(calibration().active());
  EXPECT_NE(form_.LBL四角标定.caption().find("右上角没有触摸"), std::string::npos);
  EXPECT_EQ(stored(), before);

  // Cancelled, and one started while the two-corner calibration runs.
  form_.CMD四角标定.click();
  calibration().cancel();
  EXPECT_FALSE(calibration().active());
  (void)form_.OPT标定.select(0);
  form_.CMD四角标定.click();
  EXPECT_FALSE(calibration().active());
  EXPECT_NE(form_.LBL四角标定.caption().find("另一个标定正在进行"), std::string::npos);
  EXPECT_EQ(*form_.surfaceMapping().corners(), kKeystone);

  // Back to two corners on purpose.
  (void)form_.OPT标定.select(5);
  form_.CMD两角标定.click();
  EXPECT_FALSE(form_.surfaceMapping().perspective());
  EXPECT_EQ(stored(), "");
}

TEST_F(CornerCalibrationTest, TheEnginesContactsGoThroughTheCornersToo) {
  touchAll(kKeystone);
  RecordingFrames frames;
  form_.engine().addSink(frames);
  TouchEngineSettings settings;
  settings.smoothing = false;
  form_.engine().configure(settings);
  form_.runEngine(true);
  // A hand where the picture's diagonals cross: (7500, 3333) in view units, 4167 ahead of the
  // scanner at (7500, 7500).
  scanner_sim::Scene scene;
  scene.roomDistanceMm = {7000};
  scanner_sim::SceneObject hand;
  hand.from = {0, -4167};
  scene.objects = {hand};
  scanner_sim::StreamSettings stream;
  stream.nodesPerSecond = 8000;
  scanner_sim::NodeStream nodes(scene, stream);
  std::vector<std::uint8_t> bytes(scanner_sim::kScanDescriptor.begin(),
                                  scanner_sim::kScanDescriptor.end());
  for (int block = 0; block < 10; ++block) {
    nodes.appendSeconds(bytes, 0.1);
    loop_.advance(100);
    form_.decoder().feed(bytes);
    bytes.clear();
  }
  ASSERT_FALSE(frames.frames.empty());
  ASSERT_EQ(frames.frames.back().live.size(), 1u);
  const Contact& contact = frames.frames.back().live[0];
  // The hand's near side, some 30 units in front of its centre, is what the scanner places.
  EXPECT_NEAR(contact.u, 0.5, 0.01);
  EXPECT_NEAR(contact.v, 0.5, 0.02);
  EXPECT_NEAR(contact.screen.x, 1060, 15);
  EXPECT_NEAR(contact.screen.y, 590, 20);
}

}  // namespace
}  // namespace scantouch
