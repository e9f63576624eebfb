#pragma once

#include "calibration/corner_calibration.h"
#include "common/pair.h"
#include "toolkit/colour.h"

namespace scantouch::corner_marks_look {

// The four-corner calibration's window as both faces show it: dark, with a large mark at the
// corner to touch, the prompt in the middle and a cancel button below it. Sizes are in 96-dpi
// units (the Qt face's pixels), colours 0x00RRGGBB.
inline constexpr Colour kBackground = 0x10141C;
inline constexpr Colour kMark = 0xFFD400;  // bright yellow on the dark: seen from across the room
inline constexpr Colour kText = 0xEBEBEB;

// The mark: a cross of two arms each way, a ring, and a dot at its centre, all in the mark's pen.
inline constexpr int kArm = 60;
inline constexpr int kRing = 30;
inline constexpr int kPen = 4;
inline constexpr int kDot = 2 * kPen;  // the dot's radius

// The prompt and the button, clear of the marks at the corners.
inline constexpr int kPromptFont = 22;
inline constexpr int kButtonFont = 20;
inline constexpr int kButtonWidth = 160;
inline constexpr int kButtonHeight = 48;
inline constexpr int kMargin = kArm + 20;

inline constexpr const char* kTitle = "四角标定";
inline constexpr const char* kCancelCaption = "取消";

// The key that cancels the calibration: Esc, as the text boxes' key handlers number keys.
inline constexpr int kCancelKey = 27;

// Where the mark's centre lies in the window, in desktop pixels from its top-left corner: on the
// corner's own pixel, so that only the quarter inside the area shows and its centre is where the
// finger goes.
inline IntPair MarkInWindow(const CornerCalibration& calibration) {
  const ScreenPoint mark = calibration.mark();
  const IntPair topLeft = calibration.areaTopLeft();
  return {mark.x - topLeft.first, mark.y - topLeft.second};
}

}  // namespace scantouch::corner_marks_look
