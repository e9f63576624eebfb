#include "single_touch/touch_mapper.h"

#include <gtest/gtest.h>

#include "recording_desktop_input.h"

namespace scantouch {
namespace {

using Action = testing::RecordingDesktopInput::Action;

class TouchMapperTest : public ::testing::Test {
 protected:
  TouchMapperTest() {
    (void)rect_.setWidth(1000);
    (void)rect_.setHeight(500);
    mapper_.configure(screen_);
    (void)move_.setValue(CheckBox::kChecked);
    (void)click_.setValue(CheckBox::kChecked);
    touch_.changed.connect([this] { mapper_.mapTouchToScreen(); });
  }

  TextBox touch_{"TXT当前处理数据"};
  Shape rect_{"SHPWIN"};
  CheckBox move_{"CHK鼠标移动", "鼠标移动"};
  CheckBox click_{"CHK鼠标点击", "鼠标点击"};
  TextBox mapped_{"txt校正后数据"};
  testing::RecordingDesktopInput desktop_;
  TouchMapper mapper_{MappingControls{touch_, rect_, move_, click_, mapped_}, desktop_};
  ScreenArea screen_{{1920, 1080}, {0, 0}};

  void setScreenSize(IntPair size) {
    screen_.size = size;
    mapper_.configure(screen_);
  }
  void setScreenTopLeft(IntPair topLeft) {
    screen_.topLeft = topLeft;
    mapper_.configure(screen_);
  }
};

TEST_F(TouchMapperTest, ScalesTheTouchToTheScreenAreaMovesAndClicks) {
  touch_.setText("0500,0250");
  EXPECT_EQ(mapped_.text(), "0960,0540");
  EXPECT_EQ(desktop_.actions, (std::vector<Action>{{Action::Kind::move, {960, 540}},
                                                   {Action::Kind::click, {960, 540}}}));
}

TEST_F(TouchMapperTest, AddsTheAreasOwnCornerSplitAtItsOwnComma) {
  setScreenTopLeft({1920, 0});
  touch_.setText("0500,0250");
  EXPECT_EQ(mapped_.text(), "2880,0540");
  setScreenTopLeft({0, 100});
  touch_.setText("0500,0251");
  EXPECT_EQ(desktop_.clicks().back(), (ScreenPoint{960, 642}));  // 542.16 -> 542, +100
}

TEST_F(TouchMapperTest, ClampsToTheAreaBeforeTheOffset) {
  setScreenTopLeft({-1920, 10});
  touch_.setText("2000,-0050");
  EXPECT_EQ(mapped_.text(), "0000,0010");
  EXPECT_EQ(desktop_.clicks().back(), (ScreenPoint{0, 10}));
}

TEST_F(TouchMapperTest, RoundsExactHalvesToEven) {
  setScreenSize({5, 7});
  (void)rect_.setWidth(2);
  (void)rect_.setHeight(2);
  touch_.setText("0001,0001");  // 2.5 and 3.5
  EXPECT_EQ(mapped_.text(), "0002,0004");
}

TEST_F(TouchMapperTest, ReadsFiveDigitOffsetsWhole) {
  (void)rect_.setWidth(12000);
  (void)rect_.setHeight(12000);
  touch_.setText("10234,0567");
  EXPECT_EQ(mapped_.text(), "1637,0051");  // 1920 * 10234 / 12000 = 1637.4
}

TEST_F(TouchMapperTest, OnlyACheckedBoxActsAndGreyCountsAsOff) {
  (void)move_.setValue(CheckBox::kCleared);
  touch_.setText("0500,0250");
  EXPECT_EQ(mapped_.text(), "0960,0540");
  EXPECT_EQ(desktop_.actions, (std::vector<Action>{{Action::Kind::click, {0, 0}}}));
  (void)move_.setValue(CheckBox::kGreyed);
  (void)click_.setValue(CheckBox::kGreyed);
  touch_.setText("0501,0250");
  EXPECT_EQ(desktop_.actions.size(), 1u);
}

TEST_F(TouchMapperTest, TheSameTouchPublishedTwiceIsMappedOnce) {
  touch_.setText("0500,0250");
  touch_.setText("0500,0250");
  EXPECT_EQ(desktop_.clicks().size(), 1u);
  touch_.setText("0501,0250");
  EXPECT_EQ(desktop_.clicks().size(), 2u);
}

TEST_F(TouchMapperTest, FailedStepsLeaveZeroAndTheOffset) {
  (void)rect_.setWidth(0);
  setScreenTopLeft({100, 200});
  touch_.setText("0500,0250");
  EXPECT_EQ(mapped_.text(), "0100,0740");

  (void)rect_.setWidth(1000);
  setScreenSize({2000000000, 1080});  // the product leaves 32 bits
  setScreenTopLeft({2147483000, 0});
  touch_.setText("0500,0251");
  EXPECT_EQ(mapped_.text(), "2147483000,0542");
  setScreenTopLeft({2147483647, 0});
  setScreenSize({100, 1080});
  touch_.setText("0500,0252");
  EXPECT_EQ(mapped_.text(), "0050,0544");  // 50 + 2147483647 does not fit: skipped
}

}  // namespace
}  // namespace scantouch
