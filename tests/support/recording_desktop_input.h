#pragma once

#include <vector>

#include "outputs/desktop_input.h"

namespace scantouch::testing {

// Remembers every cursor move and click, in order, instead of touching a desktop.
class RecordingDesktopInput final : public DesktopInput {
 public:
  struct Action {
    enum class Kind { move, click, press, release } kind;
    ScreenPoint at;  // the target of a move; the cursor position for a click
    friend bool operator==(const Action&, const Action&) = default;
  };

  bool setCursorPos(std::int32_t x, std::int32_t y) override {
    cursor_ = ScreenPoint{x, y};
    actions.push_back(Action{Action::Kind::move, cursor_});
    return true;
  }
  bool leftClick() override {
    actions.push_back(Action{Action::Kind::click, cursor_});
    return true;
  }
  bool setLeftButton(bool down) override {
    actions.push_back(Action{down ? Action::Kind::press : Action::Kind::release, cursor_});
    return true;
  }
  std::optional<ScreenPoint> cursorPos() override { return cursor_; }

  std::vector<ScreenPoint> clicks() const {
    std::vector<ScreenPoint> result;
    for (const Action& action : actions) {
      if (action.kind == Action::Kind::click)
        result.push_back(action.at);
    }
    return result;
  }

  std::vector<Action> actions;

 private:
  ScreenPoint cursor_{};
};

}  // namespace scantouch::testing
