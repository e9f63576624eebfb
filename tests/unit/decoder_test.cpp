#include "scan/scan_stream_decoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "recording_radar_view.h"
#include "scan_text.h"

namespace scantouch {
namespace {

using testing::DescriptorText;
using testing::GroupText;
using testing::NodeText;

class CollectingConsumer final : public ScanNodeConsumer {
 public:
  void processScanNode(const ScanNode& node, std::int16_t sensitivity) override {
    nodes.push_back(node);
    lastSensitivity = sensitivity;
  }
  std::vector<ScanNode> nodes;
  std::int16_t lastSensitivity = -1;
};

class DecoderFixture : public ::testing::Test {
 protected:
  explicit DecoderFixture(ScanStreamDecoder::Recovery recovery)
      : decoder_(
            DecoderControls{buffer_, sensitivity_, correction_, processing_, length_, revolutions_},
            radar_, consumer_, recovery) {
    (void)processing_.setValue(CheckBox::kChecked);
    sensitivity_.setText("2");
    correction_.setText("0");
    buffer_.changed.connect([this] { decoder_.decodeReceiveBuffer(); });
  }

  void synchronise() {
    buffer_.appendText(DescriptorText());
    consumer_.nodes.clear();
  }
  std::vector<int> angles() const {
    std::vector<int> result;
    for (const ScanNode& node : consumer_.nodes)
      result.push_back(node.angle);
    return result;
  }

  TextBox buffer_{"TXTRX"};
  TextBox sensitivity_{"TXT灵敏度"};
  TextBox correction_{"txt角度校正"};
  CheckBox processing_{"CHK处理", "处理"};
  Label length_{"Label2"};
  Label revolutions_{"Label4"};
  testing::RecordingRadarView radar_;
  CollectingConsumer consumer_;
  ScanStreamDecoder decoder_;
};

class DecoderTest : public DecoderFixture {
 protected:
  DecoderTest() : DecoderFixture(ScanStreamDecoder::Recovery::realign) {}
};

class PlainDecoderTest : public DecoderFixture {
 protected:
  PlainDecoderTest() : DecoderFixture(ScanStreamDecoder::Recovery::restartAtNextAppend) {}
};

class EarlierRealignmentTest : public DecoderFixture {
 protected:
  EarlierRealignmentTest() : DecoderFixture(ScanStreamDecoder::Recovery::realignAtNextAppend) {}
};

std::string RecoveryName(ScanStreamDecoder::Recovery recovery) {
  switch (recovery) {
    case ScanStreamDecoder::Recovery::restartAtNextAppend:
      return "RestartAtNextAppend";
    case ScanStreamDecoder::Recovery::realignAtNextAppend:
      return "RealignAtNextAppend";
    case ScanStreamDecoder::Recovery::realign:
      break;
  }
  return "Realign";
}

}  // namespace

// What CTest shows of a parameter, instead of its bytes; found by its namespace.
void PrintTo(ScanStreamDecoder::Recovery recovery, std::ostream* out) {
  *out << RecoveryName(recovery);
}

namespace {

// For the rules both ways of recovering share.
class EitherDecoderTest : public DecoderFixture,
                          public ::testing::WithParamInterface<ScanStreamDecoder::Recovery> {
 protected:
  EitherDecoderTest() : DecoderFixture(GetParam()) {}
};

const std::string kWorkedExample = "3E 03 2D 10 27 ";

TEST_F(DecoderTest, DecodesTheWorkedExampleAndKeepsTheIncompleteTail) {
  synchronise();
  buffer_.appendText(kWorkedExample + "3E 03 2E");
  ASSERT_EQ(consumer_.nodes.size(), 1u);
  EXPECT_EQ(consumer_.nodes[0], (ScanNode{90, 16, 2500}));
  EXPECT_EQ(consumer_.lastSensitivity, 2);
  EXPECT_EQ(buffer_.text(), "3E 03 2E");
  EXPECT_EQ(length_.caption(), "数据长度：8");
  EXPECT_EQ(radar_.angleTrace, "090 ");
  EXPECT_EQ(radar_.lastQuality, 16);
}

TEST_F(DecoderTest, WaitsForTheDescriptorAndDecodesWhatFollowsItInTheSamePass) {
  buffer_.appendText(NodeText(10, 1000));
  EXPECT_TRUE(consumer_.nodes.empty());
  EXPECT_FALSE(decoder_.synchronised());
  buffer_.setText("");
  buffer_.appendText(DescriptorText() + NodeText(10, 1000) + NodeText(11, 1000));
  EXPECT_TRUE(decoder_.synchronised());
  EXPECT_EQ(angles(), (std::vector<int>{10, 11}));
  EXPECT_EQ(buffer_.text(), "");
}

TEST_P(EitherDecoderTest, TheDescriptorGoesWithWhateverPrecedesIt) {
  // The last bytes of an earlier stream, cut mid-node, stand before the descriptor.
  const std::string stale = NodeText(300, 1000).substr(6);
  buffer_.appendText(stale + DescriptorText() + NodeText(10, 1000) + NodeText(11, 1000) +
                     NodeText(12, 1000));
  EXPECT_TRUE(decoder_.synchronised());
  EXPECT_EQ(angles(), (std::vector<int>{10, 11, 12}));
  EXPECT_EQ(buffer_.text(), "");
}

TEST_P(EitherDecoderTest, SkipsGroupsStartingWith01WithoutTestingThem) {
  synchronise();
  // The middle group has an even byte 1, which would fail any other group.
  buffer_.appendText(NodeText(10, 1000) + GroupText(0x01, 0x02, 0x00, 0x00, 0x00) +
                     NodeText(11, 1000));
  EXPECT_EQ(angles(), (std::vector<int>{10, 11}));
  EXPECT_EQ(radar_.qualityLabels, (std::vector<int>{10, 11}));
  EXPECT_EQ(radar_.angleTrace, "010 011 ");
}

TEST_F(PlainDecoderTest, ACheckBitFailureEndsThePassAndEmptiesTheBuffer) {
  synchronise();
  buffer_.appendText(NodeText(10, 1000) + GroupText(0xBE, 0x02, 0x00, 0x00, 0x00) +
                     NodeText(12, 1000) + "3E 0");
  EXPECT_EQ(angles(), (std::vector<int>{10}));
  EXPECT_EQ(buffer_.text(), "");
  EXPECT_EQ(radar_.angleTrace, "010 ");
  EXPECT_TRUE(decoder_.synchronised());
  // The next append is taken to start on a node.
  buffer_.appendText(NodeText(13, 1000));
  EXPECT_EQ(angles(), (std::vector<int>{10, 13}));
}

// A stream of nodes at angles from..to-1, a little past the whole degrees as real ones are.
std::string Sweep(int from, int to) {
  std::string text;
  for (int angle = from; angle < to; ++angle)
    text += NodeText(angle + 0.3, 1000);
  return text;
}

TEST_F(DecoderTest, ANodeIsBlamedForABadGroupUpToThreeGroupsAfterIt) {
  synchronise();
  // A start-bit pair of 00 or 11 is as bad as a clear check bit.
  buffer_.appendText(Sweep(10, 13) + GroupText(0xBF, 0x01, 0x00, 0x00, 0x00) + Sweep(14, 18));
  EXPECT_EQ(angles(), (std::vector<int>{14, 15, 16, 17}));
  EXPECT_EQ(buffer_.text(), "");
  EXPECT_TRUE(decoder_.synchronised());
  EXPECT_FALSE(decoder_.realigning());
}

TEST_F(DecoderTest, OnlyANodeNearTheScannersAngle0MayStartATurn) {
  synchronise();
  const std::string turnStart = NodeText(0.4, 1000, 47, true);
  const std::string misplacedStart = NodeText(100.3, 1000, 47, true);
  buffer_.appendText(Sweep(357, 360) + turnStart + Sweep(1, 4));
  EXPECT_EQ(angles(), (std::vector<int>{357, 358, 359, 0, 1, 2, 3}));
  consumer_.nodes.clear();
  // A group one byte late reads a byte 1 as its byte 0, which often carries the flag.
  buffer_.appendText(Sweep(97, 100) + misplacedStart + Sweep(101, 105));
  EXPECT_EQ(angles(), (std::vector<int>{101, 102, 103, 104}));
}

TEST_F(DecoderTest, AfterALostByteTheNodesBehindItAreDecodedInTheSamePass) {
  synchronise();
  std::string stream = Sweep(10, 20);
  stream.erase(3 * 15 + 6, 3);  // byte 2 of the node at 13
  buffer_.appendText(stream);
  // 11 and 12 stand within three groups of the damage; 10 does not.
  EXPECT_EQ(angles(), (std::vector<int>{10, 14, 15, 16, 17, 18, 19}));
  EXPECT_EQ(buffer_.text(), "");
  EXPECT_EQ(decoder_.decodedNodes(), 7u);
}

TEST_F(EarlierRealignmentTest, DropsThePassAfterAFailure) {
  synchronise();
  buffer_.appendText(NodeText(10, 1000) + NodeText(11, 1000) + NodeText(12, 1000) +
                     GroupText(0xBE, 0x02, 0x00, 0x00, 0x00) + NodeText(14, 1000) +
                     NodeText(15, 1000) + NodeText(16, 1000));
  // Two groups of blame: 10 is decoded; everything after the failure goes.
  EXPECT_EQ(angles(), (std::vector<int>{10}));
  EXPECT_EQ(buffer_.text(), "");
  EXPECT_TRUE(decoder_.realigning());
}

TEST_F(DecoderTest, ANodeWithoutFollowingTextIsDecodedAsItIs) {
  synchronise();
  buffer_.appendText(NodeText(10, 1000) + "BE 0");  // fewer than two bytes of the next group
  EXPECT_EQ(angles(), (std::vector<int>{10}));
  EXPECT_EQ(buffer_.text(), "BE 0");
}

TEST_F(DecoderTest, AfterAFailureDecodingResumesWhereThreeGroupsLineUp) {
  synchronise();
  buffer_.appendText(GroupText(0xBE, 0x02, 0x00, 0x00, 0x00));
  ASSERT_TRUE(decoder_.realigning());

  // The next block starts two bytes into a node.
  const std::string stream =
      NodeText(30, 1000) + NodeText(31, 1000) + NodeText(32, 1000) + NodeText(33, 1000);
  const std::string waiting = buffer_.text() + stream.substr(6, 30);
  buffer_.appendText(stream.substr(6, 30));  // not yet three groups: wait
  EXPECT_TRUE(consumer_.nodes.empty());
  EXPECT_EQ(buffer_.text(), waiting);
  buffer_.appendText(stream.substr(36));
  EXPECT_FALSE(decoder_.realigning());
  EXPECT_EQ(angles(), (std::vector<int>{31, 32, 33}));
  EXPECT_EQ(buffer_.text(), "");
}

TEST_F(DecoderTest, RealigningPassesOverTextThatNeverLinesUp) {
  synchronise();
  buffer_.appendText(GroupText(0xBE, 0x02, 0x00, 0x00, 0x00));
  std::string garbage;
  for (int i = 0; i < 40; ++i)
    garbage += "FF ";
  buffer_.appendText(garbage);
  EXPECT_LT(buffer_.text().size(), 45u);  // what was ruled out is gone
  buffer_.appendText(NodeText(40, 1000) + NodeText(41, 1000) + NodeText(42, 1000));
  EXPECT_EQ(angles(), (std::vector<int>{40, 41, 42}));
}

TEST_F(DecoderTest, RoundsAnglesAndQualitiesWithTiesToEven) {
  synchronise();
  buffer_.appendText(GroupText(0xBE, 0x7F, 0x00, 0x10, 0x27) +
                     GroupText(0xBD, 0x7D, 0x00, 0x10, 0x27) +
                     GroupText(0xBE, 0x7F, 0x00, 0x10, 0x27));
  ASSERT_EQ(consumer_.nodes.size(), 3u);
  EXPECT_EQ(consumer_.nodes[0], (ScanNode{1, 48, 2500}));
  EXPECT_EQ(consumer_.nodes[1], (ScanNode{0, 47, 2500}));
}

TEST_F(DecoderTest, CorrectsAnglesByTheAngleCorrection) {
  synchronise();
  const auto corrected = [&](const char* correction, int angle) {
    correction_.setText(correction);
    consumer_.nodes.clear();
    buffer_.appendText(NodeText(angle, 1000) + NodeText(angle, 1000));
    return consumer_.nodes.at(0).angle;
  };
  EXPECT_EQ(corrected("0.5", 10), 10);
  EXPECT_EQ(corrected("0.5", 11), 12);
  EXPECT_EQ(corrected("-10", 5), 355);
  EXPECT_EQ(corrected("370", 5), 15);
  EXPECT_EQ(corrected("-730.5", 5), 354);  // whole turns aside, 354.5 ties to the even 354
  EXPECT_EQ(corrected("1E300", 5), (5 + static_cast<int>(std::fmod(1e300, 360.0))) % 360);
  EXPECT_EQ(corrected("1E999", 5), 5);  // no finite correction: none
}

TEST_F(DecoderTest, CountsAHalfTurnWhenTheSweepCrosses180AndAgainAt0) {
  synchronise();
  buffer_.appendText(NodeText(178, 1000) + NodeText(179, 1000) + NodeText(180, 1000) +
                     NodeText(181, 1000) + NodeText(182, 1000));
  EXPECT_EQ(radar_.halfTurns, 1);
  EXPECT_EQ(radar_.angleTrace, "180 181 182 ");
  EXPECT_EQ(decoder_.revolutionCount(), 0.5);
  EXPECT_EQ(revolutions_.tag(), "0.5");
  buffer_.appendText(NodeText(359, 1000) + NodeText(0, 1000) + NodeText(1, 1000));
  EXPECT_EQ(radar_.halfTurns, 2);
  EXPECT_EQ(decoder_.revolutionCount(), 1);
  EXPECT_EQ(decoder_.lastHalf(), 0);
}

TEST_F(DecoderTest, TheFirstNodeAt180OrMoreIsAHalfTurn) {
  synchronise();
  buffer_.appendText(NodeText(200, 1000) + NodeText(201, 1000));
  EXPECT_EQ(radar_.halfTurns, 1);
  EXPECT_EQ(decoder_.lastHalf(), 1);
}

TEST_F(DecoderTest, ANoReturnNodeIsConsumedButIsNoMeasurement) {
  synchronise();
  buffer_.appendText(NodeText(10, 1000) + NodeText(11, 0, 15) + NodeText(12, 1000) + "3E");
  EXPECT_EQ(angles(), (std::vector<int>{10, 12}));
  EXPECT_EQ(radar_.qualityLabels, (std::vector<int>{10, 12}));
  EXPECT_EQ(radar_.angleTrace, "010 012 ");
  EXPECT_EQ(decoder_.decodedNodes(), 3u);
  EXPECT_EQ(decoder_.noReturnNodes(), 1u);
  EXPECT_EQ(buffer_.text(), "3E");
}

// Turns of a sweep one node per degree from angle 0; every third node finds nothing and is
// reported up to 9 degrees away from where the sweep stands, as real scanners do.
std::string SweepWithNoReturns(int turns, bool measuredNodes) {
  std::mt19937 random(3);
  std::uniform_real_distribution<double> wander(-9, 9);
  std::string text;
  for (int step = 0; step < turns * 360; ++step) {
    const double angle = step % 360 + 0.3;
    if (step % 3 == 0 || !measuredNodes)
      text += NodeText(std::fmod(angle + wander(random) + 360, 360), 0, 15);
    else
      text += NodeText(angle, 1000);
  }
  return text;
}

TEST_F(DecoderTest, HalfTurnsComeFromMeasuredNodesNotFromWanderingNoReturnNodes) {
  synchronise();
  buffer_.appendText(SweepWithNoReturns(3, true));
  // Three turns from 0: crossings at 180, 0, 180, 0, 180.
  EXPECT_EQ(radar_.halfTurns, 5);
  EXPECT_EQ(decoder_.noReturnNodes(), 360u);
}

TEST_F(DecoderTest, AScannerThatMeasuresNothingStillCountsItsTurns) {
  synchronise();
  buffer_.appendText(SweepWithNoReturns(3, false));
  EXPECT_EQ(radar_.halfTurns, 5);
  EXPECT_EQ(decoder_.revolutionCount(), 2.5);
  EXPECT_TRUE(consumer_.nodes.empty());
}

TEST_F(DecoderTest, WhileProcessingIsOffTheBufferGrowsUpToItsBound) {
  synchronise();
  buffer_.appendText(NodeText(10, 1000) + "BE");
  const std::string caption = length_.caption();
  (void)processing_.setValue(CheckBox::kCleared);
  buffer_.appendText(NodeText(11, 1000) + NodeText(12, 1000));
  EXPECT_EQ(angles(), (std::vector<int>{10}));
  EXPECT_EQ(length_.caption(), caption);
  EXPECT_EQ(buffer_.text().size(), 2u + 30u);

  const std::string block(30000, 'A');
  for (int i = 0; i < 10; ++i)
    buffer_.appendText(block);
  EXPECT_EQ(buffer_.text().size(), ScanStreamDecoder::kMaxBufferChars);
}

TEST_F(DecoderTest, EmptyingTheBufferIsAPassOverNothing) {
  synchronise();
  buffer_.appendText("3E 03");
  buffer_.setText("");
  EXPECT_EQ(length_.caption(), "数据长度：0");
  EXPECT_TRUE(consumer_.nodes.empty());
}

TEST_F(DecoderTest, AnUnsynchronisedBufferOfExactly65535CharactersIsEmptied) {
  const auto lengthAfterAppendingTo = [&](std::size_t length) {
    buffer_.setText("");
    buffer_.appendText(std::string(length, '7'));
    return buffer_.text().size();
  };
  EXPECT_EQ(lengthAfterAppendingTo(65535), 0u);
  EXPECT_EQ(lengthAfterAppendingTo(65532), 65532u);
  EXPECT_EQ(lengthAfterAppendingTo(65538), 65538u);
  EXPECT_EQ(lengthAfterAppendingTo(ScanStreamDecoder::kMaxBufferChars + 10),
            ScanStreamDecoder::kMaxBufferChars);
}

TEST_F(DecoderTest, ResetDropsTheBufferAndTheSynchronisation) {
  synchronise();
  buffer_.appendText("3E 03");
  decoder_.resetSynchronisation();
  EXPECT_FALSE(decoder_.synchronised());
  EXPECT_EQ(buffer_.text(), "");
  buffer_.appendText(NodeText(10, 1000) + NodeText(11, 1000));
  EXPECT_TRUE(consumer_.nodes.empty());
}

TEST_P(EitherDecoderTest, AnyTextIsSurvived) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> length(0, 400);
  std::uniform_int_distribution<int> character(0, 255);
  const std::string alphabet = "0123456789ABCDEF 01\t\n,&H-";
  for (int block = 0; block < 2000; ++block) {
    std::string text(static_cast<std::size_t>(length(random)), ' ');
    for (char& c : text) {
      const int pick = character(random);
      c = pick < 200 ? alphabet[static_cast<std::size_t>(pick) % alphabet.size()]
                     : static_cast<char>(pick);
    }
    if (block % 50 == 0)
      text += DescriptorText();
    buffer_.appendText(text);
    ASSERT_LE(buffer_.text().size(), ScanStreamDecoder::kMaxBufferChars);
  }
  for (const ScanNode& node : consumer_.nodes) {
    EXPECT_GE(node.angle, 0);
    EXPECT_LT(node.angle, 360);
    EXPECT_LE(node.quality, 64);
  }
}

INSTANTIATE_TEST_SUITE_P(BothRecoveries, EitherDecoderTest,
                         ::testing::Values(ScanStreamDecoder::Recovery::realign,
                                           ScanStreamDecoder::Recovery::restartAtNextAppend),
                         [](const ::testing::TestParamInfo<ScanStreamDecoder::Recovery>& way) {
                           return RecoveryName(way.param);
                         });

}  // namespace
}  // namespace scantouch
