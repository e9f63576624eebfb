#pragma once

#include <string_view>

#include "toolkit/notifier.h"

namespace scantouch {

// Mouse actions on the tray icon. The values are the codes the desktop has always reported them
// with; only the three the program answers matter.
enum class TrayEvent : int {
  mouseMove = 512,
  leftButtonDown = 513,
  leftButtonUp = 514,
  leftDoubleClick = 515,
  rightButtonDown = 516,
  rightButtonUp = 517,
};

// The program's icon in the desktop's notification area, with its pop-up menu "系统菜单".
class TrayIcon {
 public:
  virtual ~TrayIcon() = default;

  // False when the desktop offers no notification area; the program goes on without the icon.
  virtual bool add(std::string_view tip) = 0;
  virtual void remove() = 0;
  // Opens the menu at the cursor.
  virtual void popUpMenu() = 0;

  Notifier<TrayEvent> notified;  // a mouse action on the icon
  Notifier<> showWindowChosen;   // menu item "Qivra激光雷达互动调试界面"
  Notifier<> exitChosen;         // menu item "退出Qivra激光雷达互动"
};

}  // namespace scantouch
