#pragma once

#include <string>

#include "app/main_form.h"

namespace scantouch::testing {

// A calibration laid out around the scanner: its marker 300 units across centred at (scannerX,
// scannerY) in the view, the touch rectangle given relative to the scanner (as simulated scenes
// place things), the screen area at the desktop's corner, sensitivity 2, no angle correction.
struct TouchCalibration {
  double scannerX = 7500;
  double scannerY = 7500;
  double left = 0;  // of the touch rectangle, relative to the scanner
  double top = 0;
  double width = 0;
  double height = 0;
  int screenWidth = 1920;
  int screenHeight = 1080;
  bool movesAndClicks = true;  // ticks cursor moves and clicks; otherwise leaves them as they are
};

inline void Calibrate(MainForm& form, const TouchCalibration& c) {
  form.Shape1.setLeft(static_cast<float>(c.scannerX - 150));
  form.Shape1.setTop(static_cast<float>(c.scannerY - 150));
  (void)form.Shape1.setWidth(300);
  (void)form.Shape1.setHeight(300);
  form.SHPWIN.setLeft(static_cast<float>(c.scannerX + c.left));
  form.SHPWIN.setTop(static_cast<float>(c.scannerY + c.top));
  (void)form.SHPWIN.setWidth(static_cast<float>(c.width));
  (void)form.SHPWIN.setHeight(static_cast<float>(c.height));
  form.TXT灵敏度.setText("2");
  form.txt角度校正.setText("0");
  form.TXT屏幕宽高.setText(std::to_string(c.screenWidth) + "," + std::to_string(c.screenHeight));
  form.TXT屏幕左上角.setText("0,0");
  if (c.movesAndClicks) {
    (void)form.CHK鼠标移动.setValue(CheckBox::kChecked);
    (void)form.CHK鼠标点击.setValue(CheckBox::kChecked);
  }
}

}  // namespace scantouch::testing
