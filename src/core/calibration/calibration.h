#pragma once

#include <optional>

#include "outputs/desktop_input.h"
#include "toolkit/label.h"
#include "toolkit/option_array.h"
#include "toolkit/shape.h"
#include "toolkit/text_box.h"

namespace scantouch {

// The controls of the calibration group "位置相关参数设置".
struct CalibrationControls {
  OptionArray& mode;         // OPT标定
  Shape& touchRect;          // SHPWIN
  Shape& scannerMarker;      // Shape1
  TextBox& calibTopLeft;     // TXT标定左上角
  TextBox& calibSize;        // TXT标定右下角
  TextBox& scannerPosition;  // txt雷达位置
  TextBox& screenTopLeft;    // TXT屏幕左上角
  TextBox& screenSize;       // TXT屏幕宽高
  Label& cursorPosition;     // LBL鼠标在屏幕的当前位置
};

// Setting the geometry by hand: clicks in the radar view place the touch rectangle's corners and
// the scanner, the space bar in the screen boxes captures the cursor's position, and a label
// shows where the cursor is once a second.
class Calibration {
 public:
  enum Mode {
    kTopLeft = 0,
    kBottomRight = 1,
    kScanner = 2,
    kScreenTopLeft = 3,
    kScreenSize = 4,
    kDone = 5
  };
  static constexpr const char* kCursorCaption = "鼠标在屏幕的当前位置";
  // Shown after the caption where the desktop cannot tell where the cursor is.
  static constexpr const char* kUnknownPosition = "?";

  Calibration(CalibrationControls controls, DesktopInput& desktop);

  // A mouse button pressed in the radar view at (x, y), in view units.
  void click(float x, float y);
  void onModeSelected(int index);
  // The space bar in one of the screen boxes; true: the key was taken.
  bool captureScreenTopLeft(int keyCode);
  bool captureScreenSize(int keyCode);
  void showCursorPosition();

 private:
  void readCursor();

  CalibrationControls c_;
  DesktopInput& desktop_;
  ScreenPoint cursor_{};
};

}  // namespace scantouch
