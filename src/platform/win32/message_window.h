#pragma once

#include <windows.h>

#include <functional>

namespace scantouch {

// A window that only receives messages: where timers, posted events and socket events are
// delivered on the thread's message loop. A hidden top-level one also hears what the desktop
// tells every top-level window (log-off, shut-down) and can own a pop-up menu.
class MessageWindow {
 public:
  using Handler = std::function<LRESULT(UINT message, WPARAM wParam, LPARAM lParam)>;
  enum class Kind { messageOnly, hiddenTopLevel };

  explicit MessageWindow(Handler handler, Kind kind = Kind::messageOnly);
  ~MessageWindow();
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;

  HWND handle() const { return window_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  Handler handler_;
  HWND window_ = nullptr;
};

}  // namespace scantouch
