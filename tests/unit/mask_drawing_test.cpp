#include "app/mask_drawing.h"

#include <gtest/gtest.h>

#include "program_fixture.h"

namespace scantouch {
namespace {

class MaskDrawingTest : public ::testing::Test {
 protected:
  BeamTable beams_;
  Shape scanner_{"Shape1"};
  OptionArray mode_{"OPT曲线模式", {"轮廓线", "放射线", "单点"}};
  PictureBox picture_{"PICYL"};
  RadarModel radar_{beams_, scanner_, mode_, picture_};
  CheckBox box_{"CHK画屏蔽区", "在雷达图上拖出屏蔽区"};
  TextBox masks_{"TXT屏蔽区域"};
  MaskDrawing drawing_{box_, masks_, radar_};
};

TEST_F(MaskDrawingTest, ADragWithTheBoxTickedIsAddedToTheMasksAndNothingElseIs) {
  EXPECT_FALSE(drawing_.press(100, 100));  // the view does what it did before
  drawing_.release(900, 700);
  EXPECT_EQ(masks_.text(), "");

  masks_.setText("1,2,300,400; ");
  ASSERT_EQ(box_.setValue(CheckBox::kChecked), ToolkitResult::ok);
  ASSERT_TRUE(drawing_.press(900.4, 700));
  drawing_.move(500, 300);
  EXPECT_EQ(radar_.stillShapes().dragged, (std::array<float, 4>{500, 300, 900.4f, 700}));
  drawing_.release(100, 100.6);
  EXPECT_FALSE(radar_.stillShapes().dragged);
  EXPECT_EQ(masks_.text(), "1,2,300,400;100,101,900,700");

  ASSERT_TRUE(drawing_.press(100, 100));  // a click
  drawing_.release(110, 500);
  EXPECT_EQ(masks_.text(), "1,2,300,400;100,101,900,700");
}

TEST_F(MaskDrawingTest, ADragCutShortAddsNothing) {
  ASSERT_EQ(box_.setValue(CheckBox::kChecked), ToolkitResult::ok);
  ASSERT_TRUE(drawing_.press(100, 100));
  drawing_.move(500, 500);
  drawing_.cancel();  // the view lost the pointer
  EXPECT_FALSE(drawing_.dragging());
  EXPECT_FALSE(radar_.stillShapes().dragged);
  drawing_.release(500, 500);
  EXPECT_EQ(masks_.text(), "");

  ASSERT_TRUE(drawing_.press(100, 100));
  drawing_.move(500, 500);
  ASSERT_EQ(box_.setValue(CheckBox::kCleared), ToolkitResult::ok);  // cleared mid-drag
  EXPECT_FALSE(radar_.stillShapes().dragged);
  drawing_.release(500, 500);
  EXPECT_EQ(masks_.text(), "");
}

// In the whole program the dragged mask is stored and in force as if typed, and drawn.
class MaskInTheProgramTest : public testing::ProgramFixture {
 protected:
  MaskInTheProgramTest() { program_.lifecycle().startUp(); }
};

TEST_F(MaskInTheProgramTest, ADraggedMaskTakesEffectAsIfTyped) {
  form().TXT屏蔽区域.setText("10,10,20,20; ");
  ASSERT_EQ(form().CHK画屏蔽区.setValue(CheckBox::kChecked), ToolkitResult::ok);
  ASSERT_TRUE(form().maskDrawing().press(6000, 3000));
  form().maskDrawing().release(5000, 4000);
  EXPECT_EQ(form().TXT屏蔽区域.text(), "10,10,20,20;5000,3000,6000,4000");
  EXPECT_EQ(form().engine().settings().masks.size(), 2u);
  EXPECT_EQ(form().radar().stillShapes().masks.size(), 2u);
}

}  // namespace
}  // namespace scantouch
