#include "window_class.h"

#include <cmath>
#include <set>
#include <string>

namespace scantouch::gui_win32 {

void RegisterWindowClass(const wchar_t* name, WNDPROC procedure, HICON icon, LPCWSTR cursor,
                         bool paintsBackground) {
  static std::set<std::wstring> registered;
  if (!registered.insert(name).second)
    return;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hIcon = icon;
  windowClass.hIconSm = icon;
  windowClass.hCursor = LoadCursorW(nullptr, cursor);
  windowClass.hbrBackground = paintsBackground ? GetSysColorBrush(COLOR_BTNFACE) : nullptr;
  windowClass.lpszClassName = name;
  RegisterClassExW(&windowClass);
}

void DestroyWindowOf(HWND window) {
  if (window == nullptr)
    return;
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  DestroyWindow(window);
}

HFONT MessageFont(double scale) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  metrics.lfMessageFont.lfHeight = -static_cast<LONG>(std::lround(12 * scale));
  return CreateFontIndirectW(&metrics.lfMessageFont);
}

}  // namespace scantouch::gui_win32
