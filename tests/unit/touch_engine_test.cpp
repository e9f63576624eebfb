#include "engine/touch_engine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <set>

#include "app/main_form.h"
#include "example_setup.h"
#include "node_stream.h"
#include "recording_desktop_input.h"
#include "rooms.h"
#include "scan_text.h"
#include "toolkit/virtual_event_loop.h"

namespace scantouch {
namespace {

using testing::RecordingDesktopInput;

class RecordingFrames final : public TouchFrameSink {
 public:
  void onTouchFrame(const TouchFrame& frame) override { frames.push_back(frame); }
  std::vector<TouchFrame> frames;
};

scanner_sim::SceneObject Hand(double x, double y, double diameterMm = 80) {
  scanner_sim::SceneObject hand;
  hand.from = scanner_sim::PlanePoint{x, y};
  hand.diameterMm = diameterMm;
  return hand;
}

// The whole road of the worked examples (scanner at (7500, 7500), touch rectangle from (5000,
// 2000), 5 m x 3 m, above it, 1920 x 1080 screen area) with the engine beside it.
class TouchEngineTest : public ::testing::Test {
 protected:
  TouchEngineTest() {
    examples::CalibrateLikeTheExamples(form_);
    TouchEngineSettings settings;
    settings.smoothing = false;
    form_.engine().configure(settings);
    form_.engine().addSink(frames_);
    form_.runEngine(true);
    testing::Feed(form_.decoder(), testing::DescriptorText());
  }

  void play(std::vector<scanner_sim::SceneObject> objects, scanner_sim::StreamSettings stream,
            double seconds, scanner_sim::RoomKind room = scanner_sim::RoomKind::plain) {
    scanner_sim::Scene scene;
    scene.roomDistanceMm = {7000};
    scene.objects = std::move(objects);
    scanner_sim::FurnishRoom(scene, room, scanner_sim::TouchArea{});
    scanner_sim::NodeStream nodes(scene, stream);
    for (double t = 0; t < seconds; t += 0.1) {
      std::vector<std::uint8_t> block;
      nodes.appendSeconds(block, 0.1);
      loop_.advance(100);
      form_.decoder().feed(block);
    }
  }

  VirtualEventLoop loop_;
  RecordingDesktopInput desktop_;
  examples::InMemorySettings settings_;
  MainForm form_{loop_, desktop_, settings_.file};
  RecordingFrames frames_;
};

TEST_F(TouchEngineTest, AStillHandsContactLiesAtItsCentreWhereTheRoadTouchesItsNearSide) {
  // The road places a touch at the midpoint of its first and last hit, on the hand's near side;
  // the engine, at the centre of the hand those hits outline, smoothed over the turns (whose
  // beams fall elsewhere on the hand each time). A rectangle near the scanner, as most are.
  form_.SHPWIN.setLeft(6500);
  form_.SHPWIN.setTop(6000);
  form_.engine().configure(TouchEngineSettings{});  // smoothing on, as installed
  double engineOff = 0;
  double roadNearer = 0;
  int hands = 0;
  for (const auto& hand : {Hand(400, -1100), Hand(-700, -500, 60), Hand(200, -400, 60),
                           Hand(-300, -1300, 100), Hand(900, -800, 70)}) {
    SCOPED_TRACE(hand.from.x);
    frames_.frames.clear();
    play({hand}, scanner_sim::StreamSettings{}, 3);  // 2 000 nodes a second, 5.5 turns
    const double distance = std::hypot(hand.from.x, hand.from.y);
    const auto touch = ParsePair(form_.TXT当前处理数据.text());
    ASSERT_TRUE(touch.has_value());
    roadNearer +=
        distance - std::hypot(6500.0 + touch->first - 7500, 6000.0 + touch->second - 7500);
    ASSERT_EQ(frames_.frames.back().live.size(), 1u);
    const Contact& contact = frames_.frames.back().live[0];
    engineOff += std::hypot(contact.x - 7500 - hand.from.x, contact.y - 7500 - hand.from.y);
    ++hands;
  }
  EXPECT_LT(engineOff / hands, 5);
  EXPECT_GT(roadNearer / hands, 15);
}

TEST_F(TouchEngineTest, AHandInTheRectanglesFarthestCornerIsAContactAndOneBeyondItIsNot) {
  // The corner at (5000, 2000) lies 6 041 mm from the scanner, farther than any other point of
  // the rectangle; the room's wall at 7 000 mm is beyond every corner.
  play({Hand(-2420, -5420, 60)}, scanner_sim::StreamSettings{}, 2);
  ASSERT_FALSE(frames_.frames.empty());
  ASSERT_EQ(frames_.frames.back().live.size(), 1u);
  EXPECT_NEAR(frames_.frames.back().live[0].x, 7500 - 2420, 30);
  EXPECT_NEAR(frames_.frames.back().live[0].y, 7500 - 5420, 30);
  frames_.frames.clear();
  play({Hand(-2600, -5600, 60)}, scanner_sim::StreamSettings{}, 2);
  ASSERT_FALSE(frames_.frames.empty());
  EXPECT_TRUE(frames_.frames.back().live.empty());
}

TEST_F(TouchEngineTest, ADenseScannerHasItsContactInEveryTurn) {
  // 800 nodes a turn: a whole degree holds two or three nodes, and the beam table of the
  // single-touch road loses the run whenever one of them misses the hand.
  scanner_sim::StreamSettings stream;
  stream.nodesPerSecond = 8000;
  stream.revolutionsPerSecond = 10;
  play({Hand(400, -3500)}, stream, 3);
  ASSERT_GT(frames_.frames.size(), 25u);
  std::set<SessionId> sessions;
  for (std::size_t i = 2; i < frames_.frames.size(); ++i) {
    ASSERT_EQ(frames_.frames[i].live.size(), 1u) << "turn " << i;
    sessions.insert(frames_.frames[i].live[0].sessionId);
  }
  EXPECT_EQ(sessions.size(), 1u);
}

// Real rooms: a scanner at the edge of an open floor, beside a black curtain or with its zero into
// open space measures nothing over much of its turn. Its turns are turns all the same, and a hand
// in the rectangle is a contact in each of them.
TEST_F(TouchEngineTest, ARoomThatReturnsNothingOverMuchOfTheTurnHasTurnsAndContacts) {
  using scanner_sim::RoomKind;
  for (const RoomKind room : {RoomKind::openQuarter, RoomKind::half, RoomKind::zeroOpen}) {
    for (const double rate : {2000.0, 8000.0}) {
      form_.engine().reset();
      frames_.frames.clear();
      scanner_sim::StreamSettings stream;
      stream.nodesPerSecond = rate;
      play({Hand(0, -3000)}, stream, 3, room);
      const std::string where = std::string(scanner_sim::RoomName(room)) + " at " +
                                std::to_string(static_cast<int>(rate)) + " nodes/s";
      // 5.5 turns a second for 3 s.
      EXPECT_GE(frames_.frames.size(), 15u) << where;
      ASSERT_FALSE(frames_.frames.empty()) << where;
      EXPECT_EQ(frames_.frames.back().live.size(), 1u) << where;
    }
  }
}

// Still things inside the rectangle (two posts, a bar along its edge) are contacts in every
// turn, until the background is learned with nobody there or a mask covers them; a hand among
// them is still a contact.
TEST_F(TouchEngineTest, LearnedBackgroundAndMasksLeaveStillThingsOut) {
  using scanner_sim::RoomKind;
  scanner_sim::StreamSettings stream;
  play({Hand(0, -3000)}, stream, 3, RoomKind::clutter);
  ASSERT_GT(frames_.frames.back().live.size(), 1u) << "the clutter is touched";

  struct Learner final : PreciseScanNodeConsumer {
    void processPreciseNode(const PreciseScanNode& node, std::int16_t) override {
      learning.take(node.scannerAngle, node.distance, node.startsTurn, node.wholeTurnEnds);
    }
    BackgroundLearning learning;
  } learner;
  form_.decoder().setPreciseConsumer(&learner);
  play({}, stream, 3, RoomKind::clutter);
  const std::optional<LearnedBackground> background = learner.learning.finish(0);
  ASSERT_TRUE(background);
  form_.runEngine(true);
  form_.engine().setBackground(0, background);
  form_.engine().reset();
  play({Hand(0, -3000)}, stream, 3, RoomKind::clutter);
  ASSERT_EQ(frames_.frames.back().live.size(), 1u);
  EXPECT_NEAR(frames_.frames.back().live[0].x, 7500, 30);
  EXPECT_NEAR(frames_.frames.back().live[0].y, 4500, 30);

  // A mask over the hand: nothing is left.
  TouchEngineSettings masked = form_.engine().settings();
  masked.masks = {ViewMask{7300, 4300, 7700, 4700}};
  form_.engine().configure(masked);
  play({Hand(0, -3000)}, stream, 1, RoomKind::clutter);
  EXPECT_TRUE(frames_.frames.back().live.empty());
}

TEST_F(TouchEngineTest, SeveralHandsAreSeveralContacts) {
  scanner_sim::StreamSettings stream;
  stream.nodesPerSecond = 8000;
  stream.noReturnShare = 0.4;  // turns still end where the scanner says
  play({Hand(-1500, -3000), Hand(0, -4000), Hand(1500, -3000)}, stream, 2);
  const TouchFrame& last = frames_.frames.back();
  ASSERT_EQ(last.live.size(), 3u);
  std::set<int> cursors;
  for (const Contact& contact : last.live) {
    cursors.insert(contact.cursorId);
    EXPECT_GT(contact.u, 0);
    EXPECT_LT(contact.u, 1);
  }
  EXPECT_EQ(cursors, (std::set<int>{0, 1, 2}));
  // 5.5 turns a second for 2 s: 11 starts of a turn. The stream begins with the first, which
  // opens the first turn the engine takes.
  EXPECT_EQ(form_.engine().turns(), 10u);
}

class HandAcrossTheTurnsStart : public TouchEngineTest,
                                public ::testing::WithParamInterface<double> {};

TEST_P(HandAcrossTheTurnsStart, KeepsItsSessionMovingAgainstTheSweep) {
  // Straight ahead is where a turn starts. A hand moving left across it is met at the start of a
  // turn and again, further left, at its end: two objects a turn apart, the later one no newcomer.
  const double speed_mps = GetParam();
  form_.engine().configure(TouchEngineSettings{});  // smoothing on, as installed
  scanner_sim::SceneObject hand = Hand(1000, -4000, 100);
  hand.to = scanner_sim::PlanePoint{-1000, -4000};
  hand.period_s = 2 * 2000 / (speed_mps * 1000);  // there and back
  scanner_sim::StreamSettings stream;
  stream.nodesPerSecond = 8000;  // so that a sliver of the hand at the turn's start is met
  play({hand}, stream, hand.period_s / 2);
  std::set<SessionId> sessions;
  for (const TouchFrame& frame : frames_.frames) {
    for (const Contact& contact : frame.live)
      sessions.insert(contact.sessionId);
  }
  EXPECT_EQ(sessions.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(MetresPerSecond, HandAcrossTheTurnsStart,
                         ::testing::Values(0.35, 0.7, 1.2),
                         [](const ::testing::TestParamInfo<double>& speed) {
                           return "At" + std::to_string(static_cast<int>(speed.param * 100)) + "cm";
                         });

TEST_F(TouchEngineTest, VelocityFollowsTheFourCornersAsThePositionDoes) {
  // The screen area on the left half of the rectangle, mirrored: u = (7500 - x) / 2500, so a
  // hand moving right goes left on the screen, twice as fast in widths as across the rectangle.
  ASSERT_TRUE(form_.surfaceMapping().setCorners(
      SurfaceMapping::Corners{{{7500, 2000}, {5000, 2000}, {5000, 5000}, {7500, 5000}}}));
  scanner_sim::SceneObject hand = Hand(-2000, -4000);
  hand.to = scanner_sim::PlanePoint{-500, -4000};
  hand.period_s = 6;  // 0.5 m/s
  scanner_sim::StreamSettings stream;
  stream.nodesPerSecond = 8000;
  stream.revolutionsPerSecond = 10;
  play({hand}, stream, 2.5);
  int compared = 0;
  for (std::size_t i = 5; i < frames_.frames.size(); ++i) {
    const TouchFrame& before = frames_.frames[i - 1];
    const TouchFrame& now = frames_.frames[i];
    ASSERT_EQ(now.live.size(), 1u);
    ASSERT_EQ(before.live.size(), 1u);
    const double seconds = static_cast<double>(now.timeMs - before.timeMs) / 1000;
    if (seconds <= 0)
      continue;
    const double moved = (now.live[0].u - before.live[0].u) / seconds;
    EXPECT_NEAR(now.live[0].velocityU, moved, 0.25 * std::abs(moved) + 0.01) << "frame " << i;
    EXPECT_LT(now.live[0].velocityU, -0.1) << "frame " << i;
    ++compared;
  }
  EXPECT_GT(compared, 10);
}

TEST_F(TouchEngineTest, ARectangleBeyond32BitsMapsAsTheSingleTouchRoadDoes) {
  // Settings with an absurd rectangle, reaching far to the left (the room's wall lies in it too):
  // every offset from its left edge leaves 32 bits, and the road maps such a touch as no offset
  // at all, in both directions.
  form_.SHPWIN.setLeft(-3e9f);
  ASSERT_EQ(form_.SHPWIN.setWidth(3.1e9f), ToolkitResult::ok);
  scanner_sim::StreamSettings stream;
  stream.nodesPerSecond = 1980;
  play({Hand(400, -3500)}, stream, 2);
  ASSERT_FALSE(desktop_.clicks().empty());
  for (const ScreenPoint& click : desktop_.clicks())
    ASSERT_EQ(click, (ScreenPoint{0, 0}));
  ASSERT_FALSE(frames_.frames.empty());
  ASSERT_FALSE(frames_.frames.back().live.empty());
  for (const Contact& contact : frames_.frames.back().live)
    EXPECT_EQ(contact.screen, (ScreenPoint{0, 0})) << contact.x << "," << contact.y;
}

// What reaches the engine's public entry may hold anything (the sanitizers' fuzzing found a
// negative angle cast to an unsigned integer): it is taken without undefined behaviour.
TEST_F(TouchEngineTest, NodesOfAnyAngleAndDistanceAreTakenSafely) {
  form_.engine().setScanners(Pose{7500, 7500, 0}, {Pose{10000, 2000, 30}});
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (const double angle : {nan, -inf, inf, -1.0, -1e300, 1e300, 359.99}) {
    for (const std::size_t scanner : {0u, 1u, 2u}) {
      PreciseScanNode node{angle, 47, 3000, angle, scanner == 1, true};
      form_.engine().processScannerNode(scanner, node, 2);
      form_.engine().processPreciseNode(node, 2);
      node.distance = std::numeric_limits<std::int32_t>::max();
      form_.engine().processScannerNode(scanner, node, 2);
    }
  }
  EXPECT_GT(form_.engine().nodes(), 0u);
}

// A hand met by one beam a turn is missed now and then, where it falls between two beams; a turn
// whose beam there the line took away (lost bytes, or a node garbled to another angle) neither saw
// it nor missed it.
TEST_F(TouchEngineTest, ATurnThatLostItsDataWhereAContactIsDoesNotCountItUnseen) {
  enum class Turn { seen, missed, lost, garbled };
  const auto play = [this](Turn kind) {
    for (int i = 0; i < 360; ++i) {
      PreciseScanNode node;
      node.angle = node.scannerAngle = i + 0.5;
      node.quality = 47;
      node.distance = 7000;  // the wall, beyond the touch rectangle
      node.startsTurn = node.wholeTurnEnds = i == 0;
      if (i == 10) {  // the hand, straight ahead and 4 m away
        if (kind == Turn::lost)
          continue;
        if (kind == Turn::seen)
          node.distance = 4000;
        if (kind == Turn::garbled) {
          node.angle = node.scannerAngle = 200.5;
          node.followsSweep = false;
        }
      }
      node.afterLoss = kind == Turn::lost && i == 11;
      form_.engine().processPreciseNode(node, 2);
    }
    loop_.advance(180);
  };
  for (const Turn damaged : {Turn::lost, Turn::garbled}) {
    form_.engine().reset();
    frames_.frames.clear();
    for (const Turn kind : {Turn::seen, Turn::seen, Turn::seen, Turn::missed, damaged, Turn::seen,
                            Turn::missed, Turn::seen})
      play(kind);
    ASSERT_EQ(frames_.frames.size(), 7u);
    EXPECT_EQ(frames_.frames.back().live.size(), 1u);
    for (const TouchFrame& frame : frames_.frames)
      EXPECT_TRUE(frame.removed.empty());
  }
  // Two turns that looked and did not find it remove it (the second ends as the next begins).
  frames_.frames.clear();
  for (const Turn kind : {Turn::missed, Turn::missed, Turn::missed})
    play(kind);
  EXPECT_EQ(frames_.frames.back().removed.size(), 1u);
}

TEST_F(TouchEngineTest, OffItTakesNoNodes) {
  form_.runEngine(false);
  play({Hand(400, -3500)}, scanner_sim::StreamSettings{}, 1);
  EXPECT_EQ(form_.engine().nodes(), 0u);
  EXPECT_TRUE(frames_.frames.empty());
  EXPECT_FALSE(desktop_.clicks().empty());  // the single-touch road goes on
}

}  // namespace
}  // namespace scantouch
