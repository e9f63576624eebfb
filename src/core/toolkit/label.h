#pragma once

#include <string>
#include <string_view>

#include "control.h"

namespace scantouch {

class Label : public Control {
 public:
  using Control::Control;

  const std::string& caption() const { return caption_; }

  void setCaption(std::string_view caption) {
    if (caption == caption_)
      return;
    caption_.assign(caption);
    changed.notify();
  }

  Notifier<> changed;

 private:
  std::string caption_;
};

}  // namespace scantouch
