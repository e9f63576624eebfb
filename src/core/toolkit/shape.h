#pragma once

#include "toolkit/control.h"
#include "toolkit/toolkit_result.h"

namespace scantouch {

// A rectangle in the radar view, in view units, with single-precision geometry as the view keeps
// it. A negative width or height is refused and leaves the shape as it was.
class Shape : public Control {
 public:
  using Control::Control;

  float left() const { return left_; }
  float top() const { return top_; }
  float width() const { return width_; }
  float height() const { return height_; }

  void setLeft(float left) { update(left_, left); }
  void setTop(float top) { update(top_, top); }

  ToolkitResult setWidth(float width) {
    if (!(width >= 0))
      return ToolkitResult::negativeSize;  // NaN too
    update(width_, width);
    return ToolkitResult::ok;
  }

  ToolkitResult setHeight(float height) {
    if (!(height >= 0))
      return ToolkitResult::negativeSize;
    update(height_, height);
    return ToolkitResult::ok;
  }

  double centreX() const { return static_cast<double>(left_) + static_cast<double>(width_) / 2; }
  double centreY() const { return static_cast<double>(top_) + static_cast<double>(height_) / 2; }

  // Strictly inside: a point on an edge is outside.
  bool containsStrictly(double x, double y) const {
    return left_ < x && x < static_cast<double>(left_) + width_ && top_ < y &&
           y < static_cast<double>(top_) + height_;
  }

  // For views only: the geometry changed.
  Notifier<> geometryChanged;

 private:
  void update(float& field, float value) {
    if (field == value)
      return;
    field = value;
    geometryChanged.notify();
  }

  float left_ = 0;
  float top_ = 0;
  float width_ = 0;
  float height_ = 0;
};

}  // namespace scantouch
