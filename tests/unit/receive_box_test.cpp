#include "app/receive_box.h"

#include <gtest/gtest.h>

#include <vector>

#include "recording_radar_view.h"
#include "toolkit/virtual_event_loop.h"

namespace scantouch {
namespace {

using Bytes = std::vector<std::uint8_t>;

class NoNodes final : public ScanNodeConsumer {
 public:
  void processScanNode(const ScanNode&, std::int16_t) override {}
};

class ReceiveBoxTest : public ::testing::Test {
 protected:
  ReceiveBoxTest() {
    (void)processing_.setValue(CheckBox::kChecked);
    box_.changed.connect([this] { ++writes_; });
  }

  VirtualEventLoop loop_;
  CheckBox processing_{"CHK处理", "处理"};
  Label length_{"Label2"};
  testing::RecordingRadarView radar_;
  NoNodes nodes_;
  ScanStreamDecoder decoder_{DecoderControls{processing_, length_}, radar_, nodes_};
  TextBox box_{"TXTRX"};
  Window window_{"Form1", "caption"};
  ReceiveBox receiveBox_{box_, window_, decoder_, loop_};
  int writes_ = 0;
};

TEST_F(ReceiveBoxTest, ShowsThePendingBytesAtMostTenTimesASecondAndOnlyAfterAPass) {
  decoder_.feed(Bytes{0x00, 0x0F});
  decoder_.feed(Bytes{0xFF});
  EXPECT_EQ(box_.text(), "");
  loop_.advance(100);
  EXPECT_EQ(box_.text(), "00 0F FF ");
  EXPECT_EQ(writes_, 1);
  loop_.advance(1000);  // nothing new: nothing written
  EXPECT_EQ(writes_, 1);

  // Only the newest bytes the window can show.
  decoder_.feed(Bytes(2000, 0x41));
  loop_.advance(100);
  EXPECT_EQ(box_.text().size(), 3 * ReceiveBox::kShownBytes);
}

TEST_F(ReceiveBoxTest, AHiddenWindowGetsNoTextUntilItIsShownAndEmptyingShowsAtOnce) {
  window_.hide();
  decoder_.feed(Bytes{0xA5});
  loop_.advance(1000);
  EXPECT_EQ(writes_, 0);
  window_.show();
  loop_.advance(100);
  EXPECT_EQ(box_.text(), "A5 ");

  decoder_.resetSynchronisation();
  EXPECT_EQ(box_.text(), "");
}

}  // namespace
}  // namespace scantouch
