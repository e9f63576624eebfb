#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "win32/win32_event_loop.h"

namespace scantouch::testing {

// Runs the message loop until `done` holds or `timeout_ms` passed; true when it held.
inline bool RunUntil(Win32EventLoop& loop, const std::function<bool()>& done, int timeout_ms) {
  const std::int64_t deadline = loop.nowMs() + timeout_ms;
  while (!done()) {
    if (loop.nowMs() > deadline)
      return false;
    loop.yield();
    Sleep(2);
  }
  return true;
}

}  // namespace scantouch::testing
