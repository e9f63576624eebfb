#include "scanner_pose.h"

#include <cmath>
#include <numbers>

namespace scanner_sim {
namespace {

// Turns `p` clockwise on the screen (y down) by `degrees`, as a beam's angle grows.
PlanePoint Turned(PlanePoint p, double degrees) {
  const double radians = degrees * std::numbers::pi / 180;
  const double c = std::cos(radians);
  const double s = std::sin(radians);
  return PlanePoint{c * p.x - s * p.y, s * p.x + c * p.y};
}

}  // namespace

PlanePoint ToFirstScanner(const ScannerPose& pose, PlanePoint local) {
  const PlanePoint turned = Turned(local, pose.angleDegrees);
  return PlanePoint{pose.x + turned.x, pose.y + turned.y};
}

PlanePoint FromFirstScanner(const ScannerPose& pose, PlanePoint first) {
  return Turned(PlanePoint{first.x - pose.x, first.y - pose.y}, -pose.angleDegrees);
}

Scene SceneSeenFrom(const Scene& firstScannersScene, const ScannerPose& pose) {
  Scene seen = firstScannersScene;
  for (auto* things : {&seen.objects, &seen.clutter}) {
    for (SceneObject& object : *things) {
      object.from = FromFirstScanner(pose, object.from);
      if (object.to)
        object.to = FromFirstScanner(pose, *object.to);
    }
  }
  for (SceneSegment& segment : seen.segments) {
    segment.from = FromFirstScanner(pose, segment.from);
    segment.to = FromFirstScanner(pose, segment.to);
  }
  return seen;
}

}  // namespace scanner_sim
