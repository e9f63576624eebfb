#pragma once

#include <functional>

#include "app/instance_guard.h"
#include "app/main_form.h"
#include "app/tray_icon.h"
#include "link/network_form.h"
#include "link/scanner_commands.h"
#include "link/serial_link.h"
#include "toolkit/dialogs.h"
#include "toolkit/event_loop.h"
#include "toolkit/notifier.h"

namespace scantouch {

// Start-up of the main window, the tray icon and the one way out of the program.
class MainWindowLifecycle {
 public:
  static constexpr const char* kTrayTip = "QivraNubo正在为您服务";
  static constexpr const char* kAlreadyRunning = "该程序已经在运行，请不要重复打开。";
  // How long the exit waits, at most, for the stop commands to leave.
  static constexpr std::int64_t kStopDrainLimit_ms = 500;

  MainWindowLifecycle(MainForm& form, ScannerCommands& commands, NetworkForm& network,
                      SerialLink& serial, EventLoop& loop, TrayIcon& tray, InstanceGuard& instances,
                      Dialogs& dialogs, std::function<void()> endProcess);

  // The main window loads: warn about another copy, add the tray icon, load the settings, show
  // the window unless the settings hid it, start the window's timers.
  void startUp();
  void onTrayNotification(TrayEvent event);
  // Stops the scanner twice over both transports, removes the tray icon and ends the process.
  // Every close request comes here; one that arrives while the exit runs changes nothing.
  void exitProgram();
  bool isExiting() const { return exiting_; }

  // The exit has begun: outputs that hold something (a pressed button, contacts on a network)
  // let go of it before the process ends.
  Notifier<> exiting;

 private:
  void letStopCommandsLeave();

  MainForm& form_;
  ScannerCommands& commands_;
  NetworkForm& network_;
  SerialLink& serial_;
  EventLoop& loop_;
  TrayIcon& tray_;
  InstanceGuard& instances_;
  Dialogs& dialogs_;
  std::function<void()> endProcess_;
  bool exiting_ = false;
};

}  // namespace scantouch
