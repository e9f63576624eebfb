#include "decoding/scan_stream_decoder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "recording_radar_view.h"
#include "scan_text.h"

namespace scantouch {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kDescriptor{0xA5, 0x5A, 0x05, 0x00, 0x00, 0x40, 0x81};
const Bytes kNodeAt90{0x3E, 0x03, 0x2D, 0x10, 0x27};  // 90 degrees, quality 16, 2500 mm

class CollectingConsumer final : public ScanNodeConsumer {
 public:
  void processScanNode(const ScanNode& node, std::int16_t sensitivity) override {
    nodes.push_back(node);
    lastSensitivity = sensitivity;
    sensitivities.push_back(sensitivity);
    if (nodes.size() == 1 && atFirstNode)
      atFirstNode();
  }
  std::vector<ScanNode> nodes;
  std::int16_t lastSensitivity = -1;
  std::vector<std::int16_t> sensitivities;
  // Runs at the first node handed on, as a handler that changes the window's settings would.
  std::function<void()> atFirstNode;
};

class DecoderTest : public ::testing::Test {
 protected:
  DecoderTest() {
    (void)processing_.setValue(CheckBox::kChecked);
    decoder_.configure(DecoderSettings{2, 0.0});
    decoder_.passed.connect([this] { ++passes_; });
  }

  CheckBox processing_{"CHK处理", "处理"};
  Label length_{"Label2"};
  testing::RecordingRadarView radar_;
  CollectingConsumer consumer_;
  ScanStreamDecoder decoder_{DecoderControls{processing_, length_}, radar_, consumer_};
  int passes_ = 0;
};

TEST_F(DecoderTest, APassDecodesWithTheSettingsGivenAndShowsWhatStaysAsHexTextLength) {
  decoder_.configure(DecoderSettings{5, 0.0});
  EXPECT_EQ(decoder_.sensitivity(), 5);
  decoder_.feed(kDescriptor);
  decoder_.feed(Bytes{0x3E, 0x03, 0x2D, 0x10, 0x27, 0x3E, 0x03});
  ASSERT_EQ(consumer_.nodes.size(), 1u);
  EXPECT_EQ(consumer_.nodes[0], (ScanNode{90, 16, 2500}));
  EXPECT_EQ(consumer_.lastSensitivity, 5);
  EXPECT_EQ(radar_.angleTrace, "090 ");
  // Two bytes stay: "3E 03 " as the receive box has always measured them.
  EXPECT_EQ(length_.caption(), "数据长度：6");
  EXPECT_EQ(passes_, 2);

  decoder_.configure(DecoderSettings{5, 10.0});
  consumer_.nodes.clear();
  decoder_.feed(Bytes{0x2D, 0x10, 0x27});
  EXPECT_EQ(consumer_.nodes.at(0).angle, 100);
}

TEST_F(DecoderTest, SettingsGivenWhileAPassRunsHoldFromTheNextPass) {
  decoder_.configure(DecoderSettings{5, 0.0});
  consumer_.atFirstNode = [this] { decoder_.configure(DecoderSettings{9, 10.0}); };
  decoder_.feed(kDescriptor);
  Bytes twoNodes = kNodeAt90;
  twoNodes.insert(twoNodes.end(), kNodeAt90.begin(), kNodeAt90.end());
  decoder_.feed(twoNodes);
  EXPECT_EQ(consumer_.sensitivities, (std::vector<std::int16_t>{5, 5}));
  EXPECT_EQ(consumer_.nodes.at(1).angle, 90);
  // The scanners further on take the gate in force at once.
  EXPECT_EQ(decoder_.sensitivity(), 9);
  decoder_.feed(kNodeAt90);
  EXPECT_EQ(consumer_.sensitivities.back(), 9);
  EXPECT_EQ(consumer_.nodes.back().angle, 100);
}

TEST_F(DecoderTest, WhileProcessingIsOffBytesAreKeptAndTheLengthShownStays) {
  decoder_.feed(kDescriptor);
  decoder_.feed(Bytes{0x3E, 0x03});
  const std::string caption = length_.caption();
  (void)processing_.setValue(CheckBox::kCleared);
  decoder_.feed(Bytes{0x2D, 0x10, 0x27});
  decoder_.feed(kNodeAt90);
  EXPECT_TRUE(consumer_.nodes.empty());
  EXPECT_EQ(length_.caption(), caption);
  EXPECT_EQ(decoder_.pendingBytes().size(), 10u);
  (void)processing_.setValue(CheckBox::kChecked);
  decoder_.feed({});
  EXPECT_EQ(consumer_.nodes.size(), 2u);
}

TEST_F(DecoderTest, ResetIsAPassOverNothing) {
  decoder_.feed(kDescriptor);
  decoder_.feed(Bytes{0x3E, 0x03});
  decoder_.resetSynchronisation();
  EXPECT_FALSE(decoder_.synchronised());
  EXPECT_EQ(length_.caption(), "数据长度：0");
  EXPECT_TRUE(decoder_.pendingBytes().empty());
  EXPECT_EQ(passes_, 3);
}

TEST_F(DecoderTest, HalfTurnsOfASweepAreCountedInRevolutions) {
  decoder_.feed(kDescriptor);
  // A node every 10 degrees from 5 to 365: past 180 and past 0.
  std::string sweep;
  for (int angle = 5; angle <= 365; angle += 10)
    sweep += testing::NodeText(angle % 360 + 0.25, 1000);
  testing::Feed(decoder_, sweep);
  EXPECT_EQ(decoder_.revolutionCount(), 1.0);
  decoder_.resetRevolutionCount();
  EXPECT_EQ(decoder_.revolutionCount(), 0.0);
  // Nodes that jump about are no sweep, however often they pass 0 and 180.
  std::string jumps;
  for (int node = 0; node < 30; ++node)
    jumps += testing::NodeText(node % 2 == 0 ? 200.25 : 10.25, 1000);
  testing::Feed(decoder_, jumps);
  EXPECT_EQ(decoder_.revolutionCount(), 0.0);
}

}  // namespace
}  // namespace scantouch
