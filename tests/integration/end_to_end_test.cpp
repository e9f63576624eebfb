// The whole program on a virtual X display against the simulated scanner: a hand held still in
// the touch rectangle moves the real X pointer to its pixel and clicks a window there, and
// closing the main window stops the scanner twice and ends the process.

#include <gtest/gtest.h>

#include <QProcess>
#include <filesystem>
#include <string>

#include "installed_program.h"
#include "program_folder.h"
#include "qt_program.h"

// Last: Xlib defines macros such as None and Bool that clash with the test framework's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace scantouch {
namespace {

namespace fs = std::filesystem;
using testing::RunUntil;
using testing::SimProcess;

constexpr const char* kCaption = "Qivra激光雷达互动181213Z";

// The top-level window whose title is `caption`, or 0.
::Window FindWindow(Display* display, const std::string& caption) {
  const Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  ::Window root = 0, parent = 0;
  ::Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
    return 0;
  ::Window found = 0;
  for (unsigned int i = 0; i < count && found == 0; ++i) {
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, children[i], netWmName, 0, 1024, False, utf8, &type, &format,
                           &items, &after, &data) == Success &&
        data != nullptr) {
      if (std::string(reinterpret_cast<char*>(data), items) == caption)
        found = children[i];
      XFree(data);
    }
  }
  if (children != nullptr)
    XFree(children);
  return found;
}

void AskToClose(Display* display, ::Window window) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XFlush(display);
}

// Runs a program to its end; its exit code, or -1 when it does not end in time.
int RunToEnd(const QString& program, const QStringList& arguments, const fs::path& folder,
             std::string* output = nullptr) {
  QProcess process;
  process.setWorkingDirectory(QString::fromStdString(folder.string()));
  process.start(program, arguments);
  if (!process.waitForFinished(10000))
    return -1;
  if (output != nullptr)
    *output = process.readAllStandardOutput().toStdString();
  return process.exitCode();
}

TEST(CommandLine, HelpAndVersionAnswerWithoutStartingAndMistakesAreRefused) {
  const fs::path folder =
      fs::temp_directory_path() / ("scantouch-cli-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  fs::copy_file(SCANTOUCH_PATH, folder / "scantouch", fs::copy_options::overwrite_existing);
  const QString program = QString::fromStdString((folder / "scantouch").string());
  std::string output;
  EXPECT_EQ(RunToEnd(program, {"--help"}, folder, &output), 0);
  EXPECT_NE(output.find("usage: scantouch"), std::string::npos);
  EXPECT_EQ(RunToEnd(program, {"--version"}, folder, &output), 0);
  EXPECT_EQ(output.rfind("scantouch ", 0), 0u) << output;
  EXPECT_EQ(RunToEnd(program, {"--bogus"}, folder), 2);
  EXPECT_EQ(RunToEnd(program, {"--input", "mouse"}, folder), 2);
  EXPECT_FALSE(fs::exists(folder / "系统配置.ini")) << "nothing was written";

  EXPECT_EQ(RunToEnd(SCANNER_SIM_PATH, {"--tcp", "abc"}, folder), 2);
  EXPECT_EQ(RunToEnd(SCANNER_SIM_PATH, {"--tcp", "8001", "--drop", "2"}, folder), 2);
  fs::remove_all(folder);
}

TEST(EndToEnd, ATouchMovesAndClicksAndClosingStopsTheScanner) {
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr) << "needs an X server (CTest runs it under Xvfb)";

  // The screen area is a band at the bottom of the desktop, clear of the program's own window.
  testing::ProgramFolder installation{
      fs::temp_directory_path() / ("scantouch-e2e-" + std::to_string(::getpid())), "0,1300",
      "2000,250"};
  const int port = testing::FreeLoopbackPort();
  installation.create(port, SCANTOUCH_PATH);

  // The window the click should land in: the band of the screen area.
  const ::Window target =
      XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 1300, 2560, 300, 0, 0, 0);
  XSelectInput(display, target, ButtonPressMask | ButtonReleaseMask | StructureNotifyMask);
  XMapWindow(display, target);
  XEvent event;
  do {
    XNextEvent(display, &event);
  } while (event.type != MapNotify);

  // A hand held still straight ahead of the scanner, 4 m away.
  SimProcess sim({"--tcp", QString::number(port), "--room", "7000", "--object", "0,4000,60"});
  ASSERT_TRUE(sim.waitForLine("ready"));
  QProcess program;
  ASSERT_TRUE(testing::StartInstalled(program, installation));

  int presses = 0;
  const bool clicked = RunUntil(
      [&] {
        while (XPending(display) > 0) {
          XNextEvent(display, &event);
          if (event.type == ButtonPress && event.xbutton.button == 1)
            ++presses;
        }
        return presses > 0;
      },
      20000);
  ASSERT_TRUE(clicked) << sim.output();

  ::Window root = 0, child = 0;
  int x = 0, y = 0, wx = 0, wy = 0;
  unsigned int mask = 0;
  XQueryPointer(display, DefaultRootWindow(display), &root, &child, &x, &y, &wx, &wy, &mask);
  // Straight ahead: the middle of the rectangle's width; the hand's front 1530 mm below its top.
  EXPECT_NEAR(x, 1000, 10);
  EXPECT_NEAR(y, 1300 + 1530 * 250 / 3000, 10);

  ::Window mainWindow = 0;
  ASSERT_TRUE(RunUntil([&] { return (mainWindow = FindWindow(display, kCaption)) != 0; }, 5000));
  AskToClose(display, mainWindow);
  EXPECT_TRUE(testing::WaitForEnd(program));
  EXPECT_TRUE(sim.waitForLine(":STOP."));
  testing::RunFor(300);  // the second stop may trail the first
  const std::string& received = sim.output();
  EXPECT_NE(received.find(":STOP.\n:STOP.\n"), std::string::npos) << received;

  XCloseDisplay(display);
  installation.remove();
}

TEST(EndToEnd, ATerminateSignalIsACloseRequestThatStopsTheScanner) {
  testing::ProgramFolder installation{fs::temp_directory_path() /
                                      ("scantouch-term-" + std::to_string(::getpid()))};
  const int port = testing::FreeLoopbackPort();
  installation.create(port, SCANTOUCH_PATH);

  SimProcess sim({"--tcp", QString::number(port), "--room", "7000"});
  ASSERT_TRUE(sim.waitForLine("ready"));
  QProcess program;
  ASSERT_TRUE(testing::StartInstalled(program, installation));
  ASSERT_TRUE(sim.waitForLine(":SCAN.", 10000));  // connected and streaming

  EXPECT_TRUE(testing::CloseAsAtLogOut(program));
  testing::RunFor(300);  // the second stop may trail the first
  EXPECT_NE(sim.output().find(":STOP.\n:STOP.\n"), std::string::npos) << sim.output();
  installation.remove();
}

}  // namespace
}  // namespace scantouch
