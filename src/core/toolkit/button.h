#pragma once

#include <string>
#include <utility>

#include "control.h"

namespace scantouch {

class Button : public Control {
 public:
  Button(std::string name, std::string caption)
      : Control(std::move(name)), caption_(std::move(caption)) {}

  const std::string& caption() const { return caption_; }

  void click() { clicked.notify(); }

  Notifier<> clicked;

 private:
  std::string caption_;
};

}  // namespace scantouch
