#include "win32/send_input_desktop_input.h"

#include <windows.h>

#include <algorithm>

namespace scantouch {
namespace {

// A desktop pixel in the 0..65535 units of absolute mouse input over the virtual desktop.
LONG Normalised(std::int32_t pixel, int origin, int size) {
  const long long offset = std::clamp<long long>(pixel - origin, 0, std::max(size - 1, 0));
  return static_cast<LONG>((offset * 65535 + (size - 1) / 2) / std::max(size - 1, 1));
}

}  // namespace

bool SendInputDesktopInput::setCursorPos(std::int32_t x, std::int32_t y) {
  INPUT move{};
  move.type = INPUT_MOUSE;
  move.mi.dx =
      Normalised(x, GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_CXVIRTUALSCREEN));
  move.mi.dy =
      Normalised(y, GetSystemMetrics(SM_YVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
  move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
  return SendInput(1, &move, sizeof move) == 1;
}

bool SendInputDesktopInput::leftClick() {
  INPUT click[2]{};
  click[0].type = INPUT_MOUSE;
  click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  click[1].type = INPUT_MOUSE;
  click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  return SendInput(2, click, sizeof click[0]) == 2;
}

bool SendInputDesktopInput::setLeftButton(bool down) {
  INPUT button{};
  button.type = INPUT_MOUSE;
  button.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  return SendInput(1, &button, sizeof button) == 1;
}

std::optional<ScreenPoint> SendInputDesktopInput::cursorPos() {
  POINT point;
  if (!GetCursorPos(&point))
    return std::nullopt;
  return ScreenPoint{point.x, point.y};
}

}  // namespace scantouch
