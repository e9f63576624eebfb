#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <functional>

#include "app/tray_icon.h"
#include "win32/message_window.h"

namespace scantouch {

// The notification-area icon with its menu "系统菜单", and the program's hidden top-level window:
// a log-off or shut-down of the session is reported as a close request.
class Win32TrayIcon final : public TrayIcon {
 public:
  Win32TrayIcon(HICON icon, std::function<void()> onCloseRequest);
  ~Win32TrayIcon() override { remove(); }

  bool add(std::string_view tip) override;
  void remove() override;
  void popUpMenu() override;

 private:
  LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);

  HICON icon_;
  std::function<void()> onCloseRequest_;
  MessageWindow window_;
  NOTIFYICONDATAW data_{};
  bool added_ = false;
};

}  // namespace scantouch
