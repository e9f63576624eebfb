#pragma once

#include <cmath>
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/touch_engine.h"
#include "engine/touch_frame.h"
#include "geometry/pose.h"

namespace scantouch {

// Places further scanners from the first: one object held still at two or three places that all
// of them see. At each place the object's centre is averaged over a few turns, as the first
// scanner puts it on the surface and as each other scanner sees it in its own axes; the pose that
// best takes the one onto the other is solved by least squares.
//
// A scanner sees only the near side of a round object, and an object's place is the midpoint of
// its first and last hit, which lies in front of its centre, towards that scanner, the more so
// the farther those hits are inside its edges. The two scanners look from different sides, so
// this offset would turn and shift the pose. The object's radius is taken from the widest span
// of hits over the place's turns (and the beams' step, by which the outermost hits fall short of
// the edges), and each turn's centre is found from its two outermost hits as a chord of a circle
// of that radius.
class PoseCalibration final : public TouchFrameSink {
 public:
  // Turns a place is measured over, and how many of them must see exactly one object.
  static constexpr int kPlaceTurns = 10;
  static constexpr int kPlaceTurnsNeeded = 6;

  struct Solved {
    std::size_t scanner = 0;  // the engine's index
    PoseFit fit;
  };

  explicit PoseCalibration(TouchEngine& engine);

  // Starts measuring a place over the next turns; false while one is being measured.
  bool recordPlace();
  bool recording() const { return turnsLeft_ > 0; }
  // Each scanner with two places or more: its pose and residual. Forgets the places of the
  // scanners solved; the others keep theirs.
  std::vector<Solved> solve();
  void clear();

  // What the last place came to, for the window.
  const std::string& report() const { return report_; }

  void onTouchFrame(const TouchFrame& frame) override;

 private:
  // One turn's view of the object by one scanner.
  struct Sighting {
    std::pair<PlanePoint, PlanePoint> edges;  // its two hits farthest apart, on the surface
    double step = 0;                          // between the beams on it
    double span() const {
      return std::hypot(edges.first.x - edges.second.x, edges.first.y - edges.second.y);
    }
  };
  struct Place {
    PlanePoint surface;  // the centre as the first scanner places it
    PlanePoint local;    // the centre in the other scanner's own axes
  };
  std::optional<PlanePoint> centre(std::size_t index) const;
  void finishPlace();

  TouchEngine& engine_;
  int turnsLeft_ = 0;
  std::map<std::size_t, std::vector<Sighting>> sightings_;  // of the place being measured
  std::map<std::size_t, std::vector<Place>> places_;
  std::string report_;
};

}  // namespace scantouch
