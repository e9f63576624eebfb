#include "page.h"

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
  window_ = CreateWindowExW(WS_EX_CONTROLPARENT, kPageClass, L"", WS_CHILD, 0, 0, 10, 10, parent,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
}

Page::~Page() {
  if (window_ != nullptr)
    DestroyWindow(window_);
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

void Page::place(int x, int y, int width, int height, double scale) {
  MoveWindow(window_, x, y, width, height, TRUE);
  for (const Placed& placed : controls_) {
    const RECT& r = placed.logical;
    MoveWindow(placed.control, Scaled(r.left, scale), Scaled(r.top, scale),
               Scaled(r.right - r.left, scale), Scaled(r.bottom - r.top, scale), TRUE);
  }
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
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace scantouch::gui_win32
