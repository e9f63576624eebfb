#pragma once

#include <windows.h>

#include "calibration/corner_calibration.h"

namespace scantouch::gui_win32 {

// The four-corner calibration's window, as on the Qt face: a borderless pop-up above everything,
// over exactly the screen area being calibrated, dark, with a large mark at the corner to touch,
// the prompt in the middle and a cancel button below it. It follows the calibration: shown at
// each corner while it runs, hidden when it ends. Esc or the button cancels; a click does nothing,
// since the touch that calibrates comes from the scanner.
class CornerMarksWindow {
 public:
  explicit CornerMarksWindow(CornerCalibration& calibration);
  ~CornerMarksWindow();
  CornerMarksWindow(const CornerMarksWindow&) = delete;
  CornerMarksWindow& operator=(const CornerMarksWindow&) = delete;

  HWND handle() const { return window_; }
  HWND cancelButton() const { return cancel_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void follow();
  void paint(HDC context);
  // Places the button and makes the fonts for the monitor's DPI.
  void layOut();

  CornerCalibration& calibration_;
  Notifier<>::ConnectionId connection_;
  HWND window_ = nullptr;
  HWND cancel_ = nullptr;
  HFONT promptFont_ = nullptr;
  HFONT buttonFont_ = nullptr;
  double fontScale_ = 0;  // the scale the fonts were made for
};

}  // namespace scantouch::gui_win32
