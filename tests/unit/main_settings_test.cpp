#include "config/main_settings.h"

#include <gtest/gtest.h>

#include <string>

#include "app/main_form.h"
#include "config/ini_document.h"
#include "in_memory_files.h"
#include "outputs/desktop_input.h"
#include "recording_log.h"
#include "toolkit/virtual_event_loop.h"

namespace scantouch {
namespace {

namespace keys = main_settings;

class MainSettingsTest : public ::testing::Test {
 protected:
  MainSettingsTest() {
    form_.Text1.changed.connect([this] { serialPortReopens_.push_back(form_.Text1.text()); });
  }

  void store(std::string_view section, std::string_view key, std::string_view value) {
    files_.files[path()] = SetIniValue(files_.files[path()], section, key, value);
  }
  std::string stored(std::string_view section, std::string_view key) {
    return file_.read(section, key);
  }
  std::string path() const { return file_.path(); }

  InMemoryFiles files_;
  Utf8Codec codec_;
  IniStore store_{files_, codec_};
  FixedDirectory directory_{"/opt/scantouch"};
  SettingsFile file_{store_, directory_, keys::kFileName};
  VirtualEventLoop loop_;
  NoDesktopInput desktop_;
  MainForm form_{loop_, desktop_, file_};
  std::vector<std::string> serialPortReopens_;
};

TEST_F(MainSettingsTest, WithoutAFileEverythingTakesItsDefault) {
  form_.load();
  EXPECT_EQ(path(), "/opt/scantouch/系统配置.ini");
  EXPECT_EQ(form_.OPT曲线模式.selected(), 0);
  EXPECT_EQ(form_.OPT面积设置.selected(), 0);
  EXPECT_EQ(form_.PICYL.scaleWidth(), 15000);
  EXPECT_EQ(form_.PICYL.scaleHeight(), 15000);
  EXPECT_EQ(form_.TXT灵敏度.text(), "2");
  EXPECT_EQ(form_.txt角度校正.text(), "0");
  EXPECT_EQ(form_.Text1.text(), "1");
  EXPECT_EQ(serialPortReopens_.back(), "1");
  for (const CheckBox* box :
       {&form_.CHK鼠标移动, &form_.CHK鼠标点击, &form_.CHK使用网络, &form_.CHK开机自动隐藏}) {
    EXPECT_EQ(box->value(), 0) << box->name();
  }
  EXPECT_TRUE(form_.Form1.visible());
  EXPECT_EQ(form_.txt雷达位置.text(), "");
  EXPECT_EQ(form_.TXT屏幕宽高.text(), "");
  EXPECT_EQ(form_.Shape1.left(), -150);
  EXPECT_EQ(form_.Shape1.top(), -150);
  EXPECT_EQ(form_.Shape1.width(), 300);
  EXPECT_EQ(form_.SHPWIN.left(), 0);
  EXPECT_EQ(form_.SHPWIN.width(), 0);
  EXPECT_EQ(form_.SHPWIN.height(), 0);
  EXPECT_EQ(form_.radar().lblquality[123].caption(), "0");
  EXPECT_EQ(form_.points().hitRunStart(), PointProcessor::kNoRun);
  // Normalised values that differ from the design enter the file.
  EXPECT_EQ(stored(keys::kParameters, keys::kAngleCorrection), "0");
  EXPECT_EQ(stored(keys::kViewRange, keys::kViewRange), "0");
  EXPECT_EQ(stored(keys::kActions, keys::kHideAtStartup), "0");
}

TEST_F(MainSettingsTest, NumbersAreLoadedInTheirShortestForm) {
  for (const auto& [storedText, shown] :
       {std::pair{"0", "0"}, {" ", "2"}, {"3.50", "3.5"}, {"", "2"}}) {
    store(keys::kParameters, keys::kSensitivity, storedText);
    form_.load();
    EXPECT_EQ(form_.TXT灵敏度.text(), shown) << "stored '" << storedText << "'";
  }
}

TEST_F(MainSettingsTest, APortBelowOneBecomesPortOne) {
  for (const char* port : {"0", "-2", "abc"}) {
    store(keys::kSerial, keys::kPort, "7");
    form_.load();
    ASSERT_EQ(form_.Text1.text(), "7");
    store(keys::kSerial, keys::kPort, port);
    form_.load();
    EXPECT_EQ(form_.Text1.text(), "1") << port;
  }
}

TEST_F(MainSettingsTest, PlacesTheScannerAndTheTouchRectangleFromTheirPairs) {
  store(keys::kParameters, keys::kScannerPosition, "7500,7500");
  store(keys::kParameters, keys::kCalibTopLeft, "100.5,200.5");
  store(keys::kParameters, keys::kCalibSize, "4000");
  form_.load();
  EXPECT_EQ(form_.Shape1.left(), 7350);
  EXPECT_EQ(form_.Shape1.top(), 7350);
  EXPECT_EQ(form_.SHPWIN.left(), 100);  // ties to even
  EXPECT_EQ(form_.SHPWIN.top(), 200);
  EXPECT_EQ(form_.SHPWIN.width(), 0);  // no comma: all of it is the height
  EXPECT_EQ(form_.SHPWIN.height(), 4000);

  store(keys::kParameters, keys::kCalibTopLeft, "101.5,0");
  store(keys::kParameters, keys::kCalibSize, "5000,3000");
  form_.load();
  EXPECT_EQ(form_.SHPWIN.left(), 102);
  EXPECT_EQ(form_.SHPWIN.width(), 5000);
}

TEST_F(MainSettingsTest, ARangeOptionRescalesTheView) {
  store(keys::kViewRange, keys::kViewRange, "3");
  form_.load();
  EXPECT_EQ(form_.OPT面积设置.selected(), 3);
  EXPECT_EQ(form_.PICYL.scaleWidth(), 6000);
  EXPECT_EQ(form_.PICYL.scaleHeight(), 6000);
  EXPECT_EQ(form_.radar().placement(180).top, 6000);
  EXPECT_EQ(form_.radar().placement(270).left, 6000);
}

TEST_F(MainSettingsTest, AValueThatCannotBeAppliedStopsTheInitialisationWhereItIs) {
  store(keys::kDisplayMode, keys::kDisplayMode, "1");
  store(keys::kViewRange, keys::kViewRange, "8");
  store(keys::kParameters, keys::kSensitivity, "5");
  form_.load();
  EXPECT_EQ(form_.OPT曲线模式.selected(), 1);  // step 1 stands
  EXPECT_EQ(form_.OPT面积设置.selected(), OptionArray::kNone);
  EXPECT_EQ(form_.TXT灵敏度.text(), "2");  // design-time values for the rest
  EXPECT_EQ(form_.txt角度校正.text(), "90");
  EXPECT_EQ(form_.Text1.text(), "3");
  EXPECT_EQ(form_.CHK开机自动隐藏.value(), 1);
  EXPECT_EQ(form_.radar().lblquality[0].caption(), "");
}

using testing::RecordingLog;

TEST_F(MainSettingsTest, WhereTheInitialisationStopsIsToldOnceAndTheLargestNumberLoads) {
  RecordingLog log;
  store_.reports().setLog(&log);
  store(keys::kParameters, keys::kAngleCorrection, "1E999");
  form_.load();
  form_.load();
  EXPECT_EQ(log.lines,
            (std::vector<std::string>{
                "cannot use /opt/scantouch/系统配置.ini [参数设置] 角度校正 = \"1E999\": "
                "the start-up stopped here, later settings are not loaded"}));

  // What the program writes of the largest number reads back as that number.
  form_.txt角度校正.setText("1.7976931348623157e308");
  log.lines.clear();
  form_.load();
  form_.load();  // from what the first load wrote back
  EXPECT_TRUE(log.lines.empty());
  EXPECT_EQ(form_.txt角度校正.text(), "1.7976931348623157E+308");
}

TEST_F(MainSettingsTest, StopsAtABadCheckValueOrANegativeRectangle) {
  store(keys::kActions, keys::kMouseMove, "1");
  store(keys::kActions, keys::kMouseClick, "3");
  store(keys::kActions, keys::kHideAtStartup, "0");
  form_.load();
  EXPECT_EQ(form_.CHK鼠标移动.value(), 1);
  EXPECT_EQ(form_.CHK开机自动隐藏.value(), 1);  // never reached

  store(keys::kActions, keys::kMouseClick, "1");
  store(keys::kParameters, keys::kCalibSize, "-5,10");
  form_.load();
  EXPECT_TRUE(form_.Form1.visible());
  EXPECT_EQ(form_.SHPWIN.height(), 0);
  EXPECT_EQ(form_.radar().lblquality[0].caption(), "");  // the view was not reset
}

TEST_F(MainSettingsTest, HideAtStartupHidesTheWindowAtEveryInitialisation) {
  store(keys::kActions, keys::kHideAtStartup, "1");
  form_.load();
  EXPECT_FALSE(form_.Form1.visible());
  form_.Form1.setVisible(true);
  ASSERT_EQ(form_.OPT面积设置.select(4), ToolkitResult::ok);
  EXPECT_FALSE(form_.Form1.visible());

  store(keys::kActions, keys::kHideAtStartup, "2");  // greyed does not hide
  form_.Form1.setVisible(true);
  form_.load();
  EXPECT_TRUE(form_.Form1.visible());
}

TEST_F(MainSettingsTest, TheRangeHandlerRunsTheInitialisationOnceMoreNested) {
  form_.load();
  EXPECT_EQ(form_.settings().initialisationRuns(), 2);
  ASSERT_EQ(form_.OPT面积设置.select(2), ToolkitResult::ok);
  EXPECT_EQ(form_.settings().initialisationRuns(), 3);
  EXPECT_EQ(stored(keys::kViewRange, keys::kViewRange), "2");
  EXPECT_EQ(form_.PICYL.scaleWidth(), 8000);
  ASSERT_EQ(form_.OPT面积设置.select(2), ToolkitResult::ok);
  EXPECT_EQ(form_.settings().initialisationRuns(), 3);
}

TEST_F(MainSettingsTest, EveryKeystrokeIsWrittenThrough) {
  form_.load();
  const int before = files_.replacements;
  std::string typed;
  for (const char c : std::string("1024,768")) {
    typed += c;
    form_.TXT屏幕宽高.setText(typed);
  }
  EXPECT_EQ(files_.replacements - before, 8);
  EXPECT_EQ(stored(keys::kParameters, keys::kScreenSize), "1024,768");

  form_.txt雷达位置.setText("");
  EXPECT_EQ(stored(keys::kParameters, keys::kScannerPosition), "");
}

TEST_F(MainSettingsTest, OptionsAndCheckBoxesStoreTheirState) {
  form_.load();
  ASSERT_EQ(form_.OPT曲线模式.select(1), ToolkitResult::ok);
  EXPECT_EQ(stored(keys::kDisplayMode, keys::kDisplayMode), "1");
  ASSERT_EQ(form_.CHK开机自动运行.setValue(1), ToolkitResult::ok);
  EXPECT_EQ(stored(keys::kProgram, keys::kRunAtStartup), "1");

  MainForm restarted(loop_, desktop_, file_);
  restarted.load();
  EXPECT_EQ(restarted.CHK开机自动运行.value(), 0);  // never read back
  EXPECT_EQ(restarted.OPT曲线模式.selected(), 1);
}

TEST_F(MainSettingsTest, StartUpSurvivesAnyFile) {
  std::string garbage(10 << 20, '\0');
  for (std::size_t i = 0; i < garbage.size(); ++i)
    garbage[i] = static_cast<char>((i * 2654435761u) >> 24);
  const std::string duplicates = "灵敏度=9\n[参数设置]\n灵敏度=4\n灵敏度=5\n[参数设置]\n灵敏度=6\n";
  const std::string longLine = "[参数设置]\n雷达位置=" + std::string(100000, '7') + "\n";
  for (const std::string& content : {std::string(), garbage, duplicates, longLine}) {
    files_.files[path()] = content;
    form_.load();
    EXPECT_GE(form_.OPT曲线模式.selected(), 0);
  }
  EXPECT_EQ(form_.txt雷达位置.text().size(), 1023u);  // cut as the store has always cut values
  files_.files[path()] = duplicates;
  form_.load();
  EXPECT_EQ(form_.TXT灵敏度.text(), "4");
}

}  // namespace
}  // namespace scantouch
