#include "win32/win32_instance_guard.h"

#include "win32/wide_text.h"

namespace scantouch {

Win32InstanceGuard::~Win32InstanceGuard() {
  if (mutex_ != nullptr)
    CloseHandle(mutex_);
}

bool Win32InstanceGuard::anotherInstanceRunning() {
  // "Local\": the user's session; copies of other users logged on to the machine do not count.
  mutex_ = CreateMutexW(nullptr, FALSE, L"Local\\scantouch.instance");
  return mutex_ != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
}

}  // namespace scantouch
