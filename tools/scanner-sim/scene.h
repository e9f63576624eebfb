#pragma once

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
struct SceneObject {
  PlanePoint from;
  std::optional<PlanePoint> to;
  double diameterMm = 80;
  double period_s = 4;

  PlanePoint centreAt(double time_s) const;
};

// What the scanner sees: the walls of the room and the objects in it.
struct Scene {
  // Distance to the wall per angle, spread evenly over the turn (one value: a round room).
  std::vector<double> roomDistanceMm{6000};
  std::vector<SceneObject> objects;

  double roomDistanceAt(double angleDegrees) const;
  // Distance the beam at `angleDegrees` measures at `time_s`: the nearest object or the wall.
  double measure(double angleDegrees, double time_s) const;
};

}  // namespace scanner_sim
