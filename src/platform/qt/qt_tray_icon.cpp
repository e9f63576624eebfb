#include "qt/qt_tray_icon.h"

#include <QCursor>
#include <QPainter>
#include <QPixmap>

namespace scantouch {

QPixmap ProgramIconPixmap(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  // Drawn on a 32 x 32 grid, as the scalable icon is.
  painter.scale(size / 32.0, size / 32.0);
  painter.setBrush(QColor(20, 60, 40));
  painter.setPen(QPen(QColor(0, 255, 0), 2));
  painter.drawEllipse(2, 2, 28, 28);
  painter.drawLine(16, 16, 27, 8);
  return pixmap;
}

QIcon ProgramIcon() {
  QIcon icon;
  for (const int size : kProgramIconSizes)
    icon.addPixmap(ProgramIconPixmap(size));
  return icon;
}

QtTrayIcon::QtTrayIcon() : menu_(QString::fromUtf8("系统菜单")) {
  icon_.setIcon(ProgramIcon());
  QObject::connect(menu_.addAction(QString::fromUtf8("Qivra激光雷达互动调试界面")),
                   &QAction::triggered, [this] { showWindowChosen.notify(); });
  menu_.addSeparator();
  QObject::connect(menu_.addAction(QString::fromUtf8("退出Qivra激光雷达互动")), &QAction::triggered,
                   [this] { exitChosen.notify(); });
  QObject::connect(&icon_, &QSystemTrayIcon::activated,
                   [this](QSystemTrayIcon::ActivationReason reason) {
                     switch (reason) {
                       case QSystemTrayIcon::Trigger:
                         notified.notify(TrayEvent::leftButtonUp);
                         break;
                       case QSystemTrayIcon::DoubleClick:
                         notified.notify(TrayEvent::leftDoubleClick);
                         break;
                       case QSystemTrayIcon::Context:
                         notified.notify(TrayEvent::rightButtonUp);
                         break;
                       default:
                         break;
                     }
                   });
}

bool QtTrayIcon::add(std::string_view tip) {
  icon_.setToolTip(QString::fromUtf8(tip.data(), static_cast<qsizetype>(tip.size())));
  if (!QSystemTrayIcon::isSystemTrayAvailable())
    return false;
  icon_.show();
  return true;
}

void QtTrayIcon::popUpMenu() {
  menu_.popup(QCursor::pos());
}

}  // namespace scantouch
