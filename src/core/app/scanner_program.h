#pragma once

#include <functional>
#include <memory>

#include "app/autostart.h"
#include "app/instance_guard.h"
#include "app/main_form.h"
#include "app/main_window_lifecycle.h"
#include "app/touch_outputs.h"
#include "app/tray_icon.h"
#include "app/web_service.h"
#include "app/web_status.h"
#include "calibration/calibration.h"
#include "common/program_log.h"
#include "config/file_access.h"
#include "config/ini_store.h"
#include "config/settings_file.h"
#include "config/text_codec.h"
#include "decoding/scan_rate_meter.h"
#include "link/network_form.h"
#include "link/scanner_commands.h"
#include "link/serial_link.h"
#include "outputs/cursor_self_test.h"
#include "outputs/desktop_input.h"
#include "scanners/scanner_backgrounds.h"
#include "scanners/scanner_surface.h"
#include "toolkit/dialogs.h"
#include "toolkit/event_loop.h"
#include "web/stream_listener.h"

namespace scantouch {

// Everything the program needs from the platform it runs on.
struct Platform {
  EventLoop& loop;
  DesktopInput& desktop;
  SerialPort& serialPort;
  TcpSocketFactory& sockets;
  Dialogs& dialogs;
  FileAccess& files;
  const TextCodec& ansiCodec;
  const ExecutableDirectory& directory;
  TrayIcon& tray;
  InstanceGuard& instances;
  // Ends the process at once, without returning.
  std::function<void()> endProcess;
};

// The whole program without its windows: the main window model, the scanner links and the
// commands, wired together. A GUI shows it; tests drive it with fakes on a virtual clock.
class ScannerProgram {
 public:
  explicit ScannerProgram(Platform platform);
  ScannerProgram(const ScannerProgram&) = delete;
  ScannerProgram& operator=(const ScannerProgram&) = delete;

  MainForm& form() { return form_; }
  NetworkForm& network() { return network_; }
  SerialLink& serial() { return serial_; }
  ScannerCommands& commands() { return commands_; }
  MainWindowLifecycle& lifecycle() { return lifecycle_; }
  Calibration& calibration() { return calibration_; }
  CursorSelfTest& selfTest() { return selfTest_; }
  SettingsFile& mainSettings() { return mainSettings_; }
  SettingsFile& networkSettings() { return networkSettings_; }
  TouchOutputs& touchOutputs() { return touchOutputs_; }
  ScannerSurface& surface() { return surface_; }
  ScannerBackgrounds& backgrounds() { return backgrounds_; }
  const ScanRateMeter& meter() const { return meter_; }

  // From now on the event log's entries and the settings files' problems also go to `log`.
  void connectLog(ProgramLog& log);
  // The box "开机自动运行" shows whether the desktop starts the program at log-in, and ticking
  // or clearing it changes that; a change the desktop refuses is told to the log and undone.
  // Its key in the settings file is written as before.
  void connectAutostart(Autostart& autostart);
  // The web service on the platform's listening sockets: from now on "网页服务" opens it. The
  // status page shows `version`; `machine` is this computer's name for the address to open.
  void connectWebService(StreamListenerFactory& listeners, std::string version,
                         std::string machine);
  WebService* webService() { return web_.get(); }

 private:
  void wire();

  Platform platform_;
  ProgramLog* log_ = nullptr;
  bool showingAutostart_ = false;
  IniStore store_;
  SettingsFile mainSettings_;
  SettingsFile networkSettings_;
  MainForm form_;
  ScannerBackgrounds backgrounds_;
  ScannerSurface surface_;  // before the links: every link hands what it receives to it
  SerialLink serial_;
  NetworkForm network_;
  ScannerCommands commands_;
  ScanRateMeter meter_;
  Calibration calibration_;
  CursorSelfTest selfTest_;
  MainWindowLifecycle lifecycle_;
  // Before the outputs, which send TUIO to it until they are gone.
  std::unique_ptr<WebStatus> webStatus_;
  std::unique_ptr<WebService> web_;
  TouchOutputs touchOutputs_;
};

}  // namespace scantouch
