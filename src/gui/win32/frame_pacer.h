#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "win32/message_window.h"

namespace scantouch::gui_win32 {

// Brings windows up to date at a bounded frame rate, as the Qt face's pacer does: controls that
// change thousands of times a second only mark their window stale; each stale window is
// refreshed at most once a frame, not at all while nothing changed, and not while hidden (it
// catches up at the next frame in which it shows).
class FramePacer {
 public:
  static constexpr UINT kFrameInterval_ms = 33;

  FramePacer();

  // Returns a function that marks `refresh` of `window` as due for the next frame.
  std::function<void()> add(HWND window, std::function<void()> refresh);
  // A window was shown: what went stale while it was hidden is refreshed.
  void wake();

 private:
  struct Entry {
    HWND window;
    std::function<void()> refresh;
    bool stale = false;
  };
  void frame();

  MessageWindow timerWindow_;
  bool frameDue_ = false;
  std::vector<Entry> entries_;
};

}  // namespace scantouch::gui_win32
