// Start-up, tray icon, exit, scan-rate meter, calibration and the cursor self-test, on the whole
// program with fakes and a virtual clock.

#include <gtest/gtest.h>

#include <random>

#include "example_setup.h"
#include "program_fixture.h"
#include "recording_log.h"
#include "scan_text.h"

namespace scantouch {
namespace {

using ProgramShellTest = testing::ProgramFixture;
using Action = testing::RecordingDesktopInput::Action;

TEST_F(ProgramShellTest, StartUpWarnsAboutASecondCopyAndGoesOn) {
  instances_.another = true;
  program_.lifecycle().startUp();
  EXPECT_EQ(dialogs_.told, (std::vector<std::string>{"该程序已经在运行，请不要重复打开。"}));
  EXPECT_TRUE(tray_.shown);
  EXPECT_EQ(tray_.tip, "QivraNubo正在为您服务");
  EXPECT_TRUE(form().Form1.visible());
  EXPECT_EQ(form().Text1.text(), "1");  // the settings were loaded
  EXPECT_EQ(processEnds_, 0);
}

TEST_F(ProgramShellTest, StartUpWarnsThenAddsTheIconThenLoadsThenMeasuresAndNothingRunsBefore) {
  instances_.another = true;
  files_.files["/opt/scantouch/系统配置.ini"] = "[串口设置]\r\n端口=7\r\n";
  std::vector<std::string> order;
  dialogs_.whileTelling = [&] {
    order.push_back(tray_.shown ? "warning after the icon" : "warning");
    loop_.advance(4000);  // the warning waits; time goes on
    EXPECT_EQ(files_.replacements, 0);
    EXPECT_EQ(serialPort().opens, 0);
    EXPECT_EQ(form().List1.count(), 0u);
  };
  form().Text1.changed.connect([&] { order.push_back(tray_.shown ? "load" : "load before icon"); });
  program_.lifecycle().startUp();
  order.push_back("started");
  loop_.advance(1000);
  EXPECT_EQ(form().List1.count(), 1u);  // the meter's first tick asks for a start
  EXPECT_EQ(order, (std::vector<std::string>{"warning", "load", "started"}));
  EXPECT_EQ(serialPort().opened, (std::vector<int>{7}));
  EXPECT_TRUE(files_.files["/opt/scantouch/系统配置.ini"].starts_with("[串口设置]\r\n端口=7\r\n"));
}

class FakeAutostart final : public Autostart {
 public:
  bool enabled() const override { return on; }
  bool setEnabled(bool wanted) override {
    if (refuse)
      return false;
    on = wanted;
    return true;
  }
  bool on = true;
  bool refuse = false;
};

using testing::RecordingLog;

TEST_F(ProgramShellTest, TheRunAtLogInBoxFollowsTheDesktopAndAHeldChangeIsUndone) {
  program_.lifecycle().startUp();
  FakeAutostart autostart;
  RecordingLog log;
  program_.connectLog(log);
  program_.connectAutostart(autostart);
  EXPECT_EQ(form().CHK开机自动运行.value(), CheckBox::kChecked);  // the entry is there
  EXPECT_EQ(program_.mainSettings().read("程序设置", "开机自动运行"), "1");

  ASSERT_EQ(form().CHK开机自动运行.setValue(CheckBox::kCleared), ToolkitResult::ok);
  EXPECT_FALSE(autostart.on);
  EXPECT_EQ(program_.mainSettings().read("程序设置", "开机自动运行"), "0");

  autostart.refuse = true;  // the autostart folder cannot be written
  ASSERT_EQ(form().CHK开机自动运行.setValue(CheckBox::kChecked), ToolkitResult::ok);
  EXPECT_EQ(form().CHK开机自动运行.value(), CheckBox::kCleared);
  EXPECT_EQ(log.lines,
            (std::vector<std::string>{"cannot make the desktop start the program at log-in"}));
}

TEST_F(ProgramShellTest, WithoutANotificationAreaStartUpGoesOn) {
  tray_.available = false;
  program_.lifecycle().startUp();
  EXPECT_TRUE(form().Form1.visible());
}

TEST_F(ProgramShellTest, TheTrayIconOpensTheMenuOrShowsTheWindow) {
  program_.lifecycle().startUp();
  form().CMD隐藏.click();
  EXPECT_FALSE(form().Form1.visible());
  for (const TrayEvent event : {TrayEvent::leftButtonUp, TrayEvent::rightButtonUp,
                                TrayEvent::mouseMove, TrayEvent::leftButtonDown})
    tray_.notified.notify(event);
  EXPECT_EQ(tray_.menusOpened, 2);
  EXPECT_FALSE(form().Form1.visible());
  tray_.notified.notify(TrayEvent::leftDoubleClick);
  EXPECT_TRUE(form().Form1.visible());
  form().CMD隐藏.click();
  tray_.showWindowChosen.notify();
  EXPECT_TRUE(form().Form1.visible());
}

TEST_F(ProgramShellTest, ExitStopsTheScannerTwiceRemovesTheIconAndEndsOnce) {
  program_.lifecycle().startUp();
  tray_.exitChosen.notify();
  EXPECT_EQ(serialPort().written, ":STOP.:STOP.");
  EXPECT_FALSE(tray_.shown);
  EXPECT_EQ(processEnds_, 1);
  form().CMD结束程序.click();  // a second close request while exiting changes nothing
  EXPECT_EQ(processEnds_, 1);
}

TEST_F(ProgramShellTest, ExitWaitsForAConnectedScannerToTakeBothStops) {
  program_.lifecycle().startUp();
  configureChannel();
  connectChannel();
  socket().onSend = [this] { loop_.post([this] { socket().complete(); }); };
  form().CMD结束程序.click();
  EXPECT_EQ(socket().sent, (std::vector<std::string>{":STOP.", ":STOP."}));
  EXPECT_EQ(processEnds_, 1);
}

TEST_F(ProgramShellTest, TheMeterStartsASilentScannerEverySecond) {
  program_.lifecycle().startUp();
  form().Text1.setText("1");
  loop_.advance(1000);
  EXPECT_EQ(form().Label4.caption(), "扫描频率:0");
  EXPECT_EQ(form().List1.count(), 1u);
  loop_.advance(100);
  EXPECT_EQ(serialPort().written, ":SCAN.");
  loop_.advance(900);
  EXPECT_EQ(form().List1.count(), 2u);
  // Starting a scanner that never turned is no restart: the status page counts none.
  EXPECT_EQ(program_.meter().restarts(), 0u);
}

TEST_F(ProgramShellTest, TheMeterShowsTheRateAndLeavesARunningScannerAlone) {
  program_.lifecycle().startUp();
  form().txt角度校正.setText("0");
  testing::Feed(form().decoder(), testing::DescriptorText());
  // A sparse sweep from 5 degrees on, a node every 10 degrees for seven and a half turns.
  std::string turns;
  for (int node = 0; node <= 270; ++node)
    turns += testing::NodeText((5 + 10 * node) % 360 + 0.25, 1000);
  testing::Feed(form().decoder(), turns);
  loop_.advance(1000);
  EXPECT_EQ(form().Label4.caption(), "扫描频率:7.5");
  EXPECT_EQ(form().List1.count(), 0u);
  EXPECT_EQ(form().decoder().revolutionCount(), 0);
  // Then it falls silent: each silent second starts it again, and counts.
  loop_.advance(2000);
  EXPECT_EQ(program_.meter().restarts(), 2u);
}

TEST_F(ProgramShellTest, AScannerFacingOpenSpaceIsNotRestarted) {
  program_.lifecycle().startUp();
  form().txt角度校正.setText("0");
  testing::Feed(form().decoder(), testing::DescriptorText());
  for (int second = 0; second < 3; ++second) {
    std::string turn;
    for (int angle = 0; angle < 360; angle += 2)
      turn += testing::NodeText(angle + 0.3, 0, 15);  // nothing comes back, anywhere
    testing::Feed(form().decoder(), turn);
    loop_.advance(1000);
    EXPECT_EQ(form().Label4.caption(), second == 0 ? "扫描频率:0.5" : "扫描频率:1");
  }
  EXPECT_EQ(form().List1.count(), 0u);
}

// A line that delivers garbage (the wrong baud rate, a broken cable, a device that is no scanner):
// random bytes, and stretches that decode into nodes with start flags and at any angle; none of
// that is a sweep. The rate shows none, and the watchdog starts the scanner again every second.
TEST_F(ProgramShellTest, AScannerSendingGarbageShowsNoRateAndIsStartedAgain) {
  program_.lifecycle().startUp();
  form().Text1.setText("1");
  std::mt19937 random(5);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int block = 0; block < 50; ++block) {
    // It answers every start with a descriptor, as a scanner would, then sends garbage.
    if (block % 10 == 0) {
      const std::vector<std::uint8_t> descriptor = testing::BytesOfText(testing::DescriptorText());
      serialPort().waiting.insert(serialPort().waiting.end(), descriptor.begin(), descriptor.end());
    }
    for (int i = 0; i < 1500; ++i)  // 30 kB a second, half of it framed as nodes
      serialPort().waiting.push_back(static_cast<std::uint8_t>(byte(random)));
    const std::vector<std::uint8_t> nodes = testing::RandomNodeBytes(random, 300);
    serialPort().waiting.insert(serialPort().waiting.end(), nodes.begin(), nodes.end());
    loop_.advance(100);
  }
  EXPECT_GT(form().decoder().decodedNodes(), 300u) << "garbage that decodes into nodes";
  EXPECT_EQ(form().Label4.caption(), "扫描频率:0");
  std::size_t starts = 0;
  for (const std::string& entry : form().List1.list().entries())
    starts += entry.find(",启动") != std::string::npos ? 1 : 0;
  EXPECT_GE(starts, 4u);
}

TEST_F(ProgramShellTest, ANoReturnNodeInsideATouchLeavesItWhole) {
  program_.lifecycle().startUp();
  examples::CalibrateLikeTheExamples(form());
  testing::Feed(form().decoder(), testing::DescriptorText());
  // The worked example's run 0..4 with nothing measured at 2, then a node above the rectangle.
  testing::Feed(form().decoder(), testing::NodeText(0, 4000) + testing::NodeText(1, 4000) +
                                      testing::NodeText(2, 0, 15) + testing::NodeText(3, 4000) +
                                      testing::NodeText(4, 4000) + testing::NodeText(5, 6000));
  EXPECT_EQ(form().TXT当前处理数据.text(), "2640,1505");
}

TEST_F(ProgramShellTest, CalibrationClicksMoveTheRectangleAndTheScanner) {
  Shape& rect = form().SHPWIN;
  rect.setLeft(1000);
  rect.setTop(2000);
  (void)rect.setWidth(3000);
  (void)rect.setHeight(1500);
  Calibration& calibration = program_.calibration();

  calibration.click(500, 500);  // "完成": nothing
  EXPECT_EQ(rect.left(), 1000);

  ASSERT_EQ(form().OPT标定.select(Calibration::kTopLeft), ToolkitResult::ok);
  calibration.click(1500.7f, 2500.2f);
  EXPECT_FLOAT_EQ(rect.left(), 1500.7f);
  EXPECT_FLOAT_EQ(rect.top(), 2500.2f);
  EXPECT_NEAR(rect.width(), 2499.3, 0.01);
  EXPECT_NEAR(rect.height(), 999.8, 0.01);
  EXPECT_EQ(form().TXT标定左上角.text(), "1500,2500");

  ASSERT_EQ(form().OPT标定.select(Calibration::kBottomRight), ToolkitResult::ok);
  calibration.click(4000.9f, 3600.5f);
  EXPECT_NEAR(rect.width(), 2500.2, 0.01);
  EXPECT_NEAR(rect.height(), 1100.3, 0.01);
  EXPECT_EQ(form().TXT标定右下角.text(), "2500,1100");
  calibration.click(1000, 4000);  // left of the rectangle: the width is refused and kept
  EXPECT_NEAR(rect.width(), 2500.2, 0.01);
  EXPECT_EQ(form().TXT标定右下角.text(), "2500,1499");

  ASSERT_EQ(form().OPT标定.select(Calibration::kScanner), ToolkitResult::ok);
  (void)form().Shape1.setWidth(300);
  (void)form().Shape1.setHeight(300);
  calibration.click(-120.5f, 300);
  EXPECT_EQ(form().txt雷达位置.text(), "-121,300");
  EXPECT_FLOAT_EQ(form().Shape1.left(), -270.5f);
  EXPECT_EQ(program_.mainSettings().read("参数设置", "雷达位置"), "-121,300");
}

// A desktop input that never tells where the cursor is (a uinput pointer, or no desktop input at
// all when neither XTest nor uinput could be opened) shows the position as unknown, not as 0,0.
TEST(CalibrationWithoutACursorPosition, ShowsItUnknownAndCapturesNothing) {
  NoDesktopInput desktop;
  VirtualEventLoop loop;
  testing::FakeSerialPort serialPort;
  testing::FakeSocketFactory sockets;
  testing::ScriptedDialogs dialogs;
  InMemoryFiles files;
  Utf8Codec codec;
  FixedDirectory directory("/opt/scantouch");
  testing::FakeTrayIcon tray;
  testing::FakeInstanceGuard instances;
  ScannerProgram program(Platform{loop, desktop, serialPort, sockets, dialogs, files, codec,
                                  directory, tray, instances, [] {}});
  program.lifecycle().startUp();
  MainForm& form = program.form();
  form.TXT屏幕左上角.setText("100,50");
  EXPECT_TRUE(form.TXT屏幕左上角.pressKey(kKeySpace));
  EXPECT_TRUE(form.TXT屏幕宽高.pressKey(kKeySpace));
  EXPECT_EQ(form.TXT屏幕左上角.text(), "100,50");
  EXPECT_EQ(form.TXT屏幕宽高.text(), "");
  loop.advance(1000);
  EXPECT_EQ(form.LBL鼠标在屏幕的当前位置.caption(), "鼠标在屏幕的当前位置?");
}

TEST_F(ProgramShellTest, TheSpaceBarCapturesTheScreenAreaFromTheCursor) {
  program_.lifecycle().startUp();
  desktop_.setCursorPos(1920, 0);
  EXPECT_TRUE(form().TXT屏幕左上角.pressKey(kKeySpace));
  EXPECT_EQ(form().TXT屏幕左上角.text(), "1920,0");
  desktop_.setCursorPos(3839, 1079);
  EXPECT_TRUE(form().TXT屏幕宽高.pressKey(kKeySpace));
  EXPECT_EQ(form().TXT屏幕宽高.text(), "1919,1079");
  EXPECT_FALSE(form().TXT屏幕宽高.pressKey('a'));  // other keys are typing
  form().TXT屏幕左上角.setText("garbage");
  EXPECT_TRUE(form().TXT屏幕宽高.pressKey(kKeySpace));
  EXPECT_EQ(form().TXT屏幕宽高.text(), "3839,1079");

  loop_.advance(1000);
  EXPECT_EQ(form().LBL鼠标在屏幕的当前位置.caption(), "鼠标在屏幕的当前位置3839,1079");
}

TEST_F(ProgramShellTest, TheSelfTestDrivesSixCirclesAndStopsAtTheEleventhSecond) {
  ASSERT_EQ(form().CHK鼠标画4个圈测试.setValue(1), ToolkitResult::ok);
  loop_.advance(1);
  std::vector<ScreenPoint> moves;
  for (const Action& action : desktop_.actions)
    moves.push_back(action.at);
  EXPECT_EQ(moves, (std::vector<ScreenPoint>{
                       {209, 383}, {209, 767}, {721, 383}, {721, 767}, {1233, 383}, {1233, 767}}));
  EXPECT_TRUE(form().Form1.minimised());

  while (program_.selfTest().angle() != 85)
    loop_.advance(1);
  desktop_.actions.clear();
  loop_.advance(1);
  EXPECT_EQ(desktop_.actions.front().at, (ScreenPoint{384, 192}));  // angle 90, right of the centre

  while (program_.selfTest().angle() != 355)
    loop_.advance(1);
  desktop_.actions.clear();
  loop_.advance(1);  // 360 wraps to 0: straight below each centre
  EXPECT_EQ(program_.selfTest().angle(), 0);
  EXPECT_EQ(desktop_.actions.front().at, (ScreenPoint{192, 384}));

  loop_.advance(10000 - loop_.nowMs() + 999);
  EXPECT_EQ(form().CHK鼠标画4个圈测试.value(), 1);
  loop_.advance(1000);  // the eleventh stop tick
  EXPECT_EQ(form().CHK鼠标画4个圈测试.value(), 0);
  EXPECT_FALSE(form().tmr鼠标画4个圈测试.enabled());
  EXPECT_FALSE(form().tmr鼠标画4个圈测试20秒自动关闭.enabled());
}

TEST_F(ProgramShellTest, TheSelfTestMinimisesAgainAfterTheUserRestoresAndOnEveryRun) {
  int minimisations = 0;
  form().Form1.stateChanged.connect([&] { minimisations += form().Form1.minimised() ? 1 : 0; });
  for (int run = 0; run < 2; ++run) {
    ASSERT_EQ(form().CHK鼠标画4个圈测试.setValue(1), ToolkitResult::ok);
    loop_.advance(1);
    EXPECT_TRUE(form().Form1.minimised());
    form().Form1.setMinimised(false);  // the user restores the window, as the window reports
    loop_.advance(1);
    EXPECT_TRUE(form().Form1.minimised());
    ASSERT_EQ(form().CHK鼠标画4个圈测试.setValue(0), ToolkitResult::ok);
    form().Form1.setMinimised(false);
  }
  EXPECT_EQ(minimisations, 4);
}

}  // namespace
}  // namespace scantouch
