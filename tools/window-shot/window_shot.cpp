// window-shot: the main window as a picture for the documentation. The whole program runs on
// Qt's offscreen platform with its settings in memory, calibrated like the demo and with the touch
// engine sending TUIO to this machine; a simulated scanner sweeps a room with a hand in the touch
// rectangle for a few seconds, and the window is saved as a PNG at the size asked for, showing
// the page named (the first one unless told), or the network window. With --two-scanners only the
// radar view is saved, of a surface seen by two scanners: the first one's beams in a rectangular
// room with two hands in the touch rectangle, a second scanner at the rectangle's top-right corner
// with the points it measures of the same room and hands, and the two hands' contacts. With
// --still-things only the radar view is saved, of the simulator's room "pillar": its background
// learned with the button 学习背景 (the faint outline, the pillar in it), a mask typed into
// 屏蔽区域, and a hand in the touch rectangle and someone beside the scanner who came after the
// learning.
//
//   window-shot FILE.png [WIDTH HEIGHT] [--page NAME | --network | --two-scanners |
//                                        --still-things]

#include <QApplication>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <vector>

#include "app/scanner_program.h"
#include "example_setup.h"
#include "fake_link.h"
#include "fake_shell.h"
#include "fake_stream_listener.h"
#include "gui/qt/frame_pacer.h"
#include "gui/qt/main_window.h"
#include "gui/qt/network_window.h"
#include "gui/qt/radar_widget.h"
#include "in_memory_files.h"
#include "node_stream.h"
#include "qt/qt_event_loop.h"
#include "recording_desktop_input.h"
#include "rooms.h"

namespace {

using scanner_sim::PlanePoint;

// The surface of the two-scanner picture, in view units (millimetres, the first scanner at the
// view's middle, (7500, 7500), as CalibrateLikeTheExamples places it): a rectangular room with a
// pillar, whose shadow tells the two scanners' places apart, and two still hands in the touch
// rectangle.
struct TwoScannerRoom {
  struct Round {
    PlanePoint centre;
    double diameter = 0;
  };
  double left = 2500;
  double top = 1200;
  double right = 12500;
  double bottom = 11500;
  std::vector<Round> objects{{{6300, 3300}, 100}, {{8700, 4100}, 100}, {{9500, 9000}, 500}};
  std::size_t hands = 2;  // the first objects
  PlanePoint secondScanner{10600, 1500};

  // The distance from `from` along the direction at `angleDegrees` (0 up, clockwise) to the first
  // wall, or to the first object with `withObjects`.
  double measure(PlanePoint from, double angleDegrees, bool withObjects) const {
    const double radians = angleDegrees * std::numbers::pi / 180;
    const double dx = std::sin(radians);
    const double dy = -std::cos(radians);
    double nearest = 1e9;
    const auto wall = [&](double towards, double room) {
      if (towards != 0 && room / towards > 0)
        nearest = std::min(nearest, room / towards);
    };
    wall(dx, (dx > 0 ? right : left) - from.x);
    wall(dy, (dy > 0 ? bottom : top) - from.y);
    for (const Round& object : withObjects ? objects : std::vector<Round>{}) {
      // The nearer crossing of the ray with the object's circle.
      const double ox = from.x - object.centre.x;
      const double oy = from.y - object.centre.y;
      const double b = ox * dx + oy * dy;
      const double c = ox * ox + oy * oy - object.diameter * object.diameter / 4;
      const double d = b * b - c;
      if (d >= 0 && -b - std::sqrt(d) > 0)
        nearest = std::min(nearest, -b - std::sqrt(d));
    }
    return nearest;
  }

  // The first scanner's scene: the room's distance per degree, the objects relative to it.
  scanner_sim::Scene firstScannersScene() const {
    scanner_sim::Scene scene;
    scene.roomDistanceMm.clear();
    for (int degree = 0; degree < 360; ++degree)
      scene.roomDistanceMm.push_back(measure({7500, 7500}, degree, false));
    for (const Round& round : objects) {
      scanner_sim::SceneObject object;
      object.from = {round.centre.x - 7500, round.centre.y - 7500};
      object.diameterMm = round.diameter;
      scene.objects.push_back(object);
    }
    return scene;
  }

  // What the second scanner measures in a turn of 1440 nodes.
  scantouch::RadarModel::OtherScanner secondScannersTurn() const {
    scantouch::RadarModel::OtherScanner scanner;
    scanner.x = static_cast<float>(secondScanner.x);
    scanner.y = static_cast<float>(secondScanner.y);
    scanner.colourIndex = 0;  // the surface's second scanner
    for (int node = 0; node < 1440; ++node) {
      const double angle = node * 0.25;
      const double distance = measure(secondScanner, angle, true);
      const double radians = angle * std::numbers::pi / 180;
      scanner.points.push_back(
          {static_cast<float>(secondScanner.x + distance * std::sin(radians)),
           static_cast<float>(secondScanner.y - distance * std::cos(radians))});
    }
    return scanner;
  }
};

}  // namespace

int main(int argc, char** argv) {
  using namespace scantouch;
  std::vector<const char*> positional;
  const char* pageName = nullptr;
  bool networkWindow = false;
  bool twoScanners = false;
  bool stillThings = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--page") == 0 && i + 1 < argc)
      pageName = argv[++i];
    else if (std::strcmp(argv[i], "--network") == 0)
      networkWindow = true;
    else if (std::strcmp(argv[i], "--two-scanners") == 0)
      twoScanners = true;
    else if (std::strcmp(argv[i], "--still-things") == 0)
      stillThings = true;
    else
      positional.push_back(argv[i]);
  }
  if (positional.size() != 1 && positional.size() != 3) {
    std::fprintf(stderr,
                 "usage: window-shot FILE.png [WIDTH HEIGHT] [--page NAME | --network | "
                 "--two-scanners | --still-things]\n");
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
  // The web service, off as it is by default: the page "触控" shows how to turn it on.
  testing::FakeStreamListenerFactory listeners;
  program.connectWebService(listeners, "", "");
  gui::FramePacer pacer;
  gui::MainWindow window(program, pacer);
  program.lifecycle().startUp();
  MainForm& form = program.form();
  examples::CalibrateLikeTheExamples(form);
  (void)form.OPT曲线模式.select(RadarModel::kRays);
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
  const TwoScannerRoom room;
  scanner_sim::Scene scene = examples::HandInTheRectangle();
  if (twoScanners) {
    scene = room.firstScannersScene();
  } else if (stillThings) {
    // The simulator's room as `scanner-sim --room pillar` plays it, the hand kept for later.
    scene = scanner_sim::Scene{};
    scanner_sim::FurnishRoom(scene, scanner_sim::RoomKind::pillar, scanner_sim::TouchArea{});
  }
  scanner_sim::NodeStream stream(scene, settings);
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
  if (twoScanners) {
    // The stream stops first, so that the engine's own contacts do not replace these.
    QTimer::singleShot(2500, [&] {
      feed.stop();
      form.radar().showOtherScanners({room.secondScannersTurn()});
      std::vector<RadarModel::ContactMark> contacts;
      for (std::size_t i = 0; i < room.hands; ++i) {
        const scanner_sim::PlanePoint hand = room.objects[i].centre;
        contacts.push_back(
            {static_cast<float>(hand.x), static_cast<float>(hand.y), static_cast<int>(i) + 1});
      }
      form.radar().showContacts(contacts);
    });
  }
  QTimer stillThingsShown;
  if (stillThings) {
    // A bench along the touch rectangle's lower edge, in view units (the scanner at 7500, 7500).
    form.TXT屏蔽区域.setText("5600,4700,9400,5000");
    // Points rather than rays, which would cover what lies under them.
    (void)form.OPT曲线模式.select(RadarModel::kSinglePoints);
    QTimer::singleShot(500, [&] { form.CMD学习背景.click(); });
    QObject::connect(&stillThingsShown, &QTimer::timeout, [&] {
      if (!form.LBL背景.caption().starts_with("背景学习于"))
        return;
      if (stream.scene().objects.empty()) {
        // Learned: the hand comes in now, and someone stands beside the scanner; neither is
        // background, and the outline shows where they hide the room.
        stream.scene().objects = examples::HandInTheRectangle().objects;
        scanner_sim::SceneObject visitor;
        visitor.from = {-2200, 900};
        visitor.diameterMm = 450;
        stream.scene().objects.push_back(visitor);
        return;
      }
      stillThingsShown.stop();
      QTimer::singleShot(1500, [&] {
        const bool saved = window.radar()->grab().save(file);
        application.exit(saved ? 0 : 1);
      });
    });
    stillThingsShown.start(200);
  }
  QTimer::singleShot(3000, [&] {
    if (stillThings)
      return;
    if (twoScanners) {
      const bool saved = window.radar()->grab().save(file);
      application.exit(saved ? 0 : 1);
      return;
    }
    QWidget& shown = networkWindow ? static_cast<QWidget&>(network) : window;
    const bool saved = shown.grab().save(file);
    application.exit(saved ? 0 : 1);
  });
  return application.exec();
}
