#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "toolkit/control.h"

namespace scantouch {

// Key code of the space bar as a key press reports it.
inline constexpr int kKeySpace = 32;

class TextBox : public Control {
 public:
  using Control::Control;

  const std::string& text() const { return text_; }

  // Runs the change handlers before returning, unless the text is the one already held.
  void setText(std::string_view text) {
    if (text == text_)
      return;
    text_.assign(text);
    changed.notify();
  }

  // The new text is the old one followed by `block`; an empty block is no change.
  void appendText(std::string_view block) {
    if (block.empty())
      return;
    text_.append(block);
    changed.notify();
  }

  // A key pressed while the box has the focus. True when the key press handler took the key,
  // so that it is not typed into the text as well.
  bool pressKey(int keyCode) { return keyPressHandler && keyPressHandler(keyCode); }

  // Asks the view to put the keyboard focus here.
  void setFocus() { focusRequested.notify(); }

  Notifier<> changed;
  std::function<bool(int)> keyPressHandler;
  // For views only.
  Notifier<> focusRequested;

 private:
  std::string text_;
};

}  // namespace scantouch
