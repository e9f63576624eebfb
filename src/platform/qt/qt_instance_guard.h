#pragma once

#include <QLockFile>
#include <memory>

#include "app/instance_guard.h"

namespace scantouch {

// Recognises another running copy of the program by a lock file in the user's runtime folder
// ($XDG_RUNTIME_DIR): copies of other users on the same machine do not count, and nobody else can
// take or remove the lock.
class QtInstanceGuard final : public InstanceGuard {
 public:
  bool anotherInstanceRunning() override;

 private:
  std::unique_ptr<QLockFile> lock_;
};

}  // namespace scantouch
