#include "app/main_form.h"

#include <string>

#include "app/road_settings.h"
#include "app/view_values.h"

namespace scantouch {

MainForm::MainForm(EventLoop& loop, DesktopInput& desktop, SettingsFile& settingsFile)
    : TMR计算扫描频率("TMR计算扫描频率", loop, 1000, false),
      Timer1("Timer1", loop, 1000, false),
      Timer2("Timer2", loop, 100, false),
      TMR开始("TMR开始", loop, 100, false),
      TMR鼠标在屏幕的当前位置("TMR鼠标在屏幕的当前位置", loop, 1000, false),
      tmr鼠标画4个圈测试("tmr鼠标画4个圈测试", loop, 1, false),
      tmr鼠标画4个圈测试20秒自动关闭("tmr鼠标画4个圈测试20秒自动关闭", loop, 1000, false),
      radar_(Line1, Shape1, OPT曲线模式, PICYL),
      points_(PointControls{Shape1, SHPWIN}, Line1, radar_),
      decoder_(DecoderControls{CHK处理, Label2}, radar_, points_),
      receiveBox_(TXTRX, Form1, decoder_, loop),
      mapper_(MappingControls{TXT当前处理数据, SHPWIN, CHK鼠标移动, CHK鼠标点击, txt校正后数据},
              desktop),
      settings_(SettingsControls{OPT曲线模式, OPT面积设置, txt雷达位置, TXT屏幕宽高, TXT屏幕左上角,
                                 TXT标定右下角, TXT标定左上角, TXT灵敏度, Text1, txt角度校正,
                                 CHK鼠标移动, CHK鼠标点击, CHK使用网络, CHK开机自动隐藏,
                                 CHK开机自动运行, Form1, Shape1, SHPWIN, PICYL},
                settingsFile, [this] { resetRadarView(); }),
      engine_(loop),
      engineSection_(
          TouchEngineControls{OPT鼠标模式, TXTTUIO目标, TXT网页服务, CHK系统触控, TXT出现圈数,
                              TXT消失圈数, TXT分组间距, TXT匹配距离, CHK平滑, TXT屏蔽区域},
          settingsFile),
      cornerCalibration_(CornerCalibrationControls{CMD四角标定, CMD两角标定, LBL四角标定,
                                                   TXT屏幕宽高, TXT屏幕左上角},
                         loop, settingsFile, surfaceMapping_),
      maskDrawing_(CHK画屏蔽区, TXT屏蔽区域, radar_) {
  // Before anything else listens to the boxes and shapes, so that no handler of theirs meets a
  // part holding an older value.
  publishScreenAndShapes();

  // Values the window shows before anything is loaded; set before any handler is connected, so
  // none of them is stored.
  setDesignTimeValues();
  // Before anything else watches the boxes: whatever a change of them sets off finds the decoder
  // holding the new values.
  publishDecoderSettings();

  // The road: the links feed received bytes to the decoder, which hands each node to the point
  // processing, whose touches come here. A touch the user types is mapped as well.
  points_.setTouchHandler([this](const Touch& touch) { publishTouch(touch); });
  TXT当前处理数据.changed.connect([this] {
    if (!publishingTouch_)
      mapper_.mapTouchToScreen();
  });

  mapper_.setSurfaceMapping(&surfaceMapping_);
  engine_.setSurfaceMapping(&surfaceMapping_);
  cornerCalibration_.setBusyElsewhere([this] { return OPT标定.selected() != 5; });
  OPT标定.clicked.connect([this](int index) {
    if (index != 5 && cornerCalibration_.refuseOtherCalibration())
      (void)OPT标定.select(5);
  });

  settings_.connectWriteBack();
}

DecoderSettings MainForm::decoderSettings() const {
  return DecoderSettingsFromText(TXT灵敏度.text(), txt角度校正.text());
}

ScannerPlacement MainForm::scannerPlacement() const {
  return ScannerPlacementFromText(txt雷达位置.text(), txt角度校正.text());
}

void MainForm::publishDecoderSettings() {
  const auto configure = [this] { decoder_.configure(decoderSettings()); };
  TXT灵敏度.changed.connect(configure);
  txt角度校正.changed.connect(configure);
  configure();
}

void MainForm::publishScannerPlacement(std::function<void(const ScannerPlacement&)> configure) {
  const auto publish = [this, configure = std::move(configure)] { configure(scannerPlacement()); };
  txt雷达位置.changed.connect(publish);
  txt角度校正.changed.connect(publish);
  publish();
}

void MainForm::resetRadarView() {
  for (int degree = 0; degree < BeamTable::kBeams; ++degree)
    Line1[degree].visible = false;
  Line1.touch();
  radar_.layOutQualityLabels();
  points_.resetRun();
}

void MainForm::publishTouch(const Touch& touch) {
  std::string text = TouchText(touch);
  // The same touch again changes nothing, as it never changed the box.
  if (text == TXT当前处理数据.text())
    return;
  // A touch for a calibration mark is the calibration's alone: it clicks nothing.
  if (cornerCalibration_.active()) {
    (void)cornerCalibration_.takeTouch(PlanePoint{SHPWIN.left() + static_cast<double>(touch.x),
                                                  SHPWIN.top() + static_cast<double>(touch.y)});
    return;
  }
  if (singleTouchHeld_ && singleTouchHeld_())
    return;
  // The mapping goes first, as it has always run before anything else watching the box.
  mapper_.mapTouch(touch);
  publishingTouch_ = true;
  TXT当前处理数据.setText(text);
  publishingTouch_ = false;
}

void MainForm::setDesignTimeValues() {
  Form1.setVisible(false);  // shown when it has loaded
  Label4.setCaption("扫描频率:0");
  LBL鼠标在屏幕的当前位置.setCaption("鼠标在屏幕的当前位置");
  (void)OPT标定.select(5);  // "完成"
  Label1.setCaption("串口端口：");
  Label1.setTextColour(colours::kRed);
  const char* commandCaptions[] = {"启动", "停止", "开激光指示", "关激光指示"};
  const char* commandTexts[] = {":SCAN.", ":STOP.", ":LASERON.", ":LASEROFF."};
  for (int i = 0; i < 4; ++i) {
    Command1[i].setCaption(commandCaptions[i]);
    Text3[i].setText(commandTexts[i]);
  }
  TXT灵敏度.setText("2");
  txt角度校正.setText("90");
  Text1.setText("3");
  (void)CHK开机自动隐藏.setValue(CheckBox::kChecked);
  (void)CHK处理.setValue(CheckBox::kChecked);  // processing is on from the start, never stored
  (void)OPT曲线模式.select(RadarModel::kSinglePoints);
}

void MainForm::load() {
  Form1.setVisible(true);  // the initialisation may hide it again
  settings_.fun_init();
  engineSection_.load();
  cornerCalibration_.load();
  loaded.notify();
}

void MainForm::holdEngine(bool held) {
  engineHeld_ = held;
  runEngine(engineWanted_);
}

void MainForm::runEngine(bool wanted) {
  engineWanted_ = wanted;
  const bool running = wanted || engineHeld_;
  engine_.setRunning(running);
  preciseNodes_.engine = running ? &engine_ : nullptr;
  routePreciseNodes();
  if (!running)
    radar_.showContacts({});
}

void MainForm::learnFrom(PreciseScanNodeConsumer* learner) {
  preciseNodes_.learner = learner;
  routePreciseNodes();
}

void MainForm::routePreciseNodes() {
  // Nobody wants them: the decoder makes none.
  if (preciseNodes_.engine == nullptr && preciseNodes_.learner == nullptr)
    decoder_.setPreciseConsumer(nullptr);
  else if (preciseNodes_.learner == nullptr)
    decoder_.setPreciseConsumer(preciseNodes_.engine);
  else
    decoder_.setPreciseConsumer(&preciseNodes_);
}

// The engine and the touch mapping take the screen area and the shapes as values: each is handed
// the new one as soon as its boxes or shapes change, so that either holds, whenever it maps or
// hits are tested, what it would have read from the controls at that moment.
void MainForm::publishScreenAndShapes() {
  const auto screen = [this] {
    const ScreenArea area = ReadScreenArea(TXT屏幕宽高, TXT屏幕左上角);
    engine_.configure(area);
    mapper_.configure(area);
  };
  TXT屏幕宽高.changed.connect(screen);
  TXT屏幕左上角.changed.connect(screen);
  screen();
  const auto shapes = [this] {
    engine_.configure(ViewShapes{ReadViewRect(Shape1), ReadViewRect(SHPWIN)});
  };
  Shape1.geometryChanged.connect(shapes);
  SHPWIN.geometryChanged.connect(shapes);
  shapes();
}

}  // namespace scantouch
