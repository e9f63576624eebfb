#include "qt/qt_shell.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QCursor>
#include <QDir>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>

namespace scantouch {
namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A small radar: the program's icon.
QIcon ProgramIcon() {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(QColor(20, 60, 40));
  painter.setPen(QPen(QColor(0, 255, 0), 2));
  painter.drawEllipse(2, 2, 28, 28);
  painter.drawLine(16, 16, 27, 8);
  return QIcon(pixmap);
}

int signalPipe[2] = {-1, -1};

void OnSignal(int number) {
  const char byte = static_cast<char>(number);
  (void)!::write(signalPipe[1], &byte, 1);
}

}  // namespace

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
                         notified.notify(kLeftButtonUp);
                         break;
                       case QSystemTrayIcon::DoubleClick:
                         notified.notify(kLeftDoubleClick);
                         break;
                       case QSystemTrayIcon::Context:
                         notified.notify(kRightButtonUp);
                         break;
                       default:
                         break;
                     }
                   });
}

bool QtTrayIcon::add(std::string_view tip) {
  icon_.setToolTip(Q(tip));
  if (!QSystemTrayIcon::isSystemTrayAvailable())
    return false;
  icon_.show();
  return true;
}

void QtTrayIcon::popUpMenu() {
  menu_.popup(QCursor::pos());
}

bool QtInstanceGuard::anotherInstanceRunning() {
  lock_ = std::make_unique<QLockFile>(QDir::temp().filePath("scantouch.lock"));
  lock_->setStaleLockTime(0);  // a copy that crashed holds nothing
  return !lock_->tryLock(0);
}

bool QtDialogs::askYesNo(std::string_view text, std::string_view title) {
  return QMessageBox::question(nullptr, Q(title), Q(text), QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}

void QtDialogs::inform(std::string_view text, std::string_view title) {
  QMessageBox::information(nullptr, Q(title), Q(text));
}

UnixCloseRequests::UnixCloseRequests(std::function<void()> onRequest)
    : onRequest_(std::move(onRequest)) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
    return;
  notifier_ = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
    char byte = 0;
    (void)!::read(signalPipe[0], &byte, 1);
    onRequest_();
  });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int number : {SIGTERM, SIGINT, SIGHUP})
    sigaction(number, &action, nullptr);
}

UnixCloseRequests::~UnixCloseRequests() {
  for (const int number : {SIGTERM, SIGINT, SIGHUP})
    ::signal(number, SIG_DFL);
}

}  // namespace scantouch
