#pragma once

#include <tuple>
#include <utility>
#include <vector>

#include "uinput/uinput_desktop_input.h"

namespace scantouch::testing {

using InputEvent = std::tuple<unsigned, unsigned, int>;  // type, code, value
using InputEvents = std::vector<InputEvent>;

// Stands where /dev/uinput would take a uinput device's events, and records them; it can also
// refuse events after a given number, as a device that went away does.
class RecordingInputEvents final : public InputEventSink {
 public:
  bool write(unsigned type, unsigned code, int value) override {
    if (failAfter == 0)
      return false;
    --failAfter;
    events.emplace_back(type, code, value);
    return true;
  }
  // Takes the events recorded so far.
  InputEvents take() { return std::exchange(events, {}); }

  InputEvents events;
  int failAfter = -1;  // how many more events it takes; -1: every one
};

}  // namespace scantouch::testing
