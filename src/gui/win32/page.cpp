#include "page.h"

#include <algorithm>
#include <cmath>

#include "bindings.h"
#include "win32/wide_text.h"
#include "window_class.h"

namespace scantouch::gui_win32 {
namespace {

constexpr const wchar_t* kPageClass = L"ScantouchPage";

int Scaled(int logical, double scale) {
  return static_cast<int>(std::lround(logical * scale));
}

}  // namespace

bool HandleControlMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message == WM_COMMAND && lParam != 0) {
    result = 0;
    return HandleCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
  }
  if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN) {
    if (HBRUSH brush =
            HandleStaticColour(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam))) {
      result = reinterpret_cast<LRESULT>(brush);
      return true;
    }
  }
  return false;
}

Page::Page(HWND parent, HFONT font) : font_(font) {
  RegisterWindowClass(kPageClass, &Page::Procedure);
  window_ = CreateWindowExW(WS_EX_CONTROLPARENT, kPageClass, L"", WS_CHILD | WS_VSCROLL, 0, 0, 10,
                            10, parent, nullptr, GetModuleHandleW(nullptr), this);
}

Page::~Page() {
  DestroyWindowOf(window_);
}

HWND Page::add(const wchar_t* windowClass, DWORD style, int x, int y, int width, int height,
               const std::string& text, DWORD extendedStyle) {
  HWND control = CreateWindowExW(extendedStyle, windowClass, Widen(text).c_str(),
                                 WS_CHILD | WS_VISIBLE | style, x, y, width, height, window_,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  controls_.push_back(Placed{control, RECT{x, y, x + width, y + height}});
  return control;
}

HWND Page::label(const std::string& text, int x, int y, int width, int height) {
  return add(L"STATIC", SS_LEFT | SS_CENTERIMAGE, x, y, width, height, text);
}

HWND Page::group(const std::string& title, int x, int y, int width, int height) {
  return add(L"BUTTON", BS_GROUPBOX, x, y, width, height, title);
}

HWND Page::edit(int x, int y, int width, int height, DWORD style) {
  return add(L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL | style, x, y, width, height, "",
             WS_EX_CLIENTEDGE);
}

HWND Page::radio(int x, int y, int width) {
  return add(L"BUTTON", WS_TABSTOP | BS_RADIOBUTTON, x, y, width, 22);
}

HWND Page::check(int x, int y, int width) {
  return add(L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX, x, y, width, 22);
}

HWND Page::button(int x, int y, int width, int height) {
  return add(L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, x, y, width, height);
}

void Page::stretch(HWND control) {
  for (Placed& placed : controls_) {
    if (placed.control == control)
      placed.stretches = true;
  }
}

void Page::name(HWND control, std::string name) {
  names_.emplace_back(std::move(name), control);
}

HWND Page::find(std::string_view name) const {
  for (const auto& [known, control] : names_) {
    if (known == name)
      return control;
  }
  return nullptr;
}

void Page::place(int x, int y, int width, int height, double scale) {
  scale_ = scale;
  height_ = height;
  MoveWindow(window_, x, y, width, height, TRUE);
  layOut();
}

void Page::layOut() {
  int contentBottom = 0;  // in 96-dpi units
  int stretching = 0;
  for (const Placed& placed : controls_) {
    contentBottom = std::max(contentBottom, static_cast<int>(placed.logical.bottom));
    stretching += placed.stretches ? 1 : 0;
  }
  const int content = Scaled(contentBottom + 6, scale_);
  // A page taller than its area scrolls; a shorter one gives what is left to its stretching
  // controls. The scroll bar hides itself while the whole page fits.
  SCROLLINFO scroll{};
  scroll.cbSize = sizeof scroll;
  scroll.fMask = SIF_RANGE | SIF_PAGE;
  scroll.nMin = 0;
  scroll.nMax = content - 1;
  scroll.nPage = static_cast<UINT>(std::max(0, height_));
  SetScrollInfo(window_, SB_VERT, &scroll, TRUE);
  scrolled_ = std::clamp(scrolled_, 0, std::max(0, content - height_));
  SetScrollPos(window_, SB_VERT, scrolled_, TRUE);
  const int spare = stretching > 0 && height_ > content
                        ? static_cast<int>((height_ - content) / scale_) / stretching
                        : 0;

  for (const Placed& placed : controls_) {
    RECT r = placed.logical;
    int below = 0;   // stretching controls above this one
    int inside = 0;  // stretching controls within it, itself included
    for (const Placed& other : controls_) {
      if (!other.stretches)
        continue;
      below += other.logical.bottom <= r.top ? 1 : 0;
      inside += other.logical.top >= r.top && other.logical.bottom <= r.bottom ? 1 : 0;
    }
    r.top += below * spare;
    r.bottom += (below + inside) * spare;
    MoveWindow(placed.control, Scaled(r.left, scale_), Scaled(r.top, scale_) - scrolled_,
               Scaled(r.right - r.left, scale_), Scaled(r.bottom - r.top, scale_), TRUE);
  }
}

void Page::scrollTo(int position) {
  if (position == scrolled_)
    return;
  scrolled_ = position;
  layOut();
}

void Page::setFont(HFONT font) {
  font_ = font;
  for (const Placed& placed : controls_)
    SendMessageW(placed.control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

LRESULT CALLBACK Page::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (HandleControlMessage(message, wParam, lParam, result))
    return result;
  auto* self = WindowObject<Page>(window, message, lParam);
  if (self != nullptr && self->window_ != nullptr) {
    const int line = Scaled(20, self->scale_);
    if (message == WM_VSCROLL) {
      SCROLLINFO scroll{};
      scroll.cbSize = sizeof scroll;
      scroll.fMask = SIF_ALL;
      GetScrollInfo(window, SB_VERT, &scroll);
      int position = self->scrolled_;
      switch (LOWORD(wParam)) {
        case SB_LINEUP:
          position -= line;
          break;
        case SB_LINEDOWN:
          position += line;
          break;
        case SB_PAGEUP:
          position -= static_cast<int>(scroll.nPage);
          break;
        case SB_PAGEDOWN:
          position += static_cast<int>(scroll.nPage);
          break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
          position = scroll.nTrackPos;
          break;
        case SB_TOP:
          position = 0;
          break;
        case SB_BOTTOM:
          position = scroll.nMax;
          break;
        default:
          break;
      }
      self->scrollTo(
          std::clamp(position, 0, std::max(0, scroll.nMax + 1 - static_cast<int>(scroll.nPage))));
      return 0;
    }
    if (message == WM_MOUSEWHEEL) {
      // What no control under the pointer took: three lines a notch.
      const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
      SCROLLINFO scroll{};
      scroll.cbSize = sizeof scroll;
      scroll.fMask = SIF_ALL;
      GetScrollInfo(window, SB_VERT, &scroll);
      self->scrollTo(std::clamp(self->scrolled_ - notches * 3 * line, 0,
                                std::max(0, scroll.nMax + 1 - static_cast<int>(scroll.nPage))));
      return 0;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace scantouch::gui_win32
