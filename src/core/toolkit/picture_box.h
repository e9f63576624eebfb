#pragma once

#include <cstdint>

#include "toolkit/control.h"

namespace scantouch {

// A picture with its own logical coordinate system: origin at the top-left corner and a scale
// width and height set by code. Lines, shapes and labels inside it use these units.
class PictureBox : public Control {
 public:
  using Control::Control;

  float scaleWidth() const { return scaleWidth_; }
  float scaleHeight() const { return scaleHeight_; }

  void setScaleWidth(float width) { update(scaleWidth_, width); }
  void setScaleHeight(float height) { update(scaleHeight_, height); }

  // Removes what was painted; the lines, shapes and labels in the picture stay.
  void clear() { ++clears_; }
  std::uint64_t clears() const { return clears_; }

  // For views only: the coordinate system changed.
  Notifier<> scaleChanged;

 private:
  void update(float& field, float value) {
    if (field == value)
      return;
    field = value;
    scaleChanged.notify();
  }

  float scaleWidth_ = 15000;
  float scaleHeight_ = 15000;
  std::uint64_t clears_ = 0;
};

}  // namespace scantouch
