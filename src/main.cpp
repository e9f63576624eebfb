// scantouch: a 360-degree laser scanner as a touch input device. Wires the real adapters, the
// core and the windows together and runs the program until its one exit ends the process.

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "app/scanner_program.h"
#include "gui/frame_pacer.h"
#include "gui/main_window.h"
#include "gui/network_window.h"
#include "posix/iconv_codec.h"
#include "posix/posix_file_access.h"
#include "posix/proc_executable_directory.h"
#include "qt/qt_event_loop.h"
#include "qt/qt_serial_port.h"
#include "qt/qt_shell.h"
#include "qt/qt_tcp_socket.h"
#include "x11/xtest_desktop_input.h"

int main(int argc, char** argv) {
  using namespace scantouch;
  QApplication application(argc, argv);
  application.setQuitOnLastWindowClosed(false);

  QtEventLoop loop;
  ProcExecutableDirectory directory;
  PosixFileAccess files;
  IconvCodec gbk("CP936");  // the code page the settings files have always been written in
  std::unique_ptr<DesktopInput> xtest = XTestDesktopInput::open();
  NoDesktopInput noDesktop;
  if (!xtest)
    std::fprintf(stderr, "scantouch: no X server with XTest; touches will not move the cursor\n");
  QtSerialPort serialPort(directory);
  QtTcpSocketFactory sockets;
  QtDialogs dialogs;
  QtTrayIcon tray;
  QtInstanceGuard instances;

  ScannerProgram program(Platform{loop, xtest ? *xtest : static_cast<DesktopInput&>(noDesktop),
                                  serialPort, sockets, dialogs, files, gbk, directory, tray,
                                  instances, [] {
                                    std::fflush(nullptr);
                                    std::_Exit(0);
                                  }});
  gui::FramePacer pacer;
  gui::MainWindow mainWindow(program, pacer);
  gui::NetworkWindow networkWindow(program.network(), pacer);
  UnixCloseRequests closeRequests([&program] { program.lifecycle().exitProgram(); });

  program.lifecycle().startUp();
  return application.exec();
}
