#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "outputs/desktop_input.h"

struct libevdev;
struct libevdev_uinput;

namespace scantouch {

// The desktop as the pointer device covers it: the union of all screens, in desktop pixels.
struct DesktopArea {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 1;
  std::int32_t height = 1;
};

// Where input events go: the uinput device, or in tests a recording.
class InputEventSink {
 public:
  virtual ~InputEventSink() = default;
  virtual bool write(unsigned type, unsigned code, int value) = 0;
};

// Cursor moves and left clicks as an absolute pointer device, which reaches every window of a
// Wayland session as well as of X. Such a device cannot tell where the cursor is: `cursorPos`
// knows nothing, and the program shows the position as unknown.
class UinputDesktopInput final : public DesktopInput {
 public:
  UinputDesktopInput(InputEventSink& sink, DesktopArea area) : sink_(sink), area_(area) {}

  bool setCursorPos(std::int32_t x, std::int32_t y) override;
  bool leftClick() override;
  bool setLeftButton(bool down) override;
  std::optional<ScreenPoint> cursorPos() override { return std::nullopt; }
  bool canReadCursor() const override { return false; }

 private:
  InputEventSink& sink_;
  DesktopArea area_;
  std::optional<std::pair<int, int>> last_;  // the column and row the device last reported
};

// The description of the pointer device: absolute X and Y over the desktop area, the left
// button, and a name the desktop shows. The caller owns the result (libevdev_free).
libevdev* DescribePointer(DesktopArea area);

// The kernel device made from that description through /dev/uinput.
class UinputDevice final : public InputEventSink {
 public:
  ~UinputDevice() override;
  // Nullptr, with what went wrong and what to do in `problem`, when the device cannot be made.
  static std::unique_ptr<UinputDevice> Create(DesktopArea area, std::string& problem);
  bool write(unsigned type, unsigned code, int value) override;

 private:
  UinputDevice() = default;
  libevdev_uinput* device_ = nullptr;
  int fd_ = -1;  // /dev/uinput, ours to close
};

}  // namespace scantouch
