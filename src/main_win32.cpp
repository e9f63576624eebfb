// scantouch.exe: the program on Windows. Wires the Windows adapters, the core and the native
// windows together and runs the message loop until the program's one exit ends the process.

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/scanner_program.h"
#include "command_line.h"
#include "gui/win32/frame_pacer.h"
#include "gui/win32/main_window.h"
#include "gui/win32/network_window.h"
#include "stdlib/stream_program_log.h"
#include "win32/code_page_text_codec.h"
#include "win32/run_key_autostart.h"
#include "win32/send_input_desktop_input.h"
#include "win32/wide_text.h"
#include "win32/win32_datagram_socket.h"
#include "win32/win32_dialogs.h"
#include "win32/win32_event_loop.h"
#include "win32/win32_executable_directory.h"
#include "win32/win32_file_access.h"
#include "win32/win32_instance_guard.h"
#include "win32/win32_serial_port.h"
#include "win32/win32_stream_listener.h"
#include "win32/win32_tcp_socket.h"
#include "win32/win32_touch_injector.h"
#include "win32/win32_tray_icon.h"

namespace {

// Text for whoever started the program from a console; a program without one shows nothing.
void Print(const char* text) {
  if (AttachConsole(ATTACH_PARENT_PROCESS)) {
    std::FILE* out = nullptr;
    freopen_s(&out, "CONOUT$", "w", stdout);
  }
  std::fputs(text, stdout);
  std::fflush(stdout);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  using namespace scantouch;
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i)
    arguments.push_back(Narrow(wide[i]));
  LocalFree(wide);
  std::vector<char*> argv;
  for (std::string& argument : arguments)
    argv.push_back(argument.data());

  std::string error;
  const std::optional<CommandLine> commandLine =
      ParseCommandLine(static_cast<int>(argv.size()), argv.data(), error);
  if (!commandLine) {
    Print(("scantouch: " + error + "\n" + kUsage).c_str());
    return 2;
  }
  if (commandLine->help) {
    Print((std::string(kUsage) + "Settings folder: " + Win32ExecutableDirectory().path() + "\n")
              .c_str());
    return 0;
  }
  if (commandLine->version) {
    Print("scantouch " SCANTOUCH_VERSION "\n");
    return 0;
  }
  StreamProgramLog log;
  if (commandLine->logFile && !log.openFile(*commandLine->logFile)) {
    Print(("scantouch: cannot open the log file " + *commandLine->logFile + "\n").c_str());
    return 2;
  }

  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(1));

  Win32EventLoop loop;
  Win32ExecutableDirectory directory;
  Win32FileAccess files;
  CodePageTextCodec gbk(936);  // the code page the settings files have always been written in
  SendInputDesktopInput desktop;
  Win32SerialPort serialPort;
  Win32TcpSocketFactory sockets;
  Win32Dialogs dialogs;
  Win32InstanceGuard instances;
  std::unique_ptr<ScannerProgram> program;
  // A log-off or shut-down is a close request like the close box: the one exit.
  Win32TrayIcon tray(icon, [&program] { program->lifecycle().exitProgram(); });

  program = std::make_unique<ScannerProgram>(Platform{loop, desktop, serialPort, sockets, dialogs,
                                                      files, gbk, directory, tray, instances, [] {
                                                        std::fflush(nullptr);
                                                        ExitProcess(0);
                                                      }});
  program->connectLog(log);
  Win32DatagramSocketFactory datagrams;
  program->touchOutputs().connectNetwork(datagrams);
  Win32StreamListenerFactory listeners;
  program->connectWebService(listeners, SCANTOUCH_VERSION, datagrams.hostName());
  program->touchOutputs().connectTouchDevice([](std::string& problem) {
    return std::unique_ptr<TouchInjector>(Win32TouchInjector::Create(problem));
  });
  gui_win32::FramePacer pacer;
  gui_win32::MainWindow mainWindow(*program, pacer, icon);
  gui_win32::NetworkWindow networkWindow(program->network(), pacer, icon);
  program->lifecycle().startUp();
  wchar_t executable[MAX_PATH];
  GetModuleFileNameW(nullptr, executable, MAX_PATH);
  RunKeyAutostart autostart(executable);
  program->connectAutostart(autostart);
  return loop.run();
}
