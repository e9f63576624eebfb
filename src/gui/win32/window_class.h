#pragma once

#include <windows.h>

#include <string>

namespace scantouch::gui_win32 {

// What the face's windows share: their classes, registered once, the object each window was made
// for, and the dialog font.

// Registers the class `name` the first time it is asked for; later calls do nothing.
void RegisterWindowClass(const wchar_t* name, WNDPROC procedure, HICON icon = nullptr,
                         LPCWSTR cursor = IDC_ARROW, bool paintsBackground = true);

// The object passed as the creation parameter of `window`, kept with the window from its
// WM_NCCREATE on; nullptr before that and after `ForgetWindowObject`.
template <typename Object>
Object* WindowObject(HWND window, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  return reinterpret_cast<Object*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// Destroys the window after cutting it off from its object, which is going away.
void DestroyWindowOf(HWND window);

// The desktop's message font at `scale` times its 96-dpi size (12 pixels).
HFONT MessageFont(double scale);
// The width of `text` in that font at 96 dpi.
int TextWidth(const std::string& text);

// The DPI of the monitor `window` is on over 96, where Windows can tell (10 and later); the
// system's otherwise.
double WindowScale(HWND window);

}  // namespace scantouch::gui_win32
