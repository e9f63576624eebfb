#pragma once

#include <cstdint>
#include <optional>

#include "geometry/screen_point.h"

namespace scantouch {

// The desktop's cursor and left mouse button: the only way the program acts on other programs.
class DesktopInput {
 public:
  virtual ~DesktopInput() = default;

  // Places the cursor on the desktop pixel (x, y); false when the desktop refused.
  virtual bool setCursorPos(std::int32_t x, std::int32_t y) = 0;
  // One complete left click, press and release, wherever the cursor is.
  virtual bool leftClick() = 0;
  // The left button alone, pressed (`down`) or released, for a touch that drags.
  virtual bool setLeftButton(bool down) = 0;
  virtual std::optional<ScreenPoint> cursorPos() = 0;
  // False for a desktop that never tells where the cursor is (a pointer device that only moves
  // it): the program shows the position as unknown rather than a wrong number.
  virtual bool canReadCursor() const { return true; }
};

// For programs without a desktop to act on.
class NoDesktopInput final : public DesktopInput {
 public:
  bool setCursorPos(std::int32_t, std::int32_t) override { return true; }
  bool leftClick() override { return true; }
  bool setLeftButton(bool) override { return true; }
  std::optional<ScreenPoint> cursorPos() override { return std::nullopt; }
  bool canReadCursor() const override { return false; }
};

}  // namespace scantouch
