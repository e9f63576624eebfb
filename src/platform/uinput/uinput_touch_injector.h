#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "outputs/touch_injector.h"
#include "uinput/uinput_desktop_input.h"

struct libevdev;

namespace scantouch {

// The system's touch input on Linux: a multi-touch screen over the desktop area (protocol B, one
// slot per contact), which applications read as touch, not as the mouse. Single-touch readers get
// BTN_TOUCH and ABS_X/ABS_Y of the oldest contact. Where the desktop shows a touch depends on
// the session: X maps an absolute device onto the whole desktop, a Wayland compositor onto one
// monitor (the whole desktop when there is one).
class UinputTouchInjector final : public TouchInjector {
 public:
  static constexpr int kSlots = 10;

  // Writes the events to `sink` (a recording in tests).
  UinputTouchInjector(InputEventSink& sink, DesktopArea area);
  ~UinputTouchInjector() override;

  // The kernel device through /dev/uinput; nullptr, with what went wrong and what to do in
  // `problem`, when it cannot be made.
  static std::unique_ptr<UinputTouchInjector> Create(DesktopArea area, std::string& problem);

  bool inject(std::span<const TouchPointState> contacts) override;
  int maxContacts() const override { return kSlots; }
  std::int64_t refreshInterval_ms() const override { return 0; }
  std::string lastProblem() const override { return problem_; }

 private:
  class Device;
  UinputTouchInjector(std::unique_ptr<Device> device, DesktopArea area);
  bool writeContact(const TouchPointState& contact);
  bool write(unsigned type, unsigned code, int value);

  std::unique_ptr<Device> device_;  // the kernel device, when this one made it
  InputEventSink& sink_;
  DesktopArea area_;
  std::optional<bool> touching_ = false;  // BTN_TOUCH as the device has it; unknown after a failure
  int nextTrackingId_ = 0;
  // Each slot's tracking id, -1 when it is up: a new touch never takes one still held, however
  // many touches came and went while it was held.
  std::array<int, kSlots> slotTrackingIds_ = [] {
    std::array<int, kSlots> ids{};
    ids.fill(-1);
    return ids;
  }();
  std::string problem_;
};

// The description of the touchscreen: the slots, tracking ids and positions of multi-touch, the
// single-touch axes and BTN_TOUCH, all over the desktop area, as a direct (screen) device. The
// caller owns the result (libevdev_free).
libevdev* DescribeTouchscreen(DesktopArea area);

// What went wrong and what to do when /dev/uinput cannot be opened (`error` from errno).
std::string UinputOpenProblem(int error);

}  // namespace scantouch
