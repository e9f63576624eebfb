#pragma once

#include <windows.h>

#include <functional>

#include "toolkit/frame_pacing.h"
#include "win32/win32_event_loop.h"

namespace scantouch::gui_win32 {

// The core's frame pacing for Win32 windows, as the Qt face's pacer: a window shows while it is
// visible; whoever shows a window calls wake(), so that what went stale while it was hidden is
// refreshed at the next frame.
class FramePacer {
 public:
  static constexpr std::int64_t kFrameInterval_ms = FramePacing::kFrameInterval_ms;

  FramePacer() = default;

  // Returns a function that marks `refresh` of `window` as due for the next frame.
  std::function<void()> add(HWND window, std::function<void()> refresh);
  // A window was shown: what went stale while it was hidden is refreshed.
  void wake() { pacing_.wake(); }

 private:
  Win32EventLoop loop_;
  FramePacing pacing_{loop_};
};

}  // namespace scantouch::gui_win32
