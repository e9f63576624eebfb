#include "win32/run_key_autostart.h"

#include <windows.h>

#include <cstdint>

namespace scantouch {
namespace {

constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// FNV-1a over the path in lower case (Windows paths ignore case): short, and the same in every
// version, so that a copy finds its value again.
std::wstring PathHash(std::wstring path) {
  if (!path.empty())
    CharLowerBuffW(path.data(), static_cast<DWORD>(path.size()));
  std::uint32_t hash = 2166136261u;
  for (const wchar_t c : path) {
    for (const unsigned byte : {static_cast<unsigned>(c) & 0xFF, static_cast<unsigned>(c) >> 8}) {
      hash ^= byte;
      hash *= 16777619u;
    }
  }
  std::wstring text;
  for (int digit = 0; digit < 8; ++digit, hash >>= 4)
    text.insert(text.begin(), L"0123456789abcdef"[hash & 15]);
  return text;
}

std::wstring CommandFor(const std::wstring& program) {
  return L"\"" + program + L"\"";
}

}  // namespace

RunKeyAutostart::RunKeyAutostart(std::wstring program, std::wstring baseName)
    : program_(std::move(program)),
      earlierName_(std::move(baseName)),
      name_(earlierName_ + L"-" + PathHash(program_)) {}

bool RunKeyAutostart::ownsEarlierValue() const {
  wchar_t command[4 * MAX_PATH];
  DWORD size = sizeof command;
  if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, earlierName_.c_str(), RRF_RT_REG_SZ, nullptr,
                   command, &size) != ERROR_SUCCESS)
    return false;
  // Earlier versions wrote the quoted path alone; the user may have added options after it.
  const std::wstring expected = CommandFor(program_);
  const std::wstring found(command);
  return found.size() >= expected.size() &&
         (found.size() == expected.size() || found[expected.size()] == L' ') &&
         CompareStringOrdinal(found.c_str(), static_cast<int>(expected.size()), expected.c_str(),
                              static_cast<int>(expected.size()), TRUE) == CSTR_EQUAL;
}

bool RunKeyAutostart::enabled() const {
  return RegGetValueW(HKEY_CURRENT_USER, kRunKey, name_.c_str(), RRF_RT_REG_SZ, nullptr, nullptr,
                      nullptr) == ERROR_SUCCESS ||
         ownsEarlierValue();
}

bool RunKeyAutostart::setEnabled(bool enabled) {
  const bool earlier = ownsEarlierValue();
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  LSTATUS result;
  if (enabled) {
    const std::wstring command = CommandFor(program_);
    result = RegSetValueExW(key, name_.c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(command.c_str()),
                            static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
  } else {
    result = RegDeleteValueW(key, name_.c_str());
    if (result == ERROR_FILE_NOT_FOUND)
      result = ERROR_SUCCESS;  // already gone
  }
  // One value per program: an earlier version's goes either way, once this one's is as asked.
  if (result == ERROR_SUCCESS && earlier) {
    result = RegDeleteValueW(key, earlierName_.c_str());
    if (result == ERROR_FILE_NOT_FOUND)
      result = ERROR_SUCCESS;
  }
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

}  // namespace scantouch
