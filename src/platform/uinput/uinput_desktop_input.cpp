#include "uinput/uinput_desktop_input.h"

#include <fcntl.h>
#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace scantouch {

bool UinputDesktopInput::setCursorPos(std::int32_t x, std::int32_t y) {
  const int lastColumn = std::max(area_.width - 1, 0);
  const int column = std::clamp(x - area_.left, 0, lastColumn);
  const int row = std::clamp(y - area_.top, 0, std::max(area_.height - 1, 0));
  // The kernel drops an absolute value equal to the device's last one, so a touch on the pixel
  // of the last one would not bring back a cursor the user has moved since: step aside first.
  if (last_ && last_->first == column && last_->second == row) {
    const int aside = column < lastColumn ? column + 1 : column - 1;
    if (!sink_.write(EV_ABS, ABS_X, aside) || !sink_.write(EV_SYN, SYN_REPORT, 0))
      return false;
  }
  last_ = std::pair{column, row};
  return sink_.write(EV_ABS, ABS_X, column) && sink_.write(EV_ABS, ABS_Y, row) &&
         sink_.write(EV_SYN, SYN_REPORT, 0);
}

bool UinputDesktopInput::leftClick() {
  return sink_.write(EV_KEY, BTN_LEFT, 1) && sink_.write(EV_SYN, SYN_REPORT, 0) &&
         sink_.write(EV_KEY, BTN_LEFT, 0) && sink_.write(EV_SYN, SYN_REPORT, 0);
}

bool UinputDesktopInput::setLeftButton(bool down) {
  return sink_.write(EV_KEY, BTN_LEFT, down ? 1 : 0) && sink_.write(EV_SYN, SYN_REPORT, 0);
}

libevdev* DescribePointer(DesktopArea area) {
  libevdev* device = libevdev_new();
  libevdev_set_name(device, "scantouch pointer");
  libevdev_set_id_bustype(device, BUS_VIRTUAL);
  libevdev_enable_event_type(device, EV_SYN);
  libevdev_enable_event_type(device, EV_KEY);
  libevdev_enable_event_code(device, EV_KEY, BTN_LEFT, nullptr);
  libevdev_enable_event_type(device, EV_ABS);
  input_absinfo x{};
  x.maximum = std::max(area.width - 1, 1);
  x.resolution = 1;
  input_absinfo y = x;
  y.maximum = std::max(area.height - 1, 1);
  libevdev_enable_event_code(device, EV_ABS, ABS_X, &x);
  libevdev_enable_event_code(device, EV_ABS, ABS_Y, &y);
  // A pointer, not a touch screen or a tablet: the desktop moves its cursor with it.
  libevdev_enable_property(device, INPUT_PROP_POINTER);
  return device;
}

UinputDevice::~UinputDevice() {
  if (device_ != nullptr)
    libevdev_uinput_destroy(device_);
  // libevdev leaves a descriptor it was given open.
  if (fd_ >= 0)
    ::close(fd_);
}

std::unique_ptr<UinputDevice> UinputDevice::Create(DesktopArea area, std::string& problem) {
  const int fd = ::open("/dev/uinput", O_RDWR | O_CLOEXEC);
  if (fd < 0) {
    problem = std::string("cannot open /dev/uinput (") + std::strerror(errno) +
              "): touches will not move the cursor. Install the udev rule "
              "70-scantouch-uinput.rules (the package does) and log in again, or load the "
              "module with \"modprobe uinput\" if the device is missing";
    return nullptr;
  }
  libevdev* description = DescribePointer(area);
  std::unique_ptr<UinputDevice> device(new UinputDevice);
  device->fd_ = fd;
  const int result = libevdev_uinput_create_from_device(description, fd, &device->device_);
  libevdev_free(description);
  if (result != 0) {
    problem = std::string("cannot create the pointer device on /dev/uinput (") +
              std::strerror(-result) + "): touches will not move the cursor";
    return nullptr;
  }
  return device;
}

bool UinputDevice::write(unsigned type, unsigned code, int value) {
  return libevdev_uinput_write_event(device_, type, code, value) == 0;
}

}  // namespace scantouch
