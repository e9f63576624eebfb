#pragma once

#include <cstdint>
#include <vector>

#include "geometry/screen_point.h"

namespace scantouch {

// A contact's identity for as long as the program runs. Counted up from 1 at every birth and never
// reused: 64 bits never run out, where 32 would after some years of a busy surface, and an output
// that needs fewer bits (TUIO, the system's touch) maps it onto its own.
using SessionId = std::uint64_t;

// One tracked touch as the engine publishes it after a turn.
struct Contact {
  SessionId sessionId = 0;
  int cursorId = 0;  // the lowest id free when the contact was born
  double x = 0;      // smoothed position in view units (millimetres)
  double y = 0;
  // Position in the touch rectangle, or with four calibrated corners in the screen area kept
  // within it: 0..1 from its left edge, and from its top edge (downward).
  double u = 0;
  double v = 0;
  double velocityU = 0;     // widths of the same per second
  double velocityV = 0;     // heights per second
  double acceleration = 0;  // change of speed, in sizes of the same per second squared
  ScreenPoint screen;       // the desktop pixel the contact maps to
  std::int64_t bornMs = 0;  // when it was born, for "the oldest live contact"
};

// What the engine knows after one turn of the sweep. `live` holds the contacts that are born and
// not removed, oldest first; `born` and `removed` hold the session ids that changed with this
// turn, and `removed` contacts carry their last position.
struct TouchFrame {
  std::int64_t timeMs = 0;
  std::vector<Contact> live;
  std::vector<SessionId> born;
  std::vector<Contact> removed;
};

// An output of the engine: the mouse, TUIO, the system's own touch.
class TouchFrameSink {
 public:
  virtual ~TouchFrameSink() = default;
  // Called once per turn while the engine runs, with or without contacts.
  virtual void onTouchFrame(const TouchFrame& frame) = 0;
};

}  // namespace scantouch
