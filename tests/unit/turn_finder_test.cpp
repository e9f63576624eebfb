#include "decoding/turn_finder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <vector>

namespace scantouch {
namespace {

struct Node {
  double angle;
  bool measured = true;
  bool startFlag = false;
};

// What a scanner sends over `turns` turns of `nodesPerTurn` nodes from its angle 0, the first node
// of each turn flagged. `returns(angle)` says whether the beam there finds anything; where it
// does not, the node is a no-return node at an angle that wanders up to 9 degrees, as real
// scanners send them.
std::vector<Node> Sweep(int turns, int nodesPerTurn, const std::function<bool(double)>& returns,
                        std::uint32_t seed = 1) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> wander(-9, 9);
  std::vector<Node> nodes;
  for (int turn = 0; turn < turns; ++turn) {
    for (int i = 0; i < nodesPerTurn; ++i) {
      const double angle = 360.0 * i / nodesPerTurn;
      if (returns(angle))
        nodes.push_back({angle, true, i == 0});
      else
        nodes.push_back({std::fmod(angle + wander(random) + 360, 360), false, i == 0});
    }
  }
  return nodes;
}

bool Everywhere(double) {
  return true;
}

struct Found {
  std::vector<std::size_t> begins;  // the nodes that began a turn
  int whole = 0;
  int halves = 0;  // half turns marked (counted or not)
};

Found Follow(TurnFinder& finder, const std::vector<Node>& nodes) {
  Found found;
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    const TurnFinder::Mark mark =
        finder.take(nodes[i].angle, nodes[i].measured, nodes[i].startFlag);
    if (mark.turnBegins)
      found.begins.push_back(i);
    found.whole += mark.wholeTurnEnds ? 1 : 0;
    found.halves += mark.halfTurn ? 1 : 0;
  }
  return found;
}

TEST(TurnFinderTest, ATurnBeginsAtTheScannersFlagAndThePartBeforeTheFirstIsNoWholeTurn) {
  TurnFinder finder;
  std::vector<Node> nodes = Sweep(4, 360, Everywhere);
  nodes.erase(nodes.begin(), nodes.begin() + 100);  // the stream starts within a turn
  const Found found = Follow(finder, nodes);
  EXPECT_EQ(found.begins, (std::vector<std::size_t>{260, 620, 980}));
  EXPECT_EQ(found.whole, 2);
  EXPECT_EQ(finder.wholeTurns(), 2u);
  EXPECT_EQ(finder.halfTurns(), 7u);  // 180, 0, 180, 0, 180, 0, 180
}

// Real rooms: the scanner at the edge of an open floor, beside a black curtain, or with its zero
// pointing into open space measures nothing over much of its turn.
TEST(TurnFinderTest, TurnsAreFoundWhereMostOfTheTurnReturnsNothing) {
  const std::vector<std::function<bool(double)>> rooms = {
      [](double a) { return a >= 2 && a <= 268; },   // nothing in the last quarter
      [](double a) { return a <= 180; },             // half the turn open
      [](double a) { return a >= 60 && a <= 300; },  // the zero angle into open space
      [](double) { return false; },                  // nothing at all
  };
  for (std::size_t room = 0; room < rooms.size(); ++room) {
    for (const int nodesPerTurn : {364, 1455, 3200}) {  // 2 000, 8 000 and 32 000 nodes/s
      TurnFinder finder;
      const Found found = Follow(finder, Sweep(10, nodesPerTurn, rooms[room], 7));
      EXPECT_EQ(found.whole, 9) << "room " << room << ", " << nodesPerTurn << " nodes a turn";
      ASSERT_EQ(found.begins.size(), 10u) << "room " << room;
      for (std::size_t t = 0; t < found.begins.size(); ++t)
        EXPECT_EQ(found.begins[t], t * nodesPerTurn) << "room " << room;
    }
  }
}

// A scanner that sends nothing at all where nothing returns, and one that lost the flag's node.
TEST(TurnFinderTest, ATurnIsFoundOverAGapAndWithoutTheFlag) {
  std::vector<Node> nodes;
  for (const Node& node : Sweep(6, 360, Everywhere)) {
    if (node.angle >= 2 && node.angle <= 268)
      nodes.push_back(Node{node.angle, true, false});
  }
  TurnFinder finder;
  const Found found = Follow(finder, nodes);
  EXPECT_EQ(found.begins.size(), 5u);  // the stream began just after the start of a turn
  EXPECT_EQ(found.whole, 4);
}

TEST(TurnFinderTest, ASparseScannerStillMakesWholeTurns) {
  TurnFinder finder;
  const Found found = Follow(finder, Sweep(20, 10, Everywhere));  // a node every 36 degrees
  EXPECT_EQ(found.whole, 19);
}

// Damaged bytes make nodes of any angle, with the flag or without.
TEST(TurnFinderTest, ADamagedNodeNeitherBeginsNorBreaksATurn) {
  std::vector<Node> nodes = Sweep(3, 360, Everywhere);
  nodes[500] = Node{10, true, true};   // a flag far from where the sweep stands
  nodes[540] = Node{181, true, true};  // one in the middle of the turn, near the sweep
  nodes[900] = Node{200, true, false};
  TurnFinder finder;
  const Found found = Follow(finder, nodes);
  EXPECT_EQ(found.begins, (std::vector<std::size_t>{0, 360, 720}));
  EXPECT_EQ(found.whole, 2);
}

// A garbled angle byte moves a node by whole multiples of 2 degrees, often to within a step of
// a sweep ahead of where it stands: the nodes after it are still where the sweep truly is.
TEST(TurnFinderTest, ANodeALongStepAheadNeitherBeginsATurnNorMakesTheNextOnesAGap) {
  std::vector<Node> nodes = Sweep(4, 360, Everywhere);
  nodes[100] = Node{130, true, false};  // before the first whole turn
  nodes[460] = Node{130, true, false};  // after it
  nodes[1070] = Node{20, true, false};  // 30 degrees ahead, past 0
  TurnFinder finder;
  const Found found = Follow(finder, nodes);
  EXPECT_EQ(found.begins, (std::vector<std::size_t>{0, 360, 720, 1080}));
  EXPECT_EQ(found.whole, 3);
  EXPECT_EQ(finder.halfTurns(), 7u);
}

// The scanner measures the first node of a turn just past its angle 0; a flag on a measured
// node before 0 is a garbled first byte. A no-return node's angle wanders either way.
TEST(TurnFinderTest, AFlagOnAMeasuredNodeBefore0BeginsNoTurn) {
  std::vector<Node> nodes = Sweep(3, 360, Everywhere);
  nodes[700].startFlag = true;  // at 340 degrees
  TurnFinder finder;
  EXPECT_EQ(Follow(finder, nodes).begins, (std::vector<std::size_t>{0, 360, 720}));

  nodes[700].measured = false;
  nodes[700].angle = 352;
  TurnFinder other;
  EXPECT_EQ(Follow(other, nodes).begins, (std::vector<std::size_t>{0, 360, 700}));
}

// A line that delivers random bytes (a wrong baud rate, a broken cable) decodes into nodes
// at random angles, half of them flagged: no turn of a sweep, so the watchdog starts the scanner
// again.
TEST(TurnFinderTest, RandomNodesMakeNoWholeTurnAndHardlyAHalfTurn) {
  std::mt19937 random(11);
  std::uniform_real_distribution<double> angle(0, 512);
  std::bernoulli_distribution coin(0.5);
  std::vector<Node> nodes;
  for (int i = 0; i < 20000; ++i)
    nodes.push_back(Node{angle(random), coin(random), coin(random)});
  TurnFinder finder;
  const Found found = Follow(finder, nodes);
  // Now and then a few nodes line up like a sweep; a scanner of 360 nodes a turn would have made
  // 55 whole turns and 111 half turns of these.
  EXPECT_LE(found.whole, 2);
  EXPECT_LT(finder.halfTurns(), 20u);
}

TEST(TurnFinderTest, AStalledSweepBeginsAgainWithinABoundAndNeverMakesAWholeTurn) {
  TurnFinder finder;
  std::vector<Node> nodes(TurnFinder::kMostTurnNodes * 2 + 10, Node{42.5, true, false});
  nodes.front().startFlag = true;
  nodes.front().angle = 0;
  const Found found = Follow(finder, nodes);
  EXPECT_EQ(found.whole, 0);
  ASSERT_EQ(found.begins.size(), 3u);  // at its start, then every kMostTurnNodes
  EXPECT_EQ(found.begins[1], TurnFinder::kMostTurnNodes);
}

TEST(TurnFinderTest, AfterAResetNothingBeforeItEndsAWholeTurn) {
  TurnFinder finder;
  Follow(finder, Sweep(1, 360, Everywhere));
  std::vector<Node> nodes = Sweep(2, 360, Everywhere);
  nodes.erase(nodes.begin(), nodes.begin() + 200);
  finder.reset();
  const Found found = Follow(finder, nodes);
  EXPECT_EQ(found.begins, (std::vector<std::size_t>{160}));
  EXPECT_EQ(found.whole, 0);
}

}  // namespace
}  // namespace scantouch
