#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/touch_engine.h"
#include "engine/touch_frame.h"
#include "geometry/pose.h"

namespace scantouch {

// Places further scanners from the first: one object held still at two or three places that all
// of them see. At each place the object's position is averaged over a few turns, as the first
// scanner puts it on the surface and as each other scanner sees it in its own axes; the pose that
// best takes the one onto the other is solved by least squares.
//
// A scanner sees only the near side of an object, so each puts it a little in front of its
// centre, towards itself, and the two scanners look from different sides: the solution also
// finds how deep the object's centre lies behind what each scanner sees (the same depth for
// both, the one that leaves the least residual), so that this offset does not turn and shift
// the pose.
class PoseCalibration final : public TouchFrameSink {
 public:
  // Turns a place is measured over, and how many of them must see exactly one object.
  static constexpr int kPlaceTurns = 10;
  static constexpr int kPlaceTurnsNeeded = 6;
  // The depths tried, in view units: up to the radius of a large hand.
  static constexpr double kLargestDepth = 100;
  static constexpr double kDepthStep = 0.5;

  struct Solved {
    std::size_t scanner = 0;  // the engine's index
    PoseFit fit;
  };

  explicit PoseCalibration(TouchEngine& engine);

  // Starts measuring a place over the next turns; false while one is being measured.
  bool recordPlace();
  bool recording() const { return turnsLeft_ > 0; }
  // Places recorded for scanner `index`.
  std::size_t places(std::size_t index) const;
  // Each scanner with two places or more: its pose and residual. Forgets the places.
  std::vector<Solved> solve();
  void clear();

  // What the last place came to, for the window.
  const std::string& report() const { return report_; }

  void onTouchFrame(const TouchFrame& frame) override;

 private:
  struct Sum {
    PlanePoint surface;
    PlanePoint local;
    PlanePoint firstScanner;
    int turns = 0;
  };
  // One place: where the first scanner puts the object, where the other sees it in its own axes,
  // and where the first scanner stands.
  struct Place {
    PlanePoint surface;
    PlanePoint local;
    PlanePoint firstScanner;
  };
  void finishPlace();

  TouchEngine& engine_;
  int turnsLeft_ = 0;
  std::map<std::size_t, Sum> sums_;  // of the place being measured, per scanner
  std::map<std::size_t, std::vector<Place>> places_;
  std::string report_;
};

}  // namespace scantouch
