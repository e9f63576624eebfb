#pragma once

#include <optional>
#include <vector>

#include "geometry/homography.h"

namespace scantouch {

// Where a scanner lies on the surface: its place in surface units and how far its own axes are
// turned against the surface's, counterclockwise.
struct Pose {
  double x = 0;
  double y = 0;
  double angleDegrees = 0;
};

// A point a scanner sees in its own axes, on the surface: turned by the pose's angle, then moved
// by its place.
PlanePoint toSurface(const Pose& pose, PlanePoint local);
// The other way: a point on the surface in the scanner's own axes.
PlanePoint toLocal(const Pose& pose, PlanePoint surface);

struct PoseFit {
  Pose pose;
  double residualRms = 0;  // root mean square distance of the mapped points from their targets
};

// The turn and shift (no scaling) that best take the points one scanner sees onto the same points
// on the surface, in the least-squares sense. None for fewer than two pairs, sets of unequal
// length, or a set whose points all coincide (the turn is then unknown).
std::optional<PoseFit> SolvePose(const std::vector<PlanePoint>& seenBySecond,
                                 const std::vector<PlanePoint>& sameOnSurface);

}  // namespace scantouch
