#include "qt/qt_instance_guard.h"

#include <QDir>
#include <QStandardPaths>

namespace scantouch {

bool QtInstanceGuard::anotherInstanceRunning() {
  // Qt makes a private folder of the user's when the session has no runtime folder.
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty())
    folder = QDir::homePath();
  lock_ = std::make_unique<QLockFile>(QDir(folder).filePath("scantouch.lock"));
  lock_->setStaleLockTime(0);  // a copy that crashed holds nothing
  return !lock_->tryLock(0);
}

}  // namespace scantouch
