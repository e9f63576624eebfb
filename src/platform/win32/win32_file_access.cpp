#include "win32/win32_file_access.h"

#include <windows.h>

#include "win32/wide_text.h"

namespace scantouch {
namespace {

// Closes a handle at the end of its scope.
struct Handle {
  HANDLE value;
  ~Handle() {
    if (value != INVALID_HANDLE_VALUE)
      CloseHandle(value);
  }
};

bool WriteAll(HANDLE file, std::string_view content) {
  while (!content.empty()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(content.size(), 1u << 20));
    if (!WriteFile(file, content.data(), chunk, &written, nullptr) || written == 0)
      return false;
    content.remove_prefix(written);
  }
  return true;
}

}  // namespace

std::optional<std::string> Win32FileAccess::readAll(const std::string& path) const {
  Handle file{CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
  if (file.value == INVALID_HANDLE_VALUE)
    return std::nullopt;
  std::string content;
  char buffer[8192];
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file.value, buffer, sizeof buffer, &read, nullptr))
      return std::nullopt;
    if (read == 0)
      return content;
    content.append(buffer, read);
  }
}

bool Win32FileAccess::exists(const std::string& path) const {
  return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32FileAccess::replace(const std::string& path, std::string_view content) {
  const std::wstring target = Widen(path);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0)
    return false;

  const std::wstring temporary = target + L".new";
  {
    Handle file{CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.value == INVALID_HANDLE_VALUE)
      return false;
    if (!WriteAll(file.value, content) || !FlushFileBuffers(file.value)) {
      CloseHandle(file.value);
      file.value = INVALID_HANDLE_VALUE;
      DeleteFileW(temporary.c_str());
      return false;
    }
  }
  if (!MoveFileExW(temporary.c_str(), target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(temporary.c_str());
    return false;
  }
  if (attributes != INVALID_FILE_ATTRIBUTES)
    SetFileAttributesW(target.c_str(), attributes);
  return true;
}

}  // namespace scantouch
