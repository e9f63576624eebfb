#include "win32/win32_executable_directory.h"

#include <windows.h>

#include <vector>

#include "win32/wide_text.h"

namespace scantouch {

std::string Win32ExecutableDirectory::path() const {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0)
      return ".";
    if (length < buffer.size()) {
      std::wstring file(buffer.data(), length);
      const std::size_t slash = file.find_last_of(L"\\/");
      return Narrow(slash == std::wstring::npos ? L"." : file.substr(0, slash));
    }
    buffer.resize(buffer.size() * 2);  // a long path: try again with room for it
  }
}

}  // namespace scantouch
