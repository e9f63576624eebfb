// scantouch: a 360-degree laser scanner as a touch input device. Wires the real adapters, the
// core and the windows together and runs the program until its one exit ends the process.

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/scanner_program.h"
#include "command_line.h"
#include "desktop_input_choice.h"
#include "gui/qt/frame_pacer.h"
#include "gui/qt/main_window.h"
#include "gui/qt/network_window.h"
#include "posix/iconv_text_codec.h"
#include "posix/posix_file_access.h"
#include "posix/proc_executable_directory.h"
#include "posix/settings_folder.h"
#include "posix/xdg_autostart.h"
#include "qt/qt_datagram_socket.h"
#include "qt/qt_dialogs.h"
#include "qt/qt_event_loop.h"
#include "qt/qt_instance_guard.h"
#include "qt/qt_serial_port.h"
#include "qt/qt_stream_listener.h"
#include "qt/qt_tcp_socket.h"
#include "qt/qt_tray_icon.h"
#include "qt/unix_close_requests.h"
#include "stdlib/stream_program_log.h"
#include "uinput/uinput_touch_injector.h"

int main(int argc, char** argv) {
  using namespace scantouch;
  // Before the toolkit starts: asking for help needs no display and writes no file.
  std::string error;
  const std::optional<CommandLine> commandLine = ParseCommandLine(argc, argv, error);
  if (!commandLine) {
    std::fprintf(stderr, "scantouch: %s\n%s", error.c_str(), kUsage);
    return 2;
  }
  if (commandLine->help) {
    std::printf("%sSettings folder: %s\n", kUsage,
                ChooseSettingsFolder(ThisProcessPlaces(), false).path.c_str());
    return 0;
  }
  if (commandLine->version) {
    std::printf("scantouch %s\n", SCANTOUCH_VERSION);
    return 0;
  }
  StreamProgramLog log;
  if (commandLine->logFile && !log.openFile(*commandLine->logFile)) {
    std::fprintf(stderr, "scantouch: cannot open the log file %s\n", commandLine->logFile->c_str());
    return 2;
  }

  QApplication application(argc, argv);
  application.setQuitOnLastWindowClosed(false);
  application.setWindowIcon(ProgramIcon());  // the windows show the tray's icon too

  QtEventLoop loop;
  ProcExecutableDirectory executableFolder;  // where COM<n> links are looked for
  const SettingsFolderChoice settingsFolder = ChooseSettingsFolder(ThisProcessPlaces(), true);
  log.write("settings in " + settingsFolder.path);
  if (!settingsFolder.problem.empty())
    log.write(settingsFolder.problem);
  FixedDirectory directory(settingsFolder.path);
  PosixFileAccess files;
  IconvTextCodec gbk("CP936");  // the code page the settings files have always been written in
  DesktopInputChoice desktop(commandLine->input, log);
  QtSerialPort serialPort(executableFolder);
  QtTcpSocketFactory sockets;
  QtDialogs dialogs;
  QtTrayIcon tray;
  QtInstanceGuard instances;

  ScannerProgram program(Platform{loop, desktop.desktop(), serialPort, sockets, dialogs, files, gbk,
                                  directory, tray, instances, [] {
                                    std::fflush(nullptr);
                                    std::_Exit(0);
                                  }});
  program.connectLog(log);
  QtDatagramSocketFactory datagrams;
  program.touchOutputs().connectNetwork(datagrams);
  QtStreamListenerFactory listeners;
  program.connectWebService(listeners, SCANTOUCH_VERSION, datagrams.hostName());
  program.touchOutputs().connectTouchDevice([](std::string& problem) {
    return std::unique_ptr<TouchInjector>(UinputTouchInjector::Create(VirtualDesktop(), problem));
  });
  gui::FramePacer pacer;
  gui::MainWindow mainWindow(program, pacer);
  gui::NetworkWindow networkWindow(program.network(), pacer);
  UnixCloseRequests closeRequests([&program] { program.lifecycle().exitProgram(); });

  program.lifecycle().startUp();
  std::error_code noLink;
  XdgAutostart autostart(XdgAutostart::UserAutostartFolder(),
                         std::filesystem::read_symlink("/proc/self/exe", noLink).string());
  program.connectAutostart(autostart);
  return application.exec();
}
