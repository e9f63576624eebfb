#include "app/main_window_lifecycle.h"

#include <utility>

namespace scantouch {

MainWindowLifecycle::MainWindowLifecycle(MainForm& form, ScannerCommands& commands,
                                         NetworkForm& network, SerialLink& serial, EventLoop& loop,
                                         TrayIcon& tray, InstanceGuard& instances, Dialogs& dialogs,
                                         std::function<void()> endProcess)
    : form_(form),
      commands_(commands),
      network_(network),
      serial_(serial),
      loop_(loop),
      tray_(tray),
      instances_(instances),
      dialogs_(dialogs),
      endProcess_(std::move(endProcess)) {
  tray_.notified.connect([this](TrayEvent event) { onTrayNotification(event); });
  tray_.showWindowChosen.connect([this] { form_.Form1.show(); });
  tray_.exitChosen.connect([this] { exitProgram(); });
  form_.CMD隐藏.clicked.connect([this] { form_.Form1.hide(); });
  form_.CMD结束程序.clicked.connect([this] { exitProgram(); });
}

void MainWindowLifecycle::startUp() {
  // A second copy only warns: two copies in two folders may drive two scanners.
  if (instances_.anotherInstanceRunning())
    dialogs_.inform(kAlreadyRunning, MainForm::kCaption);
  (void)tray_.add(kTrayTip);
  form_.load();
  // The window's timers run from here, not from its creation: while the warning above waits for
  // its answer, a serial check would open the design-time port 3 and store it over the user's.
  form_.Timer1.setEnabled(true);
  form_.Timer2.setEnabled(true);
  form_.TMR鼠标在屏幕的当前位置.setEnabled(true);
  form_.TMR计算扫描频率.setEnabled(true);
}

void MainWindowLifecycle::onTrayNotification(TrayEvent event) {
  switch (event) {
    case TrayEvent::leftButtonUp:
    case TrayEvent::rightButtonUp:
      tray_.popUpMenu();
      break;
    case TrayEvent::leftDoubleClick:
      form_.Form1.show();
      break;
    default:
      break;
  }
}

void MainWindowLifecycle::exitProgram() {
  if (exiting_)
    return;
  exiting_ = true;
  exiting.notify();
  commands_.sendScannerCommand(commands::kStop);
  loop_.yield();
  commands_.sendScannerCommand(commands::kStop);
  loop_.yield();
  letStopCommandsLeave();
  tray_.remove();
  endProcess_();
}

void MainWindowLifecycle::letStopCommandsLeave() {
  // The send queue hands over one command per completion; give a connected scanner a moment to
  // take both, so that the stop really leaves before the process ends. Bounded in time and turns.
  TcpChannel& channel = network_.channel(0);
  const std::int64_t deadline = loop_.nowMs() + kStopDrainLimit_ms;
  for (int turn = 0; turn < 100000 && loop_.nowMs() < deadline; ++turn) {
    const bool pending = channel.TxtTcpTx.list().size() > 0 && channel.WinsockTcp &&
                         channel.WinsockTcp->state() == TcpState::connected;
    if (!pending)
      break;
    network_.sendQueuedData();  // a send tick now rather than at the timer's next turn
    loop_.yield();
  }
  serial_.flush();
}

}  // namespace scantouch
