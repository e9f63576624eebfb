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

// A stretch of the turn, clockwise from `fromDegrees` to `toDegrees`; it may pass 0 (350 to 10).
struct AngleSector {
  double fromDegrees = 0;
  double toDegrees = 360;

  bool contains(double angleDegrees) const;
};

// A straight obstacle in the scanning plane: a bar lying in it, or the line along which the plane
// meets a wall it grazes. A beam that meets a grazed wall lights a long strip of it, and what comes
// back is spread along the beam's way.
struct SceneSegment {
  PlanePoint from;
  PlanePoint to;
  // The angle between the scanning plane and the wall's face: 90 for a bar or an upright wall,
  // which come back where the beam meets them; a degree or so for a wall the plane grazes.
  double planeAngleDegrees = 90;
};

// What one beam brings back: the distance it measured (0: nothing within range) and, off a grazed
// wall, how far either way along the beam the return may lie.
struct Echo {
  double distanceMm = 0;
  double spreadMm = 0;
};

// What the scanner sees: the walls of the room and the objects in it.
struct Scene {
  // Distance to the wall per angle, spread evenly over the turn (one value: a round room).
  std::vector<double> roomDistanceMm{6000};
  // The sectors of the turn that have a wall; beyond the others lies open space, where a beam
  // finds nothing within range. Empty: walls all round.
  std::vector<AngleSector> wallSectors;
  // Hands and other things that come and go, each judged by the benches.
  std::vector<SceneObject> objects;
  // Still things that belong to the room, such as posts: measured and casting shadows like the
  // objects, but no hands.
  std::vector<SceneObject> clutter;
  std::vector<SceneSegment> segments;

  double roomDistanceAt(double angleDegrees) const;
  // Whether a beam at `angleDegrees` meets a wall (as opposed to open space).
  bool wallAt(double angleDegrees) const;
  // What the beam at `angleDegrees` brings back at `time_s`: the nearest object, clutter or
  // segment there, else the wall, else nothing.
  Echo echo(double angleDegrees, double time_s) const;
  // The distance of that echo (0: nothing within range).
  double measure(double angleDegrees, double time_s) const;
  // The share, 0..1, of the angle that object `index` spans as the scanner sees it at `time_s`
  // in which it is the nearest thing, found with `rays` beams spread evenly over that angle.
  // An object that is not there, or that holds the scanner inside it, has a share of 0.
  double visibleShare(std::size_t index, double time_s, int rays = 32) const;
};

// How far either way along a beam the return of a grazed wall lies: the beam's thickness at
// `distanceMm`, laid over the wall at the angle it meets the wall's face. `beamToLineDegrees` is
// the angle between the beam and the line the plane meets the wall along. 0 for an upright wall.
double GrazingSpreadMm(double planeAngleDegrees, double beamToLineDegrees, double distanceMm);

}  // namespace scanner_sim
