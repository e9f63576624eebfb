#pragma once

#include <optional>

#include "radar/radar_model.h"
#include "toolkit/check_box.h"
#include "toolkit/text_box.h"

namespace scantouch {

// Masks dragged out on the radar view: while the box is ticked, a drag of the pointer over the
// view draws a rectangle, and letting go adds it to the masks' text (which stores and applies it
// as if typed). The view hands the pointer over in view units.
class MaskDrawing {
 public:
  // A drag smaller than this either way, in view units, is a click and adds nothing.
  static constexpr double kLeastSide = 20;

  MaskDrawing(CheckBox& drawing, TextBox& masks, RadarModel& radar);

  // The pointer went down on the view; false when the box is not ticked (nothing is drawn).
  bool press(double x, double y);
  void move(double x, double y);
  void release(double x, double y);
  // The view lost the pointer before it was let go (another window took it): nothing is added.
  void cancel();
  bool dragging() const { return from_.has_value(); }

 private:
  void show(double x, double y);

  CheckBox& drawing_;
  TextBox& masks_;
  RadarModel& radar_;
  std::optional<std::array<double, 2>> from_;
};

}  // namespace scantouch
