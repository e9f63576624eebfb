#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "outputs/desktop_input.h"

namespace scantouch {

// What happens to a contact with one report.
enum class TouchPhase { down, move, up };

// One contact of a report to the system's touch input. `id` is the contact's place on the device,
// 0 up to the device's maximum, and stays the same from its down to its up.
struct TouchPointState {
  int id = 0;
  ScreenPoint at;
  TouchPhase phase = TouchPhase::down;
  friend bool operator==(const TouchPointState&, const TouchPointState&) = default;
};

// The operating system's own touch input, as a touch screen over the desktop.
class TouchInjector {
 public:
  virtual ~TouchInjector() = default;

  // One report of every contact on the device: each held one moves or stays where it is, new ones
  // go down and lifted ones come up. Those held come first, the oldest first. False when the
  // system refused the report.
  virtual bool inject(std::span<const TouchPointState> contacts) = 0;
  // How many contacts the device takes at once.
  virtual int maxContacts() const = 0;
  // How often held contacts must be reported again, even unmoved, for the system not to cancel
  // them; 0 when it keeps them until they come up.
  virtual std::int64_t refreshInterval_ms() const = 0;
  // Why the last report was refused, for the log; empty when the device cannot tell.
  virtual std::string lastProblem() const { return {}; }
};

}  // namespace scantouch
