#include "x11/xtest_desktop_input.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace scantouch {
namespace {

constexpr unsigned int kLeftButton = 1;

// X coordinates are C ints; desktop pixels beyond them cannot exist on an X screen.
int ToXCoordinate(std::int32_t value) {
  return static_cast<int>(value);
}

}  // namespace

struct XTestDesktopInput::Connection {
  Display* display = nullptr;
  ~Connection() {
    if (display != nullptr)
      XCloseDisplay(display);
  }
};

std::unique_ptr<XTestDesktopInput> XTestDesktopInput::open(const std::string& displayName) {
  auto connection = std::make_unique<Connection>();
  connection->display = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
  if (connection->display == nullptr)
    return nullptr;
  int eventBase = 0, errorBase = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(connection->display, &eventBase, &errorBase, &major, &minor))
    return nullptr;
  return std::unique_ptr<XTestDesktopInput>(new XTestDesktopInput(std::move(connection)));
}

XTestDesktopInput::XTestDesktopInput(std::unique_ptr<Connection> connection)
    : connection_(std::move(connection)) {}

XTestDesktopInput::~XTestDesktopInput() = default;

bool XTestDesktopInput::setCursorPos(std::int32_t x, std::int32_t y) {
  Display* display = connection_->display;
  // Screen -1: coordinates on the screen the pointer is on, which spans all monitors.
  const Status sent =
      XTestFakeMotionEvent(display, -1, ToXCoordinate(x), ToXCoordinate(y), CurrentTime);
  XFlush(display);
  return sent != 0;
}

bool XTestDesktopInput::leftClick() {
  Display* display = connection_->display;
  const Status pressed = XTestFakeButtonEvent(display, kLeftButton, True, CurrentTime);
  const Status released = XTestFakeButtonEvent(display, kLeftButton, False, CurrentTime);
  XFlush(display);
  return pressed != 0 && released != 0;
}

bool XTestDesktopInput::setLeftButton(bool down) {
  Display* display = connection_->display;
  const Status sent = XTestFakeButtonEvent(display, kLeftButton, down ? True : False, CurrentTime);
  XFlush(display);
  return sent != 0;
}

std::optional<ScreenPoint> XTestDesktopInput::cursorPos() {
  Display* display = connection_->display;
  Window root = 0, child = 0;
  int rootX = 0, rootY = 0, windowX = 0, windowY = 0;
  unsigned int buttons = 0;
  if (!XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &windowX,
                     &windowY, &buttons)) {
    return std::nullopt;
  }
  return ScreenPoint{rootX, rootY};
}

}  // namespace scantouch
