#pragma once

#include <windows.h>

#include <memory>
#include <string_view>
#include <vector>

#include "app/scanner_program.h"
#include "corner_marks_window.h"
#include "frame_pacer.h"
#include "page.h"
#include "radar_widget.h"

namespace scantouch::gui_win32 {

// The main window Form1, built from the same description as the Qt face's
// (layout::MainWindowLayout): the radar view and, beside it, the pages and the buttons below them,
// every control bound to its control in the core.
class MainWindow {
 public:
  MainWindow(ScannerProgram& program, FramePacer& pacer, HICON icon);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND handle() const { return window_; }
  // The control the description names `name` (English), on any page; nullptr for none.
  HWND control(std::string_view name) const;
  const CornerMarksWindow& cornerMarks() const { return *cornerMarks_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
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
  std::vector<std::unique_ptr<Page>> pages_;
  std::unique_ptr<Page> buttons_;
  bool followingCore_ = false;  // a state change the core asked for, not the user
  // A window of its own, above everything while the four-corner calibration runs.
  std::unique_ptr<CornerMarksWindow> cornerMarks_;
};

}  // namespace scantouch::gui_win32
