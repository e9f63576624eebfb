#pragma once

#include <string>
#include <vector>

#include "background/view_masks.h"

namespace scantouch {

// What the mouse does with touches.
enum class MouseMode {
  clickPerTouch = 0,     // every touch of the single-touch road clicks (the default)
  pressDragRelease = 1,  // the oldest contact holds the button down while it lives
  untouched = 2,         // the mouse is left alone
};

// The engine's settings as typed values, with the defaults a file without them gets.
struct TouchEngineSettings {
  MouseMode mouseMode = MouseMode::clickPerTouch;
  std::string tuioTargets;   // "host:port;host:port", empty: no TUIO
  bool systemTouch = false;  // the system's own touch input
  std::string webService;    // "host:port" the web service listens on, empty: off
  int birthTurns = 2;        // turns in a row an object is seen before it becomes a contact
  int removalTurns = 2;      // turns a contact goes unseen before it is removed
  double gapMm = 100;        // neighbouring hits closer than this belong to one object
  double gateMm = 250;       // a contact matches an object at most this far from where it should be
  bool smoothing = true;     // One Euro filter on contact positions
  std::vector<ViewMask> masks;  // no hit inside one is a touch; none by default

  // Whether any output needs the engine to run.
  bool anyOutput() const {
    return mouseMode == MouseMode::pressDragRelease || !tuioTargets.empty() || systemTouch ||
           !webService.empty();
  }
};

}  // namespace scantouch
