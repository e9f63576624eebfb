#include "win32/win32_dialogs.h"

#include <windows.h>

#include "win32/wide_text.h"

namespace scantouch {

bool Win32Dialogs::askYesNo(std::string_view text, std::string_view title) {
  return MessageBoxW(nullptr, Widen(text).c_str(), Widen(title).c_str(),
                     MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL) == IDYES;
}

void Win32Dialogs::inform(std::string_view text, std::string_view title) {
  MessageBoxW(nullptr, Widen(text).c_str(), Widen(title).c_str(),
              MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
}

}  // namespace scantouch
