// The windows on Qt's offscreen platform: widgets pass edits to the core's controls and show the
// controls' changes.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "common/pair.h"
#include "gui/main_window.h"
#include "gui/radar_widget.h"
#include "program_fixture.h"

namespace scantouch {
namespace {

class GuiTest : public testing::ProgramFixture {
 protected:
  GuiTest() {
    program_.lifecycle().startUp();
    window_.show();
    window_.resize(1200, 760);
    QApplication::processEvents();
  }

  template <typename Widget>
  Widget* widgetShowing(const QString& text) {
    for (Widget* widget : window_.findChildren<Widget*>()) {
      if (widget->text() == text)
        return widget;
    }
    return nullptr;
  }

  gui::FramePacer pacer_;
  gui::MainWindow window_{program_, pacer_};
};

TEST_F(GuiTest, TypingIntoABoxStoresEveryKeystroke) {
  form().TXT屏幕宽高.setText("find me");  // the widget follows the control...
  QLineEdit* screenSize = widgetShowing<QLineEdit>("find me");
  ASSERT_NE(screenSize, nullptr);
  form().TXT屏幕宽高.setText("");
  EXPECT_EQ(screenSize->text(), "");
  const int before = files_.replacements;
  QTest::keyClicks(screenSize, "1024,768");  // ...and the control the widget, a key at a time
  EXPECT_EQ(files_.replacements - before, 8);
  EXPECT_EQ(program_.mainSettings().read("参数设置", "屏幕宽高"), "1024,768");
}

TEST_F(GuiTest, TheSpaceBarInAScreenBoxCapturesInsteadOfTyping) {
  form().TXT屏幕左上角.setText("find me");
  QLineEdit* topLeft = widgetShowing<QLineEdit>("find me");
  ASSERT_NE(topLeft, nullptr);
  desktop_.setCursorPos(1920, 0);
  QTest::keyClick(topLeft, Qt::Key_Space);
  EXPECT_EQ(topLeft->text(), "1920,0");
}

TEST_F(GuiTest, ChoosingARangeRescalesTheRadarView) {
  QRadioButton* eightMetres = widgetShowing<QRadioButton>(QString::fromUtf8("8米"));
  ASSERT_NE(eightMetres, nullptr);
  QTest::mouseClick(eightMetres, Qt::LeftButton, {}, QPoint(8, eightMetres->height() / 2));
  EXPECT_EQ(form().OPT面积设置.selected(), 2);
  EXPECT_EQ(form().PICYL.scaleWidth(), 8000);
  EXPECT_TRUE(eightMetres->isChecked());
  EXPECT_FALSE(widgetShowing<QRadioButton>(QString::fromUtf8("15米"))->isChecked());
}

TEST_F(GuiTest, APressInTheRadarViewCalibratesInViewUnits) {
  ASSERT_EQ(form().OPT标定.select(Calibration::kScanner), ToolkitResult::ok);
  gui::RadarWidget* radar = window_.radar();
  const QPointF centre(radar->width() / 2.0, radar->height() / 2.0);
  const QPointF units = radar->toViewUnits(centre);
  EXPECT_NEAR(units.x(), 7500, 30);
  EXPECT_NEAR(units.y(), 7500, 30);
  QTest::mouseClick(radar, Qt::LeftButton, {}, centre.toPoint());
  const auto position = ParsePair(form().txt雷达位置.text());
  ASSERT_TRUE(position);
  EXPECT_NEAR(position->first, 7500, 30);
  EXPECT_NEAR(position->second, 7500, 30);
}

TEST_F(GuiTest, ClosingTheWindowIsTheProgramsExit) {
  window_.close();
  EXPECT_EQ(processEnds_, 1);
  EXPECT_EQ(channel().TxtTcpTx.list().size(), 2u);  // two stops, waiting for a connection
}

}  // namespace
}  // namespace scantouch

int main(int argc, char** argv) {
  // Offscreen unless told otherwise: these tests need no display, listing them included.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
