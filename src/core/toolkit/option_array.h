#pragma once

#include <string>
#include <utility>
#include <vector>

#include "toolkit/control.h"
#include "toolkit/toolkit_result.h"

namespace scantouch {

// A control array of option buttons: at most one is selected. Selecting an unselected option
// deselects the others and runs the click handlers with its index; selecting the selected one
// runs nothing.
class OptionArray : public Control {
 public:
  static constexpr int kNone = -1;

  OptionArray(std::string name, std::vector<std::string> captions)
      : Control(std::move(name)), captions_(std::move(captions)) {}

  int size() const { return static_cast<int>(captions_.size()); }
  const std::string& caption(int index) const {
    return captions_.at(static_cast<std::size_t>(index));
  }
  int selected() const { return selected_; }

  ToolkitResult select(int index) {
    if (index < 0 || index >= size())
      return ToolkitResult::indexOutOfRange;
    if (index == selected_)
      return ToolkitResult::ok;
    selected_ = index;
    clicked.notify(index);
    return ToolkitResult::ok;
  }

  Notifier<int> clicked;

 private:
  std::vector<std::string> captions_;
  int selected_ = kNone;
};

}  // namespace scantouch
