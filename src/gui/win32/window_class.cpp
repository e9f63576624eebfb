#include "window_class.h"

#include <cmath>
#include <set>
#include <string>

#include "win32/wide_text.h"

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

int TextWidth(const std::string& text) {
  static HFONT font = MessageFont(1.0);
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, font);
  const std::wstring wide = Widen(text);
  SIZE size{0, 0};
  GetTextExtentPoint32W(screen, wide.c_str(), static_cast<int>(wide.size()), &size);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  return static_cast<int>(size.cx);
}

double WindowScale(HWND window) {
  using DpiForWindow = UINT(WINAPI*)(HWND);
  static const auto dpiForWindow = reinterpret_cast<DpiForWindow>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  int dpi = dpiForWindow != nullptr ? static_cast<int>(dpiForWindow(window)) : 0;
  if (dpi <= 0) {
    HDC screen = GetDC(window);
    dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(window, screen);
  }
  return dpi > 0 ? dpi / 96.0 : 1.0;
}

}  // namespace scantouch::gui_win32
