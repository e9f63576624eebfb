#pragma once

#include <cstddef>
#include <limits>
#include <optional>
#include <vector>

namespace scanner_sim {

// A point in the scanner's plane relative to the scanner, in millimetres: x to the right,
// y downwards, as the radar view draws it (angle 0 straight up, angles clockwise).
struct PlanePoint {
  double x = 0;
  double y = 0;
};

PlanePoint PolarToPlane(double angleDegrees, double distanceMm);

// A round object standing in the plane, such as a hand or a foot. It moves back and forth along
// the line from `from` to `to` (if given), taking `period_s` for the way there and back.
//
// It need not be there all the time: it is there from `appear_s` until just before
// `disappear_s`, and, when it taps (`tapPeriod_s` above 0), within that only for `tapDown_s` of
// every `tapPeriod_s`, starting `tapPhase_s` into each period. It moves with the clock whether it
// is there or not, so a tapping hand can also wander. An object that is not there casts no
// shadow and is not measured.
struct SceneObject {
  PlanePoint from;
  std::optional<PlanePoint> to;
  double diameterMm = 80;
  double period_s = 4;
  double appear_s = -std::numeric_limits<double>::infinity();
  double disappear_s = std::numeric_limits<double>::infinity();
  double tapPeriod_s = 0;  // 0: no taps
  double tapDown_s = 0;
  double tapPhase_s = 0;

  PlanePoint centreAt(double time_s) const;
  bool presentAt(double time_s) const;
  bool taps() const { return tapPeriod_s > 0; }
  bool moves() const { return to.has_value() && period_s > 0; }
};

// What the scanner sees: the walls of the room and the objects in it.
struct Scene {
  // Distance to the wall per angle, spread evenly over the turn (one value: a round room).
  std::vector<double> roomDistanceMm{6000};
  std::vector<SceneObject> objects;

  double roomDistanceAt(double angleDegrees) const;
  // Distance the beam at `angleDegrees` measures at `time_s`: the nearest object there or the wall.
  double measure(double angleDegrees, double time_s) const;
  // The share, 0..1, of the angle that object `index` spans as the scanner sees it at `time_s`
  // in which it is the nearest object, found with `rays` beams spread evenly over that angle.
  // An object that is not there, or that holds the scanner inside it, has a share of 0.
  double visibleShare(std::size_t index, double time_s, int rays = 32) const;
};

}  // namespace scanner_sim
