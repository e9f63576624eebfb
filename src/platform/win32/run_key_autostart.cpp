#include "win32/run_key_autostart.h"

#include <windows.h>

namespace scantouch {
namespace {

constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

}  // namespace

bool RunKeyAutostart::enabled() const {
  return RegGetValueW(HKEY_CURRENT_USER, kRunKey, name_.c_str(), RRF_RT_REG_SZ, nullptr, nullptr,
                      nullptr) == ERROR_SUCCESS;
}

bool RunKeyAutostart::setEnabled(bool enabled) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  LSTATUS result;
  if (enabled) {
    const std::wstring command = L"\"" + program_ + L"\"";
    result = RegSetValueExW(key, name_.c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(command.c_str()),
                            static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
  } else {
    result = RegDeleteValueW(key, name_.c_str());
    if (result == ERROR_FILE_NOT_FOUND)
      result = ERROR_SUCCESS;  // already gone
  }
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

}  // namespace scantouch
