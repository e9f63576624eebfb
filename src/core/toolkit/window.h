#pragma once

#include <string>
#include <utility>

#include "toolkit/control.h"

namespace scantouch {

// A top-level window: shown or hidden (the visible flag), minimised or not, with a caption.
class Window : public Control {
 public:
  Window(std::string name, std::string caption)
      : Control(std::move(name)), caption_(std::move(caption)) {}

  const std::string& caption() const { return caption_; }
  bool minimised() const { return minimised_; }

  void show() {
    setMinimised(false);
    setVisible(true);
  }
  void hide() { setVisible(false); }
  void setMinimised(bool minimised) {
    if (minimised == minimised_)
      return;
    minimised_ = minimised;
    stateChanged.notify();
  }

  // For views only: minimised or restored.
  Notifier<> stateChanged;

 private:
  std::string caption_;
  bool minimised_ = false;
};

}  // namespace scantouch
