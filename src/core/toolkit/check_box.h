#pragma once

#include <string>
#include <utility>

#include "toolkit/control.h"
#include "toolkit/toolkit_result.h"

namespace scantouch {

// Check value 0 cleared, 1 checked, 2 greyed. A change of the value runs the click handlers.
class CheckBox : public Control {
 public:
  static constexpr int kCleared = 0;
  static constexpr int kChecked = 1;
  static constexpr int kGreyed = 2;

  CheckBox(std::string name, std::string caption)
      : Control(std::move(name)), caption_(std::move(caption)) {}

  const std::string& caption() const { return caption_; }
  int value() const { return value_; }
  bool isChecked() const { return value_ == kChecked; }

  ToolkitResult setValue(int value) {
    if (value < kCleared || value > kGreyed)
      return ToolkitResult::valueOutOfRange;
    if (value == value_)
      return ToolkitResult::ok;
    value_ = value;
    clicked.notify();
    return ToolkitResult::ok;
  }

  Notifier<> clicked;

 private:
  std::string caption_;
  int value_ = kCleared;
};

}  // namespace scantouch
