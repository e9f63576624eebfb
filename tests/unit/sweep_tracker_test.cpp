#include "decoding/sweep_tracker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "recording_radar_view.h"

namespace scantouch {
namespace {

class CollectingConsumer final : public ScanNodeConsumer, public PreciseScanNodeConsumer {
 public:
  void processScanNode(const ScanNode& node, std::int16_t sensitivity) override {
    nodes.push_back(node);
    lastSensitivity = sensitivity;
  }
  void processPreciseNode(const PreciseScanNode& node, std::int16_t) override {
    precise.push_back(node);
  }
  std::vector<int> angles() const {
    std::vector<int> result;
    for (const ScanNode& node : nodes)
      result.push_back(node.angle);
    return result;
  }
  std::vector<ScanNode> nodes;
  std::vector<PreciseScanNode> precise;
  std::int16_t lastSensitivity = -1;
};

// A node at `degrees` (and 64ths beyond) as the framing hands it on.
RawNode Raw(int degrees, std::int32_t distance = 1000, int sixtyFourths = 19,
            bool startOfTurn = false) {
  return RawNode{degrees, 47, distance, degrees * 64 + sixtyFourths, startOfTurn};
}

class SweepTrackerTest : public ::testing::Test {
 protected:
  void pass(const std::vector<RawNode>& nodes, double correction = 0) {
    sweep_.beginPass(2, correction);
    for (const RawNode& node : nodes)
      sweep_.takeNode(node);
    sweep_.endPass();
  }

  testing::RecordingRadarView radar_;
  CollectingConsumer consumer_;
  SweepTracker sweep_{radar_, consumer_};
};

TEST_F(SweepTrackerTest, HandsMeasuredNodesOnWithTheirTraceAndLabels) {
  pass({Raw(90, 2500), Raw(91, 2500)});
  EXPECT_EQ(consumer_.nodes, (std::vector<ScanNode>{{90, 47, 2500}, {91, 47, 2500}}));
  EXPECT_EQ(consumer_.lastSensitivity, 2);
  EXPECT_EQ(radar_.angleTrace, "090 091 ");
  EXPECT_EQ(radar_.qualityLabels, (std::vector<int>{90, 91}));
  EXPECT_EQ(sweep_.decodedNodes(), 2u);
}

TEST_F(SweepTrackerTest, CorrectsAnglesWithTiesToEven) {
  const auto corrected = [&](double correction, int angle) {
    consumer_.nodes.clear();
    pass({Raw(angle)}, correction);
    return consumer_.nodes.at(0).angle;
  };
  EXPECT_EQ(corrected(0.5, 10), 10);
  EXPECT_EQ(corrected(0.5, 11), 12);
  EXPECT_EQ(corrected(-10, 5), 355);
  EXPECT_EQ(corrected(10, 355), 5);
  EXPECT_EQ(corrected(-10.5, 5), 354);  // 354.5 ties to the even 354
}

// A whole turn, one node a degree from `from`, the first of each turn with the start flag.
std::vector<RawNode> Sweep(int from, int nodes) {
  std::vector<RawNode> sweep;
  for (int step = 0; step < nodes; ++step) {
    const int angle = (from + step) % 360;
    sweep.push_back(Raw(angle, 1000, 0, angle == 0));
  }
  return sweep;
}

TEST_F(SweepTrackerTest, ClearsThePictureEveryHalfTurnAndCountsTheHalfTurnsOfASweep) {
  pass(Sweep(90, 360));  // passes 180, then 0
  EXPECT_EQ(radar_.halfTurns, 2);
  EXPECT_EQ(sweep_.halfTurns(), 2u);
  EXPECT_EQ(sweep_.wholeTurns(), 0u);  // the turn begun at 0 has not ended
  pass(Sweep(90, 360));
  EXPECT_EQ(sweep_.halfTurns(), 4u);
  EXPECT_EQ(sweep_.wholeTurns(), 1u);
  // The trace holds the angles since the last half turn.
  EXPECT_EQ(radar_.angleTrace.substr(0, 8), "000 001 ");
  sweep_.resetTurnCounts();
  EXPECT_EQ(sweep_.halfTurns(), 0u);
}

TEST_F(SweepTrackerTest, ANoReturnNodeIsCountedButIsNoMeasurement) {
  sweep_.setPreciseConsumer(&consumer_);
  pass({Raw(10), Raw(11, 0), Raw(11, 0, 5), Raw(12)});
  EXPECT_EQ(consumer_.angles(), (std::vector<int>{10, 12}));
  EXPECT_EQ(radar_.angleTrace, "010 012 ");
  EXPECT_EQ(sweep_.decodedNodes(), 4u);
  EXPECT_EQ(sweep_.noReturnNodes(), 2u);
  // The engine gets every node at the wire's 1/64 degree, no-return nodes too.
  ASSERT_EQ(consumer_.precise.size(), 4u);
  EXPECT_DOUBLE_EQ(consumer_.precise[0].angle, 10 + 19 / 64.0);
  EXPECT_EQ(consumer_.precise[2].distance, 0);
  EXPECT_DOUBLE_EQ(consumer_.precise[2].scannerAngle, 11 + 5 / 64.0);
}

TEST_F(SweepTrackerTest, TellsTheEngineWhereTurnsBeginAndWhichWereWhole) {
  sweep_.setPreciseConsumer(&consumer_);
  pass(Sweep(300, 60 + 2 * 360 + 10), 90);
  std::vector<std::size_t> begins;
  std::vector<bool> whole;
  for (std::size_t i = 0; i < consumer_.precise.size(); ++i) {
    if (consumer_.precise[i].startsTurn) {
      begins.push_back(i);
      whole.push_back(consumer_.precise[i].wholeTurnEnds);
    }
  }
  // At the scanner's own 0, whatever the correction; the part before the first is no turn.
  EXPECT_EQ(begins, (std::vector<std::size_t>{60, 420, 780}));
  EXPECT_EQ(whole, (std::vector<bool>{false, true, true}));
  EXPECT_DOUBLE_EQ(consumer_.precise[60].scannerAngle, 0);
  EXPECT_DOUBLE_EQ(consumer_.precise[60].angle, 90);
}

// Where the line took something away: the engine learns which stretch of the turn it was.
TEST_F(SweepTrackerTest, TellsTheEngineWhereNodesWereLostAndWhichDidNotFollowTheSweep) {
  sweep_.setPreciseConsumer(&consumer_);
  sweep_.beginPass(2, 0);
  for (const RawNode& node : {Raw(10), Raw(11), Raw(200), Raw(12)})
    sweep_.takeNode(node);
  sweep_.nodesLost();
  sweep_.takeNode(Raw(16));
  sweep_.takeNode(Raw(17));
  sweep_.endPass();
  std::vector<bool> follows;
  std::vector<bool> afterLoss;
  for (const PreciseScanNode& node : consumer_.precise) {
    follows.push_back(node.followsSweep);
    afterLoss.push_back(node.afterLoss);
  }
  EXPECT_EQ(follows, (std::vector<bool>{true, true, false, true, true, true}));
  EXPECT_EQ(afterLoss, (std::vector<bool>{false, false, false, false, true, false}));
}

// Turns of a sweep one node per degree from angle 0; every third node finds nothing and is
// reported up to 9 degrees away from where the sweep stands, as real scanners do.
std::vector<RawNode> SweepWithNoReturns(int turns, bool measuredNodes) {
  std::mt19937 random(3);
  std::uniform_int_distribution<int> wander(-9, 9);
  std::vector<RawNode> nodes;
  for (int step = 0; step < turns * 360; ++step) {
    const int angle = step % 360;
    if (step % 3 == 0 || !measuredNodes)
      nodes.push_back(Raw((angle + wander(random) + 360) % 360, 0));
    else
      nodes.push_back(Raw(angle));
  }
  return nodes;
}

TEST_F(SweepTrackerTest, HalfTurnsComeFromMeasuredNodesNotFromWanderingNoReturnNodes) {
  pass(SweepWithNoReturns(3, true));
  EXPECT_EQ(radar_.halfTurns, 5);  // crossings at 180, 0, 180, 0, 180
  EXPECT_EQ(sweep_.noReturnNodes(), 360u);
}

TEST_F(SweepTrackerTest, AScannerThatMeasuresNothingStillCountsItsTurns) {
  pass(SweepWithNoReturns(3, false));
  EXPECT_EQ(sweep_.halfTurns(), 5u);
  EXPECT_TRUE(consumer_.nodes.empty());
}

}  // namespace
}  // namespace scantouch
