#pragma once

#include <string>
#include <string_view>

namespace scantouch {

// The core's text is UTF-8; the Windows API's is UTF-16.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace scantouch
