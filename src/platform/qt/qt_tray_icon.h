#pragma once

#include <QMenu>
#include <QSystemTrayIcon>

#include "app/tray_icon.h"

namespace scantouch {

// The notification-area icon with its menu "系统菜单".
class QtTrayIcon final : public TrayIcon {
 public:
  QtTrayIcon();
  bool add(std::string_view tip) override;
  void remove() override { icon_.hide(); }
  void popUpMenu() override;

 private:
  QSystemTrayIcon icon_;
  QMenu menu_;
};

// The program's icon, a small radar: for the tray and the windows.
QIcon ProgramIcon();

}  // namespace scantouch
