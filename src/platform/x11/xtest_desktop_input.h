#pragma once

#include <memory>
#include <string>

#include "outputs/desktop_input.h"

namespace scantouch {

// Cursor and clicks on an X11 desktop through the XTest extension, so that they reach every
// program as if a real mouse had moved and clicked. Desktop pixels are root-window coordinates.
class XTestDesktopInput final : public DesktopInput {
 public:
  // Connects to `displayName` (empty: $DISPLAY); nullptr when there is no X server or it lacks
  // the XTest extension.
  static std::unique_ptr<XTestDesktopInput> open(const std::string& displayName = {});
  ~XTestDesktopInput() override;

  bool setCursorPos(std::int32_t x, std::int32_t y) override;
  bool leftClick() override;
  bool setLeftButton(bool down) override;
  std::optional<ScreenPoint> cursorPos() override;

 private:
  struct Connection;
  explicit XTestDesktopInput(std::unique_ptr<Connection> connection);
  std::unique_ptr<Connection> connection_;
};

}  // namespace scantouch
