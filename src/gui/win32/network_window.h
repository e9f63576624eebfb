#pragma once

#include <windows.h>

#include <memory>
#include <string_view>

#include "frame_pacer.h"
#include "link/network_form.h"
#include "page.h"

namespace scantouch::gui_win32 {

// The network window FRMSOCK, built from the same description as the Qt face's
// (layout::NetworkWindowLayout): a row of controls per TCP channel, the time-out and the local
// address, what was received, and the buttons. It follows its monitor's DPI. Closing only hides
// it: its sockets and timers live on.
class NetworkWindow {
 public:
  NetworkWindow(NetworkForm& form, FramePacer& pacer, HICON icon);
  ~NetworkWindow();
  NetworkWindow(const NetworkWindow&) = delete;
  NetworkWindow& operator=(const NetworkWindow&) = delete;

  HWND handle() const { return window_; }
  // The control the description names `name` (English); nullptr for none.
  HWND control(std::string_view name) const { return page_->find(name); }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Places the page in the window's client area for the monitor's DPI.
  void layOut();

  NetworkForm& form_;
  FramePacer& pacer_;
  HWND window_ = nullptr;
  HFONT font_ = nullptr;
  double scale_ = 1.0;  // the monitor's DPI over 96
  std::unique_ptr<Page> page_;
};

}  // namespace scantouch::gui_win32
