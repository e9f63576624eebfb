#include "decoding/node_framing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "scan_text.h"

namespace scantouch {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kDescriptor{0xA5, 0x5A, 0x05, 0x00, 0x00, 0x40, 0x81};
// Written out by hand from the wire form (see node_group.h), not by the simulator's encoder.
// 0x3E: quality 62 / 4 = 15.5, a tie, to the even 16; start bits 10, no start flag. Angle bytes
// 03 2D: 0x2D03 = 11523, check bit 1, 11523 / 2 = 5761.5 to the even 5762 in 1/64 degree, 90
// whole degrees; the wire's angle 11523 >> 1 = 5761. Distance 0x2710 = 10000 / 4 = 2500 mm.
const Bytes kNodeAt90{0x3E, 0x03, 0x2D, 0x10, 0x27};
// 0x3D: start bits 01, the start flag; quality 61 / 4 = 15.25, 15. Angle 0x0001: check bit 1,
// 0 degrees. Distance 0x1F40 = 8000 / 4 = 2000 mm.
const Bytes kTurnStartAt0{0x3D, 0x01, 0x00, 0x40, 0x1F};
// 359.9 degrees: 23033 / 64 on the wire, (23033 << 1) | 1 = 0xB3F3; 46067 / 2 rounds to the even
// 23034, still 359 whole degrees. Quality 0xBE = 190 / 4 = 47.5 to the even 48. No return.
const Bytes kNoReturnAt359{0xBE, 0xF3, 0xB3, 0x00, 0x00};
// The same node as kNodeAt90 with its check bit clear.
const Bytes kClearCheckBit{0x3E, 0x02, 0x2D, 0x10, 0x27};
// The start flag at 90 degrees, where no turn starts: a group read one byte late.
const Bytes kMisplacedStart{0x3D, 0x03, 0x2D, 0x10, 0x27};
// A skipped node: byte 0 is 01; its even byte 1 would fail any other group.
const Bytes kSkipped{0x01, 0x02, 0x00, 0x00, 0x00};

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts)
    all.insert(all.end(), part.begin(), part.end());
  return all;
}

// A node a little past the whole degree, as real ones are.
Bytes Node(double angle, int distance = 1000) {
  const auto node = scanner_sim::EncodeNode(angle + 0.3, distance, 47, false);
  return Bytes(node.begin(), node.end());
}

Bytes Sweep(int from, int to) {
  Bytes all;
  for (int angle = from; angle < to; ++angle) {
    const Bytes node = Node(angle);
    all.insert(all.end(), node.begin(), node.end());
  }
  return all;
}

class Collecting final : public FramedNodeSink {
 public:
  void takeNode(const RawNode& node) override { nodes.push_back(node); }
  void nodesLost() override { lostBefore.push_back(nodes.size()); }
  std::vector<int> angles() const {
    std::vector<int> result;
    for (const RawNode& node : nodes)
      result.push_back(node.angleDegrees);
    return result;
  }
  std::vector<RawNode> nodes;
  std::vector<std::size_t> lostBefore;  // per loss told: how many nodes had come
};

class NodeFramingTest : public ::testing::Test {
 protected:
  void decode(const Bytes& bytes) { (void)framing_.decode(bytes, sink_); }
  void synchronise() {
    decode(kDescriptor);
    sink_.nodes.clear();
  }
  Bytes pending() const {
    const ByteSpan bytes = framing_.pending();
    return Bytes(bytes.begin(), bytes.end());
  }

  NodeFraming framing_;
  Collecting sink_;
};

TEST(NodeGroupTest, HandWrittenNodesDecodeToHandComputedValues) {
  const RawNode at90 = DecodeGroup(kNodeAt90);
  EXPECT_EQ(at90.angleDegrees, 90);
  EXPECT_EQ(at90.angle64, 5761);
  EXPECT_EQ(at90.quality, 16);
  EXPECT_EQ(at90.distance, 2500);
  EXPECT_FALSE(at90.startOfTurn);

  const RawNode start = DecodeGroup(kTurnStartAt0);
  EXPECT_EQ(start.angleDegrees, 0);
  EXPECT_EQ(start.quality, 15);
  EXPECT_EQ(start.distance, 2000);
  EXPECT_TRUE(start.startOfTurn);

  const RawNode late = DecodeGroup(kNoReturnAt359);
  EXPECT_EQ(late.angleDegrees, 359);
  EXPECT_EQ(late.angle64, 23033);
  EXPECT_EQ(late.quality, 48);
  EXPECT_EQ(late.distance, 0);

  EXPECT_TRUE(LooksGenuine(kNodeAt90));
  EXPECT_TRUE(LooksGenuine(kTurnStartAt0));
  EXPECT_FALSE(LooksGenuine(kClearCheckBit));
  EXPECT_TRUE(LooksGenuine(kMisplacedStart));
  EXPECT_FALSE(LooksLikeANodeStart(kMisplacedStart));
  EXPECT_TRUE(LooksLikeANodeStart(kTurnStartAt0));
  EXPECT_TRUE(LooksLikeANodeStart(kNodeAt90, 89 * 64));
  // 0xB401 >> 1 = 23040: a whole turn, which no scanner measures.
  EXPECT_TRUE(LooksGenuine(Bytes{0x3E, 0x01, 0xB4, 0x10, 0x27}));
  EXPECT_FALSE(LooksLikeANodeStart(Bytes{0x3E, 0x01, 0xB4, 0x10, 0x27}));
  EXPECT_FALSE(LooksGenuine(Bytes{0x3F, 0x03}));  // start bits 11
  EXPECT_FALSE(LooksGenuine(Bytes{0x3C, 0x03}));  // start bits 00
  EXPECT_TRUE(LooksGenuine(Bytes{0x3D, 0x03}));   // the angle has not arrived yet
  EXPECT_TRUE(IsSkippedGroup(kSkipped));
}

TEST_F(NodeFramingTest, FramesTheHandWrittenStreamAndKeepsTheIncompleteTail) {
  decode(Join({kDescriptor, kTurnStartAt0, kNodeAt90, kNoReturnAt359, {0x3E, 0x03}}));
  EXPECT_TRUE(framing_.synchronised());
  ASSERT_EQ(sink_.nodes.size(), 3u);
  EXPECT_EQ(sink_.angles(), (std::vector<int>{0, 90, 359}));
  EXPECT_EQ(pending(), (Bytes{0x3E, 0x03}));
  decode({0x2D, 0x10, 0x27});
  EXPECT_EQ(sink_.angles(), (std::vector<int>{0, 90, 359, 90}));
  EXPECT_TRUE(pending().empty());
}

TEST_F(NodeFramingTest, WaitsForTheDescriptorAndDropsWhatPrecedesIt) {
  decode(kNodeAt90);
  EXPECT_FALSE(framing_.synchronised());
  EXPECT_TRUE(sink_.nodes.empty());
  EXPECT_EQ(pending(), kNodeAt90);
  // The last bytes of an earlier stream, cut mid-node, stand before the descriptor too.
  decode(Join({{0x10, 0x27}, kDescriptor, kNodeAt90, kNodeAt90}));
  EXPECT_TRUE(framing_.synchronised());
  EXPECT_EQ(sink_.angles(), (std::vector<int>{90, 90}));
  EXPECT_TRUE(pending().empty());
}

TEST_F(NodeFramingTest, SkipsGroupsStartingWith01WithoutTestingThem) {
  synchronise();
  decode(Join({Node(10), kSkipped, Node(11)}));
  EXPECT_EQ(sink_.angles(), (std::vector<int>{10, 11}));
}

TEST_F(NodeFramingTest, ANodeIsBlamedForABadGroupUpToThreeGroupsAfterIt) {
  synchronise();
  decode(Join({Sweep(10, 13), Bytes{0xBF, 0x01, 0x00, 0x00, 0x00}, Sweep(14, 18)}));
  EXPECT_EQ(sink_.angles(), (std::vector<int>{14, 15, 16, 17}));
  EXPECT_TRUE(pending().empty());
  EXPECT_FALSE(framing_.realigning());
}

// The start flag is where a turn begins: near the scanner's angle 0, or, for a sparse scanner,
// where the sweep passed 0 since the node before.
TEST(NodeGroupTest, AStartFlagCountsWhereATurnCanBegin) {
  const auto flagAt = [](double angle) {
    const auto node = scanner_sim::EncodeNode(angle, 1000, 47, true);
    return Bytes(node.begin(), node.end());
  };
  EXPECT_TRUE(LooksLikeANodeStart(flagAt(19.9)));
  EXPECT_TRUE(LooksLikeANodeStart(flagAt(340)));
  EXPECT_FALSE(LooksLikeANodeStart(flagAt(25)));
  EXPECT_TRUE(LooksLikeANodeStart(flagAt(25), 349 * 64));   // 36 degrees past the node before
  EXPECT_FALSE(LooksLikeANodeStart(flagAt(25), 330 * 64));  // no sweep steps 55 degrees
  EXPECT_FALSE(LooksLikeANodeStart(flagAt(25), 10 * 64));   // the sweep did not pass 0
  EXPECT_FALSE(LooksLikeANodeStart(flagAt(90), 89 * 64));
}

TEST_F(NodeFramingTest, AStartFlagWhereNoTurnBeginsRulesTheNodeOut) {
  synchronise();
  // The node and the three before it, which it blames; the search finds the next node.
  decode(Join({Sweep(85, 90), kMisplacedStart, Sweep(91, 95)}));
  EXPECT_EQ(sink_.angles(), (std::vector<int>{85, 86, 91, 92, 93, 94}));
  sink_.nodes.clear();
  decode(kClearCheckBit);
  decode(Join({kMisplacedStart, Sweep(91, 95)}));
  EXPECT_EQ(sink_.angles(), (std::vector<int>{91, 92, 93, 94}));
}

// A lost byte makes every group after it start one byte late: its byte 0 is a node's byte 1,
// always odd, so those that pass the check bit carry the start flag, at an angle made of the
// distance's low byte. The node that lost its last byte takes the next node's quality byte for
// its distance's high byte (0x3E: about 4 m, inside the touch rectangle); only the groups after
// it can tell.
TEST_F(NodeFramingTest, AfterALostByteGroupsOneByteLateBlameTheNodeBefore) {
  synchronise();
  Bytes stream;
  // Angles of 2 to 4 degrees, 1/64 degree even and bit 7 set: read one byte late, each group
  // passes the check bit and the start bits.
  for (const int angle64 : {98, 130, 162, 194, 226, 200}) {
    const auto node = scanner_sim::EncodeNode(angle64 / 64.0, 7000, 15, false);
    stream.insert(stream.end(), node.begin(), node.end());
  }
  stream.erase(stream.begin() + 1 * 5 + 4);  // the last byte of the node at 130
  decode(stream);
  EXPECT_EQ(sink_.nodes.size(), 4u);
  for (const RawNode& node : sink_.nodes)
    EXPECT_EQ(node.distance, 7000) << "at " << node.angle64 << "/64 degree";
}

TEST_F(NodeFramingTest, AfterALostByteTheNodesBehindItAreFramedInTheSamePass) {
  synchronise();
  Bytes stream = Sweep(10, 20);
  stream.erase(stream.begin() + 3 * 5 + 2);  // byte 2 of the node at 13
  decode(stream);
  // 11 and 12 stand within three groups of the damage; 10 does not.
  EXPECT_EQ(sink_.angles(), (std::vector<int>{10, 14, 15, 16, 17, 18, 19}));
  EXPECT_TRUE(pending().empty());
  // The sweep hears of it before the first node after the loss.
  EXPECT_EQ(sink_.lostBefore, (std::vector<std::size_t>{1}));
}

TEST_F(NodeFramingTest, ANodeWithoutFollowingBytesIsFramedAsItIs) {
  synchronise();
  decode(Join({Node(10), {0xBE}}));  // too little of the next group to judge it
  EXPECT_EQ(sink_.angles(), (std::vector<int>{10}));
  EXPECT_EQ(pending(), (Bytes{0xBE}));
}

TEST_F(NodeFramingTest, AfterAFailureFramingResumesWhereThreeGroupsLineUp) {
  synchronise();
  decode(kClearCheckBit);
  ASSERT_TRUE(framing_.realigning());
  const Bytes stream = Sweep(30, 34);
  decode(Bytes(stream.begin() + 2, stream.begin() + 12));  // not yet three groups: wait
  EXPECT_TRUE(sink_.nodes.empty());
  decode(Bytes(stream.begin() + 12, stream.end()));
  EXPECT_FALSE(framing_.realigning());
  EXPECT_EQ(sink_.angles(), (std::vector<int>{31, 32, 33}));
  EXPECT_TRUE(pending().empty());
}

TEST_F(NodeFramingTest, RealigningPassesOverBytesThatNeverLineUp) {
  synchronise();
  decode(kClearCheckBit);
  decode(Bytes(40, 0xFF));
  EXPECT_LT(pending().size(), 15u);  // what was ruled out is gone
  decode(Sweep(40, 43));
  EXPECT_EQ(sink_.angles(), (std::vector<int>{40, 41, 42}));
}

TEST_F(NodeFramingTest, AnUnsynchronisedBufferOfExactly21845BytesIsEmptied) {
  const auto pendingAfter = [&](std::size_t length) {
    framing_.reset();
    decode(Bytes(length, 0x77));
    return framing_.pending().size();
  };
  EXPECT_EQ(pendingAfter(NodeFraming::kDiscardBytes), 0u);
  EXPECT_EQ(pendingAfter(NodeFraming::kDiscardBytes - 1), NodeFraming::kDiscardBytes - 1);
  EXPECT_EQ(pendingAfter(NodeFraming::kDiscardBytes + 1), NodeFraming::kDiscardBytes + 1);
  EXPECT_EQ(pendingAfter(NodeFraming::kMaxBufferBytes + 10), NodeFraming::kMaxBufferBytes);
}

TEST_F(NodeFramingTest, KeptBytesAreBoundedAndFramedLater) {
  synchronise();
  framing_.keep(Join({Node(10), Node(11)}));
  EXPECT_TRUE(sink_.nodes.empty());
  decode({});
  EXPECT_EQ(sink_.angles(), (std::vector<int>{10, 11}));
  for (int i = 0; i < 10; ++i)
    framing_.keep(Bytes(10000, 0x41));
  EXPECT_EQ(framing_.pending().size(), NodeFraming::kMaxBufferBytes);
  EXPECT_TRUE(framing_.realigning());  // the newest bytes may start anywhere in a node
}

TEST_F(NodeFramingTest, ResetDropsTheBufferAndTheSynchronisation) {
  synchronise();
  decode({0x3E, 0x03});
  framing_.reset();
  EXPECT_FALSE(framing_.synchronised());
  EXPECT_TRUE(pending().empty());
  decode(Join({Node(10), Node(11)}));
  EXPECT_TRUE(sink_.nodes.empty());
}

TEST_F(NodeFramingTest, AnyBytesAreSurvived) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> length(0, 400);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int block = 0; block < 2000; ++block) {
    Bytes bytes(static_cast<std::size_t>(length(random)));
    for (std::uint8_t& b : bytes)
      b = static_cast<std::uint8_t>(byte(random));
    if (block % 50 == 0)
      bytes.insert(bytes.end(), kDescriptor.begin(), kDescriptor.end());
    decode(bytes);
    ASSERT_LE(framing_.pending().size(), NodeFraming::kMaxBufferBytes);
  }
  for (const RawNode& node : sink_.nodes) {
    EXPECT_GE(node.angleDegrees, 0);
    EXPECT_LT(node.angleDegrees, 512);
    EXPECT_LE(node.quality, 64);
  }
}

}  // namespace
}  // namespace scantouch
