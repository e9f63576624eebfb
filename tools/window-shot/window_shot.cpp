// window-shot: the main window as a picture for the documentation. The whole program runs on
// Qt's offscreen platform with its settings in memory, calibrated like the demo; a simulated
// scanner sweeps a room with a hand in the touch rectangle for a few seconds, and the window is
// saved as a PNG at the size asked for.
//
//   window-shot FILE.png [WIDTH HEIGHT]

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/scanner_program.h"
#include "common/hex_text.h"
#include "config/in_memory_files.h"
#include "example_setup.h"
#include "fake_link.h"
#include "fake_shell.h"
#include "gui/frame_pacer.h"
#include "gui/main_window.h"
#include "node_stream.h"
#include "qt/qt_event_loop.h"
#include "recording_desktop_input.h"

int main(int argc, char** argv) {
  using namespace scantouch;
  if (argc != 2 && argc != 4) {
    std::fprintf(stderr, "usage: window-shot FILE.png [WIDTH HEIGHT]\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const int width = argc == 4 ? std::atoi(argv[2]) : 1280;
  const int height = argc == 4 ? std::atoi(argv[3]) : 800;

  QtEventLoop loop;
  testing::RecordingDesktopInput desktop;
  testing::FakeSerialPort serialPort;
  serialPort.absent = true;
  testing::FakeSocketFactory sockets;
  testing::ScriptedDialogs dialogs;
  InMemoryFiles files;
  Utf8Codec codec;
  FixedDirectory directory("/in-memory");
  testing::FakeTrayIcon tray;
  testing::FakeInstanceGuard instances;
  ScannerProgram program(Platform{loop, desktop, serialPort, sockets, dialogs, files, codec,
                                  directory, tray, instances, [] {}});
  gui::FramePacer pacer;
  gui::MainWindow window(program, pacer);
  program.lifecycle().startUp();
  MainForm& form = program.form();
  examples::CalibrateLikeTheExamples(form);
  (void)form.OPT曲线模式.select(1);
  form.TXT标定左上角.setText("5000,2000");
  form.TXT标定右下角.setText("5000,3000");
  form.txt雷达位置.setText("7500,7500");
  window.resize(width, height);
  window.show();

  scanner_sim::StreamSettings settings;
  settings.nodesPerSecond = 360 * settings.revolutionsPerSecond;
  scanner_sim::NodeStream stream(examples::HandInTheRectangle(), settings);
  form.TXTRX.appendText(HexText(scanner_sim::kScanDescriptor));
  QTimer feed;
  QObject::connect(&feed, &QTimer::timeout, [&] {
    std::vector<std::uint8_t> block;
    stream.appendSeconds(block, 0.1);
    form.TXTRX.appendText(HexText(block));
  });
  feed.start(100);
  QTimer::singleShot(3000, [&] {
    const bool saved = window.grab().save(QString::fromLocal8Bit(argv[1]));
    application.exit(saved ? 0 : 1);
  });
  return application.exec();
}
