#include "frame_pacer.h"

namespace scantouch::gui_win32 {

std::function<void()> FramePacer::add(HWND window, std::function<void()> refresh) {
  return pacing_.staleMarker(
      pacing_.add([window] { return IsWindowVisible(window) != FALSE; }, std::move(refresh)));
}

}  // namespace scantouch::gui_win32
