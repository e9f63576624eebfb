#pragma once

#include "app/mask_drawing.h"
#include "app/receive_box.h"
#include "calibration/corner_calibration.h"
#include "config/main_settings.h"
#include "config/settings_file.h"
#include "config/touch_engine_section.h"
#include "decoding/scan_stream_decoder.h"
#include "engine/touch_engine.h"
#include "geometry/scanner_placement.h"
#include "geometry/surface_mapping.h"
#include "outputs/desktop_input.h"
#include "radar/beam_table.h"
#include "radar/radar_model.h"
#include "single_touch/point_processor.h"
#include "single_touch/touch_mapper.h"
#include "toolkit/button.h"
#include "toolkit/check_box.h"
#include "toolkit/control_array.h"
#include "toolkit/event_loop.h"
#include "toolkit/label.h"
#include "toolkit/list_box.h"
#include "toolkit/option_array.h"
#include "toolkit/picture_box.h"
#include "toolkit/shape.h"
#include "toolkit/text_box.h"
#include "toolkit/timer.h"
#include "toolkit/window.h"

namespace scantouch {

// The main window as a model: its controls hold the running state, and their handlers are wired
// here into the road from received bytes to cursor and click and into the settings file. A view
// binds widgets to these controls; the controls never know about the view.
class MainForm {
 public:
  static constexpr const char* kCaption = "Qivra激光雷达互动181213Z";
  // The event log keeps this many of its newest entries.
  static constexpr std::size_t kMaxLogEntries = 5000;

  MainForm(EventLoop& loop, DesktopInput& desktop, SettingsFile& settingsFile);
  MainForm(const MainForm&) = delete;
  MainForm& operator=(const MainForm&) = delete;

  // What the window does when it loads: copy the settings file into the controls.
  void load();
  // The window has loaded its settings: what reads them besides the window goes from here.
  Notifier<> loaded;

  // The window itself: its visible flag is whether it is shown.
  Window Form1{"Form1", kCaption};
  Button CMD隐藏{"CMD隐藏", "隐藏"};
  Button CMD结束程序{"CMD结束程序", "结束程序"};

  // Received data, its decoding and the debug displays of it.
  TextBox TXTRX{"TXTRX"};  // the received bytes not decoded yet, as hex text, for the eye only
  CheckBox CHK处理{"CHK处理", "处理"};
  Label Label2{"Label2"};
  Label Label4{"Label4"};  // the scan rate
  Timer TMR计算扫描频率;   // 1000 ms from the window's load

  // Scan parameters.
  TextBox TXT灵敏度{"TXT灵敏度"};
  TextBox txt角度校正{"txt角度校正"};

  // The serial port: its number, its open indicator and its timers.
  TextBox Text1{"Text1"};
  Label Label1{"Label1"};
  Timer Timer1;  // 1000 ms from the window's load: follows the entered number
  Timer Timer2;  // 100 ms from the window's load: polls received bytes

  // Scanner commands and the event log.
  ControlArray<TextBox> Text3{"Text3", 4};
  ControlArray<Button> Command1{"Command1", 4};
  Button CMD开始{"CMD开始", "开始"};
  Button CMD停止{"CMD停止", "停止"};
  Button Command2{"Command2", "清空接收数据"};
  Button Command3{"Command3", "网络设置"};
  Timer TMR开始;  // 100 ms, one shot: the start sequence
  ListBox List1{"List1", kMaxLogEntries};

  // The radar view: its coordinate system, display mode, range and geometry, in view units.
  PictureBox PICYL{"PICYL"};
  OptionArray OPT曲线模式{"OPT曲线模式", {"轮廓线", "放射线", "单点"}};
  OptionArray OPT面积设置{"OPT面积设置",
                          {"15米", "10米", "8米", "6米", "4米", "3米", "2米", "1米"}};
  Shape Shape1{"Shape1"};
  Shape SHPWIN{"SHPWIN"};
  BeamTable Line1;

  // Calibration texts.
  TextBox txt雷达位置{"txt雷达位置"};
  TextBox TXT标定左上角{"TXT标定左上角"};
  TextBox TXT标定右下角{"TXT标定右下角"};

  // Touches and where they go on the desktop.
  TextBox TXT当前处理数据{"TXT当前处理数据"};
  TextBox txt校正后数据{"txt校正后数据"};
  TextBox TXT屏幕宽高{"TXT屏幕宽高"};
  TextBox TXT屏幕左上角{"TXT屏幕左上角"};
  CheckBox CHK鼠标移动{"CHK鼠标移动", "鼠标移动"};
  CheckBox CHK鼠标点击{"CHK鼠标点击", "鼠标点击"};

  // Calibration by hand.
  OptionArray OPT标定{
      "OPT标定",
      {"标定左上角", "标定右下角", "标定雷达位置", "设置屏幕左上角", "设置屏幕宽高", "完成"}};
  Label LBL鼠标在屏幕的当前位置{"LBL鼠标在屏幕的当前位置"};
  Timer TMR鼠标在屏幕的当前位置;  // 1000 ms from the window's load

  // The cursor self-test.
  CheckBox CHK鼠标画4个圈测试{"CHK鼠标画4个圈测试", "鼠标画4个圈测试"};
  Timer tmr鼠标画4个圈测试;              // 1 ms while the test runs
  Timer tmr鼠标画4个圈测试20秒自动关闭;  // 1000 ms while the test runs; its tag counts seconds

  // Options shown but not stored.
  OptionArray OPT精度{"OPT精度", {"3MM", "2MM", "1MM", "0.5MM", "0.25MM"}};
  OptionArray Option1{"Option1", {"圆形触摸桌"}};
  OptionArray Option2{"Option2", {"墙投,地投,拼接"}};
  CheckBox Check2{"Check2", "显示激光指示"};

  // The touch engine (page "触控"): several touches tracked from turn to turn, sent to the mouse,
  // TUIO and the system's own touch. Off until one of its outputs is chosen.
  OptionArray OPT鼠标模式{"OPT鼠标模式", {"每次触摸点击", "按下拖动抬起", "不控制鼠标"}};
  TextBox TXTTUIO目标{"TXTTUIO目标"};  // "host:port", several separated by ";"
  TextBox TXT网页服务{"TXT网页服务"};  // "host:port" the web service listens on
  Label LBL网页服务{"LBL网页服务"};    // the address to open, or why the service is off
  CheckBox CHK系统触控{"CHK系统触控", "系统触控"};
  TextBox TXT出现圈数{"TXT出现圈数"};  // turns in a row an object is seen before it is a contact
  TextBox TXT消失圈数{"TXT消失圈数"};  // turns unseen before a contact is removed
  TextBox TXT分组间距{"TXT分组间距"};  // millimetres between neighbouring hits of one object
  TextBox TXT匹配距离{"TXT匹配距离"};  // millimetres a contact may move from one turn to the next
  TextBox TXT屏蔽区域{"TXT屏蔽区域"};  // rectangles in view units where no hit is a touch
  CheckBox CHK画屏蔽区{"CHK画屏蔽区", "在雷达图上拖出屏蔽区"};
  Button CMD学习背景{"CMD学习背景", "学习背景"};
  Button CMD清除背景{"CMD清除背景", "清除背景"};
  Label LBL背景{"LBL背景"};  // when each scanner's background was learned, or that it learns
  CheckBox CHK平滑{"CHK平滑", "平滑"};
  Label LBL触控状态{"LBL触控状态"};  // what the engine does: off, or its live contacts

  Button CMD四角标定{"CMD四角标定", "四角标定"};
  Button CMD两角标定{"CMD两角标定", "两角标定"};
  Label LBL四角标定{"LBL四角标定"};  // the mapping in force, or how a calibration went
  Label LBL扫描仪{"LBL扫描仪"};      // the scanners of a surface: each one's link and rate
  Button CMD记录位姿点{"CMD记录位姿点", "记录位置"};
  Button CMD计算位姿{"CMD计算位姿", "计算位姿"};
  Label LBL位姿标定{"LBL位姿标定"};  // places recorded, then each scanner's pose and residual

  // Program options.
  CheckBox CHK使用网络{"CHK使用网络", "使用网络"};
  CheckBox CHK开机自动隐藏{"CHK开机自动隐藏", "开机自动隐藏"};
  CheckBox CHK开机自动运行{"CHK开机自动运行", "开机自动运行"};

  RadarModel& radar() { return radar_; }
  ScanStreamDecoder& decoder() { return decoder_; }
  ReceiveBox& receiveBox() { return receiveBox_; }
  PointProcessor& points() { return points_; }
  MainSettings& settings() { return settings_; }
  TouchEngine& engine() { return engine_; }
  TouchEngineSection& engineSection() { return engineSection_; }
  TouchMapper& mapper() { return mapper_; }
  SurfaceMapping& surfaceMapping() { return surfaceMapping_; }
  CornerCalibration& cornerCalibration() { return cornerCalibration_; }
  MaskDrawing& maskDrawing() { return maskDrawing_; }

  // Runs the engine on the decoded nodes, or takes it off them (at no cost to the decoder).
  void runEngine(bool running);
  // Keeps the engine running whatever the outputs want (several scanners: the window shows their
  // contacts).
  void holdEngine(bool held);
  // The first scanner's nodes also go to `learner` (nullptr: to nobody), whether or not the engine
  // runs: a background is learned from them.
  void learnFrom(PreciseScanNodeConsumer* learner);
  // While `held` says so, the single-touch road publishes nothing (a calibration that wants the
  // hand held still at a place); the four-corner calibration takes its touches itself.
  void holdSingleTouchWhile(std::function<bool()> held) { singleTouchHeld_ = std::move(held); }

  // Every control of the window, the radar model's included, each once: what a view of the
  // window accounts for.
  std::vector<Control*> controls();

  // The road's settings as typed values, read from the boxes that hold them as the road has always
  // read them. The decoder is given its own whenever TXT灵敏度 or txt角度校正 change.
  DecoderSettings decoderSettings() const;
  ScannerPlacement scannerPlacement() const;
  // Runs `configure` with the placement now and again whenever txt雷达位置 or txt角度校正 change:
  // what it configures always holds what the boxes show.
  void publishScannerPlacement(std::function<void(const ScannerPlacement&)> configure);

 private:
  void setDesignTimeValues();
  // Every beam hidden, the quality labels laid out afresh, no run of hits open.
  void resetRadarView();
  // A touch found by the point processing: shown in TXT当前处理数据 and mapped to the desktop.
  void publishTouch(const Touch& touch);
  void routePreciseNodes();
  // Hands the screen area and the shapes to the parts that take them as values, now and at every
  // change.
  void publishScreenAndShapes();
  // Connects the decoder to the boxes of its settings and gives it those they hold now.
  void publishDecoderSettings();

  // The decoder hands its precise nodes to one consumer; this one hands them to the engine and
  // to a learner, each when it wants them.
  class PreciseNodeTee final : public PreciseScanNodeConsumer {
   public:
    PreciseScanNodeConsumer* engine = nullptr;
    PreciseScanNodeConsumer* learner = nullptr;
    void processPreciseNode(const PreciseScanNode& node, std::int16_t sensitivity) override {
      if (learner != nullptr)
        learner->processPreciseNode(node, sensitivity);
      if (engine != nullptr)
        engine->processPreciseNode(node, sensitivity);
    }
  };

  RadarModel radar_;
  PointProcessor points_;
  ScanStreamDecoder decoder_;
  ReceiveBox receiveBox_;
  SurfaceMapping surfaceMapping_;
  TouchMapper mapper_;
  bool publishingTouch_ = false;
  std::function<bool()> singleTouchHeld_;
  bool engineWanted_ = false;
  bool engineHeld_ = false;
  MainSettings settings_;
  TouchEngine engine_;
  TouchEngineSection engineSection_;
  CornerCalibration cornerCalibration_;
  MaskDrawing maskDrawing_;
  PreciseNodeTee preciseNodes_;
};

}  // namespace scantouch
