#include "decoding/scan_stream_decoder.h"

#include <gtest/gtest.h>

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
  }
  std::vector<ScanNode> nodes;
  std::int16_t lastSensitivity = -1;
};

class DecoderTest : public ::testing::Test {
 protected:
  DecoderTest() {
    (void)processing_.setValue(CheckBox::kChecked);
    sensitivity_.setText("2");
    correction_.setText("0");
    decoder_.passed.connect([this] { ++passes_; });
  }

  TextBox sensitivity_{"TXT灵敏度"};
  TextBox correction_{"txt角度校正"};
  CheckBox processing_{"CHK处理", "处理"};
  Label length_{"Label2"};
  testing::RecordingRadarView radar_;
  CollectingConsumer consumer_;
  ScanStreamDecoder decoder_{DecoderControls{sensitivity_, correction_, processing_, length_},
                             radar_, consumer_};
  int passes_ = 0;
};

TEST_F(DecoderTest, APassDecodesWithTheWindowsSettingsAndShowsWhatStaysAsHexTextLength) {
  sensitivity_.setText("5");
  correction_.setText("-1E999");  // no finite correction: none
  decoder_.feed(kDescriptor);
  decoder_.feed(Bytes{0x3E, 0x03, 0x2D, 0x10, 0x27, 0x3E, 0x03});
  ASSERT_EQ(consumer_.nodes.size(), 1u);
  EXPECT_EQ(consumer_.nodes[0], (ScanNode{90, 16, 2500}));
  EXPECT_EQ(consumer_.lastSensitivity, 5);
  EXPECT_EQ(radar_.angleTrace, "090 ");
  // Two bytes stay: "3E 03 " as the receive box has always measured them.
  EXPECT_EQ(length_.caption(), "数据长度：6");
  EXPECT_EQ(passes_, 2);

  correction_.setText("370");  // whole turns aside, 10 degrees
  consumer_.nodes.clear();
  decoder_.feed(Bytes{0x2D, 0x10, 0x27});
  EXPECT_EQ(consumer_.nodes.at(0).angle, 100);
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
