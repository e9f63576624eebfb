#pragma once

#include <QWidget>
#include <memory>

#include "app/scanner_program.h"
#include "corner_marks_window.h"
#include "frame_pacer.h"

namespace scantouch::gui {

class RadarWidget;

// The main window Form1: the radar view and, beside it, the pages and buttons its description
// (layout::MainWindowLayout) lists, each widget bound to its control in the core.
class MainWindow : public QWidget {
 public:
  MainWindow(ScannerProgram& program, FramePacer& pacer);

  RadarWidget* radar() const { return radar_; }
  CornerMarksWindow& cornerMarks() const { return *cornerMarks_; }

  // 1200 x 760, or less on a smaller screen.
  static QSize DefaultSize();

 protected:
  // Every way of closing the window is the program's one exit.
  void closeEvent(QCloseEvent* event) override;
  // The user minimised or restored the window: the core follows, so that it knows what to do.
  void changeEvent(QEvent* event) override;

 private:
  void followWindowState();

  ScannerProgram& program_;
  MainForm& form_;
  RadarWidget* radar_ = nullptr;
  bool followingCore_ = false;  // a state change the core asked for, not the user
  // A window of its own, above everything while the four-corner calibration runs.
  std::unique_ptr<CornerMarksWindow> cornerMarks_;
};

}  // namespace scantouch::gui
