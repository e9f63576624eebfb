#include "win32/win32_file_access.h"

#include <windows.h>

#include <optional>

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

// The path a symbolic link leads to, or nullopt when it leads nowhere that can be opened.
std::optional<std::wstring> FinalPath(const std::wstring& link) {
  Handle file{CreateFileW(link.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)};
  if (file.value == INVALID_HANDLE_VALUE)
    return std::nullopt;
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetFinalPathNameByHandleW(file.value, path.data(), static_cast<DWORD>(path.size()), 0);
    if (length == 0)
      return std::nullopt;
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(length);
  }
}

// A new file in the folder of `target` with a name nobody uses: "<file>.<number>.tmp", made with
// CREATE_NEW and tried again on a collision, so that no file of the user's is ever overwritten.
HANDLE CreateUniqueFileBeside(const std::wstring& target, std::wstring& name) {
  static unsigned counter = 0;
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  unsigned seed = GetCurrentProcessId() * 2654435761u ^ static_cast<unsigned>(now.QuadPart);
  for (int attempt = 0; attempt < 100; ++attempt) {
    unsigned number = seed + ++counter * 40503u;
    std::wstring suffix = L".tmp";
    for (int digit = 0; digit < 8; ++digit, number >>= 4)
      suffix.insert(suffix.begin(), L"0123456789abcdef"[number & 15]);
    name = target + L"." + suffix;
    const HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
      return file;
  }
  return INVALID_HANDLE_VALUE;
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

bool Win32FileAccess::remove(const std::string& path) {
  return DeleteFileW(Widen(path).c_str()) != 0 || GetLastError() == ERROR_FILE_NOT_FOUND;
}

bool Win32FileAccess::replace(const std::string& path, std::string_view content) {
  std::wstring target = Widen(path);
  // A settings file that is a symbolic link stays one: the file it points to is what gets
  // replaced, in its own folder.
  DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    const std::optional<std::wstring> linked = FinalPath(target);
    if (!linked)
      return false;  // a link to nothing that can be reached: not ours to replace
    target = *linked;
    attributes = GetFileAttributesW(target.c_str());
  }
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0)
    return false;

  std::wstring temporary;
  {
    Handle file{CreateUniqueFileBeside(target, temporary)};
    if (file.value == INVALID_HANDLE_VALUE)
      return false;
    if (!WriteAll(file.value, content) || !FlushFileBuffers(file.value)) {
      CloseHandle(file.value);
      file.value = INVALID_HANDLE_VALUE;
      DeleteFileW(temporary.c_str());
      return false;
    }
  }
  // ReplaceFileW keeps the old file's access control list, attributes and creation time; where
  // it cannot be used (no old file yet, or a file system without it) the file is moved over.
  const bool replaced = attributes != INVALID_FILE_ATTRIBUTES &&
                        ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                                     REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
  if (!replaced && !MoveFileExW(temporary.c_str(), target.c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(temporary.c_str());
    return false;
  }
  if (attributes != INVALID_FILE_ATTRIBUTES)  // not every ReplaceFileW keeps them (Wine's)
    SetFileAttributesW(target.c_str(), attributes);
  return true;
}

}  // namespace scantouch
