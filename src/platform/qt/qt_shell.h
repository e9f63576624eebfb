#pragma once

#include <QLockFile>
#include <QMenu>
#include <QSocketNotifier>
#include <QSystemTrayIcon>
#include <functional>
#include <memory>

#include "app/tray_icon.h"
#include "toolkit/dialogs.h"

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

// Recognises another running copy of the program by a lock file in the temporary directory.
class QtInstanceGuard final : public InstanceGuard {
 public:
  bool anotherInstanceRunning() override;

 private:
  std::unique_ptr<QLockFile> lock_;
};

class QtDialogs final : public Dialogs {
 public:
  bool askYesNo(std::string_view text, std::string_view title) override;
  void inform(std::string_view text, std::string_view title) override;
};

// Turns SIGTERM, SIGINT and SIGHUP (log-out, shut-down, Ctrl+C) into a call on the event loop,
// where the program can close as if its window had been closed.
class UnixCloseRequests {
 public:
  explicit UnixCloseRequests(std::function<void()> onRequest);
  ~UnixCloseRequests();

 private:
  std::function<void()> onRequest_;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace scantouch
