#pragma once

#include <QWidget>

#include "app/scanner_program.h"
#include "frame_pacer.h"

class QGroupBox;
class QToolButton;

namespace scantouch::gui {

class RadarWidget;

// The main window Form1: the radar view, the settings, the calibration group, the buttons and a
// debug area that can be folded away. Every widget is bound to its control in the core.
class MainWindow : public QWidget {
 public:
  MainWindow(ScannerProgram& program, FramePacer& pacer);

  RadarWidget* radar() const { return radar_; }

 protected:
  // Every way of closing the window is the program's one exit.
  void closeEvent(QCloseEvent* event) override;

 private:
  QWidget* makeSettingsPanel();
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
};

// The debug area: commands by hand, the receive buffer, the angle trace, the event log.
QWidget* MakeDebugPanel(ScannerProgram& program, FramePacer& pacer, QWidget* parent);

}  // namespace scantouch::gui
