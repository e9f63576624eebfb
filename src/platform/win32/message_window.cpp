#include "win32/message_window.h"

namespace scantouch {
namespace {

constexpr const wchar_t* kClassName = L"ScantouchMessageWindow";

void RegisterClassOnce(WNDPROC procedure) {
  static const bool registered = [procedure] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    return RegisterClassExW(&windowClass) != 0;
  }();
  (void)registered;
}

}  // namespace

MessageWindow::MessageWindow(Handler handler, Kind kind) : handler_(std::move(handler)) {
  RegisterClassOnce(&MessageWindow::Procedure);
  const bool messageOnly = kind == Kind::messageOnly;
  window_ = CreateWindowExW(0, kClassName, L"", messageOnly ? 0 : WS_POPUP, 0, 0, 0, 0,
                            messageOnly ? HWND_MESSAGE : nullptr, nullptr,
                            GetModuleHandleW(nullptr), this);
}

MessageWindow::~MessageWindow() {
  if (window_ != nullptr) {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
}

LRESULT CALLBACK MessageWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<MessageWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  const bool ours = message == WM_QUERYENDSESSION || message == WM_ENDSESSION ||
                    message == WM_TIMER || message >= WM_APP;
  if (self != nullptr && ours)
    return self->handler_(message, wParam, lParam);
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace scantouch
