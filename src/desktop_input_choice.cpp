#include "desktop_input_choice.h"

#include <QGuiApplication>
#include <QScreen>
#include <cstdlib>
#include <string_view>

#include "uinput/uinput_desktop_input.h"
#include "x11/xtest_desktop_input.h"

namespace scantouch {
namespace {

bool WaylandSession() {
  const char* session = std::getenv("XDG_SESSION_TYPE");
  const char* display = std::getenv("WAYLAND_DISPLAY");
  return (session != nullptr && std::string_view(session) == "wayland") ||
         (display != nullptr && *display != '\0');
}

}  // namespace

DesktopArea VirtualDesktop() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr)
    return DesktopArea{0, 0, 1920, 1080};
  const QRect desktop = screen->virtualGeometry();
  return DesktopArea{desktop.x(), desktop.y(), desktop.width(), desktop.height()};
}

struct DesktopInputChoice::Parts {
  std::unique_ptr<DesktopInput> xtest;
  std::unique_ptr<UinputDevice> device;
  std::unique_ptr<UinputDesktopInput> uinput;
  NoDesktopInput none;
};

DesktopInputChoice::DesktopInputChoice(CommandLine::Input input, ProgramLog& log)
    : parts_(std::make_unique<Parts>()) {
  desktop_ = &parts_->none;
  const bool wantXTest = input == CommandLine::Input::xtest ||
                         (input == CommandLine::Input::automatic && !WaylandSession());
  if (wantXTest) {
    parts_->xtest = XTestDesktopInput::open();
    if (parts_->xtest) {
      desktop_ = parts_->xtest.get();
      return;
    }
    if (input == CommandLine::Input::xtest) {
      log.write("no X server with XTest: touches will not move the cursor");
      return;
    }
  }
  const DesktopArea area = VirtualDesktop();
  std::string problem;
  parts_->device = UinputDevice::Create(area, problem);
  if (!parts_->device) {
    log.write(problem);
    return;
  }
  parts_->uinput = std::make_unique<UinputDesktopInput>(*parts_->device, area);
  desktop_ = parts_->uinput.get();
  log.write("touches move the cursor through a uinput pointer over " + std::to_string(area.width) +
            " x " + std::to_string(area.height) + " pixels");
}

DesktopInputChoice::~DesktopInputChoice() = default;

}  // namespace scantouch
