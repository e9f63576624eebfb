#include "config/touch_engine_section.h"

#include <gtest/gtest.h>

#include "app/engine_settings.h"

#include "example_setup.h"
#include "node_stream.h"
#include "program_fixture.h"
#include "recording_log.h"
#include "scan_text.h"

namespace scantouch {
namespace {

constexpr const char* kPath = "/opt/scantouch/系统配置.ini";

class TouchEngineSectionTest : public testing::ProgramFixture {
 protected:
  void startWith(const std::string& file) {
    files_.files[kPath] = file;
    program_.connectLog(log_);
    program_.lifecycle().startUp();
  }

  // Two seconds of a hand held still in the rectangle, through the whole program.
  void holdAHand() {
    examples::CalibrateLikeTheExamples(form());
    testing::Feed(form().decoder(), testing::DescriptorText());
    scanner_sim::Scene scene = examples::HandInTheRectangle();
    scene.objects[0].to.reset();
    scanner_sim::NodeStream nodes(scene, scanner_sim::StreamSettings{});
    for (int block = 0; block < 20; ++block) {
      std::vector<std::uint8_t> bytes;
      nodes.appendSeconds(bytes, 0.1);
      loop_.advance(100);
      form().decoder().feed(bytes);
    }
  }

  int count(testing::RecordingDesktopInput::Action::Kind kind) const {
    int n = 0;
    for (const auto& action : desktop_.actions)
      n += action.kind == kind;
    return n;
  }

  testing::RecordingLog log_;
};

using Kind = testing::RecordingDesktopInput::Action::Kind;

TEST_F(TouchEngineSectionTest, AFileWithoutTheSectionStaysAsItIsAndClicksAsBefore) {
  const std::string earlier = "[串口设置]\r\n端口=7\r\n[参数设置]\r\n雷达位置=7500,7500\r\n";
  startWith(earlier);
  EXPECT_FALSE(form().engine().running());
  EXPECT_EQ(form().TXT出现圈数.text(), "2");
  EXPECT_EQ(form().OPT鼠标模式.selected(), 0);
  EXPECT_EQ(files_.files[kPath].find("触控引擎"), std::string::npos);
  holdAHand();
  EXPECT_GT(count(Kind::click), 5);
  EXPECT_EQ(count(Kind::press), 0);
}

TEST_F(TouchEngineSectionTest, PressDragReleaseTakesTheMouseFromTheClickPerTouch) {
  startWith("[触控引擎]\r\n鼠标模式=1\r\n");
  EXPECT_TRUE(form().engine().running());
  holdAHand();
  EXPECT_EQ(count(Kind::click), 0);
  EXPECT_EQ(count(Kind::press), 1);
  EXPECT_EQ(count(Kind::release), 0);  // the hand is still there
  EXPECT_EQ(form().LBL触控状态.caption(), "触控引擎：运行中，触点 1");
  ASSERT_EQ(form().radar().contacts().size(), 1u);
  EXPECT_EQ(form().radar().contacts()[0].cursorId, 0);
  program_.lifecycle().exitProgram();
  EXPECT_EQ(count(Kind::release), 1);  // never a button left down
}

// A mask over the whole view: the held hand is no contact. A mask that cannot be used is told
// with the key and left out; typed away, the hand is a contact again.
TEST_F(TouchEngineSectionTest, MasksFromTheFileLeaveHitsOutAndBadOnesAreTold) {
  startWith("[触控引擎]\r\n鼠标模式=1\r\n屏蔽区域=0,0,15000,15000;1,2,3;5,5,5,9\r\n");
  EXPECT_TRUE(log_.mentions("[触控引擎] 屏蔽区域"));
  EXPECT_TRUE(log_.mentions("\"1,2,3\" (not four numbers)"));
  EXPECT_TRUE(log_.mentions("\"5,5,5,9\" (zero area)"));
  EXPECT_EQ(form().engine().settings().masks.size(), 1u);
  holdAHand();
  EXPECT_EQ(count(Kind::press), 0);

  form().TXT屏蔽区域.setText("");
  EXPECT_NE(files_.files[kPath].find("屏蔽区域=\r\n"), std::string::npos);
  holdAHand();
  EXPECT_EQ(count(Kind::press), 1);
}

TEST_F(TouchEngineSectionTest, ABadValueIsLoggedWithItsKeyAndItsDefaultUsed) {
  startWith("[触控引擎]\r\n鼠标模式=7\r\n出现圈数=0\r\n分组间距=abc\r\n平滑=0\r\n");
  EXPECT_TRUE(log_.mentions("[触控引擎] 鼠标模式"));
  EXPECT_TRUE(log_.mentions("[触控引擎] 出现圈数"));
  EXPECT_TRUE(log_.mentions("[触控引擎] 分组间距"));
  const TouchEngineSettings settings = EngineSettingsOf(form().engineSection());
  EXPECT_EQ(settings.mouseMode, MouseMode::clickPerTouch);
  EXPECT_EQ(settings.birthTurns, 2);
  EXPECT_EQ(settings.gapMm, 100);
  EXPECT_FALSE(settings.smoothing);  // the good value next to them is kept
  // Nothing was written back: the user's text stays until the user changes it.
  EXPECT_NE(files_.files[kPath].find("出现圈数=0"), std::string::npos);
}

TEST_F(TouchEngineSectionTest, AChangeIsStoredAndTakenAtOnce) {
  startWith("");
  (void)form().OPT鼠标模式.select(1);
  form().TXT消失圈数.setText("5");
  EXPECT_NE(files_.files[kPath].find("[触控引擎]\r\n鼠标模式=1\r\n消失圈数=5"), std::string::npos);
  EXPECT_TRUE(form().engine().running());
  EXPECT_EQ(form().engine().settings().removalTurns, 5);
  // Mode 2 with no other output: nobody needs the engine, and nobody touches the mouse.
  (void)form().OPT鼠标模式.select(2);
  EXPECT_FALSE(form().engine().running());
  holdAHand();
  EXPECT_TRUE(desktop_.actions.empty());
  EXPECT_TRUE(form().radar().contacts().empty());
}

TEST_F(TouchEngineSectionTest, ATypedValueThatCannotBeUsedIsToldOnceAndNotStored) {
  startWith("[触控引擎]\r\n鼠标模式=1\r\n");
  const auto told = [this] {
    int n = 0;
    for (const std::string& line : log_.lines)
      n += line.find("[触控引擎] 出现圈数") != std::string::npos;
    return n;
  };
  // Typed a keystroke at a time: "3", "30", then beyond the range.
  for (const char* text : {"3", "30", "300", "3000"})
    form().TXT出现圈数.setText(text);
  EXPECT_EQ(told(), 1);
  EXPECT_TRUE(log_.mentions("\"300\" typed for"));
  EXPECT_NE(files_.files[kPath].find("出现圈数=30\r\n"), std::string::npos) << files_.files[kPath];
  EXPECT_EQ(form().engine().settings().birthTurns, 30) << "the file's value stays in force";

  // Emptied to type again: the default, as an absent key; a later typing error is told again.
  form().TXT出现圈数.setText("");
  EXPECT_EQ(form().engine().settings().birthTurns, TouchEngineSettings{}.birthTurns);
  form().TXT出现圈数.setText("-");
  EXPECT_EQ(told(), 2);
  EXPECT_NE(files_.files[kPath].find("出现圈数=\r\n"), std::string::npos);
  EXPECT_EQ(form().engine().settings().birthTurns, TouchEngineSettings{}.birthTurns);
}

}  // namespace
}  // namespace scantouch
