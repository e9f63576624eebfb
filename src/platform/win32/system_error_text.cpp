#include "win32/system_error_text.h"

#include <windows.h>

#include "win32/wide_text.h"

namespace scantouch {

std::string SystemErrorText(int error) {
  wchar_t* text = nullptr;
  FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string description = text != nullptr ? Narrow(text) : "error " + std::to_string(error);
  if (text != nullptr)
    LocalFree(text);
  while (!description.empty() && (description.back() == '\n' || description.back() == '\r' ||
                                  description.back() == ' ' || description.back() == '.'))
    description.pop_back();
  return description;
}

}  // namespace scantouch
