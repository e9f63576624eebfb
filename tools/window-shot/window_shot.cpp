// window-shot: the main window as a picture for the documentation. The whole program runs on
// Qt's offscreen platform with its settings in memory, calibrated like the demo and with the touch
// engine sending TUIO to this machine; a simulated scanner sweeps a room with a hand in the touch
// rectangle for a few seconds, and the window is saved as a PNG at the size asked for, showing
// the page named (the first one unless told), or the network window.
//
//   window-shot FILE.png [WIDTH HEIGHT] [--page NAME | --network]

#include <QApplication>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/scanner_program.h"
#include "example_setup.h"
#include "fake_link.h"
#include "fake_shell.h"
#include "gui/frame_pacer.h"
#include "gui/main_window.h"
#include "gui/network_window.h"
#include "in_memory_files.h"
#include "node_stream.h"
#include "qt/qt_event_loop.h"
#include "recording_desktop_input.h"

int main(int argc, char** argv) {
  using namespace scantouch;
  std::vector<const char*> positional;
  const char* pageName = nullptr;
  bool networkWindow = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--page") == 0 && i + 1 < argc)
      pageName = argv[++i];
    else if (std::strcmp(argv[i], "--network") == 0)
      networkWindow = true;
    else
      positional.push_back(argv[i]);
  }
  if (positional.size() != 1 && positional.size() != 3) {
    std::fprintf(stderr, "usage: window-shot FILE.png [WIDTH HEIGHT] [--page NAME | --network]\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const QString file = QString::fromLocal8Bit(positional[0]);
  const int width = positional.size() == 3 ? std::atoi(positional[1]) : 1280;
  const int height = positional.size() == 3 ? std::atoi(positional[2]) : 800;

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
  (void)form.OPT鼠标模式.select(0);
  form.TXTTUIO目标.setText("127.0.0.1:3333");
  form.TXT出现圈数.setText("2");
  form.TXT消失圈数.setText("2");
  form.TXT分组间距.setText("100");
  form.TXT匹配距离.setText("250");
  (void)form.CHK平滑.setValue(CheckBox::kChecked);
  if (pageName != nullptr) {
    auto* pages = window.findChild<QTabWidget*>();
    int index = 0;
    while (index < pages->count() && pages->tabText(index) != QString::fromLocal8Bit(pageName))
      ++index;
    if (index == pages->count()) {
      std::fprintf(stderr, "window-shot: no page %s\n", pageName);
      return 2;
    }
    pages->setCurrentIndex(index);
  }
  window.resize(width, height);
  window.show();

  scanner_sim::StreamSettings settings;
  settings.nodesPerSecond = 360 * settings.revolutionsPerSecond;
  scanner_sim::NodeStream stream(examples::HandInTheRectangle(), settings);
  form.decoder().feed(scanner_sim::kScanDescriptor);
  QTimer feed;
  QObject::connect(&feed, &QTimer::timeout, [&] {
    std::vector<std::uint8_t> block;
    stream.appendSeconds(block, 0.1);
    form.decoder().feed(block);
  });
  feed.start(100);
  gui::NetworkWindow network(program.network(), pacer);
  if (networkWindow) {
    window.hide();
    network.resize(width, height);
    network.show();
  }
  QTimer::singleShot(3000, [&] {
    QWidget& shown = networkWindow ? static_cast<QWidget&>(network) : window;
    const bool saved = shown.grab().save(file);
    application.exit(saved ? 0 : 1);
  });
  return application.exec();
}
