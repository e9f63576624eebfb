#include "touch/corner_calibration.h"

#include <gtest/gtest.h>

#include "example_setup.h"
#include "node_stream.h"
#include "recording_desktop_input.h"
#include "surface/surface_settings.h"
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
