#pragma once

#include <QWidget>

#include "app/scanner_program.h"
#include "frame_pacer.h"

class QGroupBox;

namespace scantouch::gui {

class RadarWidget;

// The main window Form1: the radar view and, beside it, pages for the calibration, the other
// settings, the touch engine and the debug area, with the buttons below. Every widget is bound to
// its control in the core.
class MainWindow : public QWidget {
 public:
  MainWindow(ScannerProgram& program, FramePacer& pacer);

  RadarWidget* radar() const { return radar_; }

  // 1200 x 760, or less on a smaller screen.
  static QSize DefaultSize();

 protected:
  // Every way of closing the window is the program's one exit.
  void closeEvent(QCloseEvent* event) override;
  // The user minimised or restored the window: the core follows, so that it knows what to do.
  void changeEvent(QEvent* event) override;

 private:
  QWidget* makeCalibrationPage();
  QWidget* makeOptionsPage();
  QGroupBox* makeCalibrationGroup();
  QGroupBox* makeScanGroup();
  QGroupBox* makeDisplayModeGroup();
  QGroupBox* makeRangeGroup();
  QGroupBox* makeActionGroup();
  QGroupBox* makeProgramGroup();
  QGroupBox* makeMoreGroup();
  QWidget* makeButtons();
  void followWindowState();

  ScannerProgram& program_;
  MainForm& form_;
  FramePacer& pacer_;
  RadarWidget* radar_ = nullptr;
  bool followingCore_ = false;  // a state change the core asked for, not the user
};

// The debug area: commands by hand, the receive buffer, the angle trace, the event log.
QWidget* MakeDebugPanel(ScannerProgram& program, FramePacer& pacer, QWidget* parent);

// The touch engine's page: the mouse mode, the outputs, the tracking and the engine's status.
QWidget* MakeTouchPage(MainForm& form, QWidget* parent);

}  // namespace scantouch::gui
