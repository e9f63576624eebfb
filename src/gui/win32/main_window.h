#pragma once

#include <windows.h>

#include <memory>

#include "app/scanner_program.h"
#include "frame_pacer.h"
#include "page.h"
#include "radar_widget.h"

namespace scantouch::gui_win32 {

// The main window Form1, as the Qt face lays it out: the radar view and, beside it, pages for the
// calibration, the other settings, the touch engine and the debug area, with the buttons below.
// Every control is bound to its control in the core.
class MainWindow {
 public:
  MainWindow(ScannerProgram& program, FramePacer& pacer, HICON icon);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND handle() const { return window_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void makeCalibrationPage();
  void makeOptionsPage();
  void makeButtons();
  void layOut();
  void showPage(int index);
  void followWindowState();
  double scale() const;

  ScannerProgram& program_;
  MainForm& form_;
  FramePacer& pacer_;
  HWND window_ = nullptr;
  HFONT font_ = nullptr;
  std::unique_ptr<RadarWidget> radar_;
  HWND tabs_ = nullptr;
  static constexpr int kPages = 4;
  std::unique_ptr<Page> pages_[kPages];
  std::unique_ptr<Page> buttons_;
  bool followingCore_ = false;  // a state change the core asked for, not the user
};

// The debug area's page: commands by hand, the receive buffer, the angle trace, the event log.
void MakeDebugPanel(ScannerProgram& program, FramePacer& pacer, Page& page);

// The touch engine's page: the mouse mode, the outputs, the tracking and the engine's status.
void MakeTouchPage(MainForm& form, Page& page);

}  // namespace scantouch::gui_win32
