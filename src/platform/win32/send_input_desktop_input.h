#pragma once

#include "outputs/desktop_input.h"

namespace scantouch {

// Cursor and left clicks with SendInput, across the virtual desktop of all monitors (whose
// coordinates may be negative); the cursor position from GetCursorPos.
class SendInputDesktopInput final : public DesktopInput {
 public:
  bool setCursorPos(std::int32_t x, std::int32_t y) override;
  bool leftClick() override;
  bool setLeftButton(bool down) override;
  std::optional<ScreenPoint> cursorPos() override;
};

}  // namespace scantouch
