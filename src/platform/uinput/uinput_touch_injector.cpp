#include "uinput/uinput_touch_injector.h"

#include <fcntl.h>
#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace scantouch {
namespace {

constexpr int kMaxTrackingId = 65535;
// About 100 pixels per inch, so that the size the device claims in millimetres is near the
// size of a screen showing the desktop area.
constexpr int kUnitsPerMm = 4;

int Clamped(std::int32_t pixel, std::int32_t origin, std::int32_t size) {
  return std::clamp(pixel - origin, 0, std::max(size - 1, 0));
}

}  // namespace

// The uinput device and the file it was made through; both go with it.
class UinputTouchInjector::Device final : public InputEventSink {
 public:
  Device(int fd, libevdev_uinput* device) : fd_(fd), device_(device) {}
  ~Device() override {
    // libevdev leaves a file it did not open itself to the caller.
    libevdev_uinput_destroy(device_);
    ::close(fd_);
  }
  Device(const Device&) = delete;
  Device& operator=(const Device&) = delete;

  bool write(unsigned type, unsigned code, int value) override {
    const int result = libevdev_uinput_write_event(device_, type, code, value);
    error_ = -result;
    return result == 0;
  }
  int error() const { return error_; }

 private:
  int fd_;
  libevdev_uinput* device_;
  int error_ = 0;
};

UinputTouchInjector::UinputTouchInjector(InputEventSink& sink, DesktopArea area)
    : sink_(sink), area_(area) {}

UinputTouchInjector::UinputTouchInjector(std::unique_ptr<Device> device, DesktopArea area)
    : device_(std::move(device)), sink_(*device_), area_(area) {}

UinputTouchInjector::~UinputTouchInjector() = default;

bool UinputTouchInjector::inject(std::span<const TouchPointState> contacts) {
  problem_.clear();
  const TouchPointState* primary = nullptr;
  for (const TouchPointState& contact : contacts) {
    if (!writeContact(contact)) {
      touching_.reset();
      return false;
    }
    if (primary == nullptr && contact.phase != TouchPhase::up)
      primary = &contact;
  }
  const bool touching = primary != nullptr;
  bool written = true;
  if (touching_ != touching)
    written = write(EV_KEY, BTN_TOUCH, touching ? 1 : 0);
  if (written && primary != nullptr) {
    written = write(EV_ABS, ABS_X, Clamped(primary->at.x, area_.left, area_.width)) &&
              write(EV_ABS, ABS_Y, Clamped(primary->at.y, area_.top, area_.height));
  }
  written = written && write(EV_SYN, SYN_REPORT, 0);
  if (written)
    touching_ = touching;
  else
    touching_.reset();
  return written;
}

bool UinputTouchInjector::writeContact(const TouchPointState& contact) {
  if (contact.id < 0 || contact.id >= kSlots) {
    problem_ = "contact " + std::to_string(contact.id) + " has no slot on the touchscreen";
    return false;
  }
  if (!write(EV_ABS, ABS_MT_SLOT, contact.id))
    return false;
  int& trackingId = slotTrackingIds_[static_cast<std::size_t>(contact.id)];
  switch (contact.phase) {
    case TouchPhase::up:
      trackingId = -1;
      return write(EV_ABS, ABS_MT_TRACKING_ID, -1);
    case TouchPhase::down: {
      // A new tracking id tells readers that this is another touch, not the last one of the slot.
      const auto held = [this](int id) {
        return std::find(slotTrackingIds_.begin(), slotTrackingIds_.end(), id) !=
               slotTrackingIds_.end();
      };
      trackingId = -1;
      while (held(nextTrackingId_))
        nextTrackingId_ = nextTrackingId_ == kMaxTrackingId ? 0 : nextTrackingId_ + 1;
      trackingId = nextTrackingId_;
      nextTrackingId_ = nextTrackingId_ == kMaxTrackingId ? 0 : nextTrackingId_ + 1;
      if (!write(EV_ABS, ABS_MT_TRACKING_ID, trackingId))
        return false;
      break;
    }
    case TouchPhase::move:
      break;
  }
  return write(EV_ABS, ABS_MT_POSITION_X, Clamped(contact.at.x, area_.left, area_.width)) &&
         write(EV_ABS, ABS_MT_POSITION_Y, Clamped(contact.at.y, area_.top, area_.height));
}

bool UinputTouchInjector::write(unsigned type, unsigned code, int value) {
  if (sink_.write(type, code, value))
    return true;
  const int error = device_ != nullptr ? device_->error() : 0;
  problem_ = std::string("the touchscreen device took no event") +
             (error > 0 ? std::string(" (") + std::strerror(error) + ")" : std::string());
  return false;
}

libevdev* DescribeTouchscreen(DesktopArea area) {
  libevdev* device = libevdev_new();
  libevdev_set_name(device, "scantouch touchscreen");
  libevdev_set_id_bustype(device, BUS_VIRTUAL);
  libevdev_enable_event_type(device, EV_SYN);
  libevdev_enable_event_type(device, EV_KEY);
  libevdev_enable_event_code(device, EV_KEY, BTN_TOUCH, nullptr);
  libevdev_enable_event_type(device, EV_ABS);
  input_absinfo x{};
  x.maximum = std::max(area.width - 1, 1);
  x.resolution = kUnitsPerMm;
  input_absinfo y = x;
  y.maximum = std::max(area.height - 1, 1);
  libevdev_enable_event_code(device, EV_ABS, ABS_X, &x);
  libevdev_enable_event_code(device, EV_ABS, ABS_Y, &y);
  libevdev_enable_event_code(device, EV_ABS, ABS_MT_POSITION_X, &x);
  libevdev_enable_event_code(device, EV_ABS, ABS_MT_POSITION_Y, &y);
  input_absinfo slots{};
  slots.maximum = UinputTouchInjector::kSlots - 1;
  libevdev_enable_event_code(device, EV_ABS, ABS_MT_SLOT, &slots);
  input_absinfo trackingIds{};
  trackingIds.maximum = kMaxTrackingId;
  libevdev_enable_event_code(device, EV_ABS, ABS_MT_TRACKING_ID, &trackingIds);
  // A screen, touched where it shows: not a touchpad that moves a cursor.
  libevdev_enable_property(device, INPUT_PROP_DIRECT);
  return device;
}

std::string UinputOpenProblem(int error) {
  std::string problem = std::string("cannot open /dev/uinput (") + std::strerror(error) +
                        "): the system's touch output is off. ";
  if (error == ENOENT || error == ENODEV || error == ENXIO)
    return problem +
           "Load the uinput module with \"modprobe uinput\" (and name it in "
           "/etc/modules-load.d to have it at every start)";
  if (error == EACCES || error == EPERM)
    return problem +
           "Install the udev rule 70-scantouch-uinput.rules (the package does) and log in again "
           "at the seat; a session away from the seat needs a group that may write /dev/uinput";
  return problem + "Check that /dev/uinput is the kernel's uinput device";
}

std::unique_ptr<UinputTouchInjector> UinputTouchInjector::Create(DesktopArea area,
                                                                 std::string& problem) {
  const int fd = ::open("/dev/uinput", O_RDWR | O_CLOEXEC);
  if (fd < 0) {
    problem = UinputOpenProblem(errno);
    return nullptr;
  }
  libevdev* description = DescribeTouchscreen(area);
  libevdev_uinput* device = nullptr;
  const int result = libevdev_uinput_create_from_device(description, fd, &device);
  libevdev_free(description);
  if (result != 0) {
    ::close(fd);
    problem = std::string("cannot create the touchscreen device on /dev/uinput (") +
              std::strerror(-result) + "): the system's touch output is off";
    return nullptr;
  }
  return std::unique_ptr<UinputTouchInjector>(
      new UinputTouchInjector(std::make_unique<Device>(fd, device), area));
}

}  // namespace scantouch
