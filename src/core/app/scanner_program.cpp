#include "app/scanner_program.h"

namespace scantouch {
namespace {

// With several scanners the network window has a channel for each; otherwise the one it always
// had.
int SurfaceChannels(const SettingsFile& mainSettings) {
  constexpr int kChannelsForSeveralScanners = 4;
  return SeveralScannersWanted(mainSettings) ? kChannelsForSeveralScanners : 1;
}

}  // namespace

ScannerProgram::ScannerProgram(Platform platform)
    : platform_(platform),
      store_(platform.files, platform.ansiCodec),
      mainSettings_(store_, platform.directory, main_settings::kFileName),
      networkSettings_(store_, platform.directory, NetworkForm::kSettingsFileName),
      form_(platform.loop, platform.desktop, mainSettings_),
      backgrounds_(
          BackgroundControls{form_.CMD学习背景, form_.CMD清除背景, form_.LBL背景, form_.List1},
          BackgroundRoad{form_.decoder(), form_.engine(), form_.radar()}, platform.loop,
          mainSettings_, platform.files, platform.directory),
      surface_(
          SurfaceControls{form_.CHK处理, form_.Label4, form_.LBL扫描仪, form_.LBL位姿标定,
                          form_.CMD记录位姿点, form_.CMD计算位姿, form_.PICYL, form_.List1},
          SurfaceRoad{
              form_.decoder(), form_.engine(), form_.radar(),
              [this](bool held) { form_.holdEngine(held); },
              [this](LinkId link, std::string_view command) { commands_.sendTo(link, command); },
              [this](std::string_view command) { commands_.sendScannerCommand(command); }},
          platform.loop, mainSettings_, backgrounds_),
      serial_(SerialControls{form_.Text1, form_.Label1}, platform.serialPort, mainSettings_,
              surface_),
      network_(platform.loop, platform.sockets, platform.dialogs, networkSettings_,
               platform.ansiCodec, NetworkFormLinks{form_.List1, surface_}, MainForm::kCaption,
               SurfaceChannels(mainSettings_)),
      commands_(CommandControls{form_.List1, form_.TMR开始, form_.PICYL}, platform.loop, serial_,
                network_, form_.decoder(), form_.radar(), platform.ansiCodec),
      meter_(form_.Label4, form_.decoder(),
             [this] {
               if (surface_.several())
                 surface_.restartFirst();
               else
                 commands_.requestScannerStart();
             }),
      calibration_(
          CalibrationControls{form_.OPT标定, form_.SHPWIN, form_.Shape1, form_.TXT标定左上角,
                              form_.TXT标定右下角, form_.txt雷达位置, form_.TXT屏幕左上角,
                              form_.TXT屏幕宽高, form_.LBL鼠标在屏幕的当前位置},
          platform.desktop),
      selfTest_(SelfTestControls{form_.CHK鼠标画4个圈测试, form_.tmr鼠标画4个圈测试,
                                 form_.tmr鼠标画4个圈测试20秒自动关闭, form_.Form1},
                platform.loop, platform.desktop),
      lifecycle_(form_, commands_, network_, serial_, platform.loop, platform.tray,
                 platform.instances, platform.dialogs, platform.endProcess),
      touchOutputs_(form_, platform.loop, platform.desktop) {
  wire();
}

void ScannerProgram::connectLog(ProgramLog& log) {
  log_ = &log;
  store_.reports().setLog(&log);
  touchOutputs_.setLog(&log);
  if (web_)
    web_->setLog(&log);
  form_.List1.added.connect([&log](std::string_view entry) { log.write(entry); });
}

void ScannerProgram::connectAutostart(Autostart& autostart) {
  CheckBox& box = form_.CHK开机自动运行;
  const auto show = [this, &box](bool enabled) {
    showingAutostart_ = true;
    (void)box.setValue(enabled ? CheckBox::kChecked : CheckBox::kCleared);
    showingAutostart_ = false;
  };
  show(autostart.enabled());
  box.clicked.connect([this, &box, &autostart, show] {
    if (showingAutostart_)
      return;
    const bool wanted = box.value() == CheckBox::kChecked;
    if (autostart.setEnabled(wanted))
      return;
    if (log_ != nullptr)
      log_->write(wanted ? "cannot make the desktop start the program at log-in"
                         : "cannot stop the desktop from starting the program at log-in");
    show(!wanted);
  });
}

void ScannerProgram::wire() {
  MainForm& f = form_;
  f.Text1.changed.connect([this] { serial_.reopenSerialPort(); });
  f.Timer1.ticked.connect([this] { serial_.checkSerialPort(); });
  f.Timer2.ticked.connect([this] { serial_.pollSerialPort(); });
  f.TMR开始.ticked.connect([this] {
    commands_.runStartSequence();
    surface_.resetSynchronisation();
  });
  for (int i = 0; i < f.Command1.size(); ++i) {
    f.Command1[i].clicked.connect(
        [this, i] { commands_.sendScannerCommand(form_.Text3[i].text()); });
  }
  f.CMD开始.clicked.connect([this] { commands_.requestScannerStart(); });
  f.CMD停止.clicked.connect([this] { commands_.sendScannerCommand(commands::kStop); });
  f.Command2.clicked.connect([this] { commands_.clearReceivedData(); });
  f.Command3.clicked.connect([this] { network_.show(); });
  f.TMR计算扫描频率.ticked.connect([this] {
    meter_.tickScanRate();
    surface_.tick();
    if (webStatus_)
      webStatus_->sample();
  });
  f.OPT标定.clicked.connect([this](int index) { calibration_.onModeSelected(index); });
  f.TMR鼠标在屏幕的当前位置.ticked.connect([this] { calibration_.showCursorPosition(); });
  f.CHK鼠标画4个圈测试.clicked.connect([this] { selfTest_.onSwitch(); });
  f.tmr鼠标画4个圈测试.ticked.connect([this] { selfTest_.circleTick(); });
  f.tmr鼠标画4个圈测试20秒自动关闭.ticked.connect([this] { selfTest_.stopTick(); });
  f.engineSection().connect([this] { touchOutputs_.apply(); });
  f.loaded.connect([this] {
    surface_.load(network_.channelCount());
    backgrounds_.load(1 + surface_.streams());
    // With several scanners every channel may carry one, and each is started.
    commands_.setEveryChannel(surface_.several());
  });
  lifecycle_.exiting.connect([this] { touchOutputs_.finish(); });
  // A calibration's touches are its own: the four corners' marks lie over what the outputs would
  // touch, and the places of a pose are held by a hand that means nothing to the desktop.
  // Nor is anything touched while a background is learned: whatever is in the rectangle then is
  // to be learned, not clicked.
  f.holdSingleTouchWhile(
      [this] { return surface_.poseCalibration().recording() || backgrounds_.learning(); });
  touchOutputs_.holdWhile([this] {
    return form_.cornerCalibration().active() || surface_.poseCalibration().recording() ||
           backgrounds_.learning();
  });
  backgrounds_.changed.connect([this] {
    form_.learnFrom(backgrounds_.listening() ? &backgrounds_.firstScannerNodes() : nullptr);
    touchOutputs_.checkHold();
  });
  form_.cornerCalibration().changed.connect([this] { touchOutputs_.checkHold(); });
  f.CMD记录位姿点.clicked.connect([this] { touchOutputs_.checkHold(); });

  // Where the first scanner stands, as the boxes say it now and whenever they change.
  f.publishScannerPlacement([this](const ScannerPlacement& placement) {
    surface_.configure(placement);
    backgrounds_.configure(placement);
  });
}

void ScannerProgram::connectWebService(StreamListenerFactory& listeners, std::string version,
                                       std::string machine) {
  webStatus_ =
      std::make_unique<WebStatus>(form_, surface_, meter_, platform_.loop, std::move(version));
  web_ = std::make_unique<WebService>(
      platform_.loop, listeners, form_.LBL网页服务, [this] { return webStatus_->json(); },
      std::move(machine));
  web_->setLog(log_);
  touchOutputs_.connectWeb(*web_);
}

}  // namespace scantouch
