#pragma once

#include <string>
#include <utility>

#include "toolkit/control.h"

namespace scantouch {

class Button : public Control {
 public:
  Button(std::string name, std::string caption)
      : Control(std::move(name)), caption_(std::move(caption)) {}
  // An element of a button array; its caption is set afterwards.
  Button(std::string name, int index) : Control(std::move(name), index) {}

  const std::string& caption() const { return caption_; }
  void setCaption(std::string caption) { caption_ = std::move(caption); }

  void click() { clicked.notify(); }

  Notifier<> clicked;

 private:
  std::string caption_;
};

}  // namespace scantouch
