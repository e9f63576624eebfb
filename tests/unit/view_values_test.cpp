#include "app/view_values.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "main_form_on_fakes.h"

namespace scantouch {
namespace {

TEST(ReadScreenAreaTest, ReadsEachBoxAsAPairAndAnUnreadableOneAsNothing) {
  TextBox size{"TXT屏幕宽高"};
  TextBox topLeft{"TXT屏幕左上角"};
  size.setText("1920,1080");
  topLeft.setText("-1920,10");
  EXPECT_EQ(ReadScreenArea(size, topLeft), (ScreenArea{{1920, 1080}, {-1920, 10}}));
  // Without a comma the number is the second value, a height.
  size.setText("1920");
  EXPECT_EQ(ReadScreenArea(size, topLeft).size, (IntPair{0, 1920}));
  // A side beyond 32 bits makes the whole box nothing; the other box is read as it is.
  size.setText("2147483648,1080");
  EXPECT_EQ(ReadScreenArea(size, topLeft), (ScreenArea{{0, 0}, {-1920, 10}}));
}

class PublishedViewValuesTest : public ::testing::Test {
 protected:
  MainForm& form() { return fakes_.form; }
  ScreenArea boxes() { return ReadScreenArea(form().TXT屏幕宽高, form().TXT屏幕左上角); }
  ViewShapes shapes() { return {ReadViewRect(form().Shape1), ReadViewRect(form().SHPWIN)}; }

  testing::MainFormOnFakes fakes_;
};

TEST_F(PublishedViewValuesTest, TheEngineAndTheMappingHoldWhatTheControlsHoldAtEveryChange) {
  EXPECT_EQ(form().engine().screenArea(), boxes());
  EXPECT_EQ(form().mapper().screenArea(), boxes());
  EXPECT_EQ(form().engine().shapes(), shapes());

  // Whoever listens to the controls later, the settings' write-back included, meets both parts
  // holding the new values already.
  std::vector<bool> agreed;
  const auto check = [&] {
    agreed.push_back(form().engine().screenArea() == boxes() &&
                     form().mapper().screenArea() == boxes() &&
                     form().engine().shapes() == shapes());
  };
  form().TXT屏幕宽高.changed.connect(check);
  form().TXT屏幕左上角.changed.connect(check);
  form().Shape1.geometryChanged.connect(check);
  form().SHPWIN.geometryChanged.connect(check);
  fakes_.settings.files.files[fakes_.settings.file.path()] =
      "[曲线模式]\r\n曲线模式=0\r\n[面积设置]\r\n面积设置=0\r\n[串口设置]\r\n端口=3\r\n"
      "[参数设置]\r\n雷达位置=7500,7500\r\n标定左上角=5000,2000\r\n标定右下角=5000,3000\r\n"
      "屏幕宽高=1920,1080\r\n屏幕左上角=100,-20\r\n灵敏度=2\r\n角度校正=90\r\n";
  form().load();
  EXPECT_EQ(form().engine().shapes().touchRect.width, 5000);
  EXPECT_EQ(form().engine().shapes().scannerMarker.centreX(), 7500);
  form().TXT屏幕宽高.setText("1280");
  form().SHPWIN.setLeft(4000);
  ASSERT_GE(agreed.size(), 7u);
  EXPECT_EQ(std::count(agreed.begin(), agreed.end(), false), 0);
  EXPECT_EQ(form().mapper().screenArea(), (ScreenArea{{0, 1280}, {100, -20}}));
  EXPECT_EQ(form().engine().shapes().touchRect.left, 4000);
}

TEST_F(PublishedViewValuesTest, ATypedTouchMapsToTheScreenAreaAsTheBoxesHoldIt) {
  examples::CalibrateLikeTheExamples(form());
  form().TXT屏幕宽高.setText("1920");  // only a height
  form().TXT当前处理数据.setText("2500,1500");
  EXPECT_EQ(form().txt校正后数据.text(), "0000,0960");
  form().TXT屏幕宽高.setText("1920,1080");
  form().TXT屏幕左上角.setText("1920,0");
  form().TXT当前处理数据.setText("2500,1501");
  EXPECT_EQ(form().txt校正后数据.text(), "2880,0540");
}

}  // namespace
}  // namespace scantouch
