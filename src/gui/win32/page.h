#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace scantouch::gui_win32 {

// A child window holding controls at places given in 96-dpi units, laid out anew at every size
// and DPI. A page taller than its area scrolls with a vertical scroll bar; a page shorter than its
// area gives the height to spare to its stretching controls (lists and texts of several lines),
// moving what is below them down. It hands its controls' notifications to the bindings.
class Page {
 public:
  Page(HWND parent, HFONT font);
  ~Page();
  Page(const Page&) = delete;
  Page& operator=(const Page&) = delete;

  HWND handle() const { return window_; }

  // A control of `windowClass` with `text`, at x, y, width, height in 96-dpi units.
  HWND add(const wchar_t* windowClass, DWORD style, int x, int y, int width, int height,
           const std::string& text = "", DWORD extendedStyle = 0);
  HWND label(const std::string& text, int x, int y, int width, int height = 20);
  HWND group(const std::string& title, int x, int y, int width, int height);
  HWND edit(int x, int y, int width, int height = 22, DWORD style = 0);
  HWND radio(int x, int y, int width);
  HWND check(int x, int y, int width);
  HWND button(int x, int y, int width, int height = 26);

  // `control` takes a share of the height the page has to spare.
  void stretch(HWND control);
  // `control` is known by `name`.
  void name(HWND control, std::string name);
  HWND find(std::string_view name) const;

  // Places the page and its controls for `scale` (DPI / 96).
  void place(int x, int y, int width, int height, double scale);
  void setFont(HFONT font);

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Moves the controls for the scale, the height and the scroll position.
  void layOut();
  void scrollTo(int position);

  struct Placed {
    HWND control;
    RECT logical;
    bool stretches = false;
  };
  HWND window_ = nullptr;
  HFONT font_;
  std::vector<Placed> controls_;
  std::vector<std::pair<std::string, HWND>> names_;
  double scale_ = 1.0;
  int height_ = 0;    // pixels
  int scrolled_ = 0;  // pixels
};

// Messages every parent of bound controls answers the same way; true when handled.
bool HandleControlMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

}  // namespace scantouch::gui_win32
