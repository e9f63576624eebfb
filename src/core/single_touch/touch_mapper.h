#pragma once

#include <cstdint>
#include <optional>

#include "common/pair.h"
#include "geometry/screen_area.h"
#include "geometry/screen_scaling.h"
#include "geometry/surface_mapping.h"
#include "geometry/touch_offset.h"
#include "outputs/desktop_input.h"
#include "toolkit/check_box.h"
#include "toolkit/shape.h"
#include "toolkit/text_box.h"

namespace scantouch {

// The controls of the main window the touch mapping reads and writes.
struct MappingControls {
  TextBox& currentTouch;  // TXT当前处理数据: the touch shown, "xxxx,yyyy" view units; user edits
  Shape& touchRect;       // SHPWIN: its size scales a touch; its place, for four corners
  CheckBox& mouseMove;   // CHK鼠标移动: move the cursor when checked (exactly 1)
  CheckBox& mouseClick;  // CHK鼠标点击: click when checked (exactly 1)
  TextBox& mappedTouch;  // txt校正后数据: the resulting desktop pixel, shown for diagnosis
};

// Scales the current touch from the touch rectangle to the screen area, moves the cursor there
// and clicks, as the two check boxes allow. Linear, or through four calibrated corners when the
// surface mapping has them; no smoothing, nothing kept between touches.
class TouchMapper {
 public:
  TouchMapper(MappingControls controls, DesktopInput& desktop);

  // The screen area touches map to.
  void configure(const ScreenArea& screen) { screen_ = screen; }
  const ScreenArea& screenArea() const { return screen_; }

  // A touch the point processing found.
  void mapTouch(const Touch& touch);
  // A touch the user typed into the current touch's box.
  void mapTouchToScreen();

  // Whether a touch moves the cursor and clicks (as the two boxes allow) or is only shown: the
  // touch engine may have the mouse instead.
  void setActsOnDesktop(bool acts) { actsOnDesktop_ = acts; }
  // Four calibrated corners, when `mapping` has them, take the place of the linear scaling.
  void setSurfaceMapping(const SurfaceMapping* mapping) { surfaceMapping_ = mapping; }

 private:
  void mapOffset(IntPair offset);

  MappingControls controls_;
  DesktopInput& desktop_;
  ScreenArea screen_;
  bool actsOnDesktop_ = true;
  const SurfaceMapping* surfaceMapping_ = nullptr;
};

}  // namespace scantouch
