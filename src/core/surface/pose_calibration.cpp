#include "surface/pose_calibration.h"

#include <algorithm>
#include <cmath>

namespace scantouch {
namespace {

// `point` moved `depth` farther from the scanner at `scanner`.
PlanePoint Deeper(PlanePoint point, PlanePoint scanner, double depth) {
  const double dx = point.x - scanner.x;
  const double dy = point.y - scanner.y;
  const double length = std::hypot(dx, dy);
  if (length == 0)
    return point;
  return {point.x + depth * dx / length, point.y + depth * dy / length};
}

}  // namespace

PoseCalibration::PoseCalibration(TouchEngine& engine) : engine_(engine) {}

bool PoseCalibration::recordPlace() {
  if (recording())
    return false;
  sums_.clear();
  turnsLeft_ = kPlaceTurns;
  return true;
}

std::size_t PoseCalibration::places(std::size_t index) const {
  const auto found = places_.find(index);
  return found == places_.end() ? 0 : found->second.size();
}

void PoseCalibration::clear() {
  turnsLeft_ = 0;
  sums_.clear();
  places_.clear();
}

void PoseCalibration::onTouchFrame(const TouchFrame&) {
  if (!recording())
    return;
  // The first scanner's single object is where the object is on the surface; a scanner that sees
  // one object too gives its own view of it.
  const std::vector<TouchObject>& first = engine_.scannerObjects(0);
  if (first.size() == 1) {
    for (std::size_t i = 1; i < engine_.scannerCount(); ++i) {
      const std::vector<TouchObject>& seen = engine_.scannerObjects(i);
      const std::optional<Pose>& pose = engine_.scannerPose(i);
      if (seen.size() != 1 || !pose || !engine_.scannerAlive(i))
        continue;
      const PlanePoint local = toLocal(*pose, PlanePoint{seen[0].x, seen[0].y});
      Sum& sum = sums_[i];
      sum.firstScanner = engine_.surfacePoint(0, 0, 0);
      sum.surface.x += first[0].x;
      sum.surface.y += first[0].y;
      sum.local.x += local.x;
      sum.local.y += local.y;
      ++sum.turns;
    }
  }
  if (--turnsLeft_ == 0)
    finishPlace();
}

void PoseCalibration::finishPlace() {
  int kept = 0;
  for (const auto& [index, sum] : sums_) {
    if (sum.turns < kPlaceTurnsNeeded)
      continue;
    const double n = sum.turns;
    places_[index].push_back(Place{{sum.surface.x / n, sum.surface.y / n},
                                   {sum.local.x / n, sum.local.y / n},
                                   sum.firstScanner});
    ++kept;
  }
  sums_.clear();
  if (kept == 0) {
    report_ = "未记录：需要一个静止物体，第一台和另一台扫描仪都只看到它";
    return;
  }
  std::size_t most = 0;
  for (const auto& [index, places] : places_)
    most = std::max(most, places.size());
  report_ = "已记录 " + std::to_string(most) + " 个位置";
}

std::vector<PoseCalibration::Solved> PoseCalibration::solve() {
  std::vector<Solved> solved;
  for (const auto& [index, places] : places_) {
    std::optional<PoseFit> best;
    for (double depth = 0; depth <= kLargestDepth; depth += kDepthStep) {
      std::vector<PlanePoint> local;
      std::vector<PlanePoint> surface;
      for (const Place& place : places) {
        local.push_back(Deeper(place.local, PlanePoint{0, 0}, depth));
        surface.push_back(Deeper(place.surface, place.firstScanner, depth));
      }
      const std::optional<PoseFit> fit = SolvePose(local, surface);
      if (fit && (!best || fit->residualRms < best->residualRms))
        best = fit;
    }
    if (best)
      solved.push_back({index, *best});
  }
  clear();
  return solved;
}

}  // namespace scantouch
