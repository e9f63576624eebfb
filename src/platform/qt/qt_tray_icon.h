#pragma once

#include <QMenu>
#include <QPixmap>
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

// The program's icon, a small radar: for the tray, the windows and the desktop's menus (the
// installed icons are these pictures, and packaging/linux/scantouch.svg draws the same).
inline constexpr int kProgramIconSizes[] = {16, 24, 32, 48, 64, 128, 256};
QPixmap ProgramIconPixmap(int size);
QIcon ProgramIcon();

}  // namespace scantouch
