#include "win32/code_page_text_codec.h"

#include <windows.h>

#include "win32/wide_text.h"

namespace scantouch {

std::string CodePageTextCodec::encode(std::string_view text) const {
  // A character beyond the 16-bit range is two UTF-16 units; it becomes one "?", not two.
  std::wstring wide;
  for (const wchar_t unit : Widen(text)) {
    if (unit >= 0xDC00 && unit <= 0xDFFF && !wide.empty() && wide.back() >= 0xD800 &&
        wide.back() <= 0xDBFF) {
      wide.back() = L'?';
      continue;
    }
    wide.push_back(unit);
  }
  if (wide.empty())
    return {};
  const int size = static_cast<int>(wide.size());
  const int length = WideCharToMultiByte(codePage_, 0, wide.data(), size, nullptr, 0, "?", nullptr);
  std::string bytes(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(codePage_, 0, wide.data(), size, bytes.data(), length, "?", nullptr);
  return bytes;
}

std::string CodePageTextCodec::decode(std::string_view bytes) const {
  if (bytes.empty())
    return {};
  const int size = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(codePage_, 0, bytes.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage_, 0, bytes.data(), size, wide.data(), length);
  return Narrow(wide);
}

}  // namespace scantouch
