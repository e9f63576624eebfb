#include "scanners/pose_calibration.h"

#include <gtest/gtest.h>

#include <optional>

#include "app/main_form.h"
#include "example_setup.h"
#include "node_stream.h"
#include "recording_desktop_input.h"
#include "scanner_pose.h"
#include "scanners/scanner_stream.h"
#include "toolkit/virtual_event_loop.h"

namespace scantouch {
namespace {

namespace sim = scanner_sim;

// The second scanner at the touch rectangle's top-right corner, turned 30 degrees; the engine
// starts from a pose 60 mm and 2 degrees off.
constexpr sim::ScannerPose kSecond{2500, -5500, 30};
constexpr Pose kRoughPose{10060, 1960, 32};

class PoseCalibrationTest : public ::testing::Test {
 protected:
  PoseCalibrationTest() {
    examples::CalibrateLikeTheExamples(form_);
    TouchEngineSettings settings;
    settings.smoothing = false;
    form_.engine().configure(settings);
    form_.engine().setScanners(std::nullopt, {kRoughPose});
    form_.engine().addSink(calibration_);
    form_.runEngine(true);
  }

  // A still hand at `at` (from the first scanner) while a place is measured, both scanners
  // sending, 100 ms a block.
  void measurePlace(sim::PlanePoint at) {
    sim::Scene scene;
    scene.roomDistanceMm = {7000};
    sim::SceneObject hand;
    hand.from = at;
    hand.diameterMm = 100;
    scene.objects = {hand};
    sim::StreamSettings settings;
    settings.nodesPerSecond = 8000;
    settings.revolutionsPerSecond = 9.7;
    sim::NodeStream first(scene, settings);
    settings.revolutionsPerSecond = 10.3;
    settings.turnPhase = 0.3;
    sim::NodeStream second(sim::SceneSeenFrom(scene, kSecond), settings);
    if (!started_) {
      const std::vector<std::uint8_t> start(sim::kScanDescriptor.begin(),
                                            sim::kScanDescriptor.end());
      form_.decoder().feed(start);
      stream_.feed(start, true, 2);
      started_ = true;
    }
    for (int block = 0; block < 20; ++block) {
      if (block == 5) {
        ASSERT_TRUE(calibration_.recordPlace());
      }
      loop_.advance(100);
      std::vector<std::uint8_t> bytes;
      first.appendSeconds(bytes, 0.1);
      form_.decoder().feed(bytes);
      bytes.clear();
      second.appendSeconds(bytes, 0.1);
      stream_.feed(bytes, true, 2);
    }
    ASSERT_FALSE(calibration_.recording());
  }

  VirtualEventLoop loop_;
  testing::RecordingDesktopInput desktop_;
  examples::InMemorySettings settings_;
  MainForm form_{loop_, desktop_, settings_.file};
  ScannerStream stream_{LinkId{0}, 1, form_.engine()};
  PoseCalibration calibration_{form_.engine()};
  bool started_ = false;
};

TEST_F(PoseCalibrationTest, APlaceWaitsForTheNextWhenOneIsNotEnough) {
  measurePlace({-2000, -3000});
  EXPECT_EQ(calibration_.report(), "已记录 1 个位置");
  EXPECT_TRUE(calibration_.solve().empty());

  measurePlace({1800, -3200});
  EXPECT_EQ(calibration_.report(), "已记录 2 个位置");
  const std::vector<PoseCalibration::Solved> solved = calibration_.solve();
  ASSERT_EQ(solved.size(), 1u);
  EXPECT_EQ(solved[0].scanner, 1u);
  EXPECT_NEAR(solved[0].fit.pose.x, 10000, 15);
  EXPECT_NEAR(solved[0].fit.pose.y, 2000, 15);
  EXPECT_NEAR(solved[0].fit.pose.angleDegrees, 30, 1);
  // Solved, the places are spent.
  EXPECT_TRUE(calibration_.solve().empty());
}

}  // namespace
}  // namespace scantouch
