#include "win32/win32_tray_icon.h"

#include "win32/wide_text.h"

namespace scantouch {
namespace {

constexpr UINT kTrayMessage = WM_APP + 20;
constexpr UINT kShowWindowItem = 1;
constexpr UINT kExitItem = 2;

}  // namespace

Win32TrayIcon::Win32TrayIcon(HICON icon, std::function<void()> onCloseRequest)
    : icon_(icon),
      onCloseRequest_(std::move(onCloseRequest)),
      window_([this](UINT message, WPARAM wParam,
                     LPARAM lParam) { return onMessage(message, wParam, lParam); },
              MessageWindow::Kind::hiddenTopLevel) {}

bool Win32TrayIcon::add(std::string_view tip) {
  data_.cbSize = sizeof data_;
  data_.hWnd = window_.handle();
  data_.uID = 1;
  data_.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
  data_.uCallbackMessage = kTrayMessage;
  data_.hIcon = icon_;
  const std::wstring text = Widen(tip);
  lstrcpynW(data_.szTip, text.c_str(), static_cast<int>(std::size(data_.szTip)));
  added_ = Shell_NotifyIconW(NIM_ADD, &data_) != FALSE;
  return added_;
}

void Win32TrayIcon::remove() {
  if (added_)
    Shell_NotifyIconW(NIM_DELETE, &data_);
  added_ = false;
}

void Win32TrayIcon::popUpMenu() {
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, kShowWindowItem, Widen("Qivra激光雷达互动调试界面").c_str());
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, kExitItem, Widen("退出Qivra激光雷达互动").c_str());
  POINT at;
  GetCursorPos(&at);
  SetForegroundWindow(window_.handle());  // so that the menu closes when the user clicks away
  const UINT chosen =
      static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x,
                                       at.y, 0, window_.handle(), nullptr));
  DestroyMenu(menu);
  if (chosen == kShowWindowItem)
    showWindowChosen.notify();
  else if (chosen == kExitItem)
    exitChosen.notify();
}

LRESULT Win32TrayIcon::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kTrayMessage: {
      // The mouse message, by the number the tray events have always carried.
      const UINT mouse = LOWORD(lParam);
      if (mouse == WM_LBUTTONUP || mouse == WM_LBUTTONDBLCLK || mouse == WM_RBUTTONUP)
        notified.notify(static_cast<TrayEvent>(mouse));
      return 0;
    }
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wParam != FALSE && onCloseRequest_)
        onCloseRequest_();  // the session ends: the one exit, which stops the scanner
      return 0;
    default:
      return 0;
  }
}

}  // namespace scantouch
