#include "network_window.h"

#include <algorithm>
#include <cmath>

#include "bindings.h"
#include "layout_builder.h"
#include "win32/wide_text.h"
#include "window_class.h"

namespace scantouch::gui_win32 {
namespace {

constexpr const wchar_t* kNetworkClass = L"ScantouchNetwork";

}  // namespace

NetworkWindow::NetworkWindow(NetworkForm& form, FramePacer& pacer, HICON icon)
    : form_(form), pacer_(pacer) {
  const layout::WindowLayout description = layout::NetworkWindowLayout(form);
  RegisterWindowClass(kNetworkClass, &NetworkWindow::Procedure, icon);
  window_ = CreateWindowExW(WS_EX_CONTROLPARENT, kNetworkClass, Widen(description.title).c_str(),
                            WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                            100, 100, nullptr, nullptr, GetModuleHandleW(nullptr), this);
  // It follows the DPI of its monitor, as the main window does.
  scale_ = WindowScale(window_);
  const double scale = scale_;
  font_ = MessageFont(scale);
  page_ = std::make_unique<Page>(window_, font_);
  LayoutBuilder build(pacer);
  const layout::Page& described = description.pages.front();
  const int width = std::max(984, LayoutBuilder::NeededWidth(described));
  int height = build.fill(*page_, described, width);
  build.row(*page_, description.buttons, 8, height + 2, width - 16, 24);
  build.finish();
  height += 34;

  RECT frame{0, 0, static_cast<LONG>(std::lround(width * scale)),
             static_cast<LONG>(std::lround(height * scale))};
  AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_CONTROLPARENT);
  SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(page_->handle(), SW_SHOW);
  layOut();

  form.Window.visibilityChanged.connect([this] {
    ShowWindow(window_, form_.Window.visible() ? SW_SHOW : SW_HIDE);
    if (form_.Window.visible())
      pacer_.wake();
  });
}

void NetworkWindow::layOut() {
  RECT client;
  GetClientRect(window_, &client);
  page_->place(0, 0, client.right, client.bottom, scale_);
}

NetworkWindow::~NetworkWindow() {
  page_.reset();
  DestroyWindowOf(window_);
  if (font_ != nullptr)
    DeleteObject(font_);
}

LRESULT CALLBACK NetworkWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = WindowObject<NetworkWindow>(window, message, lParam);
  if (self != nullptr && self->page_ != nullptr) {
    switch (message) {
      case WM_CLOSE:
        // The window, its sockets and its timers live on; closing only hides.
        self->form_.hide();
        return 0;
      case WM_SIZE:
        if (wParam != SIZE_MINIMIZED)
          self->layOut();
        return 0;
      case WM_DPICHANGED: {
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        DeleteObject(self->font_);
        self->scale_ = HIWORD(wParam) / 96.0;
        self->font_ = MessageFont(self->scale_);
        self->page_->setFont(self->font_);
        SetWindowPos(window, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        self->layOut();
        return 0;
      }
      default:
        break;
    }
  }
  LRESULT result = 0;
  if (HandleControlMessage(message, wParam, lParam, result))
    return result;
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace scantouch::gui_win32
