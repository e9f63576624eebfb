#pragma once

#include <windows.h>

#include "app/instance_guard.h"

namespace scantouch {

// Another copy runs when the named mutex of the user's session exists already.
class Win32InstanceGuard final : public InstanceGuard {
 public:
  ~Win32InstanceGuard() override;
  bool anotherInstanceRunning() override;

 private:
  HANDLE mutex_ = nullptr;
};

}  // namespace scantouch
