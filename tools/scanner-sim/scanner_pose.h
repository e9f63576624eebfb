#pragma once

#include "scene.h"

namespace scanner_sim {

// Where a further scanner stands in the first scanner's plane (x right, y down, millimetres) and
// how far it is turned clockwise: a point it measures at its own angle a and distance d lies at
// x = x + d sin(a + angle), y = y - d cos(a + angle) in the first scanner's plane.
struct ScannerPose {
  double x = 0;
  double y = 0;
  double angleDegrees = 0;
};

// A point this scanner sees in its own plane, in the first scanner's plane.
PlanePoint ToFirstScanner(const ScannerPose& pose, PlanePoint local);
// A point of the first scanner's plane as this scanner sees it.
PlanePoint FromFirstScanner(const ScannerPose& pose, PlanePoint first);

// The scene as the scanner at `pose` sees it: the first scanner's objects, clutter and segments
// moved into its own plane, keeping their size, movement and times, and the same walls around
// itself (the same distances and sectors of its own turn).
Scene SceneSeenFrom(const Scene& firstScannersScene, const ScannerPose& pose);

}  // namespace scanner_sim
