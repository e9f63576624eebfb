#include "app/mask_drawing.h"

#include <gtest/gtest.h>

#include "program_fixture.h"

namespace scantouch {
namespace {

class MaskDrawingTest : public testing::ProgramFixture {
 protected:
  MaskDrawingTest() { program_.lifecycle().startUp(); }
  MaskDrawing& drawing() { return form().maskDrawing(); }
};

TEST_F(MaskDrawingTest, ADragWhileTheBoxIsTickedAddsAMaskThatTakesEffect) {
  // Not ticked: the view keeps the pointer.
  EXPECT_FALSE(drawing().press(100, 100));
  drawing().release(900, 900);
  EXPECT_EQ(form().TXT屏蔽区域.text(), "");

  form().TXT屏蔽区域.setText("10,10,20,20; ");
  ASSERT_EQ(form().CHK画屏蔽区.setValue(CheckBox::kChecked), ToolkitResult::ok);
  ASSERT_TRUE(drawing().press(6000.4, 3000));
  drawing().move(5000, 4000);
  ASSERT_TRUE(form().radar().stillShapes().dragged);
  EXPECT_EQ(*form().radar().stillShapes().dragged,
            (std::array<float, 4>{5000, 3000, 6000.4f, 4000}));
  drawing().release(5000, 4000.6);
  EXPECT_FALSE(form().radar().stillShapes().dragged);
  EXPECT_EQ(form().TXT屏蔽区域.text(), "10,10,20,20;5000,3000,6000,4001");
  // Stored and in force as if typed, and drawn.
  EXPECT_EQ(form().engine().settings().masks.size(), 2u);
  EXPECT_EQ(form().radar().stillShapes().masks.size(), 2u);

  // A click is no mask.
  ASSERT_TRUE(drawing().press(7000, 7000));
  drawing().release(7005, 7100);
  EXPECT_EQ(form().TXT屏蔽区域.text(), "10,10,20,20;5000,3000,6000,4001");
}

}  // namespace
}  // namespace scantouch
