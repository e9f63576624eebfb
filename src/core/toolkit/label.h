#pragma once

#include <string>
#include <string_view>

#include "toolkit/colour.h"
#include "toolkit/control.h"

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

  // The colour of the caption text.
  Colour textColour() const { return textColour_; }
  void setTextColour(Colour colour) {
    if (colour == textColour_)
      return;
    textColour_ = colour;
    colourChanged.notify();
  }

  Notifier<> changed;
  // For views only: the text colour changed.
  Notifier<> colourChanged;

 private:
  std::string caption_;
  Colour textColour_ = colours::kBlack;
};

}  // namespace scantouch
