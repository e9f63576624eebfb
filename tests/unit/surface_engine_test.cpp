// Several scanners as one surface in the engine: the first scanner through the main window's
// decoder, a second one through a stream of its own, both playing one simulated scene from their
// poses.

#include <gtest/gtest.h>

#include <optional>
#include <set>

#include "app/main_form.h"
#include "engine/touch_engine.h"
#include "example_setup.h"
#include "node_stream.h"
#include "recording_desktop_input.h"
#include "scan_text.h"
#include "scanner_pose.h"
#include "scanners/scanner_stream.h"
#include "toolkit/virtual_event_loop.h"

namespace scantouch {
namespace {

namespace sim = scanner_sim;

class RecordingFrames final : public TouchFrameSink {
 public:
  void onTouchFrame(const TouchFrame& frame) override { frames.push_back(frame); }
  std::vector<TouchFrame> frames;
};

sim::SceneObject Hand(double x, double y) {
  sim::SceneObject hand;
  hand.from = sim::PlanePoint{x, y};
  hand.diameterMm = 100;
  return hand;
}

// The scanner of the worked examples at (7500, 7500) in view units; the second one at the touch
// rectangle's top-right corner (10000, 2000), turned a little.
constexpr sim::ScannerPose kSecond{2500, -5500, 30};
constexpr Pose kSecondPose{7500 + 2500, 7500 - 5500, 30};

class SurfaceEngineTest : public ::testing::Test {
 protected:
  SurfaceEngineTest() {
    examples::CalibrateLikeTheExamples(form_);
    TouchEngineSettings settings;
    settings.smoothing = false;
    form_.engine().configure(settings);
    form_.engine().addSink(frames_);
    form_.runEngine(true);
  }

  // Plays the scene for both scanners (the second only when it is on the surface and `second`
  // is true), 100 ms a block.
  void play(std::vector<sim::SceneObject> objects, double seconds, bool first = true,
            bool second = true) {
    sim::Scene scene;
    scene.roomDistanceMm = {7000};
    scene.objects = std::move(objects);
    if (!firstStream_) {
      sim::StreamSettings settings;
      settings.nodesPerSecond = 8000;
      settings.revolutionsPerSecond = 10;
      firstStream_.emplace(scene, settings);
      std::vector<std::uint8_t> start(sim::kScanDescriptor.begin(), sim::kScanDescriptor.end());
      form_.decoder().feed(start);
      // Another rate and turn speed, and half a turn out of step.
      settings.nodesPerSecond = 7000;
      settings.revolutionsPerSecond = 9;
      settings.turnPhase = 0.5;
      secondStream_.emplace(sim::SceneSeenFrom(scene, kSecond), settings);
      if (stream_)
        stream_->feed(start, true, 2);
    }
    for (double t = 0; t < seconds; t += 0.1) {
      loop_.advance(100);
      std::vector<std::uint8_t> block;
      firstStream_->appendSeconds(block, 0.1);
      if (first)
        form_.decoder().feed(block);
      block.clear();
      secondStream_->appendSeconds(block, 0.1);
      if (stream_ && second)
        stream_->feed(block, true, 2);
    }
  }

  void addSecondScanner() {
    form_.engine().setScanners(std::nullopt, {kSecondPose});
    stream_.emplace(LinkId{1}, 1, form_.engine());
  }

  std::set<SessionId> sessionsFrom(std::size_t frame) const {
    std::set<SessionId> sessions;
    for (std::size_t i = frame; i < frames_.frames.size(); ++i) {
      for (const Contact& contact : frames_.frames[i].live)
        sessions.insert(contact.sessionId);
    }
    return sessions;
  }

  VirtualEventLoop loop_;
  testing::RecordingDesktopInput desktop_;
  examples::InMemorySettings settings_;
  MainForm form_{loop_, desktop_, settings_.file};
  RecordingFrames frames_;
  std::optional<sim::NodeStream> firstStream_;
  std::optional<sim::NodeStream> secondStream_;
  std::optional<ScannerStream> stream_;
};

TEST_F(SurfaceEngineTest, TwoHandsOnOneBeamOfTheFirstScannerAreTwoContactsWithTheSecond) {
  // Straight ahead of the first scanner, 3 m and 4.5 m away: alone it sees only the near hand.
  const std::vector<sim::SceneObject> hands{Hand(0, -3000), Hand(0, -4500)};
  play(hands, 1);
  EXPECT_EQ(frames_.frames.back().live.size(), 1u);

  frames_.frames.clear();
  firstStream_.reset();
  addSecondScanner();
  int toldTwice = 0;
  form_.engine().sameStreamTwice.connect([&toldTwice](std::size_t, std::size_t) { ++toldTwice; });
  play(hands, 2);
  EXPECT_EQ(toldTwice, 0) << "two scanners of one room are not one stream";
  const TouchFrame& last = frames_.frames.back();
  ASSERT_EQ(last.live.size(), 2u);
  for (const Contact& contact : last.live) {
    EXPECT_NEAR(contact.x, 7500, 25);
    EXPECT_TRUE(std::abs(contact.y - 4500) < 25 || std::abs(contact.y - 3000) < 25) << contact.y;
  }
  // One surface: the first scanner paces every frame, about ten a second.
  EXPECT_NEAR(static_cast<double>(frames_.frames.size()), 20, 3);
}

TEST_F(SurfaceEngineTest, TwoHandsTheFirstScannerSeesApartStayTwoContactsWithTheSecond) {
  // 95 mm apart, closer than the gap: the first scanner sees a miss between them.
  sim::SceneObject left = Hand(-47.5, -3000);
  sim::SceneObject right = Hand(47.5, -3000);
  left.diameterMm = right.diameterMm = 60;
  addSecondScanner();
  play({left, right}, 2);
  for (std::size_t i = frames_.frames.size() - 5; i < frames_.frames.size(); ++i)
    EXPECT_EQ(frames_.frames[i].live.size(), 2u) << "frame " << i;
}

TEST_F(SurfaceEngineTest, AHandPassingIntoTheFirstScannersShadowKeepsItsContact) {
  addSecondScanner();
  sim::SceneObject passing = Hand(-900, -4500);
  passing.to = sim::PlanePoint{900, -4500};
  passing.period_s = 6;  // 0.6 m/s across the beam of the still hand in front of it
  play({Hand(0, -3000), passing}, 3);
  const std::size_t born = 5;
  ASSERT_GT(frames_.frames.size(), born);
  for (std::size_t i = born; i < frames_.frames.size(); ++i)
    ASSERT_EQ(frames_.frames[i].live.size(), 2u) << "frame " << i;
  EXPECT_EQ(sessionsFrom(born).size(), 2u);
}

TEST_F(SurfaceEngineTest, ASilentScannerLeavesTheOtherToGoOn) {
  addSecondScanner();
  const std::vector<sim::SceneObject> hands{Hand(-1000, -3000), Hand(1000, -3500)};
  play(hands, 1);
  ASSERT_EQ(frames_.frames.back().live.size(), 2u);
  const SessionId firstSession = frames_.frames.back().live[0].sessionId;

  // The first scanner falls silent: after a moment the second paces the frames, and its
  // contacts stay the same sessions.
  play(hands, 2, false, true);
  EXPECT_FALSE(form_.engine().scannerAlive(0));
  EXPECT_TRUE(form_.engine().scannerAlive(1));
  ASSERT_EQ(frames_.frames.back().live.size(), 2u);
  EXPECT_EQ(frames_.frames.back().live[0].sessionId, firstSession);

  // And back: the first paces again.
  const std::size_t before = frames_.frames.size();
  play(hands, 1, true, false);
  EXPECT_GT(frames_.frames.size(), before + 5);
  EXPECT_EQ(frames_.frames.back().live.size(), 2u);
}

TEST_F(SurfaceEngineTest, OneStreamArrivingOnTwoLinksIsToldOnce) {
  form_.engine().setScanners(std::nullopt, {Pose{7500, 7500, 0}});
  ScannerStream twice(LinkId{1}, 1, form_.engine());
  std::vector<std::pair<std::size_t, std::size_t>> told;
  form_.engine().sameStreamTwice.connect(
      [&told](std::size_t a, std::size_t b) { told.emplace_back(a, b); });
  sim::Scene scene;
  scene.roomDistanceMm = {7000};
  sim::StreamSettings settings;
  settings.nodesPerSecond = 8000;
  sim::NodeStream stream(scene, settings);
  std::vector<std::uint8_t> block(sim::kScanDescriptor.begin(), sim::kScanDescriptor.end());
  for (int i = 0; i < 20; ++i) {
    stream.appendSeconds(block, 0.1);
    loop_.advance(100);
    form_.decoder().feed(block);
    twice.feed(block, true, 2);
    block.clear();
  }
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0], (std::pair<std::size_t, std::size_t>{0, 1}));
}

}  // namespace
}  // namespace scantouch
